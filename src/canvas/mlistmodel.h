#pragma once

#include "mlistmodelbase.h"
#include "mlogger.h"
#include "mtablemodel.h"
#include "mutility.h"

#include <QJsonDocument>

// A list model that owns objects of class T.
template <class T>
class MListModel : public MListModelBase
{
public:
    explicit MListModel(QObject *parent = nullptr)
        : MListModelBase(T::staticMetaObject, parent)
    {
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

    virtual void clear()
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

protected:
    QObject *objectAt(int row) const override { return at(row); }
    int rowOfObject(const QObject *object) const override
    {
        return m_items.indexOf(qobject_cast<T *>(const_cast<QObject *>(object)));
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
};
