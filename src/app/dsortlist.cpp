#include "dsortlist.h"
#include "ui_dsortlist.h"

#include "mfolders.h"
#include "mregularfile.h"
#include "mutility.h"

#include <QDebug>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
void trace(const char *function, const QString &text)
{
    qDebug().noquote() << QStringLiteral("%1::%2").arg(QStringLiteral("dsortlist"), QLatin1String(function)) << text;
}
} // namespace

DSortList::DSortList(MParamList *library, QWidget *parent)
    : QDialog(parent), ui(new Ui_DSortList), m_library(library)
{
    ui->setupUi(this);
    ui->listWidget->setSelectionMode(QAbstractItemView::SingleSelection);
    ui->listWidget->setDragEnabled(true);
    ui->listWidget->viewport()->setAcceptDrops(true);
    ui->listWidget->setDropIndicatorShown(true);
    ui->listWidget->setDragDropMode(QAbstractItemView::InternalMove);

    if (m_library) {
        m_library->scanDirectories(m_userTable, MFolders::UserPath);
        m_library->scanDirectories(m_systemTable, MFolders::SystemPath);
        const QString user = tr("user");
        const QString system = tr("system");
        const QStringList order = m_library->order();
        for (const QString &entry : order) {
            const QString id = entry.trimmed().toUpper();
            const bool isUser = m_userTable.contains(id);
            if (!isUser && !m_systemTable.contains(id)) {
                trace("DSortList::DSortList", QStringLiteral("system error, invalid index ident: %1 %2")
                                                  .arg(m_library->kind())
                                                  .arg(id));
                continue;
            }
            const ItemInfo info = readItemInfo(isUser ? m_userTable.value(id).path : m_systemTable.value(id).path);
            addItem(ui->listWidget, id, info.group, info.description, isUser ? user : system);
            m_listedIds.insert(id);
        }
        for (auto it = m_userTable.cbegin(); it != m_userTable.cend(); ++it) {
            if (m_listedIds.contains(it.key()))
                continue;
            const ItemInfo info = readItemInfo(it->path);
            addItem(ui->excludeListWidget, it.key(), info.group, info.description, user);
            m_listedIds.insert(it.key());
        }
        for (auto it = m_systemTable.cbegin(); it != m_systemTable.cend(); ++it) {
            if (m_listedIds.contains(it.key()))
                continue;
            const ItemInfo info = readItemInfo(it->path);
            addItem(ui->excludeListWidget, it.key(), info.group, info.description, system);
        }
    }

    // Rows dragged to another place are a new order too: Ok must not drop it.
    connect(ui->listWidget->model(), &QAbstractItemModel::rowsMoved, this, [this] { m_changed = true; });
    connect(ui->btnUp, &QToolButton::clicked, this, &DSortList::moveUp);
    connect(ui->btnDown, &QToolButton::clicked, this, &DSortList::moveDown);
    connect(ui->btnAtTop, &QToolButton::clicked, this, &DSortList::moveAtTop);
    connect(ui->btnAtBottom, &QToolButton::clicked, this, &DSortList::moveAtBottom);
}

DSortList::~DSortList()
{
    delete ui;
}

QListWidget *DSortList::orderList() const
{
    return ui->listWidget;
}

QListWidget *DSortList::excludeList() const
{
    return ui->excludeListWidget;
}

DSortList::ItemInfo DSortList::readItemInfo(const QString &path)
{
    ItemInfo info;
    MRegularFile file(path);
    if (!file.openForReading())
        return info;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll());
    if (document.isNull())
        return info;
    const QJsonObject object = document.object();
    info.description = object.value(QStringLiteral("description")).toString().toLower();
    info.group = object.value(QStringLiteral("group")).toString().toLower();
    return info;
}

void DSortList::addItem(QListWidget *list, const QString &id, const QString &group, const QString &description,
                        const QString &origin)
{
    auto *item = new QListWidgetItem(QStringLiteral("%1-%2 (%3)").arg(group, description, origin), list);
    item->setData(Qt::UserRole, id);
}

void DSortList::moveCurrentTo(int row)
{
    QListWidget *list = ui->listWidget;
    const int current = list->currentRow();
    if (current >= 0 && current < list->count()) {
        QListWidgetItem *item = list->takeItem(current);
        if (row >= list->count())
            list->addItem(item);
        else
            list->insertItem(row, item);
    }
    list->setCurrentRow(row < 0 ? -1 : qMin(row, list->count() - 1));
    m_changed = true;
}

void DSortList::moveUp()
{
    const int r = ui->listWidget->currentRow();
    if (r != 0 && r < ui->listWidget->count())
        moveCurrentTo(r - 1);
}

void DSortList::moveDown()
{
    const int r = ui->listWidget->currentRow();
    if (r < ui->listWidget->count() - 1)
        moveCurrentTo(r + 1);
}

void DSortList::moveAtTop()
{
    if (ui->listWidget->count() >= 2)
        moveCurrentTo(0);
}

void DSortList::moveAtBottom()
{
    if (ui->listWidget->count() >= 2)
        moveCurrentTo(ui->listWidget->count() - 1);
}

void DSortList::transferItem(QListWidget *from, QListWidget *to)
{
    QListWidgetItem *source = from->currentItem();
    if (!source)
        return;
    auto *item = new QListWidgetItem(source->text());
    item->setData(Qt::UserRole, source->data(Qt::UserRole));
    const int row = to->currentRow() + 1;
    to->insertItem(row, item);
    to->setCurrentItem(item);
    to->scrollToItem(item);
    delete source;
    m_changed = true;
}

void DSortList::on_btnOk_clicked()
{
    if (!m_changed) {
        reject();
        return;
    }
    QStringList ids;
    for (int row = 0; row < ui->listWidget->count(); ++row) {
        const QString id = ui->listWidget->item(row)->data(Qt::UserRole).toString();
        trace("DSortList::on_btnOk_clicked", id);
        ids.append(id);
    }
    // A library with an empty order would show nothing after its next load.
    if (ids.isEmpty()) {
        MUtility::showMessage(QMessageBox::Warning, windowTitle(),
                              tr("The list is empty: keep at least one item in it."));
        return;
    }
    const QStringList previous = m_library ? m_library->order() : QStringList();
    if (m_library && !m_library->setOrder(ids)) {
        // The library keeps the order its file still holds.
        m_library->setOrder(previous);
        MUtility::showMessage(QMessageBox::Critical, windowTitle(),
                              tr("The new order could not be saved in %1.")
                                  .arg(m_library->indexFileName(MFolders::UserPath)));
        return;
    }
    accept();
}

void DSortList::on_btnCancel_clicked()
{
    reject();
}

void DSortList::on_removeBtn_clicked()
{
    transferItem(ui->listWidget, ui->excludeListWidget);
}

void DSortList::on_removeAllBtn_clicked()
{
    while (ui->listWidget->count() > 0) {
        ui->listWidget->setCurrentRow(0);
        transferItem(ui->listWidget, ui->excludeListWidget);
    }
}

void DSortList::on_addBtn_clicked()
{
    transferItem(ui->excludeListWidget, ui->listWidget);
}

void DSortList::on_addAllBtn_clicked()
{
    while (ui->excludeListWidget->count() > 0) {
        ui->excludeListWidget->setCurrentRow(0);
        transferItem(ui->excludeListWidget, ui->listWidget);
    }
}
