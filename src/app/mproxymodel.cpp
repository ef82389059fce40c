#include "mproxymodel.h"

#include "mfield.h"
#include "mtablemodel.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QTableView>

namespace {
// The header sections are arranged by the first proxy of the process only:
// the views restore their own arrangement afterwards.
bool s_arrangeHeader = true;
} // namespace

MProxyModel::MProxyModel(MTableModel *source, QTableView *view, QLineEdit *filterEdit, QObject *parent)
    : QSortFilterProxyModel(parent)
    , m_view(view)
    , m_filterEdit(filterEdit)
{
    setModel(source);
    if (m_view) {
        m_view->setModel(this);
        connect(m_view->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &MProxyModel::setCurrentRow);
        connect(m_view, &QAbstractItemView::doubleClicked, this, qOverload<>(&MProxyModel::doubleClick));
        connect(m_view, &QWidget::customContextMenuRequested, this,
                qOverload<const QPoint &>(&MProxyModel::contextMenuRequested));
    }
    if (m_filterEdit) {
        connect(m_filterEdit, &QLineEdit::textChanged, this, &MProxyModel::applyFilter);
        connect(m_filterEdit, &QLineEdit::returnPressed, this, &MProxyModel::applyFilter);
    }
    onCurrentRowChanged();
}

void MProxyModel::setModel(MTableModel *model)
{
    m_source = model;
    setSourceModel(model);
    if (model)
        connect(model, &MTableModel::currentRowChanged, this, &MProxyModel::onCurrentRowChanged);
}

void MProxyModel::sortInModelOrder()
{
    // The table model has no data for this role: every row compares equal and
    // the stable sort of freshly mapped rows leaves the model's order. (A plain
    // re-sort would keep the order of the last sort.)
    setSortRole(Qt::InitialSortOrderRole);
    invalidate();
}

void MProxyModel::applyFilter()
{
    if (!m_source || !m_filterEdit)
        return;
    const QString text = m_filterEdit->text().trimmed();
    setFilterKeyColumn(-1);
    setFilterCaseSensitivity(Qt::CaseInsensitive);
    if (!text.isEmpty()) {
        setFilterWildcard(QLatin1Char('*') + text + QLatin1Char('*'));
        setSortRole(Qt::DisplayRole);
    } else {
        setFilterWildcard(QStringLiteral("*"));
        sortInModelOrder();
    }
}

void MProxyModel::resetSort()
{
    if (m_source)
        sortInModelOrder();
}

void MProxyModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0) {
        resetSort();
        return;
    }
    setFilterKeyColumn(column);
    // Going back to the model's order must not leave later clicks unsorted.
    setSortRole(Qt::DisplayRole);
    QSortFilterProxyModel::sort(column, order);
}

void MProxyModel::setColumns(const QVector<QByteArray> &names)
{
    m_visibleColumns = names;
    if (!m_view || !m_source)
        return;
    for (int column = 0; column < m_source->columnCount(); ++column) {
        const MField *field = m_source->column(column);
        if (!field || !names.contains(field->name()))
            m_view->setColumnHidden(column, true);
    }
    if (!s_arrangeHeader)
        return;
    QHeaderView *header = m_view->horizontalHeader();
    for (int i = 0; i < names.size(); ++i) {
        const MField *field = m_source->column(names.at(i));
        if (!field)
            continue;
        const int from = header->visualIndex(field->index());
        if (from != i)
            header->swapSections(from, i);
    }
    s_arrangeHeader = false;
}

void MProxyModel::setSortColumn(const QByteArray &name)
{
    if (!m_source)
        return;
    if (const MField *field = m_source->column(name))
        m_sortColumn = field->index();
}

void MProxyModel::setCurrentRow(const QModelIndex &current, const QModelIndex &)
{
    if (!m_source)
        return;
    const QModelIndex index = mapToSource(current);
    if (index.isValid())
        m_source->setCurrentRow(m_source->isValidRow(index.row()) ? index.row() : -1);
}

void MProxyModel::setCurrentIndex()
{
    if (m_view)
        setCurrentRow(m_view->currentIndex(), QModelIndex());
}

void MProxyModel::onCurrentRowChanged()
{
    if (!m_source || !m_view || !m_source->isValidRow(m_source->currentRow()))
        return;
    const QModelIndex index = mapFromSource(m_source->index(m_source->currentRow(), 0));
    // Selecting the row the view already has would move its current cell to
    // the first column and lose the clicked one.
    if (index.isValid() && index.row() != m_view->currentIndex().row())
        m_view->selectRow(index.row());
}

QModelIndex MProxyModel::currentSourceIndex() const
{
    return m_view ? mapToSource(m_view->currentIndex()) : QModelIndex();
}

void MProxyModel::doubleClick()
{
    const QModelIndex index = currentSourceIndex();
    if (index.isValid())
        emit doubleClick(index.row(), index.column());
}

void MProxyModel::contextMenuRequested(const QPoint &pos)
{
    const QModelIndex index = currentSourceIndex();
    if (index.isValid())
        emit contextMenuRequested(pos, index.row(), index.column());
}
