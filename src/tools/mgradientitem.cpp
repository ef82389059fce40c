#include "mgradientitem.h"

#include <QtMath>

MGradientItem::MGradientItem(QObject *parent)
    : QObject(parent)
{
}

void MGradientItem::set_stop(double value)
{
    if (value == m_stop)
        return;
    m_stop = value;
    emit stopChanged(value);
}

void MGradientItem::set_color(const QColor &value)
{
    if (value == m_color)
        return;
    m_color = value;
    emit colorChanged(value);
}

void MGradientItem::set_point(const QPointF &value)
{
    // Re-placing stops along the segment must not count rounding noise as a move.
    if (qAbs(value.x() - m_point.x()) <= 1e-12 && qAbs(value.y() - m_point.y()) <= 1e-12)
        return;
    m_point = value;
    emit pointChanged(value);
}
