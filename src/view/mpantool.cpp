#include "mpantool.h"

#include "mevent.h"
#include "mtools.h"
#include "mtransform.h"
#include "mwidget.h"

#include <cmath>

MPanTool::MPanTool(ToolId toolId, QObject *parent)
    : MViewTool(toolId, parent)
{
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
