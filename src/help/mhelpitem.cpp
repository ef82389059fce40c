#include "mhelpitem.h"

MHelpItem::MHelpItem(QObject *parent)
    : QObject(parent)
{
}

MHelpItem::~MHelpItem()
{
    qDeleteAll(m_children);
}

bool MHelpItem::addChild(MHelpItem *item)
{
    item->set_parentItem(this);
    m_children.append(item);
    return true;
}

MHelpItem *MHelpItem::child(int index) const
{
    return m_children.value(index, nullptr);
}

int MHelpItem::indexOf(const MHelpItem *item) const
{
    return m_children.indexOf(const_cast<MHelpItem *>(item));
}

int MHelpItem::depth() const
{
    int depth = 0;
    for (const MHelpItem *item = m_parentItem; item; item = item->parentItem())
        ++depth;
    return depth;
}

void MHelpItem::set_parentItem(MHelpItem *value)
{
    if (m_parentItem == value)
        return;
    m_parentItem = value;
    emit parentItemChanged(value);
}

void MHelpItem::set_title(const QString &value)
{
    if (m_title == value)
        return;
    m_title = value;
    emit titleChanged(value);
}

void MHelpItem::set_id(const QString &value)
{
    if (m_id == value)
        return;
    m_id = value;
    emit idChanged(value);
}
