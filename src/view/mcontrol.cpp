#include "mcontrol.h"

#include "mevent.h"

MControl::MControl(QObject *parent)
    : QObject(parent)
{
}

bool MControl::dispatch(MEvent *e)
{
    if (!e)
        return false;
    switch (e->type) {
    case MEvent::Press:
        return mousePressEvent(e);
    case MEvent::Hover:
        return mouseHoverEvent(e);
    case MEvent::Move:
        return mouseMoveEvent(e);
    case MEvent::Release:
        return mouseReleaseEvent(e);
    default:
        return false;
    }
}

void MControl::set_enabled(bool value)
{
    if (m_enabled == value)
        return;
    m_enabled = value;
    emit enabledChanged(value);
}

void MControl::set_visible(bool value)
{
    if (m_visible == value)
        return;
    m_visible = value;
    emit visibleChanged(value);
}

QRectF MControl::rect()
{
    return QRectF();
}

void MControl::paintGL()
{
}

void MControl::paint(QPainter *)
{
}

bool MControl::wheelEvent(QWheelEvent *)
{
    return false;
}

bool MControl::mousePressEvent(MEvent *)
{
    return false;
}

bool MControl::mouseMoveEvent(MEvent *)
{
    return false;
}

bool MControl::mouseReleaseEvent(MEvent *)
{
    return false;
}

bool MControl::mouseHoverEvent(MEvent *)
{
    return false;
}

bool MControl::mouseDoubleClickEvent(MEvent *)
{
    return false;
}

bool MControl::updateCursor(const QPointF &)
{
    return false;
}
