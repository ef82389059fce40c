#pragma once

#include <QWidget>

class MConnector;
class QDoubleSpinBox;

// A real-number spin box that can show its value as a percentage of its
// range (0 to 100 " %") while the value itself stays in the range.
class MDoubleSpinBox : public QWidget
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

    double value() const { return m_value; }
    double minimum() const { return m_minimum; }
    double maximum() const { return m_maximum; }
    double singleStep() const { return m_singleStep; }
    QString suffix() const { return m_suffix; }
    bool isPercentage() const { return m_isPercentage; }

public slots:
    void set_value(double value);
    void set_minimum(double value);
    void set_maximum(double value);
    void set_singleStep(double value);
    void set_suffix(const QString &value);
    void set_isPercentage(bool value);
    void spinBoxValueChanged(double shown);

signals:
    void valueChanged(double value);
    void minimumChanged(double value);
    void maximumChanged(double value);
    void singleStepChanged(double value);
    void suffixChanged(const QString &value);
    void isPercentageChanged(bool value);

private:
    void connectSpinBox();
    void applyRange();
    // Puts the number for the value in the box without hearing it back.
    void showValue();
    double shownNumber(double value) const;

    double m_value = 0.0;
    double m_minimum = 0.0;
    double m_maximum = 1.0;
    double m_singleStep = 0.1;
    QString m_suffix;
    bool m_isPercentage = false;
    QDoubleSpinBox *m_spinBox;
    MConnector *m_spinBoxConnection;
};
