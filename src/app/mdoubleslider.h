#pragma once

#include <QWidget>

class MConnector;
class QSlider;

// A real value on a horizontal slider of 100 steps, linear or logarithmic:
// in logarithmic mode the lower half of the track covers about a sixth of
// the range, for fine control of small values.
class MDoubleSlider : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(double value READ value WRITE set_value NOTIFY valueChanged)
    Q_PROPERTY(double minimum READ minimum WRITE set_minimum NOTIFY minimumChanged)
    Q_PROPERTY(double maximum READ maximum WRITE set_maximum NOTIFY maximumChanged)
    Q_PROPERTY(bool isLogarithmic READ isLogarithmic WRITE set_isLogarithmic NOTIFY isLogarithmicChanged)
    Q_PROPERTY(bool toolTip READ toolTip WRITE set_toolTip NOTIFY toolTipChanged)
    Q_PROPERTY(bool sliderTracking READ sliderTracking WRITE set_sliderTracking NOTIFY sliderTrackingChanged)
public:
    explicit MDoubleSlider(QWidget *parent = nullptr);

    static constexpr double logarithmBase = 1.4;
    static constexpr int steps = 100;

    double value() const { return m_value; }
    double minimum() const { return m_minimum; }
    double maximum() const { return m_maximum; }
    bool isLogarithmic() const { return m_isLogarithmic; }
    bool toolTip() const { return m_toolTip; }
    bool sliderTracking() const { return m_sliderTracking; }
    // Where the handle stands (0 to 100).
    int position() const;

    // The handle position of a value and the value of a position.
    static int positionOf(double value, double minimum, double maximum, bool logarithmic);
    static double valueAt(int position, double minimum, double maximum, bool logarithmic);

public slots:
    void set_value(double value);
    void set_minimum(double value);
    void set_maximum(double value);
    void set_isLogarithmic(bool value);
    void set_toolTip(bool value);
    void set_sliderTracking(bool value);
    void sliderValueChanged(int position);

signals:
    void valueChanged(double value);
    void minimumChanged(double value);
    void maximumChanged(double value);
    void isLogarithmicChanged(bool value);
    void toolTipChanged(bool value);
    void sliderTrackingChanged(bool value);

private:
    void connectSlider();
    void placeHandle();
    double clamped(double value) const;

    double m_value = 0.0;
    double m_minimum = 0.0;
    double m_maximum = 1.0;
    bool m_isLogarithmic = false;
    bool m_toolTip = false;
    bool m_sliderTracking = true;
    QSlider *m_slider;
    MConnector *m_sliderConnection;
};
