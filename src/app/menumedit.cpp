#include "menumedit.h"

#include "mconnector.h"
#include "mutility.h"

#include <QComboBox>
#include <QHBoxLayout>

MEnumEdit::MEnumEdit(QWidget *parent)
    : QWidget(parent), m_combo(new QComboBox(this)), m_comboConnection(new MConnector(this))
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_combo);
    connectCombo();
}

void MEnumEdit::connectCombo()
{
    m_comboConnection->add(connect(m_combo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                                   &MEnumEdit::onCurrentIndexChanged));
}

void MEnumEdit::setEnumName(const QMetaObject &metaObject, const QByteArray &enumName, const QList<QIcon> &icons)
{
    // The combo selects its first item by itself while it fills: that is no
    // choice of the user and must not reach the owner.
    m_comboConnection->disconnectAll();
    MUtility::fillEnumCombo(metaObject, enumName, m_combo, -1, icons);
    m_combo->setCurrentIndex(-1);
    connectCombo();
}

void MEnumEdit::setEnumName(const QMetaObject &metaObject, const QByteArray &enumName)
{
    setEnumName(metaObject, enumName, QList<QIcon>());
}

void MEnumEdit::setItems(const std::function<void(QComboBox *)> &fill)
{
    m_comboConnection->disconnectAll();
    m_combo->clear();
    fill(m_combo);
    m_combo->setCurrentIndex(-1);
    connectCombo();
}

void MEnumEdit::onCurrentIndexChanged(int index)
{
    if (index == -1)
        return;
    m_value = m_combo->itemData(index).toInt();
    emit valueChanged(m_value);
}

void MEnumEdit::setValue(int value)
{
    const int index = m_combo->findData(value);
    if (index == m_combo->currentIndex())
        return;
    m_combo->setCurrentIndex(index);
    m_value = value;
    emit valueChanged(value);
}
