#pragma once

#include <QIcon>
#include <QList>
#include <QWidget>

#include <functional>

class MConnector;
class QComboBox;

// A combo box over the keys of an enumeration, shown translated in the
// context "Enum"; its value is the value of the chosen key.
class MEnumEdit : public QWidget
{
    Q_OBJECT
public:
    explicit MEnumEdit(QWidget *parent = nullptr);

    int value() const { return m_value; }

    // An unknown enumeration leaves the combo empty. No key is chosen after.
    void setEnumName(const QMetaObject &metaObject, const QByteArray &enumName, const QList<QIcon> &icons);
    void setEnumName(const QMetaObject &metaObject, const QByteArray &enumName);
    // Items a list of a higher floor fills in (the composition modes, say)
    // instead of an enumeration's.
    void setItems(const std::function<void(QComboBox *)> &fill);

public slots:
    void setValue(int value);
    void onCurrentIndexChanged(int index);

signals:
    void valueChanged(int value);

private:
    void connectCombo();

    int m_value = 0;
    QComboBox *m_combo;
    MConnector *m_comboConnection;
};
