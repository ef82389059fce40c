#include "mpantool.h"

#include "mevent.h"
#include "mtools.h"
#include "mtransform.h"
#include "mwidget.h"

#include <cmath>

MPanTool::MPanTool(ToolId toolId, QObject *parent)
    : MTool(toolId, parent)
{
}

bool MPanTool::mousePressEvent(MEvent *event)
{
    m_lastPosition = event->viewPosition;
    m_dragging = true;
    if (MWidget *view = MTools::widget())
        view->setCursor(Qt::ClosedHandCursor);
    return true;
}

void MPanTool::mouseMoveEvent(MEvent *event)
{
    MWidget *view = MTools::widget();
    if (!view)
        return;
    const QPointF d = event->viewPosition - m_lastPosition;
    m_step = QPointF(std::floor(d.x() + 0.5), std::floor(d.y() + 0.5));
    m_lastPosition = event->viewPosition;
    view->transform()->translate(m_step);
    emit toolChanged(this);
}

void MPanTool::mouseReleaseEvent(MEvent *)
{
    m_dragging = false;
    if (MWidget *view = MTools::widget())
        view->setCursor(Qt::OpenHandCursor);
}

bool MPanTool::updateCursor(const QPointF &, double)
{
    setCursor(m_dragging ? Qt::ClosedHandCursor : Qt::OpenHandCursor);
    return true;
}
