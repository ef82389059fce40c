#include "mintspinbox.h"

#include "mconnector.h"

#include <QHBoxLayout>
#include <QSpinBox>

MIntSpinBox::MIntSpinBox(QWidget *parent)
    : QWidget(parent), m_spinBox(new QSpinBox(this)), m_spinBoxConnection(new MConnector(this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_spinBox);
    connectSpinBox();
    applyRange();
}

void MIntSpinBox::connectSpinBox()
{
    m_spinBoxConnection->add(connect(m_spinBox, QOverload<int>::of(&QSpinBox::valueChanged), this,
                                     &MIntSpinBox::spinBoxValueChanged));
}

void MIntSpinBox::applyRange()
{
    m_spinBoxConnection->disconnectAll();
    m_spinBox->setMinimum(m_minimum);
    m_spinBox->setMaximum(m_maximum);
    m_spinBox->setSingleStep(m_singleStep);
    m_spinBox->setSuffix(m_suffix);
    // A range that grows again shows the value it had clipped; a range
    // change never changes the value itself.
    m_spinBox->setValue(m_value);
    connectSpinBox();
}

void MIntSpinBox::set_value(int value)
{
    if (value == m_value)
        return;
    m_value = value;
    m_spinBoxConnection->disconnectAll();
    m_spinBox->setValue(value);
    connectSpinBox();
    emit valueChanged(value);
}

void MIntSpinBox::set_minimum(int value)
{
    if (value == m_minimum)
        return;
    m_minimum = value;
    applyRange();
    emit minimumChanged(value);
}

void MIntSpinBox::set_maximum(int value)
{
    if (value == m_maximum)
        return;
    m_maximum = value;
    applyRange();
    emit maximumChanged(value);
}

void MIntSpinBox::set_singleStep(int value)
{
    if (value == m_singleStep)
        return;
    m_singleStep = value;
    applyRange();
    emit singleStepChanged(value);
}

void MIntSpinBox::set_suffix(const QString &value)
{
    if (value == m_suffix)
        return;
    m_suffix = value;
    applyRange();
    emit suffixChanged(value);
}

void MIntSpinBox::spinBoxValueChanged(int value)
{
    if (value == m_value)
        return;
    m_value = value;
    emit valueChanged(value);
}
