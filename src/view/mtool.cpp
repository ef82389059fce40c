#include "mtool.h"

#include "mbrushlist.h"
#include "mcanvas.h"
#include "mcolorlist.h"
#include "mevent.h"
#include "mgeometry.h"
#include "msettings.h"
#include "mstrokestyle.h"
#include "mtools.h"
#include "mtoolvalues.h"
#include "mtransform.h"
#include "mutility.h"
#include "mwidget.h"

#include <QKeyEvent>
#include <QPainter>
#include <QVector2D>

#include <algorithm>
#include <cmath>

const QColor MTool::handleColor(QStringLiteral("#3399FF"));
const QColor MTool::selectedHandleColor(QStringLiteral("#FF3399"));
const QColor MTool::guideLineColor(QStringLiteral("#FF6666"));

MTool::MTool(ToolId toolId, QObject *parent)
    : QObject(parent)
    , m_toolId(toolId)
    , m_cursor(Qt::ArrowCursor)
{
    m_lineStyle = new MStrokeStyle(this);
    m_lineStyle->set_strokeColor(guideLineColor);
    m_lineStyle->set_strokeStyle(MStrokeStyle::DashLine);
    connect(this, &MTool::toolChanged, MTools::instance(), &MTools::refresh);
    m_defaultPen = QPen(QBrush(Qt::darkGray), 1.0, Qt::SolidLine);
    m_defaultBrush = QBrush(handleColor, Qt::SolidPattern);
    MSettings *settings = MSettings::instance();
    m_pointSize = settings->pointSize();
    connect(settings, &MSettings::pointSizeChanged, this, &MTool::set_pointSize);
}

MToolValues *MTool::toolValues()
{
    MWidget *view = MTools::widget();
    return view ? view->toolValues() : nullptr;
}

namespace {
// The part of the current view's document the getter returns, null without a view.
template <class Part>
Part *currentPart(Part *(MCanvas::*get)() const)
{
    MCanvas *canvas = MTools::canvas();
    return canvas ? (canvas->*get)() : nullptr;
}
} // namespace

MCanvas *MTool::document()
{
    return MTools::canvas();
}

MLayerStack *MTool::layers()
{
    return currentPart(&MCanvas::layers);
}

MLayerEdits *MTool::edits()
{
    return currentPart(&MCanvas::layerEdits);
}

MSelection *MTool::selection()
{
    return currentPart(&MCanvas::selection);
}

MPaper *MTool::paper()
{
    return currentPart(&MCanvas::paper);
}

MUndoHistory *MTool::history()
{
    return currentPart(&MCanvas::history);
}

MDocumentRenderer *MTool::renderer()
{
    return currentPart(&MCanvas::renderer);
}

void MTool::setDocumentSelection(const QPainterPath &outline)
{
    if (MCanvas *canvas = document())
        canvas->setClipPath(outline);
}

int MTool::strokePath(const QPainterPath &path, bool clip, const MStrokePaint &paint)
{
    MCanvas *canvas = document();
    return canvas ? canvas->brushStroke(path, clip, paint) : 0;
}

void MTool::strokeLine(const QPointF &from, const QPointF &to, const MStrokePaint &paint)
{
    if (MCanvas *canvas = document())
        canvas->drawLine(from, to, paint);
}

bool MTool::canStroke()
{
    MCanvas *canvas = document();
    return canvas && canvas->isStrokeAllowed();
}

void MTool::setCursor(const QCursor &cursor)
{
    if (cursor.shape() == m_cursor.shape() && cursor.shape() != Qt::BitmapCursor)
        return;
    m_cursor = cursor;
    emit cursorChanged(cursor);
}

bool MTool::grabHandleAt(MEvent *event)
{
    if (locked() || !visible() || !MTools::widget())
        return false;
    setSelectedPoint(pointIndexAt(event));
    return selectedPoint() != -1;
}

bool MTool::updateHandleCursor(const QPointF &viewPosition)
{
    if (locked() || pointIndex(viewPosition) == -1) {
        setCursor(Qt::ArrowCursor);
        return false;
    }
    setCursor(Qt::SizeAllCursor);
    return true;
}

QPointF MTool::point(int index) const
{
    MToolValues *values = toolValues();
    return values ? values->point(m_pointId, index) : QPointF();
}

int MTool::pointCount() const
{
    MToolValues *values = toolValues();
    return values ? values->pointCount(m_pointId) : 0;
}

QVector<QPointF> MTool::points() const
{
    MToolValues *values = toolValues();
    return values ? values->points(m_pointId) : QVector<QPointF>();
}

QPolygonF MTool::polygon() const
{
    MToolValues *values = toolValues();
    return values ? values->polygon(m_pointId) : QPolygonF();
}

QVariant MTool::value(int valueId) const
{
    MToolValues *values = toolValues();
    return values ? values->value(valueId) : QVariant();
}

int MTool::intValue(int valueId) const
{
    MToolValues *values = toolValues();
    return values ? values->intValue(valueId) : 0;
}

double MTool::doubleValue(int valueId) const
{
    MToolValues *values = toolValues();
    return values ? values->doubleValue(valueId) : 0.0;
}

QRectF MTool::pointRect(const QPointF &p) const
{
    return centeredRect(p, QSizeF(m_pointSize, m_pointSize));
}

void MTool::moveTo(const QPointF &p)
{
    if (!toolValues())
        return;
    const QPointF first = point(0);
    if (std::abs(first.x() - p.x()) <= 1e-12 && std::abs(first.y() - p.y()) <= 1e-12)
        return;
    const QPointF d = p - first;
    const QVector<QPointF> list = points();
    for (int i = 0; i < list.size(); ++i)
        setPoint(i, list.at(i) + d);
    emit toolChanged(this);
}

void MTool::drawInfiniteLine(QPainter *painter, const QPointF &a, const QPointF &b, const QRectF &clip)
{
    const QVector2D d = QVector2D(a - b).normalized();
    const QPointF far = QPointF(double(d.x()), double(d.y())) * 100000.0;
    const QPointF p1 = a + far, p2 = a - far;
    const QLineF line = MGeometry::clipLine(p1.x(), p1.y(), p2.x(), p2.y(), clip);
    painter->drawLines(&line, 1);
}

void MTool::drawHandle(QPainter *painter, const QPointF &centre, int size)
{
    const QRectF rect(centre.x() - size / 2, centre.y() - size / 2, size, size);
    painter->drawRects(&rect, 1);
}

void MTool::drawIcon(QPainter *painter, const QPointF &centre, const QIcon &icon, int size)
{
    const QRect rect(int(centre.x() - size / 2), int(centre.y() - size / 2), size, size);
    icon.paint(painter, rect, Qt::AlignCenter, QIcon::Normal, QIcon::Off);
}

QRectF MTool::centeredRect(const QPointF &centre, const QSizeF &size)
{
    return QRectF(centre.x() - size.width() / 2.0, centre.y() - size.height() / 2.0, size.width(), size.height());
}

QRectF MTool::resizeRect(int handle, const QPointF &delta, const QRectF &rect, bool free)
{
    const double W = rect.width(), H = rect.height();
    const double dx = delta.x(), dy = delta.y();
    const double r = H / W;
    // An empty rectangle has no ratio to keep.
    if (!std::isfinite(r) || r == 0.0)
        free = true;
    auto clamp = [](double v) { return std::max(v, 10.0); };
    auto recentred = [&rect](double w, double h) { return centeredRect(rect.center(), QSizeF(w, h)); };
    QRectF result = rect;
    double w = W, h = H;
    switch (handle) {
    case 2:
        if (!free) {
            h = clamp(H - 2 * dy);
            return recentred(h / r, h);
        }
        h = clamp(H - dy);
        result.setTop(result.bottom() - h);
        break;
    case 3:
        if (!free) {
            h = clamp(H + 2 * dy);
            return recentred(h / r, h);
        }
        h = clamp(H + dy);
        result.setBottom(result.top() + h);
        break;
    case 4:
        if (!free) {
            w = clamp(W - 2 * dx);
            return recentred(w, w * r);
        }
        w = clamp(W - dx);
        result.setLeft(result.right() - w);
        break;
    case 5:
        if (!free) {
            w = clamp(W + 2 * dx);
            return recentred(w, w * r);
        }
        w = clamp(W + dx);
        result.setRight(result.left() + w);
        break;
    case 6:
        w = clamp(W - dx);
        h = free ? clamp(H - dy) : w * r;
        result.setLeft(result.right() - w);
        result.setTop(result.bottom() - h);
        break;
    case 7:
        w = clamp(W + dx);
        h = free ? clamp(H - dy) : w * r;
        result.setRight(result.left() + w);
        result.setTop(result.bottom() - h);
        break;
    case 8:
        w = clamp(W - dx);
        h = free ? clamp(H + dy) : w * r;
        result.setLeft(result.right() - w);
        result.setBottom(result.top() + h);
        break;
    case 9:
        w = clamp(W + dx);
        h = free ? clamp(H + dy) : w * r;
        result.setSize(QSizeF(w, h));
        break;
    default:
        break;
    }
    return result;
}

void MTool::drawPoints(QPainter *painter, bool mapped)
{
    if (!m_visible || !MTools::widget())
        return;
    const QVector<QPointF> list = points();
    for (const QPointF &p : list)
        drawPoint(painter, p, m_defaultPen, m_defaultBrush, mapped);
}

void MTool::drawPoint(QPainter *painter, const QPointF &point, const QPen &pen, const QBrush &brush, bool mapped)
{
    MWidget *view = MTools::widget();
    if (!view)
        return;
    const QPointF p = mapped ? view->transform()->map(point) : point;
    painter->resetTransform();
    painter->setClipping(true);
    painter->setClipRect(view->rect());
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setPen(pen);
    painter->setBrush(brush);
    painter->drawEllipse(pointRect(p));
}

void MTool::drawPointDefault(QPainter *painter, const QPointF &point, bool mapped)
{
    drawPoint(painter, point, m_defaultPen, m_defaultBrush, mapped);
}

void MTool::paint(QPainter *)
{
}

bool MTool::mousePressEvent(MEvent *)
{
    return false;
}

void MTool::mouseMoveEvent(MEvent *)
{
}

void MTool::mouseReleaseEvent(MEvent *)
{
}

void MTool::mouseHoverEvent(MEvent *)
{
}

bool MTool::keyPressEvent(QKeyEvent *)
{
    return false;
}

void MTool::wheelEvent(QWheelEvent *)
{
}

void MTool::mouseDoubleClickEvent(MEvent *)
{
}

bool MTool::canDraw(bool showMessage)
{
    MWidget *view = MTools::widget();
    if (view && view->currentLayerEditable())
        return true;
    if (showMessage)
        MUtility::showMessage(QMessageBox::Critical, tr("Layer"), tr("Can't draw: layer is locked or canvas is empty"));
    return false;
}

int MTool::pointIndexAt(MEvent *event)
{
    return pointIndex(event->viewPosition);
}

int MTool::pointIndex(const QPointF &viewPosition)
{
    MWidget *view = MTools::widget();
    if (m_locked || !m_visible || !view)
        return -1;
    const QVector<QPointF> list = points();
    for (int i = 0; i < list.size(); ++i) {
        if (pointRect(view->transform()->map(list.at(i))).contains(viewPosition))
            return i;
    }
    return -1;
}

void MTool::setFirstPoint(const QPointF &point)
{
    setPoint(0, point);
}

void MTool::set_pointId(int value)
{
    if (value == m_pointId)
        return;
    m_pointId = value;
    emit pointIdChanged(value);
}

void MTool::set_visible(bool value)
{
    if (value == m_visible)
        return;
    m_visible = value;
    emit visibleChanged(value);
    emit toolChanged(this);
}

void MTool::set_locked(bool value)
{
    if (value == m_locked)
        return;
    m_locked = value;
    emit lockedChanged(value);
    emit toolChanged(this);
}

void MTool::set_applyOnDeactivate(bool value)
{
    if (value == m_applyOnDeactivate)
        return;
    m_applyOnDeactivate = value;
    emit applyOnDeactivateChanged(value);
}

void MTool::set_pointSize(int value)
{
    if (value == m_pointSize)
        return;
    m_pointSize = value;
    emit pointSizeChanged(value);
}

void MTool::activate(bool on)
{
    if (m_visible != on) {
        m_visible = on;
        emit visibleChanged(on);
        emit toolChanged(this);
    }
    // An unchanged call still repaints.
    emit toolChanged(this);
}

bool MTool::updateCursor(const QPointF &, double)
{
    return true;
}

void MTool::setValue(int valueId, const QVariant &value)
{
    MToolValues *values = toolValues();
    if (!values)
        return;
    values->setValue(valueId, value);
    emit toolChanged(this);
}

void MTool::addPoint(const QPointF &point)
{
    MToolValues *values = toolValues();
    if (values && values->addPoint(m_pointId, point))
        emit toolChanged(this);
}

void MTool::setPoint(int index, const QPointF &point)
{
    MToolValues *values = toolValues();
    if (values && values->setPoint(m_pointId, index, point))
        emit toolChanged(this);
}

void MTool::removePoint(int index)
{
    MToolValues *values = toolValues();
    if (values && values->removePoint(m_pointId, index))
        emit toolChanged(this);
}

void MTool::setPoints(const QVector<QPointF> &points)
{
    MToolValues *values = toolValues();
    if (values && values->setPoints(m_pointId, points))
        emit toolChanged(this);
}

void MTool::removePoint()
{
    MToolValues *values = toolValues();
    if (values && values->removePoint(m_pointId))
        emit toolChanged(this);
}

void MTool::clearPoints()
{
    MToolValues *values = toolValues();
    if (values && values->clearPoint(m_pointId))
        emit toolChanged(this);
}

void MTool::setColor(const QColor &, Qt::KeyboardModifiers)
{
}

void MTool::showText(const QString &text)
{
    if (MSettings::instance()->showInstructions())
        emit MTools::instance()->showText(text);
}

void MTool::refresh()
{
    if (MWidget *view = MTools::widget())
        view->update();
}

bool MTool::isConfirmKey(const QKeyEvent *event)
{
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

MStrokePaint MTool::currentPaint()
{
    const MColorList *colors = MColorList::instance();
    return MStrokePaint{MBrushList::instance()->currentBrush(), colors->currentColor(), colors->secondColor()};
}
