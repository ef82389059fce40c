#include "mzoomtool.h"

#include "mevent.h"
#include "mpaper.h"
#include "mtools.h"
#include "mtransform.h"
#include "mwidget.h"

#include <QVector2D>

#include <cmath>

MZoomTool::MZoomTool(ToolId toolId, QObject *parent)
    : MViewTool(toolId, parent)
{
}

bool MZoomTool::mousePressEvent(MEvent *event)
{
    if (MWidget *view = MTools::widget())
        m_startScale = view->transform()->scale();
    return MViewTool::mousePressEvent(event);
}

void MZoomTool::mouseMoveEvent(MEvent *event)
{
    MWidget *view = MTools::widget();
    if (!view || !dragging())
        return;
    const QPointF p = event->viewPosition;
    const QVector2D v(p - m_lastPosition);
    const double f = double(v.length()) / 400.0;
    const float d1 = QVector2D::dotProduct(QVector2D(float(p.x()), float(p.y() + 200.0)), v);
    const float d2 = QVector2D::dotProduct(QVector2D(float(p.x() + 200.0), float(p.y())), v);
    const float decisive = std::abs(d1) > std::abs(d2) ? d1 : d2;
    const double sign = decisive > 0.0f ? 1.0 : -1.0;
    MTransform *transform = view->transform();
    transform->setScale((sign * f + 1.0) * m_startScale, transform->map(paper()->paintedRect().center()));
    emit toolChanged(this);
}
