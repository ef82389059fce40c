#include "mperspectivetool.h"

#include "mevent.h"
#include "mgeometry.h"
#include "msettings.h"
#include "mstrokestyle.h"
#include "mtools.h"
#include "mtoolvalues.h"
#include "mtransform.h"
#include "mundohistory.h"
#include "mutility.h"
#include "mwidget.h"

#include <QPainter>
#include <QVector2D>

#include <algorithm>
#include <cmath>

namespace {
const QString leftVanishingPointKey = QStringLiteral("Perspective/leftVanishingPoint");
const QString rightVanishingPointKey = QStringLiteral("Perspective/rightVanishingPoint");
const QString verticalVanishingPointKey = QStringLiteral("Perspective/verticalVanishingPoint");
const QString leftDistanceKey = QStringLiteral("Perspective/leftDistance");
const QString rightDistanceKey = QStringLiteral("Perspective/rightDistance");
const QString verticalDistanceKey = QStringLiteral("Perspective/verticalDistance");
const QString showLinesKey = QStringLiteral("Perspective/showLines");
const QString showCursorLinesKey = QStringLiteral("Perspective/showCursorLines");
const QString lockLinesKey = QStringLiteral("Perspective/lockLines");
const QString lockAngleKey = QStringLiteral("Perspective/lockAngle");

// v normalised in single precision, the null vector staying null.
QPointF unit(const QPointF &v)
{
    return QVector2D(v).normalized().toPointF();
}

// Where the line a1 a2 meets the line b1 b2; fallback when they run parallel.
QPointF meet(const QPointF &a1, const QPointF &a2, const QPointF &b1, const QPointF &b2, const QPointF &fallback)
{
    QPointF p;
    if (QLineF(a1, a2).intersects(QLineF(b1, b2), &p) == QLineF::NoIntersection)
        return fallback;
    return p;
}

// The acute angle between two lines, whatever their directions, in degrees.
double deviation(const QLineF &a, const QLineF &b)
{
    const double turn = a.angleTo(b);
    const double between = turn > 180.0 ? 360.0 - turn : turn;
    return between > 90.0 ? 180.0 - between : between;
}
} // namespace

MPerspectiveTool::Corners MPerspectiveTool::Figure::corners()
{
    const QPointF VL = tool->point(1), VR = tool->point(2), VV = tool->point(3);
    Corners k;
    k.c = corner;
    k.L = tool->leftVanishingPoint() ? corner + unit(VL - corner) * leftLength : corner - QPointF(leftLength, 0);
    k.R = tool->rightVanishingPoint() ? corner + unit(VR - corner) * rightLength : corner + QPointF(rightLength, 0);
    k.T = tool->verticalVanishingPoint() ? corner + unit(VV - corner) * height : corner - QPointF(0, height);
    // Parallel construction lines: the corner stays where it was last found;
    // a figure that never had one is completed as a parallelogram.
    const QPointF up = k.T - k.c;
    k.G = meet(k.L, VR, k.R, VL, known ? last.G : k.L + k.R - k.c);
    const QPointF overL = tool->verticalVanishingPoint() ? VV : k.L + QPointF(0, 1);
    const QPointF overR = tool->verticalVanishingPoint() ? VV : k.R + QPointF(0, 1);
    k.TL = meet(k.T, VL, k.L, overL, known ? last.TL : k.L + up);
    k.TR = meet(k.T, VR, k.R, overR, known ? last.TR : k.R + up);
    k.K = meet(k.TL, VR, k.TR, VL, known ? last.K : k.TL + k.TR - k.T);
    last = k;
    known = true;
    return k;
}

MPerspectiveTool::MPerspectiveTool(ToolId toolId, QObject *parent)
    : MTool(toolId, parent)
{
    set_pointId(MToolValues::PerspectivePoints);
    set_visible(false);
    set_locked(false);
    MSettings *settings = MSettings::instance();
    m_leftVanishingPoint = settings->boolValue(leftVanishingPointKey, true);
    m_rightVanishingPoint = settings->boolValue(rightVanishingPointKey, true);
    m_verticalVanishingPoint = settings->boolValue(verticalVanishingPointKey, true);
    // Stored values are held to what the setters allow.
    m_leftDistance = std::max(minimumDistance, settings->doubleValue(leftDistanceKey, 2000.0));
    m_rightDistance = std::max(minimumDistance, settings->doubleValue(rightDistanceKey, 2000.0));
    m_verticalDistance = keptFromZero(settings->doubleValue(verticalDistanceKey, 2000.0));
    m_showLines = settings->boolValue(showLinesKey, true);
    m_showCursorLines = settings->boolValue(showCursorLinesKey, false);
    m_lockLines = settings->boolValue(lockLinesKey, true);
    m_lockAngle = settings->intValue(lockAngleKey, 20);
    resetPoints();
}

MPerspectiveTool::~MPerspectiveTool()
{
    MSettings *settings = MSettings::instance();
    settings->setValue(leftVanishingPointKey, m_leftVanishingPoint);
    settings->setValue(rightVanishingPointKey, m_rightVanishingPoint);
    settings->setValue(verticalVanishingPointKey, m_verticalVanishingPoint);
    settings->setValue(leftDistanceKey, m_leftDistance);
    settings->setValue(rightDistanceKey, m_rightDistance);
    settings->setValue(verticalDistanceKey, m_verticalDistance);
    settings->setValue(showLinesKey, m_showLines);
    settings->setValue(showCursorLinesKey, m_showCursorLines);
    settings->setValue(lockLinesKey, m_lockLines);
    settings->setValue(lockAngleKey, m_lockAngle);
    qDeleteAll(m_figures);
    m_figures.clear();
}

double MPerspectiveTool::keptFromZero(double d)
{
    // A vertical vanishing point on the centre would give the boxes no height.
    if (std::abs(d) >= minimumDistance)
        return d;
    return d < 0.0 ? -minimumDistance : minimumDistance;
}

void MPerspectiveTool::set_leftVanishingPoint(bool value)
{
    if (value == m_leftVanishingPoint)
        return;
    m_leftVanishingPoint = value;
    emit leftVanishingPointChanged(value);
    emit toolChanged(this);
}

void MPerspectiveTool::set_rightVanishingPoint(bool value)
{
    if (value == m_rightVanishingPoint)
        return;
    m_rightVanishingPoint = value;
    emit rightVanishingPointChanged(value);
    emit toolChanged(this);
}

void MPerspectiveTool::set_verticalVanishingPoint(bool value)
{
    if (value == m_verticalVanishingPoint)
        return;
    m_verticalVanishingPoint = value;
    emit verticalVanishingPointChanged(value);
    emit toolChanged(this);
}

bool MPerspectiveTool::storeDistance(double &distance, double value)
{
    if (value == distance)
        return false;
    distance = value;
    placeVanishingPoints(point(0));
    return true;
}

void MPerspectiveTool::set_leftDistance(double value)
{
    value = std::max(value, minimumDistance);
    if (!storeDistance(m_leftDistance, value))
        return;
    emit leftDistanceChanged(value);
    emit toolChanged(this);
}

void MPerspectiveTool::set_rightDistance(double value)
{
    value = std::max(value, minimumDistance);
    if (!storeDistance(m_rightDistance, value))
        return;
    emit rightDistanceChanged(value);
    emit toolChanged(this);
}

void MPerspectiveTool::set_verticalDistance(double value)
{
    value = keptFromZero(value);
    if (!storeDistance(m_verticalDistance, value))
        return;
    emit verticalDistanceChanged(value);
    emit toolChanged(this);
}

void MPerspectiveTool::set_showLines(bool value)
{
    if (value == m_showLines)
        return;
    m_showLines = value;
    emit showLinesChanged(value);
    emit toolChanged(this);
}

void MPerspectiveTool::set_showCursorLines(bool value)
{
    if (value == m_showCursorLines)
        return;
    m_showCursorLines = value;
    emit showCursorLinesChanged(value);
    emit toolChanged(this);
}

void MPerspectiveTool::set_lockLines(bool value)
{
    if (value == m_lockLines)
        return;
    m_lockLines = value;
    emit lockLinesChanged(value);
    emit toolChanged(this);
}

void MPerspectiveTool::set_lockAngle(int value)
{
    if (value == m_lockAngle)
        return;
    m_lockAngle = value;
    emit lockAngleChanged(value);
    emit toolChanged(this);
}

void MPerspectiveTool::resetPoints()
{
    clearPoints();
    addPoint(QPointF(0, 0));
    addPoint(QPointF(-m_leftDistance, 0));
    addPoint(QPointF(m_rightDistance, 0));
    addPoint(QPointF(0, m_verticalDistance));
}

void MPerspectiveTool::placeVanishingPoints(const QPointF &centre)
{
    setPoint(0, centre);
    setPoint(1, centre - QPointF(m_leftDistance, 0));
    setPoint(2, centre + QPointF(m_rightDistance, 0));
    setPoint(3, centre + QPointF(0, m_verticalDistance));
}

void MPerspectiveTool::setCenter(const QPointF &p, bool moveFigures)
{
    const QPointF d = p - point(0);
    if (std::abs(d.x()) <= 1e-12 && std::abs(d.y()) <= 1e-12)
        return;
    moveTo(p);
    if (moveFigures) {
        for (Figure *figure : qAsConst(m_figures))
            figure->corner += d;
    }
    emit toolChanged(this);
}

void MPerspectiveTool::setCenter(const QPointF &p)
{
    setCenter(p, true);
}

void MPerspectiveTool::setLeft(const QPointF &p)
{
    // Only the horizontal distance counts: the point stays on the horizon.
    set_leftDistance(point(0).x() - p.x());
}

void MPerspectiveTool::setRight(const QPointF &p)
{
    set_rightDistance(p.x() - point(0).x());
}

void MPerspectiveTool::setVertical(const QPointF &p)
{
    set_verticalDistance(p.y() - point(0).y());
}

void MPerspectiveTool::addControlPoint()
{
    const int n = m_figures.size();
    auto *figure = new Figure;
    figure->tool = this;
    figure->corner = QPointF(100 + 15 * n, -100 - 15 * n);
    m_figures.append(figure);
    emit toolChanged(this);
}

void MPerspectiveTool::removeControlPoint()
{
    if (!m_figures.isEmpty())
        delete m_figures.takeLast();
    emit toolChanged(this);
}

void MPerspectiveTool::activate(bool on)
{
    if (m_figures.isEmpty())
        addControlPoint();
    // The view may still hold vanishing points of other distances (a fresh
    // start with stored ones): the guide shows the distances it edits.
    if (on && MTools::widget())
        placeVanishingPoints(point(0));
    set_visible(on);
    emit toolChanged(this);
}

void MPerspectiveTool::reset()
{
    setCenter(QPointF(0, 0));
    set_leftDistance(2000.0);
    set_rightDistance(2000.0);
    set_verticalDistance(2000.0);
}

void MPerspectiveTool::print()
{
    // Nothing to draw, or nowhere to draw it: no empty undo step.
    if (m_figures.isEmpty() || !canStroke())
        return;
    MUndoHistory *undo = history();
    MUtility::setBusyCursor();
    undo->beginMacro(tr("Print perspective"));
    for (Figure *figure : qAsConst(m_figures)) {
        const Corners k = figure->corners();
        auto edge = [](const QPointF &a, const QPointF &b) { strokeLine(a, b, currentPaint()); };
        if (m_leftVanishingPoint) {
            if (m_rightVanishingPoint) {
                edge(k.TL, k.K);
                edge(k.TR, k.K);
                edge(k.L, k.G);
                edge(k.R, k.G);
                edge(k.K, k.G);
            }
            edge(k.T, k.TL);
            edge(k.L, k.TL);
            edge(k.L, k.c);
        }
        if (m_rightVanishingPoint) {
            edge(k.T, k.TR);
            edge(k.R, k.c);
            edge(k.R, k.TR);
        }
        edge(k.T, k.c);
    }
    undo->endMacro();
    MUtility::restoreCursor();
}

QLineF MPerspectiveTool::alignToPerspective(const QLineF &l) const
{
    if (!m_lockLines)
        return l;
    const QPointF s = l.p1();
    const QPointF e = l.p2();
    double best = 360.0;
    QLineF candidate;
    bool found = false;
    const QPair<bool, QPointF> horizontals[] = {{m_leftVanishingPoint, point(1)}, {m_rightVanishingPoint, point(2)}};
    for (const auto &vanishing : horizontals) {
        if (!vanishing.first)
            continue;
        const QLineF direction(s, vanishing.second);
        const double delta = deviation(l, direction);
        QPointF projected;
        if (delta < m_lockAngle && delta < best && MGeometry::projectOnLine(direction, e, projected)) {
            best = delta;
            candidate = QLineF(s, projected);
            found = true;
        }
    }
    const QLineF vertical(s, m_verticalVanishingPoint ? point(3) : s - QPointF(0, 200));
    const double delta = deviation(l, vertical);
    QPointF projected;
    if (delta < m_lockAngle && delta < best && MGeometry::projectOnLine(vertical, e, projected))
        return QLineF(s, projected);
    return found ? candidate : l;
}

int MPerspectiveTool::figureHandleAt(const QPointF &viewPosition, int &handle)
{
    handle = 0;
    MWidget *view = MTools::widget();
    if (!view)
        return -1;
    const MTransform *transform = view->transform();
    for (int i = 0; i < m_figures.size(); ++i) {
        const Corners k = m_figures.at(i)->corners();
        const QPair<int, QPointF> handles[] = {{1, k.c}, {4, k.T}, {2, k.L}, {3, k.R}};
        for (const auto &h : handles) {
            if (pointRect(transform->map(h.second)).contains(viewPosition)) {
                handle = h.first;
                return i;
            }
        }
    }
    return -1;
}

bool MPerspectiveTool::mousePressEvent(MEvent *event)
{
    m_dragMode = 0;
    if (event->hasAltModifier()) {
        print();
        return true;
    }
    if (locked() || !visible() || !MTools::widget())
        return false;
    const int index = pointIndex(event->viewPosition);
    if (index != -1) {
        m_dragMode = 1;
        setSelectedPoint(index);
        return true;
    }
    int handle = 0;
    const int figure = figureHandleAt(event->viewPosition, handle);
    if (figure != -1) {
        m_dragMode = 2;
        setSelectedPoint(figure);
        m_figureHandle = handle;
        return true;
    }
    return false;
}

void MPerspectiveTool::mouseMoveEvent(MEvent *event)
{
    MWidget *view = MTools::widget();
    if (!view)
        return;
    const QPointF raw(event->inputs[MEnum::biPositionX], event->inputs[MEnum::biPositionY]);
    const QPointF p = view->snapToGrid(raw);
    const int index = selectedPoint();
    if (m_dragMode == 2 && index >= 0 && index < m_figures.size()) {
        Figure *figure = m_figures.at(index);
        const double d = double(QVector2D(raw - figure->corner).length());
        switch (m_figureHandle) {
        case 1:
            figure->corner = p;
            break;
        case 2:
            figure->leftLength = std::max(d, minimumDistance);
            break;
        case 3:
            figure->rightLength = std::max(d, minimumDistance);
            break;
        case 4:
            figure->height = std::max(d, minimumDistance);
            break;
        default:
            break;
        }
        emit toolChanged(this);
    } else if (m_dragMode == 1) {
        switch (index) {
        case 0:
            setCenter(p, !event->hasControlModifier());
            break;
        case 1:
            setLeft(p);
            break;
        case 2:
            setRight(p);
            break;
        case 3:
            setVertical(p);
            break;
        default:
            break;
        }
        emit toolChanged(this);
    }
}

bool MPerspectiveTool::keyPressEvent(QKeyEvent *)
{
    return false;
}

bool MPerspectiveTool::updateCursor(const QPointF &viewPosition, double)
{
    int handle = 0;
    if (!locked() && visible() && (pointIndex(viewPosition) != -1 || figureHandleAt(viewPosition, handle) != -1)) {
        setCursor(Qt::SizeAllCursor);
        return true;
    }
    setCursor(Qt::ArrowCursor);
    return false;
}

void MPerspectiveTool::paint(QPainter *painter)
{
    MWidget *view = MTools::widget();
    if (!visible() || !view || pointCount() == 0)
        return;
    const MTransform *transform = view->transform();
    const QRectF clip(view->rect());
    painter->resetTransform();
    painter->setClipping(true);
    painter->setClipRect(view->rect());
    painter->setRenderHint(QPainter::Antialiasing, true);
    auto map = [transform](const QPointF &p) { return transform->map(p); };
    auto clipped = [&](const QPointF &a, const QPointF &b) {
        const QPointF ma = map(a), mb = map(b);
        const QLineF line = MGeometry::clipLine(ma.x(), ma.y(), mb.x(), mb.y(), clip);
        painter->drawLines(&line, 1);
    };

    QPen guide = lineStyle()->pen();
    guide.setCosmetic(true);
    guide.setWidthF(1.0);
    painter->setPen(guide);
    const QPointF centre = point(0);
    const QPointF VL = point(1), VR = point(2), VV = point(3);
    clipped(centre - QPointF(10000, 0), centre + QPointF(10000, 0));
    if (m_verticalVanishingPoint)
        clipped(centre - QPointF(0, 10000), centre + QPointF(0, 10000));

    if (m_showCursorLines && view->mouseInside()) {
        const QPointF pointer = map(view->cursorCanvasPosition());
        if (m_leftVanishingPoint)
            drawInfiniteLine(painter, pointer, map(VL), clip);
        if (m_rightVanishingPoint)
            drawInfiniteLine(painter, pointer, map(VR), clip);
        drawInfiniteLine(painter, pointer, m_verticalVanishingPoint ? map(VV) : pointer + QPointF(0, 100), clip);
    }

    QPen construction = guide;
    construction.setColor(QColor(QStringLiteral("#aaa")));
    QPen edges(QColor(QStringLiteral("#999999")), 1, Qt::SolidLine);
    edges.setCosmetic(true);
    const bool left = m_leftVanishingPoint, right = m_rightVanishingPoint, vertical = m_verticalVanishingPoint;
    for (Figure *figure : qAsConst(m_figures)) {
        const Corners k = figure->corners();
        QVector<QLineF> lines;
        auto line = [&lines, &map](const QPointF &a, const QPointF &b) { lines << QLineF(map(a), map(b)); };
        if (m_showLines) {
            if (left) {
                line(k.TL, VL);
                line(k.L, VL);
            }
            if (right) {
                line(k.TR, VR);
                line(k.R, VR);
            }
            if (vertical) {
                if (left)
                    line(k.L, VV);
                if (right)
                    line(k.R, VV);
                line(k.T, VV);
            }
            if (left && right) {
                line(k.L, VR);
                line(k.R, VL);
                line(k.TL, VR);
                line(k.TR, VL);
            }
            painter->setPen(construction);
            painter->drawLines(lines);
            lines.clear();
        }
        line(k.T, k.c);
        if (left) {
            line(k.T, k.TL);
            line(k.L, k.TL);
            line(k.L, k.c);
        }
        if (right) {
            line(k.T, k.TR);
            line(k.R, k.TR);
            line(k.R, k.c);
        }
        if (left && right) {
            line(k.TL, k.K);
            line(k.TR, k.K);
            line(k.L, k.G);
            line(k.R, k.G);
            line(k.G, k.K);
        }
        painter->setPen(edges);
        painter->drawLines(lines);
        if (!locked()) {
            if (left)
                drawPoint(painter, map(k.L), defaultPen(), QColor(QStringLiteral("#66FF66")), false);
            if (right)
                drawPoint(painter, map(k.R), defaultPen(), QColor(QStringLiteral("#6666FF")), false);
            drawPoint(painter, map(k.T), defaultPen(), QColor(QStringLiteral("#FFFF66")), false);
            drawPoint(painter, map(k.c), defaultPen(), QColor(QStringLiteral("#FF6666")), false);
        }
    }

    if (locked())
        return;
    const bool used[] = {true, left, right, vertical};
    for (int i = 0; i < 4 && i < pointCount(); ++i) {
        if (used[i])
            drawPoint(painter, point(i), defaultPen(), defaultBrush(), true);
    }
}
