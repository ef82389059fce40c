#include "dsettings.h"

#include "deditshortcut.h"
#include "maction.h"
#include "mactionlist.h"
#include "mcoloredit.h"
#include "menum.h"
#include "mfield.h"
#include "mproxymodel.h"
#include "msettings.h"
#include "msettingsformat.h"
#include "mutility.h"
#include "ui_dsettings.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFontComboBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTableView>
#include <QVBoxLayout>

namespace {
constexpr int Bool = QMetaType::Bool, Int = QMetaType::Int, Double = QMetaType::Double, Text = QMetaType::QString,
              Font = QMetaType::QFont, Color = QMetaType::QColor;

// -1 in the table means "no bound".
int lowerBound(double minimum)
{
    const int value = int(minimum);
    return value == -1 ? 0 : value;
}

int upperBound(double maximum)
{
    const int value = int(maximum);
    return value == -1 ? 999999999 : value;
}
} // namespace

DSettings::DSettings(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::DSettings)
    , m_actions(new MActionList(this))
{
    ui->setupUi(this);
    ui->treeWidget->clear();
    if (parent)
        m_actions->fromWidget(parent->window());

    MSettings *settings = MSettings::instance();
    settings->buildItems();
    for (int i = 0; i < settings->categoryCount(); ++i) {
        const MPreferenceCategory &category = settings->categoryAt(i);
        QTreeWidgetItem *parentItem = nullptr;
        for (QTreeWidgetItemIterator it(ui->treeWidget); *it; ++it) {
            const int index = (*it)->data(0, Qt::UserRole).toInt();
            if (settings->categoryAt(index).key == category.text) {
                parentItem = *it;
                break;
            }
        }
        auto *item = parentItem ? new QTreeWidgetItem(parentItem) : new QTreeWidgetItem(ui->treeWidget);
        item->setText(0, category.label);
        item->setData(0, Qt::UserRole, i);
        item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        auto *page = new QWidget;
        ui->stackedWidget->addWidget(page);
        buildPage(i, page);
    }
    connect(ui->treeWidget, &QTreeWidget::itemClicked, this, &DSettings::openPage);
    connect(ui->treeWidget, &QTreeWidget::currentItemChanged, this, &DSettings::openPage);
    connect(settings, &MSettings::userLangIdChanged, this, &DSettings::setNeedRestart);
    connect(settings, &MSettings::translateCompositionModesChanged, this, &DSettings::setNeedRestart);

    bool ok = false;
    for (auto it = m_editors.constBegin(); it != m_editors.constEnd(); ++it) {
        const QVariant value = editorValue(it.key(), &ok);
        if (ok)
            m_initialValues.insert(it.key(), value);
    }
}

DSettings::~DSettings()
{
    delete ui;
}

QList<QPair<QString, QString>> DSettings::availableLanguages()
{
    const QList<QPair<QString, QString>> all{{QStringLiteral("en"), tr("English")}, {QStringLiteral("fr"), tr("French")}};
    QList<QPair<QString, QString>> result;
    for (const auto &language : all) {
        if (QFile::exists(MUtility::translationFilePath(language.first)))
            result.append(language);
    }
    return result;
}

void DSettings::buildPage(int category, QWidget *page)
{
    MSettings *settings = MSettings::instance();
    MPreferenceCategory &record = settings->categoryAt(category);
    if (record.key == QLatin1String("Shortcuts")) {
        buildShortcutsPage(page);
    } else {
        auto *layout = new QFormLayout(page);
        for (const MSettingItem &item : settings->items()) {
            if (item.visible && item.category == record.key)
                addSettingRow(item.key, layout);
        }
    }
    record.flag = true;
}

void DSettings::addSettingRow(const QString &key, QFormLayout *layout)
{
    const MSettingItem item = MSettings::instance()->settingItem(key);
    if (item.key.isEmpty())
        return;
    auto *label = new QLabel(item.label);
    label->setObjectName(QStringLiteral("label") + key);
    const QVariant value = MSettings::instance()->property(key.toLatin1().constData());
    QWidget *editor = nullptr;
    if (item.type == Bool) {
        auto *box = new QCheckBox;
        box->setChecked(value.toBool());
        editor = box;
    } else if (key == QLatin1String("userLangId")) {
        auto *combo = new QComboBox;
        for (const auto &language : availableLanguages()) {
            combo->addItem(language.second, language.first);
            if (language.first.toUpper() == value.toString().toUpper())
                combo->setCurrentIndex(combo->count() - 1);
        }
        combo->setMaximumWidth(200);
        editor = combo;
    } else if (item.type == Int && item.enumName.isEmpty()) {
        auto *spin = new QSpinBox;
        spin->setRange(lowerBound(item.minimum), upperBound(item.maximum));
        spin->setValue(value.toInt());
        spin->setMaximumWidth(100);
        editor = spin;
    } else if (item.type == Int) {
        auto *combo = new QComboBox;
        MUtility::fillEnumCombo(MEnum::staticMetaObject, item.enumName.toLatin1(), combo, -1);
        // The setting holds the enumeration's value, not a row of the list.
        combo->setCurrentIndex(combo->findData(value.toInt()));
        combo->setMaximumWidth(200);
        editor = combo;
    } else if (item.type == Double) {
        auto *spin = new QDoubleSpinBox;
        spin->setDecimals(2);
        spin->setRange(lowerBound(item.minimum), upperBound(item.maximum));
        spin->setValue(value.toDouble());
        spin->setMaximumWidth(100);
        editor = spin;
    } else if (item.type == Text) {
        auto *edit = new QLineEdit(value.toString());
        edit->setMaximumWidth(200);
        editor = edit;
    } else if (item.type == Font) {
        auto *combo = new QFontComboBox;
        combo->setCurrentFont(QFont(value.toString()));
        combo->setMaximumWidth(200);
        editor = combo;
    } else if (item.type == Color) {
        auto *edit = new MColorEdit;
        edit->setColor(value.value<QColor>());
        editor = edit;
    }
    if (!editor) {
        layout->addRow(label);
        return;
    }
    editor->setObjectName(QStringLiteral("edit") + key);
    m_editors.insert(key, editor);
    layout->addRow(label, editor);
}

QVariant DSettings::editorValue(const QString &key, bool *ok) const
{
    *ok = true;
    QWidget *editor = m_editors.value(key);
    const MSettingItem item = MSettings::instance()->settingItem(key);
    if (item.type == Bool)
        return qobject_cast<QCheckBox *>(editor)->isChecked();
    if (key == QLatin1String("userLangId")) {
        auto *combo = qobject_cast<QComboBox *>(editor);
        *ok = combo->currentIndex() >= 0;
        return combo->currentData();
    }
    if (key == QLatin1String("fontName") || key == QLatin1String("editorFontName")) {
        auto *combo = qobject_cast<QFontComboBox *>(editor);
        *ok = combo->currentIndex() >= 0;
        return combo->currentFont().family();
    }
    if (item.type == Text)
        return qobject_cast<QLineEdit *>(editor)->text();
    if (item.type == Int && item.enumName.isEmpty())
        return qobject_cast<QSpinBox *>(editor)->value();
    if (item.type == Int) {
        auto *combo = qobject_cast<QComboBox *>(editor);
        *ok = combo->currentIndex() >= 0;
        return combo->currentData();
    }
    if (item.type == Double)
        return qobject_cast<QDoubleSpinBox *>(editor)->value();
    if (item.type == Color)
        return qobject_cast<MColorEdit *>(editor)->color();
    *ok = false;
    return QVariant();
}

void DSettings::openPage(QTreeWidgetItem *item)
{
    if (!item)
        return;
    const int index = item->data(0, Qt::UserRole).toInt();
    if (index != -1)
        ui->stackedWidget->setCurrentIndex(index);
}

void DSettings::setNeedRestart()
{
    m_needRestart = true;
}

void DSettings::on_btnOk_clicked()
{
    MSettings *settings = MSettings::instance();
    for (auto it = m_editors.constBegin(); it != m_editors.constEnd(); ++it) {
        bool ok = false;
        const QVariant value = editorValue(it.key(), &ok);
        // An editor left as it opened writes nothing: rounding, clamping or
        // a substituted font must not change a setting behind the painter.
        if (!ok || (m_initialValues.contains(it.key()) && m_initialValues.value(it.key()) == value))
            continue;
        settings->setProperty(it.key().toLatin1().constData(), value);
    }
    applyShortcuts();
    emit settingsChanged();
    accept();
}

void DSettings::on_BtnCancel_clicked()
{
    reject();
}

// ---------------------------------------------------------------- shortcuts

void DSettings::buildShortcutsPage(QWidget *page)
{
    auto *layout = new QVBoxLayout(page);
    auto *buttons = new QHBoxLayout;
    auto addButton = [&](const char *name, const QString &text, const QString &tip, void (DSettings::*slot)()) {
        auto *button = new QPushButton(text);
        button->setObjectName(QLatin1String(name));
        button->setToolTip(tip);
        // Return in the search field filters; it must not press a button.
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, slot);
        buttons->addWidget(button);
    };
    addButton("btnEditShortcut", tr("Edit"), tr("Edit the shortcut."), &DSettings::editShortcut);
    addButton("btnResetShortcut", tr("Reset"), tr("Reset the shortcut to the default shortcut."), &DSettings::resetShortcut);
    addButton("btnResetAllShortcuts", tr("Reset all"), tr("Reset all the shortcuts to the default shortcuts."),
              &DSettings::resetAllShortcuts);
    addButton("btnCopyShortcuts", tr("Copy"),
              tr("Copy the table to clipboard, paste it in something like excel and print it to get a shortcut list "
                 "sheet."),
              &DSettings::copyShortcuts);
    buttons->addStretch();
    layout->addLayout(buttons);

    m_shortcutView = new QTableView(this);
    m_shortcutView->setObjectName(QStringLiteral("shortcutView"));
    m_shortcutView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_shortcutView->setSortingEnabled(true);
    m_shortcutView->setAlternatingRowColors(true);
    m_shortcutView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_shortcutView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_shortcutView->setContextMenuPolicy(Qt::CustomContextMenu);
    m_shortcutView->horizontalHeader()->setSectionsMovable(false);
    m_shortcutView->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_shortcutView->verticalHeader()->hide();
    m_shortcutView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    MUtility::applySelectionPalette(m_shortcutView);
    layout->addWidget(m_shortcutView);

    auto *searchRow = new QHBoxLayout;
    searchRow->addWidget(new QLabel(tr("Search")));
    auto *search = new QLineEdit;
    search->setObjectName(QStringLiteral("shortcutSearch"));
    searchRow->addWidget(search);
    layout->addLayout(searchRow);

    if (MField *field = m_actions->column("description"))
        field->setLabel(tr("Description"));
    if (MField *field = m_actions->column("shortCut"))
        field->setLabel(tr("Shortcut"));
    m_proxy = new MProxyModel(m_actions, m_shortcutView, search, this);
    m_proxy->setColumns({"description", "shortCut"});
    m_proxy->setSortColumn("description");
    m_shortcutView->resizeColumnsToContents();
    connect(m_shortcutView, &QTableView::doubleClicked, this, &DSettings::editShortcut);
}

int DSettings::shortcutOwner(const QString &shortcut) const
{
    if (shortcut.trimmed().isEmpty())
        return -1;
    const QKeySequence sequence = QKeySequence::fromString(shortcut, QKeySequence::PortableText);
    for (int row = 0; row < m_actions->count(); ++row) {
        auto *action = qobject_cast<MAction *>(m_actions->item(row));
        if (QKeySequence::fromString(action->shortCut(), QKeySequence::PortableText) == sequence)
            return row;
    }
    return -1;
}

void DSettings::editShortcut()
{
    auto *current = qobject_cast<MAction *>(m_actions->currentItem());
    if (!current)
        return;
    DEditShortcut dialog(current->shortCut(), current->action(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QString shortcut = dialog.shortcut();
    const int owner = shortcutOwner(shortcut);
    if (owner != -1 && owner != m_actions->currentRow()) {
        auto *holder = qobject_cast<MAction *>(m_actions->item(owner));
        const QMessageBox::StandardButton answer = MUtility::showMessage(
            QMessageBox::Question, tr("Shortcut"),
            tr("The shortcut %1 already exists for action '%2'. Do you want to replace it?")
                .arg(shortcut, holder->description()),
            QMessageBox::Ok | QMessageBox::Cancel);
        if (answer != QMessageBox::Ok)
            return;
        holder->set_shortCut(QString());
    }
    current->set_shortCut(shortcut);
}

void DSettings::resetShortcut()
{
    if (auto *current = qobject_cast<MAction *>(m_actions->currentItem()))
        current->set_shortCut(MSettings::instance()->defaultShortcut(current->action()));
}

void DSettings::resetAllShortcuts()
{
    for (int row = 0; row < m_actions->count(); ++row) {
        auto *action = qobject_cast<MAction *>(m_actions->item(row));
        action->set_shortCut(MSettings::instance()->defaultShortcut(action->action()));
    }
}

void DSettings::copyShortcuts()
{
    QString text;
    for (int row = 0; row < m_actions->count(); ++row) {
        auto *action = qobject_cast<MAction *>(m_actions->item(row));
        if (!action->shortCut().trimmed().isEmpty())
            text += action->description() + QLatin1Char('\t') + action->shortCut() + QLatin1Char('\n');
    }
    QApplication::clipboard()->setText(text);
}

void DSettings::applyShortcuts()
{
    // Only the commands whose shortcut the painter changed are stored, so
    // that the others keep following their built-in shortcut.
    QSettings store;
    const bool save = parentWidget() != nullptr;
    for (int row = 0; row < m_actions->count(); ++row) {
        auto *action = qobject_cast<MAction *>(m_actions->item(row));
        QAction *target = action->action();
        if (!target)
            continue;
        const QKeySequence sequence = QKeySequence::fromString(action->shortCut(), QKeySequence::PortableText);
        if (sequence == target->shortcut())
            continue;
        target->setShortcut(sequence);
        if (save)
            store.setValue(QStringLiteral("Action/") + target->objectName(),
                           sequence.toString(QKeySequence::PortableText));
    }
    MSettingsFormat::sync(store);
}
