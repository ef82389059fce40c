#include "mgradienttool.h"

#include "mlayeredits.h"
#include "mpaper.h"
#include "mselection.h"
#include "mcolorlist.h"
#include "mevent.h"
#include "mgeometry.h"
#include "mgradientitem.h"
#include "mshapetool.h"
#include "mstrokestyle.h"
#include "mtools.h"
#include "mtoolvalues.h"
#include "mtransform.h"
#include "mutility.h"
#include "mwidget.h"

#include <QLineF>
#include <QPainter>
#include <QtMath>

MGradientTool::MGradientTool(ToolId toolId, QObject *parent)
    : MTool(toolId, parent)
{
    set_pointId(MToolValues::GradientPoints);
    // A colour picked under any tool recolours the selected stop.
    connect(MColorList::instance(), &MColorList::colorChanged, this, &MGradientTool::setColor);
    connect(this, &MGradientTool::typeChanged, this, &MTool::refresh);
    connect(this, &MGradientTool::spreadChanged, this, &MTool::refresh);
}

MGradientTool::~MGradientTool()
{
    qDeleteAll(m_stops);
}

void MGradientTool::set_type(int value)
{
    if (value == m_type)
        return;
    m_type = value;
    emit typeChanged(value);
}

void MGradientTool::set_spread(int value)
{
    if (value == m_spread)
        return;
    m_spread = value;
    emit spreadChanged(value);
}

QGradient MGradientTool::makeGradient(const QVector<QPointF> &points, const QVector<QColor> &colors) const
{
    QGradient gradient;
    const bool usable = points.size() == colors.size() && points.size() >= 2;
    const QPointF p0 = usable ? points.at(0) : QPointF();
    const QPointF p1 = usable ? points.at(1) : QPointF();
    const double d = QLineF(p0, p1).length();
    switch (m_type) {
    case Radial:
        gradient = usable ? QRadialGradient(p0, d, p0) : QRadialGradient();
        break;
    case Conical:
        gradient = usable ? QConicalGradient(p0, QLineF(p0, p1).angle()) : QConicalGradient();
        break;
    default:
        gradient = usable ? QLinearGradient(p0, p1) : QLinearGradient();
        break;
    }
    if (!usable)
        return gradient;
    switch (m_spread) {
    case RepeatSpread: gradient.setSpread(QGradient::RepeatSpread); break;
    case ReflectSpread: gradient.setSpread(QGradient::ReflectSpread); break;
    default: gradient.setSpread(QGradient::PadSpread); break;
    }
    gradient.setColorAt(0.0, colors.at(0));
    gradient.setColorAt(1.0, colors.at(1));
    if (d == 0.0)
        return gradient;
    // A stop on an already used position replaces its colour.
    for (int i = 2; i < points.size(); ++i) {
        const double t = QLineF(p0, points.at(i)).length() / d;
        if (t >= 0.0 && t <= 1.0)
            gradient.setColorAt(t, colors.at(i));
    }
    return gradient;
}

QGradient MGradientTool::relativeGradient(const QPointF &origin) const
{
    QVector<QPointF> points;
    QVector<QColor> colors;
    for (const MGradientItem *stop : m_stops) {
        points << stop->point() - origin;
        colors << stop->color();
    }
    return makeGradient(points, colors);
}

QRectF MGradientTool::targetRect(const MSelection *selection, const MPaper *paper)
{
    const QPainterPath path = selection->path();
    return path.isEmpty() ? paper->paintedRect() : path.boundingRect();
}

QGradient MGradientTool::gradient() const
{
    MPaper *documentPaper = paper();
    return relativeGradient(documentPaper ? targetRect(selection(), documentPaper).topLeft() : QPointF());
}

QImage MGradientTool::renderImage() const
{
    MSelection *documentSelection = selection();
    if (!documentSelection)
        return QImage();
    const QRectF rect = targetRect(documentSelection, paper());
    QImage image(rect.toAlignedRect().size(), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return image;
    image.fill(Qt::transparent);
    QPainter painter(&image);
    const QPainterPath outline = documentSelection->path();
    if (!outline.isEmpty())
        painter.setClipPath(outline.translated(-outline.boundingRect().topLeft()), Qt::ReplaceClip);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.fillRect(image.rect(), QBrush(relativeGradient(rect.topLeft())));
    return image;
}

bool MGradientTool::projectOnSegment(const QPointF &p, QPointF &q) const
{
    if (m_stops.size() < 2)
        return false;
    const QPointF p0 = m_stops.at(0)->point();
    const QPointF p1 = m_stops.at(1)->point();
    if (!MGeometry::projectOnLine(QLineF(p0, p1), p, q))
        return false;
    const QPointF d = p1 - p0;
    const QPointF v = q - p0;
    const double dot = QPointF::dotProduct(d, v);
    return dot >= 0.0 && dot < QPointF::dotProduct(d, d);
}

void MGradientTool::addPoint(const QPointF &point)
{
    auto *stop = new MGradientItem;
    if (m_stops.isEmpty()) {
        stop->set_stop(0.0);
        stop->set_color(Qt::red);
        stop->set_point(point);
    } else if (m_stops.size() == 1) {
        stop->set_stop(1.0);
        stop->set_color(Qt::blue);
        stop->set_point(point);
    } else {
        QPointF q;
        if (!projectOnSegment(point, q)) {
            delete stop;
            emit toolChanged(this);
            return;
        }
        stop->set_point(q);
        stop->set_color(MColorList::instance()->currentColor());
    }
    m_stops.append(stop);
    m_selectedPoint = m_stops.size() - 1;
    if (m_stops.size() > 2)
        updateStops();
    emit toolChanged(this);
}

void MGradientTool::setPoint(int index, const QPointF &point)
{
    if (index < 0 || index >= m_stops.size())
        return;
    if (index < 2) {
        m_stops.at(index)->set_point(point);
        updateStopPoints();
        return;
    }
    QPointF q;
    if (!projectOnSegment(point, q))
        return;
    m_stops.at(index)->set_point(q);
    updateStops();
}

void MGradientTool::updateStopPoints()
{
    if (m_stops.size() < 2)
        return;
    const QPointF p0 = m_stops.at(0)->point();
    const QPointF p1 = m_stops.at(1)->point();
    const double length = QLineF(p0, p1).length();
    if (length == 0.0)
        return;
    // Inner stops keep their ratio when the gradient is stretched or turned.
    const QPointF unit = (p1 - p0) / length;
    for (int i = 2; i < m_stops.size(); ++i)
        m_stops.at(i)->set_point(p0 + unit * (m_stops.at(i)->stop() * length));
    emit toolChanged(this);
}

void MGradientTool::updateStops()
{
    if (m_stops.size() < 2)
        return;
    m_stops.at(0)->set_stop(0.0);
    m_stops.at(1)->set_stop(1.0);
    const QPointF p0 = m_stops.at(0)->point();
    const double length = QLineF(p0, m_stops.at(1)->point()).length();
    if (length == 0.0)
        return;
    for (int i = 2; i < m_stops.size(); ++i)
        m_stops.at(i)->set_stop(QLineF(p0, m_stops.at(i)->point()).length() / length);
    emit toolChanged(this);
}

void MGradientTool::removePoint(int index)
{
    // The start never goes, and the gradient needs its start and its end.
    if (index < 1 || index >= m_stops.size() || m_stops.size() <= 2)
        return;
    delete m_stops.takeAt(index);
    updateStops();
    emit toolChanged(this);
}

void MGradientTool::removePoint()
{
    removePoint(m_selectedPoint);
}

void MGradientTool::resetPoints()
{
    qDeleteAll(m_stops);
    m_stops.clear();
    if (MPaper *documentPaper = paper()) {
        const QRectF r = documentPaper->paintedRect();
        const double y = (r.top() + r.bottom()) * 0.5;
        const double dx = r.width() * 0.25;
        addPoint(QPointF(r.left() + dx, y));
        addPoint(QPointF(r.right() - dx, y));
    } else {
        addPoint(QPointF(0, 0));
        addPoint(QPointF(300, 300));
    }
}

void MGradientTool::setColor(const QColor &color, Qt::KeyboardModifiers)
{
    if (m_selectedPoint < 0 || m_selectedPoint >= m_stops.size())
        return;
    m_stops.at(m_selectedPoint)->set_color(color);
    emit toolChanged(this);
}

void MGradientTool::resetColor()
{
    setColor(Qt::transparent, Qt::NoModifier);
}

int MGradientTool::pointIndex(const QPointF &viewPosition)
{
    MWidget *view = MTools::widget();
    if (locked() || !visible() || !view)
        return -1;
    for (int i = 0; i < m_stops.size(); ++i) {
        if (pointRect(view->transform()->map(m_stops.at(i)->point())).contains(viewPosition))
            return i;
    }
    return -1;
}

bool MGradientTool::updateCursor(const QPointF &viewPosition, double)
{
    if (pointIndex(viewPosition) == -1) {
        setCursor(Qt::ArrowCursor);
        return false;
    }
    setCursor(Qt::SizeAllCursor);
    return true;
}

void MGradientTool::activate(bool on)
{
    set_visible(on);
    if (on)
        showText(tr("Press enter key or apply button to include the gradient in the current layer."));
    emit toolChanged(this);
}

bool MGradientTool::mousePressEvent(MEvent *event)
{
    if (locked() || !visible() || !MTools::widget())
        return false;
    m_selectedPoint = pointIndex(event->viewPosition);
    if (!event->hasControlModifier())
        return false;
    addPoint(MShapeTool::eventPosition(event));
    emit toolChanged(this);
    return true;
}

void MGradientTool::mouseMoveEvent(MEvent *event)
{
    if (!MTools::widget())
        return;
    setPoint(m_selectedPoint, MShapeTool::snapped(MShapeTool::eventPosition(event)));
    emit toolChanged(this);
}

bool MGradientTool::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return) {
        apply(event->modifiers());
        return true;
    }
    if (event->key() == Qt::Key_Delete && event->modifiers().testFlag(Qt::ControlModifier)) {
        removePoint();
        return true;
    }
    return false;
}

void MGradientTool::drawPoints(QPainter *painter, bool mapped)
{
    for (int i = 0; i < m_stops.size(); ++i) {
        const QBrush brush(i == m_selectedPoint ? selectedHandleColor : handleColor);
        drawPoint(painter, m_stops.at(i)->point(), defaultPen(), brush, mapped);
    }
}

void MGradientTool::paint(QPainter *painter)
{
    MWidget *view = MTools::widget();
    if (!visible() || !view)
        return;
    if (m_stops.size() < 2)
        resetPoints();
    const MTransform *transform = view->transform();
    painter->save();
    painter->resetTransform();
    const QPainterPath outline = selection()->path();
    if (!outline.isEmpty())
        painter->setClipPath(transform->mapPath(outline), Qt::ReplaceClip);
    else
        painter->setClipRect(view->rect(), Qt::ReplaceClip);
    painter->setRenderHint(QPainter::Antialiasing, true);
    QVector<QPointF> points;
    QVector<QColor> colors;
    for (const MGradientItem *stop : qAsConst(m_stops)) {
        points << transform->map(stop->point());
        colors << stop->color();
    }
    const QRectF painted = paper()->paintedRect();
    painter->setPen(Qt::NoPen);
    painter->fillRect(transform->mapRect(painted), QBrush(makeGradient(points, colors)));
    painter->setClipping(false);
    QPen pen = lineStyle()->pen();
    pen.setCosmetic(true);
    pen.setWidthF(1.0);
    painter->setPen(pen);
    painter->setBrush(Qt::NoBrush);
    const QLineF segment = MGeometry::clipLine(points.at(0).x(), points.at(0).y(), points.at(1).x(), points.at(1).y(),
                                               QRectF(view->rect()));
    if (!segment.isNull())
        painter->drawLine(segment);
    painter->setTransform(transform->matrix());
    painter->drawRect(painted);
    painter->resetTransform();
    drawPoints(painter, true);
    painter->restore();
}

void MGradientTool::apply(Qt::KeyboardModifiers modifiers)
{
    MUtility::setBusyCursor();
    if (MLayerEdits *documentEdits = edits()) {
        // Before the first overlay there are no stops yet: rasterize what it would show.
        if (m_stops.size() < 2)
            resetPoints();
        documentEdits->pasteImage(targetRect(selection(), paper()).center(), renderImage(), modifiers.testFlag(Qt::ControlModifier),
                                  tr("Rasterize gradient"), -1, QRectF(), 0);
    }
    MTools::instance()->activate(MTool::BrushTool, true);
    MUtility::restoreCursor();
    emit toolChanged(this);
}

void MGradientTool::apply()
{
    apply(Qt::NoModifier);
}
