#pragma once

#include <QWidget>

class MConnector;
class QSpinBox;

// A whole-number spin box whose value is kept as it was set, even beyond
// the range the box shows.
class MIntSpinBox : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int value READ value WRITE set_value NOTIFY valueChanged)
    Q_PROPERTY(int minimum READ minimum WRITE set_minimum NOTIFY minimumChanged)
    Q_PROPERTY(int maximum READ maximum WRITE set_maximum NOTIFY maximumChanged)
    Q_PROPERTY(int singleStep READ singleStep WRITE set_singleStep NOTIFY singleStepChanged)
    Q_PROPERTY(QString suffix READ suffix WRITE set_suffix NOTIFY suffixChanged)
public:
    explicit MIntSpinBox(QWidget *parent = nullptr);

    int value() const { return m_value; }
    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }
    int singleStep() const { return m_singleStep; }
    QString suffix() const { return m_suffix; }

public slots:
    void set_value(int value);
    void set_minimum(int value);
    void set_maximum(int value);
    void set_singleStep(int value);
    void set_suffix(const QString &value);
    void spinBoxValueChanged(int value);

signals:
    void valueChanged(int value);
    void minimumChanged(int value);
    void maximumChanged(int value);
    void singleStepChanged(int value);
    void suffixChanged(const QString &value);

private:
    void connectSpinBox();
    // The range, step and suffix, then the value as far as the range shows it.
    void applyRange();

    int m_value = 0;
    int m_minimum = 0;
    int m_maximum = 100;
    int m_singleStep = 1;
    QString m_suffix;
    QSpinBox *m_spinBox;
    MConnector *m_spinBoxConnection;
};
