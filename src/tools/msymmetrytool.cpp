#include "msymmetrytool.h"

#include "mevent.h"
#include "mgeometry.h"
#include "mstrokestyle.h"
#include "mtools.h"
#include "mtoolvalues.h"
#include "mtransform.h"
#include "mwidget.h"

#include <QPainter>

MSymmetryTool::MSymmetryTool(ToolId toolId, QObject *parent)
    : MTool(toolId, parent)
{
    set_pointId(MToolValues::SymmetryPoints);
    clearPoints();
    addPoint(QPointF(0, 0));
    addPoint(QPointF(0, -200));
}

QPolygonF MSymmetryTool::symmetricPoints(const QPointF &p) const
{
    QPolygonF result(QVector<QPointF>{p});
    if (!visible())
        return result;
    const QPointF a = point(0);
    const QPointF b = point(1);
    const int n = intValue(MToolValues::SymmetryNumber);
    QPointF foot;
    // Two equal points give no axis: mirror through the centre instead.
    if (!MGeometry::projectOnLine(QLineF(a, b), p, foot))
        foot = a;
    const QPointF m = 2 * foot - p;
    if (n == 1) {
        result << m;
    } else if (n == 2) {
        result << m << 2 * a - p << 2 * a - m;
    } else {
        for (int i = 1; i < n; ++i)
            result << MGeometry::rotated(p, a, i * 360.0 / n);
    }
    return result;
}

void MSymmetryTool::setSymmetryNumber(int n)
{
    if (n == intValue(MToolValues::SymmetryNumber))
        return;
    setValue(MToolValues::SymmetryNumber, n);
    emit symmetryNumberChanged(n);
}

void MSymmetryTool::paint(QPainter *painter)
{
    MWidget *view = MTools::widget();
    if (!visible() || !view)
        return;
    painter->resetTransform();
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setPen(lineStyle()->pen());
    const QPointF a = view->transform()->map(point(0));
    const QPointF b = view->transform()->map(point(1));
    const int n = intValue(MToolValues::SymmetryNumber);
    if (n == 1) {
        painter->drawLine(a, b);
        painter->drawLine(a, 2 * a - b);
    } else {
        for (int i = 0; i < n; ++i)
            painter->drawLine(a, MGeometry::rotated(b, a, i * 360.0 / n));
    }
    if (!locked())
        drawPoints(painter, true);
}

bool MSymmetryTool::mousePressEvent(MEvent *event)
{
    return grabHandleAt(event);
}

void MSymmetryTool::mouseMoveEvent(MEvent *event)
{
    if (!MTools::widget())
        return;
    const QPointF p = event->canvasPosition();
    if (selectedPoint() == 0) {
        moveTo(p);
    } else if (selectedPoint() == 1) {
        const QPointF old = point(1);
        if (qAbs(old.x() - p.x()) <= 1e-12 && qAbs(old.y() - p.y()) <= 1e-12)
            return;
        setPoint(1, p);
        emit toolChanged(this);
    }
}

bool MSymmetryTool::keyPressEvent(QKeyEvent *)
{
    return false;
}

bool MSymmetryTool::updateCursor(const QPointF &viewPosition, double)
{
    return updateHandleCursor(viewPosition);
}
