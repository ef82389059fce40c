#include "mviewtool.h"

#include "mevent.h"
#include "mtools.h"
#include "mwidget.h"

bool MViewTool::mousePressEvent(MEvent *event)
{
    m_lastPosition = event->viewPosition;
    m_dragging = true;
    if (MWidget *view = MTools::widget())
        view->setCursor(Qt::ClosedHandCursor);
    return true;
}

void MViewTool::mouseReleaseEvent(MEvent *)
{
    m_dragging = false;
    if (MWidget *view = MTools::widget())
        view->setCursor(Qt::OpenHandCursor);
}

bool MViewTool::updateCursor(const QPointF &, double)
{
    setCursor(m_dragging ? Qt::ClosedHandCursor : Qt::OpenHandCursor);
    return true;
}
