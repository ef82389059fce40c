#pragma once

#include <QSortFilterProxyModel>
#include <QVector>

class MTableModel;
class QLineEdit;
class QTableView;

// Sits between a table model and the view that shows it: filters the rows by
// the text of an optional search field, sorts by a clicked column or goes back
// to the model's own order, shows chosen columns in a chosen order, and keeps
// the view's selection and the model's current row in step.
class MProxyModel : public QSortFilterProxyModel
{
    Q_OBJECT
public:
    MProxyModel(MTableModel *source, QTableView *view = nullptr, QLineEdit *filterEdit = nullptr,
                QObject *parent = nullptr);

    MTableModel *tableModel() const { return m_source; }
    int sortColumnIndex() const { return m_sortColumn; }
    QVector<QByteArray> visibleColumns() const { return m_visibleColumns; }

    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

public slots:
    void setModel(MTableModel *model);
    void setColumns(const QVector<QByteArray> &names);
    void setSortColumn(const QByteArray &name);
    void resetSort();
    void applyFilter();
    void doubleClick();
    void contextMenuRequested(const QPoint &pos);
    void setCurrentIndex();
    void setCurrentRow(const QModelIndex &current, const QModelIndex &previous);
    void onCurrentRowChanged();

signals:
    void doubleClick(int row, int column);
    void contextMenuRequested(const QPoint &pos, int row, int column);

private:
    QModelIndex currentSourceIndex() const;
    void sortInModelOrder();

    MTableModel *m_source = nullptr;
    QTableView *m_view = nullptr;
    QLineEdit *m_filterEdit = nullptr;
    int m_sortColumn = -1;
    QVector<QByteArray> m_visibleColumns;
};
