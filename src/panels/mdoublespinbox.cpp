#include "mdoublespinbox.h"

#include "mconnector.h"

#include <QDoubleSpinBox>
#include <QHBoxLayout>

MDoubleSpinBox::MDoubleSpinBox(QWidget *parent)
    : QWidget(parent), m_spinBox(new QDoubleSpinBox(this)), m_spinBoxConnection(new MConnector(this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_spinBox);
    connectSpinBox();
    applyRange();
}

void MDoubleSpinBox::connectSpinBox()
{
    m_spinBoxConnection->add(connect(m_spinBox, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this,
                                     &MDoubleSpinBox::spinBoxValueChanged));
}

double MDoubleSpinBox::shownNumber(double value) const
{
    if (!m_isPercentage)
        return value;
    // An empty range has no percentages: it shows 0 rather than a division by zero.
    if (m_maximum == m_minimum)
        return 0.0;
    return (value - m_minimum) * 100.0 / (m_maximum - m_minimum);
}

void MDoubleSpinBox::showValue()
{
    m_spinBoxConnection->disconnectAll();
    m_spinBox->setValue(shownNumber(m_value));
    connectSpinBox();
}

void MDoubleSpinBox::applyRange()
{
    m_spinBoxConnection->disconnectAll();
    if (m_isPercentage) {
        m_spinBox->setMinimum(0.0);
        m_spinBox->setMaximum(100.0);
        m_spinBox->setSingleStep(1.0);
        m_spinBox->setSuffix(QStringLiteral(" %"));
    } else {
        m_spinBox->setMinimum(m_minimum);
        m_spinBox->setMaximum(m_maximum);
        m_spinBox->setSingleStep(m_singleStep);
        m_spinBox->setSuffix(m_suffix);
    }
    connectSpinBox();
    // A new range or mode changes what the number in the box means: it is
    // shown again for the value, which a range change leaves alone.
    showValue();
}

void MDoubleSpinBox::set_value(double value)
{
    if (value == m_value)
        return;
    m_value = value;
    showValue();
    emit valueChanged(value);
}

void MDoubleSpinBox::set_minimum(double value)
{
    if (value == m_minimum)
        return;
    m_minimum = value;
    applyRange();
    emit minimumChanged(value);
}

void MDoubleSpinBox::set_maximum(double value)
{
    if (value == m_maximum)
        return;
    m_maximum = value;
    applyRange();
    emit maximumChanged(value);
}

void MDoubleSpinBox::set_singleStep(double value)
{
    if (value == m_singleStep)
        return;
    m_singleStep = value;
    applyRange();
    emit singleStepChanged(value);
}

void MDoubleSpinBox::set_suffix(const QString &value)
{
    if (value == m_suffix)
        return;
    m_suffix = value;
    applyRange();
    emit suffixChanged(value);
}

void MDoubleSpinBox::set_isPercentage(bool value)
{
    if (value == m_isPercentage)
        return;
    m_isPercentage = value;
    applyRange();
    emit isPercentageChanged(value);
}

void MDoubleSpinBox::spinBoxValueChanged(double shown)
{
    const double value = m_isPercentage ? shown / 100.0 * (m_maximum - m_minimum) + m_minimum : shown;
    if (value == m_value)
        return;
    m_value = value;
    emit valueChanged(value);
}
