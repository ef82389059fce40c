#include "mcolorslider.h"

#include <QPainter>
#include <QPixmap>
#include <QStyleOptionSlider>

MColorSlider::MColorSlider(QWidget *parent)
    : QSlider(Qt::Horizontal, parent)
    , m_background(QPixmap(QStringLiteral(":/icons/alphaback.png")))
{
    setMaximumHeight(14);
}

QLinearGradient MColorSlider::gradient() const
{
    QLinearGradient result(0, 0, orientation() == Qt::Horizontal ? 1 : 0, orientation() == Qt::Horizontal ? 0 : 1);
    result.setCoordinateMode(QGradient::StretchToDeviceMode);
    const int n = m_colors.size();
    for (int i = 0; i < n; ++i)
        result.setColorAt(n > 1 ? double(i) / (n - 1) : 0.0, m_colors.at(i));
    return result;
}

QColor MColorSlider::firstColor() const
{
    return m_colors.isEmpty() ? QColor() : m_colors.first();
}

QColor MColorSlider::lastColor() const
{
    return m_colors.isEmpty() ? QColor() : m_colors.last();
}

void MColorSlider::setBackground(const QBrush &background)
{
    m_background = background;
    update();
}

void MColorSlider::setColors(const QVector<QColor> &colors)
{
    m_colors = colors;
    update();
}

void MColorSlider::setGradient(const QLinearGradient &gradient)
{
    m_colors.clear();
    for (const QGradientStop &stop : gradient.stops())
        m_colors.append(stop.second);
    update();
}

void MColorSlider::setFirstColor(const QColor &color)
{
    if (m_colors.isEmpty())
        m_colors.append(color);
    else
        m_colors.first() = color;
    update();
}

void MColorSlider::setLastColor(const QColor &color)
{
    if (m_colors.size() > 1)
        m_colors.last() = color;
    else
        m_colors.append(color);
    update();
}

void MColorSlider::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect inner(1, 1, width() - 2, height() - 2);
    painter.setPen(Qt::NoPen);
    painter.fillRect(inner, m_background);
    painter.fillRect(inner, QBrush(gradient()));
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(0, 0, width() - 1, 0);
    painter.drawLine(0, 0, 0, height() - 1);
    painter.setPen(palette().color(QPalette::Midlight));
    painter.drawLine(width() - 1, 0, width() - 1, height() - 1);
    painter.drawLine(0, height() - 1, width() - 1, height() - 1);

    // The groove is the gradient above: the style draws only the handle.
    QStyleOptionSlider option;
    initStyleOption(&option);
    option.subControls = QStyle::SC_SliderHandle;
    if (isSliderDown()) {
        option.activeSubControls = QStyle::SC_SliderHandle;
        option.state |= QStyle::State_Sunken;
    }
    style()->drawComplexControl(QStyle::CC_Slider, &option, &painter, this);
}
