#include "mcurvewidget.h"

#include "mcurve.h"

#include <QMouseEvent>
#include <QPainter>
#include <QtMath>

MCurveWidget::MCurveWidget(QWidget *parent) : QWidget(parent)
{
    setMinimumSize(200, 200);
}

QPointF MCurveWidget::toWidget(const QPointF &point) const
{
    return QPointF((width() - 2 * m_margin) * point.x() + m_margin,
                   (1.0 - point.y()) * (height() - 2 * m_margin) + m_margin);
}

QPointF MCurveWidget::toCurve(const QPointF &position) const
{
    const double w = width() - 2 * m_margin;
    const double h = height() - 2 * m_margin;
    const double px = qBound(m_margin, position.x(), width() - m_margin);
    const double py = qBound(m_margin, position.y(), height() - m_margin);
    const double x = w > 0 ? (px - m_margin) / w : 0.0;
    const double y = h > 0 ? (h - py + m_margin) / h : 0.0;
    return QPointF(x, y);
}

void MCurveWidget::setCurve(MCurve *curve)
{
    m_curve = curve;
    m_selected = -1;
    m_needsRebuild = true;
    update();
    emit curveChanged(curve);
}

void MCurveWidget::refresh()
{
    m_needsRebuild = true;
    update();
}

void MCurveWidget::addPoint()
{
    if (!m_curve || m_curve->pointCount() > 5)
        return;
    const QPointF middle(0.5, 0.5);
    QPointF point = middle;
    if (m_curve->pointCount() == 1)
        point = (m_curve->point(0) + middle) / 2.0;
    else if (m_curve->pointCount() > 1)
        point = (m_curve->point(0) + m_curve->point(1)) / 2.0;
    m_curve->addPoint(point);
    update();
    emit curveChanged(m_curve);
}

void MCurveWidget::removePoint()
{
    if (!m_curve || m_curve->pointCount() <= 2)
        return;
    m_curve->removePoint(1);
    update();
    emit curveChanged(m_curve);
}

void MCurveWidget::initCurve(int initType)
{
    if (!m_curve)
        return;
    m_curve->init(initType);
    m_selected = -1;
    m_needsRebuild = true;
    emit curveChanged(m_curve);
    update();
}

void MCurveWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::darkGray, 0.5));
    painter.setBrush(Qt::white);
    painter.drawRect(rect());
    const int qx = int(width() * 0.25);
    const int qy = int(height() * 0.25);
    if (qx > 0)
        for (int x = qx; x <= width() - qx; x += qx)
            painter.drawLine(x, 0, x, height());
    if (qy > 0)
        for (int y = qy; y <= height() - qy; y += qy)
            painter.drawLine(0, y, width(), y);
    if (!m_curve)
        return;
    if (m_needsRebuild) {
        m_curve->buildSpline();
        m_needsRebuild = false;
    }
    QPolygonF line;
    for (double px = m_margin; px < width(); px += 4.0) {
        const double x = toCurve(QPointF(px, m_margin)).x();
        line << toWidget(QPointF(x, qBound(0.0, m_curve->evaluate(x), 1.0)));
    }
    painter.setPen(QPen(Qt::black, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolyline(line);
    painter.setBrush(Qt::red);
    for (const QPointF &point : m_curve->points())
        painter.drawEllipse(toWidget(point), m_pointRadius, m_pointRadius);
}

void MCurveWidget::mousePressEvent(QMouseEvent *event)
{
    m_selected = -1;
    if (m_curve) {
        for (int i = 0; i < m_curve->pointCount(); ++i) {
            const QPointF d = toWidget(m_curve->point(i)) - event->localPos();
            if (qSqrt(d.x() * d.x() + d.y() * d.y()) < 2 * m_pointRadius)
                m_selected = i;
        }
    }
    m_dragging = true;
    grabMouse();
}

void MCurveWidget::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_curve || !m_dragging || m_selected < 0 || m_selected >= m_curve->pointCount())
        return;
    m_curve->setPoint(m_selected, toCurve(event->localPos()), false);
    m_needsRebuild = true;
    emit pointMoved(m_selected);
    emit curveChanged(m_curve);
    update();
}

void MCurveWidget::mouseReleaseEvent(QMouseEvent *)
{
    if (m_curve)
        m_curve->sortPoints();
    m_dragging = false;
    update();
    releaseMouse();
}

MCurve *MCurveWidget::curve() const
{
    return m_curve;
}
