#include "minterfaceitem.h"

#include <QAction>

MInterfaceItem::MInterfaceItem(int toolId, int group, QObject *parent)
    : QObject(parent)
    , m_toolId(toolId)
    , m_group(group)
{
}

void MInterfaceItem::set_toolId(int value)
{
    if (value == m_toolId)
        return;
    m_toolId = value;
    emit toolIdChanged(value);
}

void MInterfaceItem::set_group(int value)
{
    if (value == m_group)
        return;
    m_group = value;
    emit groupChanged(value);
}

void MInterfaceItem::set_active(bool value)
{
    if (value == m_active)
        return;
    m_active = value;
    emit activeChanged(value);
}

void MInterfaceItem::set_autoShow(bool value)
{
    if (value == m_autoShow)
        return;
    m_autoShow = value;
    emit autoShowChanged(value);
}

void MInterfaceItem::set_description(const QString &value)
{
    if (value == m_description)
        return;
    m_description = value;
    emit descriptionChanged(value);
}

void MInterfaceItem::set_toolHint(const QString &value)
{
    if (value == m_toolHint)
        return;
    m_toolHint = value;
    emit toolHintChanged(value);
}

void MInterfaceItem::set_icon(const QIcon &value)
{
    m_icon = value;
}

void MInterfaceItem::set_toolAction(QAction *value)
{
    if (value == m_toolAction)
        return;
    m_toolAction = value;
    emit toolActionChanged(value);
}
