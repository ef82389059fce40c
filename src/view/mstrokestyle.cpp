#include "mstrokestyle.h"

#include <QVector>

MStrokeStyle::MStrokeStyle(QObject *parent)
    : QObject(parent)
{
}

QPen MStrokeStyle::pen() const
{
    QPen pen;
    pen.setWidthF(m_strokeSize);
    pen.setStyle(Qt::PenStyle(m_strokeStyle));
    pen.setColor(m_strokeColor);
    if (m_dashLength != 0.0 && m_strokeStyle != NoStyle && m_strokeStyle != SolidLine)
        pen.setDashPattern(QVector<qreal>{m_dashLength, m_dashSpace});
    return pen;
}

void MStrokeStyle::set_strokeColor(const QColor &value)
{
    if (value == m_strokeColor)
        return;
    m_strokeColor = value;
    emit strokeColorChanged(value);
}

void MStrokeStyle::set_strokeSize(double value)
{
    if (value == m_strokeSize)
        return;
    m_strokeSize = value;
    emit strokeSizeChanged(value);
}

void MStrokeStyle::set_strokeStyle(int value)
{
    if (value == m_strokeStyle)
        return;
    m_strokeStyle = value;
    emit strokeStyleChanged(value);
}

void MStrokeStyle::set_dashLength(double value)
{
    if (value == m_dashLength)
        return;
    m_dashLength = value;
    emit dashLengthChanged(value);
}

void MStrokeStyle::set_dashSpace(double value)
{
    if (value == m_dashSpace)
        return;
    m_dashSpace = value;
    emit dashSpaceChanged(value);
}
