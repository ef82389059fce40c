#pragma once

#include <QAbstractListModel>
#include <QMetaMethod>

// The parts of the owning list model that do not depend on the item class:
// the current row, the drag data and the signals.
class MListModelBase : public QAbstractListModel
{
    Q_OBJECT
    Q_PROPERTY(int count READ count NOTIFY countChanged)
    Q_PROPERTY(int currentRow READ currentRow WRITE setCurrentRow NOTIFY currentRowChanged)
public:
    explicit MListModelBase(QObject *parent = nullptr);

    virtual int count() const = 0;
    virtual void clear() = 0;
    virtual bool isEmpty() const { return count() == 0; }
    virtual int previousRow() const { return m_previousRow; }
    virtual int roleOfProperty(const QByteArray &name) const = 0;
    virtual int roleOfPropertyIndex(int index) const { return index + Qt::UserRole; }
    virtual QString mimeType() const { return m_mimeType; }
    virtual void setMimeType(const QString &mimeType) { m_mimeType = mimeType; }
    virtual bool isValidRow(int row) const { return row >= 0 && row < count(); }
    int currentRow() const { return m_currentRow; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

public slots:
    virtual void setCurrentRow(int row);
    virtual void onItemPropertyChanged() = 0;

signals:
    void currentRowChanged(int row);
    void countChanged(int count);
    void propertyChanged(int row, QObject *item, const QByteArray &name, const QVariant &value);

protected:
    QMetaMethod m_onItemPropertyChanged;
    int m_currentRow = -1;
    int m_previousRow = -1;
    QString m_mimeType;
};
