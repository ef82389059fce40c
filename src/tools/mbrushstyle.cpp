#include "mbrushstyle.h"

#include <QLinearGradient>
#include <QRadialGradient>

#include <algorithm>

MBrushStyle::MBrushStyle(QObject *parent)
    : QObject(parent)
{
}

QBrush MBrushStyle::brush(const QRectF &rect) const
{
    return gradientBrush(rect, m_brushColor, m_gradientColor, m_gradientStyle);
}

QBrush MBrushStyle::gradientBrush(const QRectF &rect, const QColor &color1, const QColor &color2, int style)
{
    auto withStops = [&](QGradient gradient) {
        gradient.setColorAt(0, color1);
        gradient.setColorAt(1, color2);
        return QBrush(gradient);
    };
    const QPointF middleLeft(rect.left(), rect.center().y());
    const QPointF middleRight(rect.right(), rect.center().y());
    const QPointF middleTop(rect.center().x(), rect.top());
    const QPointF middleBottom(rect.center().x(), rect.bottom());
    switch (style) {
    case SolidGradient:
        return QBrush(color1);
    case DiagonalGradient:
        return withStops(QLinearGradient(rect.topLeft(), rect.bottomRight()));
    case BackDiagonalGradient:
        return withStops(QLinearGradient(rect.topRight(), rect.bottomLeft()));
    case HorizontalGradient:
        return withStops(QLinearGradient(middleLeft, middleRight));
    case VerticalGradient:
        return withStops(QLinearGradient(middleTop, middleBottom));
    case RadialGradient:
        // The whole smaller side: the fill reaches the corners of a square.
        return withStops(QRadialGradient(rect.center(), std::min(rect.width(), rect.height())));
    default:
        return QBrush(Qt::NoBrush);
    }
}

void MBrushStyle::set_brushColor(const QColor &value)
{
    if (value == m_brushColor)
        return;
    m_brushColor = value;
    emit brushColorChanged(value);
}

void MBrushStyle::set_gradientColor(const QColor &value)
{
    if (value == m_gradientColor)
        return;
    m_gradientColor = value;
    emit gradientColorChanged(value);
}

void MBrushStyle::set_gradientStyle(int value)
{
    if (value == m_gradientStyle)
        return;
    m_gradientStyle = value;
    emit gradientStyleChanged(value);
}
