#include "dsearchengine.h"
#include "ui_dsearchengine.h"

#include "mkeyword.h"
#include "mkeywordlist.h"
#include "mproxymodel.h"
#include "mutility.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QShortcut>

DSearchEngine::DSearchEngine(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::DSearchEngine)
{
    ui->setupUi(this);
    MKeywordList *list = MKeywordList::instance();
    m_proxy = new MProxyModel(list, ui->tableView, ui->searchEdit, this);
    m_proxy->setSortColumn("keyword");

    QTableView *view = ui->tableView;
    list->setupView(view, {"keyword", "description"});
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->verticalHeader()->hide();
    view->resizeColumnsToContents();
    view->horizontalHeader()->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContentsOnFirstShow);
    view->setDragEnabled(true);
    MUtility::applySelectionPalette(view);

    connect(view, &QAbstractItemView::doubleClicked, this, &DSearchEngine::acceptKeyword);
    auto *enter = new QShortcut(QKeySequence(Qt::Key_Return), view);
    enter->setContext(Qt::WindowShortcut);
    connect(enter, &QShortcut::activated, this, &DSearchEngine::acceptKeyword);
}

DSearchEngine::~DSearchEngine()
{
    delete ui;
}

void DSearchEngine::setSearchText(const QString &text)
{
    ui->searchEdit->setText(text);
}

void DSearchEngine::set_keyword(const QString &value)
{
    if (m_keyword == value)
        return;
    m_keyword = value;
    emit keywordChanged(value);
}

void DSearchEngine::acceptKeyword()
{
    MKeywordList *list = MKeywordList::instance();
    int row = -1;
    if (ui->tableView->selectionModel()->hasSelection()) {
        row = list->currentRow();
    } else {
        if (m_proxy->rowCount() == 0)
            return;
        row = m_proxy->mapToSource(m_proxy->index(0, 0)).row();
    }
    const MKeyword *entry = list->keywordAt(row);
    if (!entry)
        return;
    m_keyword = entry->keyword();
    accept();
}
