#include "mcolorwheel.h"

#include <QConicalGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

#include <cmath>

MColorWheel::MColorWheel(QWidget *parent) : QWidget(parent)
{
}

void MColorWheel::setColor(const QColor &color)
{
    const double previous = m_hue;
    const QColor hsv = color.toHsv();
    m_hue = qMax(hsv.hsvHueF(), 0.0);
    m_saturation = hsv.hsvSaturationF();
    m_value = hsv.valueF();
    if (!qFuzzyCompare(m_hue + 1.0, previous + 1.0))
        buildSquare();
    update();
    emit colorChanged(color, Qt::NoModifier);
}

void MColorWheel::setHue(double hue)
{
    m_hue = qBound(0.0, hue, 1.0);
    buildSquare();
    update();
}

void MColorWheel::setSaturation(double saturation)
{
    m_saturation = qBound(0.0, saturation, 1.0);
    update();
}

void MColorWheel::setValue(double value)
{
    m_value = qBound(0.0, value, 1.0);
    update();
}

void MColorWheel::setWheelWidth(unsigned int width)
{
    m_wheelWidth = width;
    buildSquare();
    update();
}

QRect MColorWheel::squareRect() const
{
    const int side = m_square.width();
    return QRect((width() - side) / 2, (height() - side) / 2, side, side);
}

void MColorWheel::buildSquare()
{
    const int side = int(std::trunc(std::sqrt(2.0) * (qMin(width(), height()) / 2 - int(m_wheelWidth))));
    if (side <= 0) {
        m_square = QImage();
        return;
    }
    m_square = QImage(side, side, QImage::Format_RGB32);
    for (int y = 0; y < side; ++y) {
        auto *line = reinterpret_cast<QRgb *>(m_square.scanLine(y));
        for (int x = 0; x < side; ++x)
            line[x] = QColor::fromHsvF(m_hue, double(x) / side, double(y) / side, 1.0).rgb();
    }
}

void MColorWheel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    buildSquare();
}

void MColorWheel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const int outer = qMin(width(), height());
    const QRectF ring((width() - outer) / 2.0, (height() - outer) / 2.0, outer, outer);
    QConicalGradient hues(ring.center(), 0);
    for (int i = 0; i <= 6; ++i)
        hues.setColorAt(i / 6.0, QColor::fromHsvF(qMin(i / 6.0, 1.0), 1.0, 1.0));
    QPainterPath path;
    path.addEllipse(ring);
    path.addEllipse(ring.adjusted(m_wheelWidth, m_wheelWidth, -double(m_wheelWidth), -double(m_wheelWidth)));
    painter.fillPath(path, hues);
    if (!m_square.isNull()) {
        const QRect square = squareRect();
        painter.drawImage(square.topLeft(), m_square);
        const QPointF mark(square.left() + m_saturation * square.width(), square.top() + m_value * square.height());
        painter.setPen(QPen(Qt::white));
        painter.drawEllipse(mark, 4, 4);
    }
}

void MColorWheel::pickAt(const QPointF &pos, Qt::KeyboardModifiers modifiers)
{
    if (m_dragged == Ring) {
        const QPointF d = pos - QRectF(rect()).center();
        // Counter-clockwise from the positive x axis, as the ring is drawn.
        double angle = std::atan2(-d.y(), d.x()) / (2.0 * M_PI);
        if (angle < 0)
            angle += 1.0;
        setHue(angle);
    } else if (m_dragged == Square) {
        const QRect square = squareRect();
        setSaturation((pos.x() - square.left()) / square.width());
        setValue((pos.y() - square.top()) / square.height());
    } else {
        return;
    }
    emit colorChanged(color(), modifiers);
}

void MColorWheel::mousePressEvent(QMouseEvent *event)
{
    const QPointF d = event->localPos() - QRectF(rect()).center();
    const double distance = std::hypot(d.x(), d.y());
    const double outer = qMin(width(), height()) / 2.0;
    if (!m_square.isNull() && squareRect().contains(event->pos()))
        m_dragged = Square;
    else if (distance <= outer && distance >= outer - m_wheelWidth)
        m_dragged = Ring;
    else
        m_dragged = None;
    pickAt(event->localPos(), event->modifiers());
}

void MColorWheel::mouseMoveEvent(QMouseEvent *event)
{
    pickAt(event->localPos(), event->modifiers());
}

void MColorWheel::mouseReleaseEvent(QMouseEvent *event)
{
    pickAt(event->localPos(), event->modifiers());
    if (m_dragged != None)
        emit colorSelected(color());
    m_dragged = None;
}
