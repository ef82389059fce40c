#include "dsnippet.h"
#include "ui_dsnippet.h"

#include "mconnector.h"
#include "meditorparserglsl.h"
#include "msnippet.h"
#include "msnippetlist.h"
#include "msnippetproxy.h"
#include "mutility.h"

#include <QCloseEvent>
#include <QInputDialog>
#include <QItemSelectionModel>
#include <QMessageBox>

DSnippet::DSnippet(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::DSnippet)
    , m_connector(new MConnector(this))
{
    ui->setupUi(this);
    m_highlighter = new MEditorParserGLSL(this);
    m_highlighter->setDocument(ui->plainTextEdit->document());

    MSnippetList *list = MSnippetList::instance();
    m_proxy = new MSnippetProxy(this);
    m_proxy->setSourceModel(list);
    ui->tableView->setModel(m_proxy);
    list->setupView(ui->tableView, {"description"});
    ui->tableView->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);

    showSnippet(currentSnippet());
    makeConnections();
}

DSnippet::~DSnippet()
{
    delete ui;
}

void DSnippet::makeConnections()
{
    if (m_connector->isConnected())
        return;
    m_connector->add(connect(ui->searchEdit, &QLineEdit::textChanged, this, &DSnippet::search))
        ->add(connect(ui->tableView->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
                      &DSnippet::onCurrentIndexChanged, Qt::QueuedConnection))
        ->add(connect(ui->plainTextEdit, &QPlainTextEdit::textChanged, this, &DSnippet::onSomethingChanged))
        ->add(connect(MSnippetList::instance(), &MTableModel::propertyChanged, this, &DSnippet::onSomethingChanged));
}

MSnippet *DSnippet::currentSnippet() const
{
    const QModelIndex index = ui->tableView->currentIndex();
    if (!index.isValid())
        return nullptr;
    return MSnippetList::instance()->snippetAt(m_proxy->mapToSource(index).row());
}

void DSnippet::showSnippet(MSnippet *snippet)
{
    // Showing a fragment is no edit of it.
    m_showing = true;
    ui->plainTextEdit->setEnabled(snippet != nullptr);
    ui->plainTextEdit->setPlainText(snippet ? snippet->source() : QString());
    m_showing = false;
}

void DSnippet::search()
{
    m_proxy->setFilterRole(Qt::DisplayRole);
    const QString text = ui->searchEdit->text().trimmed();
    m_proxy->setFilterCaseSensitivity(Qt::CaseInsensitive);
    if (!text.isEmpty()) {
        m_proxy->setFilterKeyColumn(-1);
        m_proxy->setFilterWildcard(QLatin1Char('*') + text + QLatin1Char('*'));
    } else {
        m_proxy->setFilterWildcard(QStringLiteral("*"));
    }
}

void DSnippet::onCurrentIndexChanged()
{
    MSnippet *snippet = currentSnippet();
    if (!snippet)
        return;
    m_text = snippet->source();
    showSnippet(snippet);
}

void DSnippet::onSomethingChanged()
{
    if (m_showing)
        return;
    MSnippet *snippet = currentSnippet();
    if (!snippet)
        return;
    snippet->set_source(ui->plainTextEdit->toPlainText());
    m_changed.insert(snippet);
}

void DSnippet::on_addButton_clicked()
{
    bool ok = false;
    const QString description = QInputDialog::getText(this, tr("Snippet"), tr("Snippet description:"),
                                                      QLineEdit::Normal, tr("new snippet"), &ok);
    if (!ok)
        return;
    m_connector->disconnectAll();
    MSnippetList *list = MSnippetList::instance();
    auto *snippet = new MSnippet();
    snippet->set_description(description);
    snippet->set_source(QStringLiteral("// empty snippet"));
    list->append(snippet);
    list->saveItem(snippet);

    const QModelIndex index = m_proxy->mapFromSource(list->index(list->indexOf(snippet), 0));
    QTableView *view = ui->tableView;
    view->setFocus();
    view->scrollTo(index);
    view->selectRow(index.row());
    view->setCurrentIndex(index);
    const QModelIndex shown = m_proxy->mapFromSource(
        list->index(list->indexOf(snippet), list->itemMetaObject().indexOfProperty("description")));
    view->edit(shown.isValid() ? shown : index);

    m_changed.insert(snippet);
    m_text = snippet->source();
    showSnippet(snippet);
    makeConnections();
}

void DSnippet::on_removeButton_clicked()
{
    MSnippet *snippet = currentSnippet();
    if (!snippet)
        return;
    const QMessageBox::StandardButton answer = MUtility::showMessage(
        QMessageBox::Question, tr("Delete snippet"),
        tr("Are you sure you want to delete the snippet %1?").arg(snippet->description()),
        QMessageBox::Ok | QMessageBox::Cancel);
    if (answer != QMessageBox::Ok)
        return;
    MSnippetList *list = MSnippetList::instance();
    const int row = list->indexOf(snippet);
    if (row < 0)
        return;
    m_connector->disconnectAll();
    m_changed.remove(snippet);
    list->removeAt(row);
    showSnippet(currentSnippet());
    makeConnections();
}

void DSnippet::on_insertButton_clicked()
{
    MSnippet *snippet = currentSnippet();
    if (!snippet) {
        MUtility::showMessage(QMessageBox::Critical, tr("Snippet"), tr("Please select a valid snippet."));
        return;
    }
    m_text = snippet->source();
    saveChanged();
    accept();
}

void DSnippet::on_closeButton_clicked()
{
    saveChanged();
    reject();
}

void DSnippet::closeEvent(QCloseEvent *event)
{
    saveChanged();
    event->accept();
}

void DSnippet::saveChanged()
{
    MSnippetList *list = MSnippetList::instance();
    for (MSnippet *snippet : qAsConst(m_changed))
        list->saveItem(snippet);
}
