#include "mdoubleslider.h"

#include "mconnector.h"

#include <QHBoxLayout>
#include <QSlider>
#include <QToolTip>

#include <cmath>

MDoubleSlider::MDoubleSlider(QWidget *parent)
    : QWidget(parent), m_slider(new QSlider(Qt::Horizontal, this)), m_sliderConnection(new MConnector(this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_slider);
    m_slider->setRange(0, steps);
    m_slider->setSingleStep(1);
    m_slider->setTracking(m_sliderTracking);
    connectSlider();
}

void MDoubleSlider::connectSlider()
{
    m_sliderConnection->add(connect(m_slider, &QSlider::valueChanged, this, &MDoubleSlider::sliderValueChanged));
}

int MDoubleSlider::position() const
{
    return m_slider->value();
}

int MDoubleSlider::positionOf(double value, double minimum, double maximum, bool logarithmic)
{
    const double t = (value - minimum) / (maximum - minimum);
    double position = steps * t;
    if (logarithmic) {
        const double span = std::pow(logarithmBase, 10.0) - 1.0;
        position = 10.0 * std::log(span * t + 1.0) / std::log(logarithmBase);
    }
    return int(position); // toward zero
}

double MDoubleSlider::valueAt(int position, double minimum, double maximum, bool logarithmic)
{
    // Both ends give the bounds themselves, not a rounding away from them.
    if (position <= 0)
        return minimum;
    if (position >= steps)
        return maximum;
    double t = double(position) / steps;
    if (logarithmic)
        t = (std::pow(logarithmBase, position / 10.0) - 1.0) / (std::pow(logarithmBase, 10.0) - 1.0);
    return (maximum - minimum) * t + minimum;
}

double MDoubleSlider::clamped(double value) const
{
    return qMax(m_minimum, qMin(value, m_maximum));
}

void MDoubleSlider::placeHandle()
{
    m_sliderConnection->disconnectAll();
    m_slider->setValue(positionOf(m_value, m_minimum, m_maximum, m_isLogarithmic));
    connectSlider();
}

void MDoubleSlider::set_value(double value)
{
    value = clamped(value);
    if (value == m_value)
        return;
    m_value = value;
    placeHandle();
    emit valueChanged(value);
}

void MDoubleSlider::sliderValueChanged(int position)
{
    m_value = valueAt(position, m_minimum, m_maximum, m_isLogarithmic);
    if (m_toolTip)
        QToolTip::showText(mapToGlobal(QPoint(0, 0)), QStringLiteral("%1").arg(m_value));
    emit valueChanged(m_value);
}

void MDoubleSlider::set_minimum(double value)
{
    if (value == m_minimum)
        return;
    m_minimum = value;
    if (value >= m_maximum)
        set_maximum(value + 1.0);
    m_value = clamped(m_value);
    placeHandle();
    emit minimumChanged(value);
}

void MDoubleSlider::set_maximum(double value)
{
    if (value == m_maximum)
        return;
    m_maximum = value;
    if (value <= m_minimum)
        set_minimum(value - 1.0);
    m_value = clamped(m_value);
    placeHandle();
    emit maximumChanged(value);
}

void MDoubleSlider::set_isLogarithmic(bool value)
{
    if (value == m_isLogarithmic)
        return;
    m_isLogarithmic = value;
    emit isLogarithmicChanged(value);
}

void MDoubleSlider::set_toolTip(bool value)
{
    if (value == m_toolTip)
        return;
    m_toolTip = value;
    emit toolTipChanged(value);
}

void MDoubleSlider::set_sliderTracking(bool value)
{
    if (value == m_sliderTracking)
        return;
    m_sliderTracking = value;
    m_slider->setTracking(value);
    emit sliderTrackingChanged(value);
}
