#pragma once

#include <QTreeView>

// A tree view that edits its model's tree: rows inserted, removed and moved
// through the model's row operations, the new or moved row made current.
class MTreeView : public QTreeView
{
    Q_OBJECT
public:
    explicit MTreeView(QWidget *parent = nullptr);

public slots:
    void insertAboveCurrent();
    void insertAboveIndex(const QModelIndex &index);
    void insertUnderCurrent();
    void insertUnderIndex(const QModelIndex &index);
    void prependChildToCurrent();
    void prependChildToIndex(const QModelIndex &index);
    void appendChildToCurrent();
    void appendChildToIndex(const QModelIndex &index);
    void removeCurrent();
    void removeIndex(const QModelIndex &index);
    void moveUpCurrent();
    void moveUpIndex(const QModelIndex &index);
    void moveDownCurrent();
    void moveDownIndex(const QModelIndex &index);
    void moveRightCurrent();
    void moveRightIndex(const QModelIndex &index);
    void moveLeftCurrent();
    void moveLeftIndex(const QModelIndex &index);

private:
    void insertSibling(const QModelIndex &index, int offset);
    void insertChild(const QModelIndex &index, bool atEnd);
    void scrollToCurrent();
};
