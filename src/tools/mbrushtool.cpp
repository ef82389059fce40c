#include "mbrushtool.h"

#include "mbrush.h"
#include "mbrushlist.h"
#include "mbrushsettinginfolist.h"
#include "mcanvas.h"
#include "menum.h"
#include "mgeometry.h"
#include "mmousefunctions.h"
#include "mrullertool.h"
#include "mselection.h"
#include "msymmetrytool.h"
#include "mtools.h"
#include "mtransform.h"
#include "mwidget.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QWheelEvent>

#include <algorithm>

namespace {
QPointF positionOf(const MEvent *e)
{
    return QPointF(e->inputs[MEnum::biPositionX], e->inputs[MEnum::biPositionY]);
}

void setPositionOf(MEvent *e, const QPointF &p)
{
    e->inputs[MEnum::biPositionX] = p.x();
    e->inputs[MEnum::biPositionY] = p.y();
}

bool isLeft(const MEvent *e)
{
    return e->button == Qt::LeftButton;
}

// A guide of the registry, when it exists and is shown.
MTool *visibleTool(int id)
{
    MTool *tool = MTools::instance()->tool(id);
    return tool && tool->visible() ? tool : nullptr;
}

QPointF snapped(const QPointF &p)
{
    MWidget *view = MTools::widget();
    return view ? view->snapToGrid(p) : p;
}
} // namespace

MBrushTool::MBrushTool(ToolId toolId, QObject *parent)
    : MTool(toolId, parent)
{
    updateCursor(QPointF(), 1.0);
}

MBrush *MBrushTool::brush()
{
    return MBrushList::instance()->currentBrush();
}

void MBrushTool::set_drawOnPath(bool value)
{
    if (value == m_drawOnPath)
        return;
    m_drawOnPath = value;
    emit drawOnPathChanged(value);
}

void MBrushTool::init()
{
    m_lastCursorSize = -1;
    m_drawOnPath = false;
    m_crossCursor = QCursor(Qt::ArrowCursor);
    m_crossCursorBuilt = false;
    m_mode = Idle;
}

double MBrushTool::size() const
{
    const MBrush *current = brush();
    return current ? current->accumulatorDistance() : 0.0;
}

void MBrushTool::paint(QPainter *painter)
{
    MWidget *view = MTools::widget();
    if (m_mode != LineStarted || !visible() || !view || !view->mouseInside())
        return;
    painter->resetTransform();
    painter->setRenderHint(QPainter::Antialiasing, true);
    QPen pen(Qt::black, 1, Qt::DashLine);
    pen.setCosmetic(true);
    painter->setPen(pen);
    painter->drawLine(view->transform()->map(m_lineStart), view->transform()->map(m_lineEnd));
}

bool MBrushTool::mousePressEvent(MEvent *event)
{
    MWidget *view = MTools::widget();
    if (!view)
        return true;
    MCanvas *canvas = view->canvas();
    // A stroke whose release never came is ended, macro and all, before
    // anything else starts.
    if (m_mode == Stroking)
        finishStroke();
    // Without a brush there is nothing to paint with.
    if (!brush())
        return true;
    const bool left = isLeft(event);
    const QPointF position = positionOf(event);
    if (m_mode == Idle && left && event->hasControlModifier()) {
        m_lineStart = m_lineEnd = snapped(position);
        m_mode = LineStarted;
        return true;
    }
    if (m_mode == LineStarted) {
        if (left) {
            m_lineEnd = snapped(position);
            constrainToGuides();
            QPainterPath path;
            path.moveTo(m_lineStart);
            path.lineTo(m_lineEnd);
            canvas->brushStroke(path, true, currentPaint());
            m_mode = Idle;
        }
        return true;
    }
    if (!left)
        return true;
    if (event->hasShiftModifier()) {
        if (MTool *wand = MTools::instance()->tool(FillSelectionTool))
            wand->mousePressEvent(event);
        return true;
    }
    m_lineStart = snapped(position);
    m_mode = Stroking;
    selection()->setClipStroke(true);
    adjustPosition(event, true);
    drawSymmetryStroke(event);
    return true;
}

void MBrushTool::mouseMoveEvent(MEvent *event)
{
    if (!isLeft(event) || !MTools::widget())
        return;
    if (m_mode == Stroking) {
        adjustPosition(event, false);
        drawSymmetryStroke(event);
    } else if (m_mode == LineStarted) {
        m_lineEnd = snapped(positionOf(event));
        constrainToGuides();
        refresh();
    }
}

void MBrushTool::mouseReleaseEvent(MEvent *event)
{
    if (m_mode != Stroking || !isLeft(event) || !MTools::widget())
        return;
    adjustPosition(event, false);
    drawSymmetryStroke(event);
    m_mode = Idle;
}

void MBrushTool::mouseHoverEvent(MEvent *event)
{
    if (m_mode == LineStarted && isLeft(event)) {
        m_lineEnd = snapped(positionOf(event));
        constrainToGuides();
    }
    emit toolChanged(this);
}

bool MBrushTool::keyPressEvent(QKeyEvent *event)
{
    if (m_mode == LineStarted && event->key() == Qt::Key_Escape) {
        m_mode = Idle;
        refresh();
        return true;
    }
    return false;
}

void MBrushTool::wheelEvent(QWheelEvent *event)
{
    const int function = MMouseFunctions::instance()->function(BrushTool, MMouseFunctions::Wheel, int(event->modifiers()));
    if (function != MMouseFunctions::BrushRadius)
        return;
    const QPoint angle = event->angleDelta();
    changeRadius(angle.y() != 0 ? angle.y() : angle.x());
}

void MBrushTool::changeRadius(int delta)
{
    MBrush *current = brush();
    if (!current)
        return;
    const MField *info = MBrushSettingInfoList::instance()->info(MEnum::bsRadius);
    double radius = current->radius() * (delta < 0 ? 0.8 : 1.2);
    if (info)
        radius = std::min(std::max(radius, info->minimum()), info->maximum());
    current->setRadius(radius);
    showText(tr("Brush radius: %1 px.").arg(QString::asprintf("%3.2f", radius)));
}

void MBrushTool::adjustPosition(MEvent *event, bool press)
{
    MSelection *documentSelection = selection();
    const QPainterPath outline = documentSelection->path();
    if (m_drawOnPath && !outline.isEmpty()) {
        if (press)
            documentSelection->setClipStroke(false);
        setPositionOf(event, MGeometry::nearestPoint(outline.toFillPolygon(), positionOf(event)));
    } else if (visibleTool(RullerTool)) {
        m_lineEnd = positionOf(event);
        constrainToGuides();
        setPositionOf(event, m_lineEnd);
    }
}

void MBrushTool::constrainToGuides()
{
    const QLineF line(m_lineStart, m_lineEnd);
    if (auto *ruler = qobject_cast<MRullerTool *>(visibleTool(RullerTool))) {
        m_lineEnd = ruler->alignToRuler(line).p2();
    } else if (MTool *perspective = visibleTool(PerspectiveTool)) {
        QLineF aligned = line;
        if (QMetaObject::invokeMethod(perspective, "alignToPerspective", Qt::DirectConnection,
                                      Q_RETURN_ARG(QLineF, aligned), Q_ARG(QLineF, line)))
            m_lineEnd = aligned.p2();
    }
}

void MBrushTool::drawSymmetryStroke(MEvent *event)
{
    MCanvas *canvas = MTools::canvas();
    const MStrokePaint paint = currentPaint();
    MBrush *current = paint.brush;
    if (!current && event->type == MEvent::Press)
        return;
    const QPointF position = positionOf(event);
    auto *symmetry = qobject_cast<MSymmetryTool *>(MTools::instance()->tool(SymmetryTool));
    const QPolygonF points = symmetry ? symmetry->symmetricPoints(position) : QPolygonF(QVector<QPointF>{position});
    // A document that refuses the stroke gets no empty undo step either.
    if (points.size() > 1 && event->type == MEvent::Press && !m_macroCanvas && canvas->isStrokeAllowed()) {
        canvas->beginMacro(tr("Symmetry brush stroke: %1, %2")
                               .arg(current->description(), paint.color.name()));
        m_macroCanvas = canvas;
    }
    const int count = std::min(int(points.size()), maximumImages);
    for (int i = 0; i < count; ++i) {
        MEvent copy(*event);
        setPositionOf(&copy, points.at(i));
        canvas->stroke(&copy, i, paint);
    }
    // The macro closes with the stroke that opened it, even when the guide
    // was switched off in between.
    if (event->type == MEvent::Release && m_macroCanvas) {
        m_macroCanvas->endMacro();
        m_macroCanvas = nullptr;
    }
    m_lastSample = *event;
}

void MBrushTool::finishStroke()
{
    MEvent end(m_lastSample);
    end.type = MEvent::Release;
    drawSymmetryStroke(&end);
    m_mode = Idle;
}

void MBrushTool::buildCrossCursor()
{
    QPixmap pixmap(17, 17);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    auto lines = [&painter](const QColor &color, const QVector<QLine> &segments) {
        painter.setPen(QPen(color, 1, Qt::SolidLine));
        painter.drawLines(segments);
    };
    lines(Qt::black, {QLine(0, 8, 4, 8), QLine(12, 8, 16, 8)});
    lines(Qt::white, {QLine(1, 9, 5, 9), QLine(13, 9, 17, 9)});
    lines(Qt::black, {QLine(8, 0, 8, 4), QLine(8, 12, 8, 16)});
    lines(Qt::white, {QLine(9, 1, 9, 5), QLine(9, 13, 9, 17)});
    painter.end();
    m_crossCursor = QCursor(pixmap, pixmap.width() / 2, pixmap.height() / 2);
    m_crossCursorBuilt = true;
}

bool MBrushTool::updateCursor(const QPointF &, double scale)
{
    const MBrush *current = brush();
    if (!current) {
        m_lastCursorSize = -1;
        setCursor(QCursor(Qt::ArrowCursor));
        return true;
    }
    const int size = int((current->radius() * 2 + 1) * scale);
    if (size == m_lastCursorSize)
        return false;
    m_lastCursorSize = size;
    const int w = std::max(1, std::min(size, 400));
    if (w > 5) {
        const int d = std::max(w, 15);
        QPixmap pixmap(d, d);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setBrush(QBrush(Qt::transparent, Qt::SolidPattern));
        const QPointF centre(d / 2, d / 2);
        painter.setPen(QPen(Qt::black, 1));
        painter.drawEllipse(centre, d / 2.0 - 1, d / 2.0 - 1);
        painter.setPen(QPen(Qt::white, 1));
        painter.drawEllipse(centre, d / 2.0 - 2, d / 2.0 - 2);
        if (d > 30) {
            painter.setRenderHint(QPainter::Antialiasing, false);
            const QPoint c(d / 2, d / 2);
            auto cross = [&painter](const QPoint &from, const QColor &color) {
                painter.setPen(QPen(color, 1));
                painter.drawLines(QVector<QLine>{QLine(from, from + QPoint(0, -5)), QLine(from, from + QPoint(0, 5)),
                                                 QLine(from, from + QPoint(5, 0)), QLine(from, from + QPoint(-5, 0))});
            };
            cross(c + QPoint(1, 1), Qt::white);
            cross(c, Qt::black);
        }
        painter.end();
        setCursor(QCursor(pixmap, d / 2, d / 2));
    } else {
        if (!m_crossCursorBuilt)
            buildCrossCursor();
        setCursor(m_crossCursor);
    }
    return true;
}
