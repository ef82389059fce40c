#pragma once

#include <QVector>

// A small owning list of object pointers with a current index and hooks for
// creation and removal.
template <class T>
class MList
{
public:
    MList() = default;
    MList(const MList &) = delete;
    MList &operator=(const MList &) = delete;
    virtual ~MList() { clear(); }

    int count() const { return m_items.size(); }
    T *at(int index) const { return index >= 0 && index < m_items.size() ? m_items.at(index) : nullptr; }
    int current() const { return m_current; }
    int indexOf(T *item) const { return m_items.indexOf(item); }

    virtual void clear()
    {
        for (T *item : qAsConst(m_items)) {
            itemRemoved(item);
            delete item;
        }
        m_items.clear();
    }

    virtual int append(T *item)
    {
        m_items.append(item);
        m_current = m_items.size() - 1;
        return m_current;
    }

    virtual T *appendNew()
    {
        T *item = new T;
        itemCreated(item);
        append(item);
        return item;
    }

    virtual void prepend(T *item)
    {
        m_items.prepend(item);
        m_current = 0;
    }

    virtual T *prependNew()
    {
        T *item = new T;
        itemCreated(item);
        prepend(item);
        return item;
    }

    virtual void insert(int index, T *item)
    {
        if (index <= 0) {
            prepend(item);
        } else if (index > m_items.size() - 1) {
            append(item);
        } else {
            m_items.insert(index, item);
            m_current = index;
        }
    }

    virtual T *insertNew(int index)
    {
        T *item = new T;
        itemCreated(item);
        insert(index, item);
        return item;
    }

    virtual void itemRemoved(T *) {}
    virtual void itemCreated(T *) {}

    virtual void removeAt(int index)
    {
        if (index < 0 || index >= m_items.size())
            return;
        T *item = m_items.at(index);
        itemRemoved(item);
        delete item;
        m_items.removeAt(index);
    }

    virtual void moveUp(int index)
    {
        if (index <= 0 || index >= m_items.size())
            return;
        m_items.swapItemsAt(index - 1, index);
        m_current = index - 1;
    }

    virtual void moveDown(int index)
    {
        if (index < 0 || index >= m_items.size() - 1)
            return;
        m_items.swapItemsAt(index, index + 1);
        m_current = index + 1;
    }

protected:
    QVector<T *> m_items;
    int m_current = -1;
};
