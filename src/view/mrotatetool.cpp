#include "mrotatetool.h"

#include "mevent.h"
#include "mpaper.h"
#include "mtools.h"
#include "mtransform.h"
#include "mwidget.h"

#include <QLineF>
#include <QPainter>

#include <cmath>

namespace {
QPointF shownCentre(MWidget *view, const MPaper *paper)
{
    return view->transform()->map(paper->paintedRect().center());
}
} // namespace

MRotateTool::MRotateTool(ToolId toolId, QObject *parent)
    : MViewTool(toolId, parent)
{
}

void MRotateTool::paint(QPainter *painter)
{
    MWidget *view = MTools::widget();
    if (!visible() || !view)
        return;
    const QPointF c = shownCentre(view, paper());
    const double rotation = view->transform()->rotation();
    const double r = rotation * M_PI / 180.0;
    painter->save();
    painter->resetTransform();
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setPen(QPen(QBrush(Qt::darkGray), 1.0, Qt::DotLine));
    painter->setBrush(Qt::NoBrush);
    painter->drawLine(QLineF(c, c + QPointF(200.0, 0.0)));
    painter->drawLine(QLineF(c, c + 200.0 * QPointF(std::cos(r), std::sin(r))));
    const int l = int(rotation) % 360;
    const QRectF square(c.x() - 50.0, c.y() - 50.0, 100.0, 100.0);
    int shown = l;
    if (l > 180) {
        shown = 360 - l;
        painter->drawArc(square, 0, shown * 16);
    } else {
        painter->drawArc(square, 0, -l * 16);
    }
    painter->drawText(QPoint(int(c.x() + 30.0), int(c.y() + 15.0)), QStringLiteral("%1°").arg(shown));
    painter->restore();
}

void MRotateTool::mouseMoveEvent(MEvent *event)
{
    MWidget *view = MTools::widget();
    if (!view)
        return;
    const QPointF c = shownCentre(view, paper());
    double a = QLineF(c, event->viewPosition).angleTo(QLineF(c, m_lastPosition));
    // The shorter way round: a small turn against the clock is a small
    // negative step, not almost a full turn added to the rotation.
    if (a > 180.0)
        a -= 360.0;
    MTransform *transform = view->transform();
    transform->setRotation(transform->rotation() + a);
    m_lastPosition = event->viewPosition;
    emit toolChanged(this);
}

bool MRotateTool::updateCursor(const QPointF &viewPosition, double scale)
{
    MViewTool::updateCursor(viewPosition, scale);
    return !dragging();
}
