#include "mtreeview.h"

MTreeView::MTreeView(QWidget *parent) : QTreeView(parent)
{
}

void MTreeView::scrollToCurrent()
{
    scrollTo(currentIndex());
}

void MTreeView::insertSibling(const QModelIndex &index, int offset)
{
    QAbstractItemModel *m = model();
    if (!m)
        return;
    if (!index.isValid()) {
        appendChildToIndex(index);
        return;
    }
    const QModelIndex parent = index.parent();
    const int row = index.row() + offset;
    if (m->insertRows(row, 1, parent))
        setCurrentIndex(m->index(row, 0, parent));
}

void MTreeView::insertChild(const QModelIndex &index, bool atEnd)
{
    QAbstractItemModel *m = model();
    if (!m)
        return;
    if (m->columnCount(index) == 0 && !m->insertColumns(0, 1, index))
        return;
    const int row = atEnd ? m->rowCount(index) : 0;
    if (!m->insertRows(row, 1, index))
        return;
    expand(index);
    setCurrentIndex(m->index(row, 0, index));
}

void MTreeView::insertAboveCurrent()
{
    insertAboveIndex(currentIndex());
}

void MTreeView::insertAboveIndex(const QModelIndex &index)
{
    insertSibling(index, 0);
}

void MTreeView::insertUnderCurrent()
{
    insertUnderIndex(currentIndex());
}

void MTreeView::insertUnderIndex(const QModelIndex &index)
{
    insertSibling(index, 1);
}

void MTreeView::prependChildToCurrent()
{
    prependChildToIndex(currentIndex());
}

void MTreeView::prependChildToIndex(const QModelIndex &index)
{
    insertChild(index, false);
}

void MTreeView::appendChildToCurrent()
{
    appendChildToIndex(currentIndex());
}

void MTreeView::appendChildToIndex(const QModelIndex &index)
{
    insertChild(index, true);
}

void MTreeView::removeCurrent()
{
    removeIndex(currentIndex());
}

void MTreeView::removeIndex(const QModelIndex &index)
{
    QAbstractItemModel *m = model();
    if (!m || !index.isValid())
        return;
    const QPersistentModelIndex parent = index.parent();
    const int row = index.row();
    if (!m->removeRows(row, 1, parent))
        return;
    const int left = m->rowCount(parent);
    if (left > 0)
        setCurrentIndex(m->index(qMin(row, left - 1), 0, parent));
    else
        setCurrentIndex(parent);
}

void MTreeView::moveUpCurrent()
{
    moveUpIndex(currentIndex());
    scrollToCurrent();
}

void MTreeView::moveUpIndex(const QModelIndex &index)
{
    QAbstractItemModel *m = model();
    if (!m || !index.isValid() || index.row() == 0)
        return;
    const QModelIndex parent = index.parent();
    const int row = index.row();
    if (m->moveRows(parent, row, 1, parent, row - 1))
        setCurrentIndex(m->index(row - 1, 0, parent));
}

void MTreeView::moveDownCurrent()
{
    moveDownIndex(currentIndex());
    scrollToCurrent();
}

void MTreeView::moveDownIndex(const QModelIndex &index)
{
    QAbstractItemModel *m = model();
    if (!m || !index.isValid())
        return;
    const QModelIndex parent = index.parent();
    const int row = index.row();
    if (row + 1 >= m->rowCount(parent))
        return;
    // The row below moves above it.
    if (m->moveRows(parent, row + 1, 1, parent, row))
        setCurrentIndex(m->index(row + 1, 0, parent));
}

void MTreeView::moveRightCurrent()
{
    moveRightIndex(currentIndex());
    scrollToCurrent();
}

void MTreeView::moveRightIndex(const QModelIndex &index)
{
    QAbstractItemModel *m = model();
    if (!m || !index.isValid() || index.row() == 0)
        return;
    const QModelIndex parent = index.parent();
    const int row = index.row();
    const QPersistentModelIndex above = m->index(row - 1, 0, parent);
    if (m->columnCount(above) == 0 && !m->insertColumns(0, 1, above))
        return;
    const int last = m->rowCount(above);
    if (!m->moveRows(parent, row, 1, above, last))
        return;
    expand(above);
    setCurrentIndex(m->index(last, 0, above));
}

void MTreeView::moveLeftCurrent()
{
    moveLeftIndex(currentIndex());
    scrollToCurrent();
}

void MTreeView::moveLeftIndex(const QModelIndex &index)
{
    QAbstractItemModel *m = model();
    if (!m || !index.isValid() || !index.parent().isValid())
        return;
    const QPersistentModelIndex parent = index.parent();
    const QPersistentModelIndex grandParent = parent.parent();
    const int target = parent.row() + 1;
    if (!m->moveRows(parent, index.row(), 1, grandParent, target))
        return;
    expand(grandParent);
    setCurrentIndex(m->index(target, 0, grandParent));
}
