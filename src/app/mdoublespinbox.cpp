#include "mdoublespinbox.h"

#include <QDoubleSpinBox>

MDoubleSpinBox::MDoubleSpinBox(QWidget *parent)
    : MSpinBoxBase(new QDoubleSpinBox, 1.0, 0.1, parent), m_spinBox(findChild<QDoubleSpinBox *>())
{
    connect(m_spinBox, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this,
            [this](double shown) { takeShownNumber(shown); });
    refresh();
}

double MDoubleSpinBox::shownNumber(double value) const
{
    if (!m_isPercentage)
        return value;
    // An empty range has no percentages: it shows 0 rather than a division by zero.
    if (maximum() == minimum())
        return 0.0;
    return (value - minimum()) * 100.0 / (maximum() - minimum());
}

double MDoubleSpinBox::valueOfShown(double shown) const
{
    return m_isPercentage ? shown / 100.0 * (maximum() - minimum()) + minimum() : shown;
}

void MDoubleSpinBox::applyRange()
{
    if (m_isPercentage) {
        m_spinBox->setRange(0.0, 100.0);
        m_spinBox->setSingleStep(1.0);
        m_spinBox->setSuffix(QStringLiteral(" %"));
    } else {
        m_spinBox->setRange(minimum(), maximum());
        m_spinBox->setSingleStep(singleStep());
        m_spinBox->setSuffix(suffix());
    }
}

void MDoubleSpinBox::setShownNumber(double number)
{
    m_spinBox->setValue(number);
}

void MDoubleSpinBox::set_isPercentage(bool value)
{
    if (value == m_isPercentage)
        return;
    m_isPercentage = value;
    // The number in the box means something else now.
    refresh();
    emit isPercentageChanged(value);
}
