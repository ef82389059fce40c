#include "mlinetool.h"

#include "mevent.h"
#include "mperspectivetool.h"
#include "mrandom.h"
#include "mrullertool.h"
#include "msplinepath.h"
#include "mstrokestyle.h"
#include "mtools.h"
#include "mtoolvalues.h"
#include "mtransform.h"
#include "mwidget.h"

#include <QKeyEvent>
#include <QPainter>
#include <QVector2D>

#include <algorithm>
#include <cmath>

namespace {
QPointF snappedPosition(const MEvent *event)
{
    const QPointF p(event->inputs[MEnum::biPositionX], event->inputs[MEnum::biPositionY]);
    MWidget *view = MTools::widget();
    return view ? view->snapToGrid(p) : p;
}

// A guide of the registry while it is shown.
template <class T>
T *shownGuide(int id)
{
    auto *guide = MTools::instance()->tool<T>(id);
    return guide && guide->visible() ? guide : nullptr;
}

// In [-4, 4] canvas pixels.
double wobble()
{
    return MRandom::unit() * 8.0 - 4.0;
}
} // namespace

MLineTool::MLineTool(ToolId toolId, QObject *parent)
    : MTool(toolId, parent)
{
    clearPoints();
    set_pointId(MToolValues::LinePoints);
    connect(this, &MLineTool::lineTypeChanged, this, &MLineTool::resetBuildPath);
    connect(this, &MLineTool::closeFigureChanged, this, &MLineTool::computeBuildPath);
    connect(this, &MLineTool::handDrawChanged, this, &MLineTool::computeBuildPath);
}

void MLineTool::set_lineType(int value)
{
    if (value == m_lineType)
        return;
    m_lineType = value;
    emit lineTypeChanged(value);
    emit toolChanged(this);
}

void MLineTool::set_closeFigure(bool value)
{
    if (value == m_closeFigure)
        return;
    m_closeFigure = value;
    emit closeFigureChanged(value);
    emit toolChanged(this);
}

void MLineTool::set_handDraw(bool value)
{
    if (value == m_handDraw)
        return;
    m_handDraw = value;
    emit handDrawChanged(value);
    emit toolChanged(this);
}

void MLineTool::set_angleStep(int value)
{
    if (value == m_angleStep)
        return;
    m_angleStep = value;
    emit angleStepChanged(value);
    emit toolChanged(this);
}

void MLineTool::activate(bool on)
{
    set_visible(on);
}

void MLineTool::init()
{
    m_lineType = SingleLineType;
    m_closeFigure = false;
    m_handDraw = false;
    m_buildPath = QPainterPath();
    m_angleStep = 5;
    clearPoints();
}

void MLineTool::resetBuildPath()
{
    m_buildPath = QPainterPath();
    clearPoints();
    emit toolChanged(this);
}

QPointF MLineTool::alignedEnd(const QPointF &a, const QPointF &b, bool useRuler)
{
    if (auto *perspective = shownGuide<MPerspectiveTool>(PerspectiveTool))
        return perspective->alignToPerspective(QLineF(a, b)).p2();
    if (useRuler) {
        if (auto *ruler = shownGuide<MRullerTool>(RullerTool))
            return ruler->alignToRuler(QLineF(a, b)).p2();
    }
    return b;
}

void MLineTool::computeBuildPath()
{
    const QVector<QPointF> p = points();
    const int n = p.size();
    m_buildPath = QPainterPath();
    if (n == 0)
        return;
    switch (m_lineType) {
    case SingleLineType:
        m_buildPath.moveTo(p.at(0));
        m_buildPath.lineTo(alignedEnd(p.at(0), n == 2 ? p.at(1) : m_cursorPoint, true));
        break;
    case PolyLineType:
        // Each segment is aligned from the stored previous point.
        m_buildPath.moveTo(p.at(0));
        for (int i = 1; i < n; ++i)
            m_buildPath.lineTo(alignedEnd(p.at(i - 1), p.at(i), false));
        m_buildPath.lineTo(alignedEnd(p.at(n - 1), m_cursorPoint, false));
        if (m_closeFigure)
            m_buildPath.closeSubpath();
        break;
    case CurvedLineType: {
        MSplinePath spline;
        spline.setClosed(m_closeFigure);
        spline.setPoints(QVector<QPointF>(p) << m_cursorPoint);
        m_buildPath = spline.path;
        break;
    }
    default:
        break;
    }
    if (m_handDraw && m_lineType != CurvedLineType)
        m_buildPath = handDrawn(m_buildPath);
    emit toolChanged(this);
}

QPainterPath MLineTool::handDrawn(const QPainterPath &path)
{
    QPainterPath result;
    const QList<QPolygonF> polygons = path.toSubpathPolygons(QTransform());
    for (const QPolygonF &polygon : polygons) {
        for (int i = 1; i < polygon.size(); ++i) {
            const QPointF A = polygon.at(i - 1);
            const QPointF B = polygon.at(i);
            result.moveTo(A);
            const double length = double(QVector2D(B - A).length());
            const double m = std::max(4.0, length / 25.0);
            auto at = [&A, &B](double u) {
                const double ease = ((6.0 * u - 15.0) * u + 10.0) * u * u * u;
                return A + (B - A) * ease;
            };
            for (int k = 1; k <= m; ++k) {
                const QPointF from = at((k - 1) / m);
                const QPointF to = at(k / m);
                const double dy = wobble();
                const double dx = wobble();
                result.quadTo(from + QPointF(dx, dy), to);
                result.moveTo(to);
            }
        }
    }
    return result;
}

QPointF MLineTool::constrainAngle(const QPointF &q)
{
    if (pointCount() == 0)
        return q;
    const QPointF origin = point(0);
    const QLineF line(origin, q);
    const int step = int(std::max(1.0, std::min(double(m_angleStep), 360.0)));
    int k = int(line.angle());
    k -= k % step;
    k %= 360;
    showText(tr("Angle: %1°").arg(k));
    return origin + QLineF::fromPolar(line.length(), k).p2();
}

void MLineTool::apply(Qt::KeyboardModifiers)
{
    apply();
}

void MLineTool::apply()
{
    MWidget *view = MTools::widget();
    if (!view)
        return;
    computeBuildPath();
    if (m_buildPath.isEmpty())
        return;
    strokePath(m_buildPath, true, currentPaint());
    m_buildPath = QPainterPath();
    clearPoints();
    emit toolChanged(this);
}

bool MLineTool::mousePressEvent(MEvent *event)
{
    if (!MTools::widget())
        return false;
    const bool single = m_lineType == SingleLineType;
    if (!single && pointCount() == 0)
        showText(tr("Press control and click or double-click to add the last point and draw figure"));
    if (single && pointCount() == 2)
        return true;
    if (single || !event->hasControlModifier()) {
        if (event->button != Qt::LeftButton)
            return false;
        m_cursorPoint = snappedPosition(event);
        addPoint(m_cursorPoint);
        if (!single || pointCount() != 2) {
            computeBuildPath();
            return true;
        }
        if (event->hasControlModifier())
            setPoint(1, constrainAngle(point(1)));
        apply();
        return true;
    }
    // Control-click ends a polyline or curve at the last hover position.
    apply();
    return true;
}

void MLineTool::mouseHoverEvent(MEvent *event)
{
    if (!MTools::widget())
        return;
    m_cursorPoint = snappedPosition(event);
    if (event->hasControlModifier())
        m_cursorPoint = constrainAngle(m_cursorPoint);
    computeBuildPath();
    emit toolChanged(this);
}

void MLineTool::mouseDoubleClickEvent(MEvent *)
{
    apply();
}

bool MLineTool::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if (key == Qt::Key_Backspace || (key == Qt::Key_Delete && event->modifiers().testFlag(Qt::ControlModifier))) {
        removePoint();
        computeBuildPath();
        emit toolChanged(this);
        return true;
    }
    if (key == Qt::Key_Escape) {
        m_buildPath = QPainterPath();
        clearPoints();
        emit toolChanged(this);
        return true;
    }
    // The keypad's Enter confirms like Return.
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
        apply();
        return true;
    }
    return false;
}

void MLineTool::paint(QPainter *painter)
{
    MWidget *view = MTools::widget();
    if (!view || !visible() || m_buildPath.isEmpty())
        return;
    painter->resetTransform();
    painter->setClipping(true);
    painter->setClipRect(view->rect());
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setPen(lineStyle()->pen());
    painter->setBrush(Qt::NoBrush);
    painter->drawPath(view->transform()->mapPath(m_buildPath));
}
