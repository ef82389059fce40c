#pragma once

#include <QByteArray>
#include <QIcon>
#include <QString>
#include <QVariant>

class MPickList;

// Describes one editable value: table columns, brush settings, effect
// parameters and the fields of generated editors all use it.
class MField
{
public:
    MField();
    MField(const MField &other);
    MField &operator=(const MField &other);
    virtual ~MField();

    void clear();
    void assign(const MField &other);

    QByteArray name() const { return m_name; }
    void setName(const QByteArray &name) { m_name = name; }
    int index() const { return m_index; }
    void setIndex(int index) { m_index = index; }
    bool hasNoIndex() const { return m_index == -1; }
    QString label() const { return m_label; }
    void setLabel(const QString &label) { m_label = label; }
    QString description() const { return m_description; }
    void setDescription(const QString &description) { m_description = description; }
    int type() const { return m_type; }
    void setType(int type) { m_type = type; }
    QByteArray enumName() const { return m_enumName; }
    void setEnumName(const QByteArray &enumName) { m_enumName = enumName; }
    MPickList *pickList() const { return m_pickList; }
    void addPickItem(const QString &text, const QVariant &value);
    bool isLogarithmic() const { return m_isLogarithmic; }
    void setLogarithmic(bool isLogarithmic) { m_isLogarithmic = isLogarithmic; }
    bool isPercentage() const { return m_isPercentage; }
    void setPercentage(bool isPercentage) { m_isPercentage = isPercentage; }
    double minimum() const { return m_minimum; }
    void setMinimum(double minimum);
    double maximum() const { return m_maximum; }
    void setMaximum(double maximum);
    void setRange(double a, double b);
    double singleStep() const { return m_singleStep; }
    void setSingleStep(double singleStep) { m_singleStep = singleStep; }
    QString suffix() const { return m_suffix; }
    void setSuffix(const QString &suffix) { m_suffix = suffix; }
    QString suffixText() const;
    QVariant value() const { return m_value; }
    void setValue(const QVariant &value) { m_value = value; }
    bool isDynamic() const { return m_isDynamic; }
    void setDynamic(bool isDynamic) { m_isDynamic = isDynamic; }
    bool isVisible() const { return m_isVisible; }
    void setVisible(bool isVisible) { m_isVisible = isVisible; }

    // How a value of this field's type is shown for an item-model role.
    QVariant valueText(const QVariant &value, int role) const;
    static QIcon colorIcon(const QColor &color);

private:
    QByteArray m_name;
    int m_index = -1;
    QString m_label;
    QString m_description;
    int m_type = QMetaType::Double;
    QByteArray m_enumName;
    MPickList *m_pickList = nullptr;
    bool m_isLogarithmic = false;
    bool m_isPercentage = false;
    double m_maximum = 1.0;
    double m_minimum = 0.0;
    double m_singleStep = 0.1;
    QString m_suffix;
    QVariant m_value;
    bool m_isDynamic = true;
    bool m_isVisible = true;
};
