#pragma once

#include "mspinboxbase.h"

class QDoubleSpinBox;

// A real-number spin box that can show its value as a percentage of its
// range (0 to 100 " %") while the value itself stays in the range.
class MDoubleSpinBox : public MSpinBoxBase
{
    Q_OBJECT
    Q_PROPERTY(double value READ value WRITE set_value NOTIFY valueChanged)
    Q_PROPERTY(double minimum READ minimum WRITE set_minimum NOTIFY minimumChanged)
    Q_PROPERTY(double maximum READ maximum WRITE set_maximum NOTIFY maximumChanged)
    Q_PROPERTY(double singleStep READ singleStep WRITE set_singleStep NOTIFY singleStepChanged)
    Q_PROPERTY(QString suffix READ suffix WRITE set_suffix NOTIFY suffixChanged)
    Q_PROPERTY(bool isPercentage READ isPercentage WRITE set_isPercentage NOTIFY isPercentageChanged)
public:
    explicit MDoubleSpinBox(QWidget *parent = nullptr);

    double value() const { return field(Value); }
    double minimum() const { return field(Minimum); }
    double maximum() const { return field(Maximum); }
    double singleStep() const { return field(SingleStep); }
    QString suffix() const { return suffixText(); }
    bool isPercentage() const { return m_isPercentage; }

public slots:
    void set_value(double value) { setField(Value, value); }
    void set_minimum(double value) { setField(Minimum, value); }
    void set_maximum(double value) { setField(Maximum, value); }
    void set_singleStep(double value) { setField(SingleStep, value); }
    void set_suffix(const QString &value) { setSuffixText(value); }
    void set_isPercentage(bool value);

signals:
    void valueChanged(double value);
    void minimumChanged(double value);
    void maximumChanged(double value);
    void singleStepChanged(double value);
    void suffixChanged(const QString &value);
    void isPercentageChanged(bool value);

protected:
    double shownNumber(double value) const override;
    double valueOfShown(double shown) const override;
    void applyRange() override;
    void setShownNumber(double number) override;

private:
    bool m_isPercentage = false;
    QDoubleSpinBox *m_spinBox;
};
