#pragma once

#include <QWidget>

class MConnector;
class MDoubleSlider;
class MDoubleSpinBox;

// A slider and a spin box over one real value, each following the other.
class MSliderSpinbox : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(double value READ value WRITE set_value NOTIFY valueChanged)
    Q_PROPERTY(bool isLogarithmic READ isLogarithmic WRITE set_isLogarithmic NOTIFY isLogarithmicChanged)
    Q_PROPERTY(bool isPercentage READ isPercentage WRITE set_isPercentage NOTIFY isPercentageChanged)
    Q_PROPERTY(double minimum READ minimum WRITE set_minimum NOTIFY minimumChanged)
    Q_PROPERTY(double maximum READ maximum WRITE set_maximum NOTIFY maximumChanged)
    Q_PROPERTY(double singleStep READ singleStep WRITE set_singleStep NOTIFY singleStepChanged)
    Q_PROPERTY(QString suffix READ suffix WRITE set_suffix NOTIFY suffixChanged)
    Q_PROPERTY(bool showSpinBox READ showSpinBox WRITE set_showSpinBox NOTIFY showSpinBoxChanged)
    Q_PROPERTY(int spinBoxWidth READ spinBoxWidth WRITE set_spinBoxWidth NOTIFY spinBoxWidthChanged)
    Q_PROPERTY(bool sliderTracking READ sliderTracking WRITE set_sliderTracking NOTIFY sliderTrackingChanged)
public:
    explicit MSliderSpinbox(QWidget *parent = nullptr);

    double value() const { return m_value; }
    bool isLogarithmic() const { return m_isLogarithmic; }
    bool isPercentage() const { return m_isPercentage; }
    double minimum() const { return m_minimum; }
    double maximum() const { return m_maximum; }
    double singleStep() const { return m_singleStep; }
    QString suffix() const { return m_suffix; }
    bool showSpinBox() const { return m_showSpinBox; }
    int spinBoxWidth() const { return m_spinBoxWidth; }
    bool sliderTracking() const { return m_sliderTracking; }

    MDoubleSlider *slider() const { return m_slider; }
    MDoubleSpinBox *spinBox() const { return m_spinBox; }

public slots:
    void set_value(double value);
    void set_isLogarithmic(bool value);
    void set_isPercentage(bool value);
    void set_minimum(double value);
    void set_maximum(double value);
    void set_singleStep(double value);
    void set_suffix(const QString &value);
    void set_showSpinBox(bool value);
    void set_spinBoxWidth(int value);
    void set_sliderTracking(bool value);

signals:
    void valueChanged(double value);
    void isLogarithmicChanged(bool value);
    void isPercentageChanged(bool value);
    void minimumChanged(double value);
    void maximumChanged(double value);
    void singleStepChanged(double value);
    void suffixChanged(const QString &value);
    void showSpinBoxChanged(bool value);
    void spinBoxWidthChanged(int value);
    void sliderTrackingChanged(bool value);

private:
    void connectChildren();
    // Both children get the stored range.
    void applyRange();

    double m_value = 0.0;
    bool m_isLogarithmic = false;
    bool m_isPercentage = true;
    double m_minimum = 0.0;
    double m_maximum = 1.0;
    double m_singleStep = 0.1;
    QString m_suffix;
    bool m_showSpinBox = true;
    int m_spinBoxWidth = 75;
    bool m_sliderTracking = true;
    MDoubleSlider *m_slider;
    MDoubleSpinBox *m_spinBox;
    MConnector *m_childConnections;
};
