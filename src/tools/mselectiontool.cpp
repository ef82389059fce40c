#include "mselectiontool.h"

#include "manimframe.h"
#include "mbrushstyle.h"
#include "mcolorlist.h"
#include "mevent.h"
#include "mgeometry.h"
#include "mlayeredits.h"
#include "mpaper.h"
#include "mselection.h"
#include "msplinepath.h"
#include "mstrokestyle.h"
#include "mtools.h"
#include "mtoolvalues.h"
#include "mtransform.h"
#include "mwidget.h"

#include <QKeyEvent>
#include <QPainter>

#include <algorithm>

namespace {
QPainterPath closedSpline(const QVector<QPointF> &points)
{
    MSplinePath spline;
    spline.closed = true;
    spline.setPoints(points);
    return spline.path;
}
} // namespace

MSelectionTool::MSelectionTool(ToolId toolId, QObject *parent)
    : MTool(toolId, parent)
    , m_brushStyle(new MBrushStyle(this))
    , m_strokeStyle(new MStrokeStyle(this))
    , m_animFrame(new MAnimFrame(this))
{
    set_pointId(MToolValues::SelectionPoints);
    m_strokeStyle->set_strokeSize(3.0);
    m_strokeStyle->set_strokeColor(Qt::darkGray);
    m_strokeStyle->set_strokeStyle(MStrokeStyle::SolidLine);
    m_strokeStyle->set_dashLength(0.0);
    connect(m_animFrame, &MAnimFrame::refresh, MTools::instance(), &MTools::refresh);
    connect(MColorList::instance(), &MColorList::colorChanged, this,
            qOverload<const QColor &, Qt::KeyboardModifiers>(&MSelectionTool::setColor));
}

// ---------------------------------------------------------------- slots

void MSelectionTool::activate(bool on)
{
    set_visible(on);
    m_animFrame->set_isStarted(on);
    emit toolChanged(this);
}

void MSelectionTool::resetBuild()
{
    if (!MTools::widget())
        return;
    clearBuild();
    emit toolChanged(this);
}

void MSelectionTool::clearBuild()
{
    m_buildPath = QPainterPath();
    m_buildStep = 0;
    m_selectedPoint = -1;
    clearPoints();
}

void MSelectionTool::apply(Qt::KeyboardModifiers)
{
    apply();
}

void MSelectionTool::apply()
{
    const MCanvas *canvas = document();
    if (!canvas || m_buildPath.isEmpty())
        return;
    if (m_selectionShape == PolygonSelection || m_selectionShape == CurveSelection)
        m_buildPath.closeSubpath();
    const MSelection *documentSelection = selection();
    const QPainterPath result = documentSelection->hasSelection()
                                    ? combined(documentSelection->path(), m_buildPath, m_selectionMode)
                                    : m_buildPath;
    changeSelection(result, true);
    clearBuild();
    emit toolChanged(this);
}

QPainterPath MSelectionTool::combined(const QPainterPath &selection, const QPainterPath &path, int mode)
{
    if (selection.isEmpty())
        return path;
    switch (mode) {
    case AddSelectionMode:
        return selection.united(path);
    case SubtractSelectionMode:
        return selection.subtracted(path);
    case IntersectionSelectionMode:
        return selection.intersected(path);
    default:
        return path;
    }
}

void MSelectionTool::setColor(const QColor &color, Qt::KeyboardModifiers modifiers)
{
    if (modifiers.testFlag(Qt::ControlModifier))
        m_strokeStyle->set_strokeColor(color);
    else if (modifiers.testFlag(Qt::ShiftModifier))
        m_brushStyle->set_gradientColor(color);
    else
        m_brushStyle->set_brushColor(color);
}

void MSelectionTool::selectAll()
{
    if (MPaper *documentPaper = paper())
        select(documentPaper->paintedRect());
}

void MSelectionTool::setSelection(const QPainterPath &path)
{
    const MCanvas *canvas = document();
    if (!canvas)
        return;
    clearBuild();
    setDocumentSelection(path);
    followSelection();
    emit toolChanged(this);
}

void MSelectionTool::select(const QRectF &rect)
{
    const MCanvas *canvas = document();
    if (!canvas)
        return;
    QPainterPath path;
    path.addRect(rect);
    changeSelection(path, true);
    emit toolChanged(this);
}

void MSelectionTool::invertSelection()
{
    if (MPaper *documentPaper = paper())
        invertSelection(documentPaper->paintedRect());
}

void MSelectionTool::invertSelection(const QRectF &rect)
{
    const MCanvas *canvas = document();
    if (!canvas)
        return;
    const MSelection *documentSelection = selection();
    if (!documentSelection->hasSelection()) {
        select(rect);
        return;
    }
    QPainterPath whole;
    whole.addRect(rect);
    changeSelection(whole.subtracted(documentSelection->path()), true);
    emit toolChanged(this);
}

void MSelectionTool::nextSelection()
{
    stepHistory(1);
}

void MSelectionTool::previousSelection()
{
    stepHistory(-1);
}

void MSelectionTool::stepHistory(int delta)
{
    if (m_history.isEmpty())
        return;
    m_historyIndex += delta;
    if (m_historyIndex >= m_history.size())
        m_historyIndex = 0;
    else if (m_historyIndex < 0)
        m_historyIndex = m_history.size() - 1;
    const MCanvas *canvas = document();
    if (!canvas)
        return;
    changeSelection(m_history.at(m_historyIndex), false);
    emit toolChanged(this);
}

void MSelectionTool::setSelectionMode(int mode)
{
    if (mode == m_selectionMode)
        return;
    m_selectionMode = mode;
    m_buildStep = 0;
    m_selectedPoint = -1;
    clearPoints();
    emit toolChanged(this);
}

void MSelectionTool::setSelectionShape(int shape)
{
    if (shape == m_selectionShape)
        return;
    m_selectionShape = shape;
    clearBuild();
    emit toolChanged(this);
}

void MSelectionTool::setStarCount(int count)
{
    // A count of no tips would divide the full turn by zero.
    m_starCount = std::min(std::max(count, minimumStarCount), maximumStarCount);
    if (MTools::widget())
        rebuild();
}

void MSelectionTool::setSelectionPath(const QPainterPath &path)
{
    m_buildPath = path;
    m_selectionShape = RectangleSelection;
    apply();
}

void MSelectionTool::fillSelection()
{
    MLayerEdits *documentEdits = edits();
    if (!documentEdits)
        return;
    apply();
    documentEdits->fillPath(selection()->path(), MColorList::instance()->currentColor(), -1);
}

void MSelectionTool::strokeSelection()
{
    const MCanvas *canvas = document();
    if (!canvas)
        return;
    apply();
    // Nothing to stroke would still leave an empty undo step.
    const QPainterPath outline = selection()->path();
    if (outline.isEmpty())
        return;
    strokePath(outline, false, currentPaint());
}

void MSelectionTool::resetSelection()
{
    const MCanvas *canvas = document();
    if (!canvas)
        return;
    clearBuild();
    changeSelection(QPainterPath(), false);
    emit toolChanged(this);
}

void MSelectionTool::storeClip(const QPainterPath &path)
{
    if (!path.isEmpty())
        remember(path);
}

// ---------------------------------------------------------------- selection state

void MSelectionTool::changeSelection(const QPainterPath &path, bool rememberIt)
{
    setDocumentSelection(path);
    followSelection();
    if (rememberIt && !path.isEmpty())
        remember(path);
}

void MSelectionTool::followSelection()
{
    m_animFrame->set_isStarted(!selection()->path().isEmpty());
}

void MSelectionTool::remember(const QPainterPath &path)
{
    m_history.append(path);
    while (m_history.size() > historyLimit)
        m_history.removeFirst();
    m_historyIndex = m_history.size() - 1;
}

// ---------------------------------------------------------------- events

bool MSelectionTool::mousePressEvent(MEvent *event)
{
    if (event->button != Qt::LeftButton || !MTools::widget())
        return false;
    m_selectedPoint = pointIndexAt(event);
    m_lastEvent = m_selectedPoint == -1 ? CanvasPress : PointPress;
    handleShape(event->canvasPosition());
    return true;
}

void MSelectionTool::mouseMoveEvent(MEvent *event)
{
    if (event->button != Qt::LeftButton || !MTools::widget())
        return;
    m_lastEvent = Drag;
    handleShape(event->canvasPosition());
}

void MSelectionTool::mouseReleaseEvent(MEvent *event)
{
    if (event->button != Qt::LeftButton || !MTools::widget())
        return;
    m_releaseAfterDrag = m_lastEvent == Drag;
    m_lastEvent = Release;
    handleShape(event->canvasPosition());
}

void MSelectionTool::mouseHoverEvent(MEvent *event)
{
    if (!MTools::widget())
        return;
    m_lastEvent = Hover;
    handleShape(event->canvasPosition());
}

bool MSelectionTool::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
        if (event->key() == Qt::Key_Delete && !event->modifiers().testFlag(Qt::ControlModifier))
            return false;
        if (m_selectionShape != PolygonSelection && m_selectionShape != CurveSelection)
            return false;
        if (pointCount() > 0)
            removePoint(pointCount() - 1);
        rebuild();
        return true;
    case Qt::Key_Escape:
        resetBuild();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        apply();
        return true;
    default:
        return false;
    }
}

void MSelectionTool::handleShape(const QPointF &position)
{
    switch (m_selectionShape) {
    case RectangleSelection:
    case EllipseSelection:
        rectangleHandler(position);
        break;
    case PolygonSelection:
    case CurveSelection:
        polygonHandler(position);
        break;
    case StarSelection:
    case RoundedStarSelection:
        starHandler(position);
        break;
    case FreeSelection:
        freeHandler(position);
        break;
    default:
        break;
    }
}

void MSelectionTool::startOutline(const QPointF &position)
{
    apply();
    addPoint(position);
    addPoint(position);
    m_buildStep = 1;
    rebuild();
}

void MSelectionTool::moveLastPoint(const QPointF &position)
{
    setPoint(pointCount() - 1, position);
    rebuild();
}

void MSelectionTool::rectangleHandler(const QPointF &position)
{
    if (m_buildStep == 0) {
        if (m_lastEvent == CanvasPress)
            startOutline(position);
    } else if (m_buildStep == 1 && m_lastEvent == Drag) {
        moveLastPoint(position);
    } else if (m_buildStep == 1 && m_lastEvent == Release) {
        // The view's drag samples trail the pointer; the release is where it stopped.
        moveLastPoint(position);
        apply();
        clearBuild();
        emit toolChanged(this);
    } else {
        m_buildStep = 0;
    }
}

void MSelectionTool::polygonHandler(const QPointF &position)
{
    if (m_buildStep != 0)
        return;
    switch (m_lastEvent) {
    case CanvasPress:
        if (pointCount() == 0)
            showText(tr("Click on the first point or press enter to close the selection."));
        addPoint(position);
        m_cursorPoint = position;
        rebuild();
        break;
    case PointPress:
        if (pointCount() >= 3 && m_selectedPoint == 0)
            apply();
        break;
    case Hover:
        m_cursorPoint = position;
        rebuild();
        break;
    default:
        break;
    }
}

void MSelectionTool::starHandler(const QPointF &position)
{
    if (m_buildStep == 0) {
        if (m_lastEvent == CanvasPress) {
            showText(tr("Drag to create the star. Drag the control points to modify the star. "));
            startOutline(position);
        } else if (m_lastEvent == PointPress) {
            m_buildStep = 2;
        }
    } else if (m_lastEvent != Drag && m_lastEvent != Release) {
        m_buildStep = 0;
    } else if (m_buildStep == 1) {
        moveLastPoint(position);
        if (m_lastEvent == Release) {
            setPoints(m_starHandles);
            m_buildStep = 0;
            if (!m_buildPath.isEmpty())
                showText(tr("Click or press enter to create the selection."));
        }
    } else {
        // A click on a handle leaves the star where it is.
        if (m_lastEvent == Drag || m_releaseAfterDrag) {
            if (m_selectedPoint == 0) {
                const QPointF delta = position - point(0);
                const QVector<QPointF> list = points();
                for (int i = 0; i < list.size(); ++i)
                    setPoint(i, list.at(i) + delta);
            } else if (m_selectedPoint >= 1) {
                setPoint(m_selectedPoint, position);
            }
        }
        rebuild();
        if (m_lastEvent == Release)
            m_buildStep = 0;
    }
}

void MSelectionTool::freeHandler(const QPointF &position)
{
    if (m_buildStep != 0)
        return;
    switch (m_lastEvent) {
    case CanvasPress:
        apply();
        addPoint(position);
        rebuild();
        break;
    case Drag:
        addPoint(position);
        rebuild();
        break;
    case Release:
        addPoint(position);
        rebuild();
        apply();
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------- outline

QPolygonF MSelectionTool::starPolygon()
{
    QPolygonF polygon;
    const QVector<QPointF> list = points();
    if (m_starCount <= 0 || list.size() < 2)
        return polygon;
    const double step = 360.0 / m_starCount;
    const QPointF c = list.at(0);
    const QPointF t = list.at(1);
    QPointF q = (c + t) / 2.0;
    if (list.size() == 3)
        q = list.at(2);
    else if (list.size() == 2)
        q = MGeometry::rotated(q, c, step / 2.0);
    m_starHandles = {c, t, q};
    for (int i = 0; i < m_starCount; ++i) {
        polygon.append(MGeometry::rotated(t, c, i * step));
        polygon.append(MGeometry::rotated(q, c, i * step));
    }
    return polygon;
}

void MSelectionTool::rebuild()
{
    m_buildPath = QPainterPath();
    const QVector<QPointF> list = points();
    switch (m_selectionShape) {
    case RectangleSelection:
    case EllipseSelection:
        if (list.size() >= 2) {
            const QRectF rect = QRectF(list.at(0), list.at(1)).normalized();
            if (m_selectionShape == RectangleSelection)
                m_buildPath.addRect(rect);
            else
                m_buildPath.addEllipse(rect);
        }
        break;
    case PolygonSelection:
        if (!list.isEmpty())
            m_buildPath.addPolygon(QPolygonF(list) << m_cursorPoint);
        break;
    case CurveSelection:
        m_buildPath = closedSpline(QVector<QPointF>(list) << m_cursorPoint);
        break;
    case StarSelection: {
        const QPolygonF star = starPolygon();
        if (!star.isEmpty()) {
            m_buildPath.addPolygon(star);
            m_buildPath.closeSubpath();
        }
        break;
    }
    case RoundedStarSelection: {
        const QPolygonF star = starPolygon();
        if (!star.isEmpty()) {
            m_buildPath = closedSpline(star);
            m_buildPath.closeSubpath();
        }
        break;
    }
    case FreeSelection:
        if (!list.isEmpty()) {
            m_buildPath.addPolygon(QPolygonF(list));
            m_buildPath.closeSubpath();
        }
        break;
    default:
        break;
    }
    emit toolChanged(this);
}

void MSelectionTool::paint(QPainter *painter)
{
    MWidget *view = MTools::widget();
    if (!view)
        return;
    MTransform *transform = view->transform();
    QPen pen(Qt::darkGreen, 1, Qt::DashLine);
    pen.setDashPattern(m_animFrame->dashPattern);
    pen.setDashOffset(m_animFrame->dashOffset);
    painter->save();
    painter->resetTransform();
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setBrush(Qt::NoBrush);
    painter->setPen(pen);
    if (!m_buildPath.isEmpty()) {
        painter->drawPath(transform->mapPath(m_buildPath));
        if (m_selectionShape == StarSelection || m_selectionShape == RoundedStarSelection) {
            drawPoints(painter, true);
            painter->setPen(pen);
            painter->setBrush(Qt::NoBrush);
        } else if ((m_selectionShape == PolygonSelection || m_selectionShape == CurveSelection) && pointCount() > 0) {
            painter->drawEllipse(transform->map(point(0)), 10.0, 10.0);
        }
    }
    const QPainterPath selection = MTool::selection()->path();
    if (!selection.isEmpty()) {
        const QRect bounds = transform->mapRect(selection.boundingRect()).toRect();
        // A selection around the whole view has no edge to show.
        if (bounds.intersects(view->rect()) && !bounds.contains(view->rect()))
            painter->drawPath(transform->mapPath(selection));
    }
    painter->restore();
}
