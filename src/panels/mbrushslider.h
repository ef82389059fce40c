#pragma once

#include <QSlider>

// An integer slider over the value of one brush setting: logarithmic and
// percentage settings take positions 0 to 100, the others their own range.
class MBrushSlider : public QSlider
{
    Q_OBJECT
public:
    explicit MBrushSlider(QWidget *parent = nullptr);

    int brushSetting() const { return m_setting; }
    double brushValue() const { return m_value; }
    // The base of the logarithmic scale: positive, not 1.
    double base() const { return m_base; }
    void setBase(double base);
    bool showValueTip() const { return m_showValueTip; }
    void setShowValueTip(bool show) { m_showValueTip = show; }

public slots:
    void setBrushValue(double value);
    void setBrushSetting(int setting);

signals:
    void brushValueChanged(double value);
    void brushSettingChanged(int setting);

private slots:
    void sliderValueChanged(int position);

private:
    int m_setting = -1;
    double m_value = 0.0;
    double m_base = 10.0;
    bool m_showValueTip = false;
};
