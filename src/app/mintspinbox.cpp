#include "mintspinbox.h"

#include <QSpinBox>

MIntSpinBox::MIntSpinBox(QWidget *parent)
    : MSpinBoxBase(new QSpinBox, 100, 1, parent), m_spinBox(findChild<QSpinBox *>())
{
    connect(m_spinBox, QOverload<int>::of(&QSpinBox::valueChanged), this,
            [this](int shown) { takeShownNumber(shown); });
    refresh();
}

void MIntSpinBox::applyRange()
{
    m_spinBox->setRange(minimum(), maximum());
    m_spinBox->setSingleStep(singleStep());
    m_spinBox->setSuffix(suffix());
}

void MIntSpinBox::setShownNumber(double number)
{
    m_spinBox->setValue(int(number));
}
