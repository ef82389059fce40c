#pragma once

#include "mlistmodelbase.h"
#include "mlogger.h"
#include "mtablemodel.h"
#include "mutility.h"

#include <QJsonDocument>
#include <QMetaProperty>

// A list model that owns objects of class T; its roles are T's property names
// (role 256 + property index) and a property change re-announces exactly the
// role of that property.
template <class T>
class MListModel : public MListModelBase
{
public:
    explicit MListModel(QObject *parent = nullptr)
        : MListModelBase(parent)
        , m_itemMetaObject(T::staticMetaObject)
    {
        initRoleNames();
    }

    // Views may still be attached while a derived model is half destroyed:
    // the items go silently.
    ~MListModel() override
    {
        for (T *item : qAsConst(m_items)) {
            setNotifySignalsConnected(item, this, m_onItemPropertyChanged, false);
            releaseItem(item);
        }
        qDeleteAll(m_items);
        m_items.clear();
    }

    int count() const override { return m_items.size(); }

    T *at(int row) const { return isValidRow(row) ? m_items.at(row) : nullptr; }
    T *current() const { return at(m_currentRow); }
    T *first() const { return at(0); }
    T *last() const { return at(m_items.size() - 1); }
    int indexOf(T *item) const { return m_items.indexOf(item); }

    int roleOfProperty(const QByteArray &name) const override
    {
        const int index = m_itemMetaObject.indexOfProperty(name.constData());
        return index < 0 ? -1 : roleOfPropertyIndex(index);
    }

    virtual void insertAt(int row, T *item)
    {
        // A second insertion of one item would delete it twice.
        if (!item || m_items.contains(item))
            return;
        row = qBound(0, row, m_items.size());
        beginInsertRows(QModelIndex(), row, row);
        m_items.insert(row, item);
        setNotifySignalsConnected(item, this, m_onItemPropertyChanged, true);
        endInsertRows();
        setCurrentRow(row);
        emit countChanged(m_items.size());
        onItemInserted(item);
    }

    virtual T *insertNew(int row)
    {
        T *item = new T;
        insertAt(row, item);
        return item;
    }
    virtual void appendItem(T *item) { insertAt(m_items.size(), item); }
    virtual T *appendNew() { return insertNew(m_items.size()); }
    virtual void prependItem(T *item) { insertAt(0, item); }
    virtual T *prependNew() { return insertNew(0); }
    virtual void removeCurrent() { removeAt(m_currentRow); }

    virtual void removeAt(int row) { detachAt(row, true); }
    // Takes the item out of the list without releasing it: the caller owns it.
    virtual T *takeAt(int row) { return detachAt(row, false); }

    virtual void moveUp(int row)
    {
        if (row < 1 || row >= m_items.size())
            return;
        T *remembered = current();
        beginMoveRows(QModelIndex(), row, row, QModelIndex(), row - 1);
        m_items.swapItemsAt(row - 1, row);
        endMoveRows();
        setCurrentRow(row - 1);
        onItemMoved(remembered);
    }

    virtual void moveDown(int row)
    {
        if (row < 0 || row >= m_items.size() - 1)
            return;
        moveUp(row + 1);
        setCurrentRow(row + 1);
    }

    void clear() override
    {
        if (!m_items.isEmpty()) {
            beginRemoveRows(QModelIndex(), 0, m_items.size() - 1);
            for (T *item : qAsConst(m_items)) {
                setNotifySignalsConnected(item, this, m_onItemPropertyChanged, false);
                releaseItem(item);
            }
            qDeleteAll(m_items);
            m_items.clear();
            endRemoveRows();
        }
        setCurrentRow(-1);
        emit countChanged(0);
    }

    virtual void onItemInserted(T *) {}
    virtual void onItemMoved(T *) {}
    virtual void releaseItem(T *) {}

    virtual void connectAll()
    {
        for (T *item : qAsConst(m_items))
            setNotifySignalsConnected(item, this, m_onItemPropertyChanged, true);
    }
    virtual void disconnectAll()
    {
        for (T *item : qAsConst(m_items))
            setNotifySignalsConnected(item, this, m_onItemPropertyChanged, false);
    }

    virtual bool saveToFile(const QString &path)
    {
        QJsonArray array;
        for (T *item : qAsConst(m_items)) {
            QJsonObject object;
            objectToJson(object, item);
            array.append(object);
        }
        if (MUtility::writeTextFile(QString::fromUtf8(QJsonDocument(array).toJson()), path))
            return true;
        *MLogger::instance() << QStringLiteral("System error: %1").arg(QStringLiteral("Unable to write file %1").arg(path));
        return false;
    }

    virtual bool loadFromFile(const QString &path)
    {
        QJsonArray array;
        if (!readJsonArrayFile(path, array))
            return false;
        clear();
        beginInsertRows(QModelIndex(), 0, array.size() - 1);
        for (const QJsonValue &value : qAsConst(array)) {
            T *item = new T;
            jsonToObject(value.toObject(), item);
            setNotifySignalsConnected(item, this, m_onItemPropertyChanged, true);
            m_items.append(item);
            m_currentRow = m_items.size() - 1;
            onItemInserted(item);
        }
        endInsertRows();
        setCurrentRow(0);
        emit countChanged(m_items.size());
        return true;
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        const QByteArray name = m_roleNames.value(role);
        const T *item = index.isValid() ? at(index.row()) : nullptr;
        if (name.isEmpty() || !item)
            return QVariant();
        return item->property(name.constData());
    }

    // A value the property cannot take is refused rather than reported as set.
    bool setData(const QModelIndex &index, const QVariant &value, int role) override
    {
        const QByteArray name = m_roleNames.value(role);
        T *item = index.isValid() ? at(index.row()) : nullptr;
        if (name.isEmpty() || !item)
            return false;
        return item->setProperty(name.constData(), value);
    }

    QHash<int, QByteArray> roleNames() const override { return m_roleNames; }

    void onItemPropertyChanged() override
    {
        T *item = qobject_cast<T *>(sender());
        const int row = item ? m_items.indexOf(item) : -1;
        const int role = m_notifyRoles.value(senderSignalIndex(), -1);
        if (row < 0 || role < 0)
            return;
        const QModelIndex changed = index(row);
        emit dataChanged(changed, changed, {role});
    }

protected:
    virtual void initRoleNames()
    {
        m_roleNames.clear();
        m_notifyRoles.clear();
        for (int i = 0; i < m_itemMetaObject.propertyCount(); ++i) {
            const QMetaProperty property = m_itemMetaObject.property(i);
            const int role = roleOfPropertyIndex(i);
            m_roleNames.insert(role, property.name());
            // Properties sharing one notify signal: the first one is announced.
            if (property.hasNotifySignal() && !m_notifyRoles.contains(property.notifySignalIndex()))
                m_notifyRoles.insert(property.notifySignalIndex(), role);
        }
    }

    // Removes the row's item; a destroyed item is released and deleted first.
    T *detachAt(int row, bool destroy)
    {
        if (!isValidRow(row))
            return nullptr;
        beginRemoveRows(QModelIndex(), row, row);
        T *item = m_items.at(row);
        setNotifySignalsConnected(item, this, m_onItemPropertyChanged, false);
        if (destroy)
            releaseItem(item);
        m_items.removeAt(row);
        if (destroy) {
            delete item;
            item = nullptr;
        }
        endRemoveRows();
        if (m_items.isEmpty()) {
            setCurrentRow(-1);
        } else {
            const int remembered = m_currentRow;
            setCurrentRow(-1);
            setCurrentRow(qMin(remembered, m_items.size() - 1));
        }
        emit countChanged(m_items.size());
        return item;
    }

    QList<T *> m_items;
    QHash<int, QByteArray> m_roleNames;
    QHash<int, int> m_notifyRoles;
    QMetaObject m_itemMetaObject;
};
