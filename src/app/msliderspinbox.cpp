#include "msliderspinbox.h"

#include "mconnector.h"
#include "mdoubleslider.h"
#include "mdoublespinbox.h"

#include <QHBoxLayout>

MSliderSpinbox::MSliderSpinbox(QWidget *parent)
    : QWidget(parent), m_slider(new MDoubleSlider(this)), m_spinBox(new MDoubleSpinBox(this)),
      m_childConnections(new MConnector(this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_slider);
    layout->addWidget(m_spinBox);
    m_slider->setMinimumWidth(40);
    m_spinBox->setFixedWidth(m_spinBoxWidth);

    m_slider->set_minimum(m_minimum);
    m_slider->set_maximum(m_maximum);
    m_slider->set_isLogarithmic(m_isLogarithmic);
    m_slider->set_sliderTracking(m_sliderTracking);
    m_spinBox->set_minimum(m_minimum);
    m_spinBox->set_maximum(m_maximum);
    m_spinBox->set_singleStep(m_singleStep);
    m_spinBox->set_suffix(m_suffix);
    m_spinBox->set_isPercentage(m_isPercentage);
    connectChildren();
}

void MSliderSpinbox::connectChildren()
{
    m_childConnections->add(connect(m_slider, &MDoubleSlider::valueChanged, this, &MSliderSpinbox::set_value));
    m_childConnections->add(connect(m_spinBox, &MDoubleSpinBox::valueChanged, this, &MSliderSpinbox::set_value));
}

void MSliderSpinbox::set_value(double value)
{
    value = qMax(m_minimum, qMin(value, m_maximum));
    if (value == m_value)
        return;
    m_childConnections->disconnectAll();
    m_value = value;
    m_spinBox->set_value(value);
    m_slider->set_value(value);
    emit valueChanged(value);
    connectChildren();
}

void MSliderSpinbox::applyRange()
{
    m_childConnections->disconnectAll();
    m_slider->set_minimum(m_minimum);
    m_slider->set_maximum(m_maximum);
    m_spinBox->set_minimum(m_minimum);
    m_spinBox->set_maximum(m_maximum);
    connectChildren();
}

void MSliderSpinbox::set_minimum(double value)
{
    if (value == m_minimum)
        return;
    m_minimum = value;
    // The stored range always runs upward.
    if (m_minimum > m_maximum)
        std::swap(m_minimum, m_maximum);
    applyRange();
    emit minimumChanged(value);
}

void MSliderSpinbox::set_maximum(double value)
{
    if (value == m_maximum)
        return;
    m_maximum = value;
    if (m_maximum < m_minimum)
        std::swap(m_minimum, m_maximum);
    applyRange();
    emit maximumChanged(value);
}

void MSliderSpinbox::set_isLogarithmic(bool value)
{
    if (value == m_isLogarithmic)
        return;
    m_isLogarithmic = value;
    m_slider->set_isLogarithmic(value);
    emit isLogarithmicChanged(value);
}

void MSliderSpinbox::set_isPercentage(bool value)
{
    if (value == m_isPercentage)
        return;
    m_isPercentage = value;
    m_spinBox->set_isPercentage(value);
    emit isPercentageChanged(value);
}

void MSliderSpinbox::set_singleStep(double value)
{
    if (value == m_singleStep)
        return;
    m_singleStep = value;
    m_spinBox->set_singleStep(value);
    emit singleStepChanged(value);
}

void MSliderSpinbox::set_suffix(const QString &value)
{
    if (value == m_suffix)
        return;
    m_suffix = value;
    m_spinBox->set_suffix(value);
    emit suffixChanged(value);
}

void MSliderSpinbox::set_showSpinBox(bool value)
{
    if (value == m_showSpinBox)
        return;
    m_showSpinBox = value;
    m_spinBox->setVisible(value);
    emit showSpinBoxChanged(value);
}

void MSliderSpinbox::set_spinBoxWidth(int value)
{
    if (value == m_spinBoxWidth)
        return;
    m_spinBoxWidth = value;
    m_spinBox->setMinimumWidth(value);
    m_spinBox->setMaximumWidth(value);
    emit spinBoxWidthChanged(value);
}

void MSliderSpinbox::set_sliderTracking(bool value)
{
    if (value == m_sliderTracking)
        return;
    m_sliderTracking = value;
    m_slider->set_sliderTracking(value);
    emit sliderTrackingChanged(value);
}
