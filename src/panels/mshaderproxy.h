#pragma once

#include <QSortFilterProxyModel>

// The rows of the effect library of one type (effects or brush engines)
// whose group or description matches the filter.
class MShaderProxy : public QSortFilterProxyModel
{
    Q_OBJECT
public:
    explicit MShaderProxy(QObject *parent = nullptr);

    int type() const { return m_type; }
    // -1 lets every type through.
    void set(int type);
    // Rows whose group or description holds the trimmed text, in any case.
    void setSearchText(const QString &text);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;

private:
    int m_type = -1;
};
