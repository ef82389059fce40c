#include "mvector3dedit.h"

#include "mconnector.h"

#include <QDoubleSpinBox>
#include <QHBoxLayout>

MVector3DEdit::MVector3DEdit(QWidget *parent) : QWidget(parent), m_spinBoxConnections(new MConnector(this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    for (QDoubleSpinBox *&spinBox : m_spinBoxes) {
        spinBox = new QDoubleSpinBox(this);
        layout->addWidget(spinBox);
    }
    m_spinBoxes[0]->setObjectName(QStringLiteral("x"));
    m_spinBoxes[1]->setObjectName(QStringLiteral("y"));
    m_spinBoxes[2]->setObjectName(QStringLiteral("z"));
    connectSpinBoxes();
}

void MVector3DEdit::connectSpinBoxes()
{
    const auto changed = QOverload<double>::of(&QDoubleSpinBox::valueChanged);
    m_spinBoxConnections->add(connect(m_spinBoxes[0], changed, this, &MVector3DEdit::xChanged));
    m_spinBoxConnections->add(connect(m_spinBoxes[1], changed, this, &MVector3DEdit::yChanged));
    m_spinBoxConnections->add(connect(m_spinBoxes[2], changed, this, &MVector3DEdit::zChanged));
}

void MVector3DEdit::setMinimum(double value)
{
    for (QDoubleSpinBox *spinBox : m_spinBoxes)
        spinBox->setMinimum(value);
}

void MVector3DEdit::setMaximum(double value)
{
    for (QDoubleSpinBox *spinBox : m_spinBoxes)
        spinBox->setMaximum(value);
}

void MVector3DEdit::setValue(const QVector3D &value)
{
    if (value.x() == m_value.x() && value.y() == m_value.y() && value.z() == m_value.z())
        return;
    m_value = value;
    m_spinBoxConnections->disconnectAll();
    for (int i = 0; i < 3; ++i)
        m_spinBoxes[i]->setValue(double(value[i]));
    connectSpinBoxes();
    emit valueChanged(value);
}

void MVector3DEdit::xChanged(double value)
{
    m_value.setX(float(value));
    emit valueChanged(m_value);
}

void MVector3DEdit::yChanged(double value)
{
    m_value.setY(float(value));
    emit valueChanged(m_value);
}

void MVector3DEdit::zChanged(double value)
{
    m_value.setZ(float(value));
    emit valueChanged(m_value);
}
