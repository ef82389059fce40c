#pragma once

#include <QSortFilterProxyModel>

// Narrows the code-fragment library to the fragments whose description
// matches the filter pattern.
class MSnippetProxy : public QSortFilterProxyModel
{
    Q_OBJECT
public:
    explicit MSnippetProxy(QObject *parent = nullptr);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;
};
