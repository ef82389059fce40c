#pragma once

#include <QAbstractListModel>
#include <QHash>
#include <QMetaMethod>
#include <QMetaObject>

// The parts of a list model of objects that do not depend on who owns the
// objects: the current row, the drag data, the signals, and the roles, which
// are the item class's property names (role 256 + property index); a property
// change re-announces exactly the role of that property.
class MListModelBase : public QAbstractListModel
{
    Q_OBJECT
    Q_PROPERTY(int count READ count NOTIFY countChanged)
    Q_PROPERTY(int currentRow READ currentRow WRITE setCurrentRow NOTIFY currentRowChanged)
public:
    explicit MListModelBase(const QMetaObject &itemMetaObject, QObject *parent = nullptr);

    virtual int count() const = 0;
    virtual bool isEmpty() const { return count() == 0; }
    virtual int previousRow() const { return m_previousRow; }
    int roleOfProperty(const QByteArray &name) const;
    virtual int roleOfPropertyIndex(int index) const { return index + Qt::UserRole; }
    virtual QString mimeType() const { return m_mimeType; }
    virtual void setMimeType(const QString &mimeType) { m_mimeType = mimeType; }
    virtual bool isValidRow(int row) const { return row >= 0 && row < count(); }
    int currentRow() const { return m_currentRow; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    // A value the property cannot take is refused rather than reported as set.
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    QHash<int, QByteArray> roleNames() const override { return m_roleNames; }

public slots:
    virtual void setCurrentRow(int row);
    // Connected to the items' notify signals (m_onItemPropertyChanged).
    void onItemPropertyChanged();

signals:
    void currentRowChanged(int row);
    void countChanged(int count);
    void propertyChanged(int row, QObject *item, const QByteArray &name, const QVariant &value);

protected:
    // The item at row (null when none), and the row of an item (-1 when not in the list).
    virtual QObject *objectAt(int row) const = 0;
    virtual int rowOfObject(const QObject *object) const = 0;

    QMetaMethod m_onItemPropertyChanged;
    int m_currentRow = -1;
    int m_previousRow = -1;
    QString m_mimeType;
    QHash<int, QByteArray> m_roleNames;
    QHash<int, int> m_notifyRoles;
    QMetaObject m_itemMetaObject;
};
