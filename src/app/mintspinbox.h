#pragma once

#include "mspinboxbase.h"

class QSpinBox;

// A whole-number spin box whose value is kept as it was set, even beyond
// the range the box shows.
class MIntSpinBox : public MSpinBoxBase
{
    Q_OBJECT
    Q_PROPERTY(int value READ value WRITE set_value NOTIFY valueChanged)
    Q_PROPERTY(int minimum READ minimum WRITE set_minimum NOTIFY minimumChanged)
    Q_PROPERTY(int maximum READ maximum WRITE set_maximum NOTIFY maximumChanged)
    Q_PROPERTY(int singleStep READ singleStep WRITE set_singleStep NOTIFY singleStepChanged)
    Q_PROPERTY(QString suffix READ suffix WRITE set_suffix NOTIFY suffixChanged)
public:
    explicit MIntSpinBox(QWidget *parent = nullptr);

    int value() const { return int(field(Value)); }
    int minimum() const { return int(field(Minimum)); }
    int maximum() const { return int(field(Maximum)); }
    int singleStep() const { return int(field(SingleStep)); }
    QString suffix() const { return suffixText(); }

public slots:
    void set_value(int value) { setField(Value, value); }
    void set_minimum(int value) { setField(Minimum, value); }
    void set_maximum(int value) { setField(Maximum, value); }
    void set_singleStep(int value) { setField(SingleStep, value); }
    void set_suffix(const QString &value) { setSuffixText(value); }

signals:
    void valueChanged(int value);
    void minimumChanged(int value);
    void maximumChanged(int value);
    void singleStepChanged(int value);
    void suffixChanged(const QString &value);

protected:
    void applyRange() override;
    void setShownNumber(double number) override;

private:
    QSpinBox *m_spinBox;
};
