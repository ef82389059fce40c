#pragma once

#include "mpickitem.h"

#include <QVector>

// The ordered choices of an integer value; items are held by value.
class MPickList
{
public:
    MPickList() = default;
    virtual ~MPickList() = default;

    void append(const MPickItem &item) { m_items.append(item); }
    int count() const { return m_items.size(); }
    MPickItem item(int index) const { return m_items.value(index); }
    void clear() { m_items.clear(); }

private:
    QVector<MPickItem> m_items;
};
