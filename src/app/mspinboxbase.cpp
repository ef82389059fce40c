#include "mspinboxbase.h"

#include <QAbstractSpinBox>
#include <QHBoxLayout>
#include <QMetaProperty>
#include <QSignalBlocker>

MSpinBoxBase::MSpinBoxBase(QAbstractSpinBox *box, double maximum, double singleStep, QWidget *parent)
    : QWidget(parent), m_box(box), m_fields{0.0, 0.0, maximum, singleStep}
{
    box->setParent(this);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(box);
}

void MSpinBoxBase::setField(Field which, double number)
{
    if (m_fields[which] == number)
        return;
    m_fields[which] = number;
    // A range change never changes the value: a range that grows again shows
    // the value it had clipped.
    if (which == Value)
        showValue();
    else
        refresh();
    announce(which);
}

void MSpinBoxBase::setSuffixText(const QString &text)
{
    if (text == m_suffix)
        return;
    m_suffix = text;
    refresh();
    announce(Suffix);
}

void MSpinBoxBase::takeShownNumber(double shown)
{
    const double value = valueOfShown(shown);
    if (value == m_fields[Value])
        return;
    m_fields[Value] = value;
    announce(Value);
}

void MSpinBoxBase::refresh()
{
    {
        const QSignalBlocker quiet(m_box);
        applyRange();
    }
    showValue();
}

void MSpinBoxBase::showValue()
{
    const QSignalBlocker quiet(m_box);
    setShownNumber(shownNumber(m_fields[Value]));
}

void MSpinBoxBase::announce(Field which)
{
    static const char *const names[] = {"value", "minimum", "maximum", "singleStep", "suffix"};
    const QMetaProperty property = metaObject()->property(metaObject()->indexOfProperty(names[which]));
    const QVariant value = property.read(this);
    property.notifySignal().invoke(this, Qt::DirectConnection, QGenericArgument(value.typeName(), value.constData()));
}
