#include "mbrushslider.h"

#include "mbrushsettinginfolist.h"
#include "mfield.h"

#include <QToolTip>
#include <QtMath>

MBrushSlider::MBrushSlider(QWidget *parent) : QSlider(Qt::Horizontal, parent)
{
    connect(this, &QSlider::valueChanged, this, &MBrushSlider::sliderValueChanged);
}

void MBrushSlider::setBase(double base)
{
    // A base of 1 or below 0 has no logarithm to scale by.
    if (base > 0.0 && !qFuzzyCompare(base, 1.0))
        m_base = base;
}

void MBrushSlider::setBrushSetting(int setting)
{
    if (setting == m_setting)
        return;
    m_setting = setting;
    const MField *info = MBrushSettingInfoList::instance()->info(setting);
    if (info->isLogarithmic() || info->isPercentage())
        setRange(0, 100);
    else
        setRange(int(info->minimum()), int(info->maximum()));
    setSingleStep(int(info->singleStep()));
    emit brushSettingChanged(setting);
}

void MBrushSlider::setBrushValue(double value)
{
    m_value = value;
    disconnect(this, &QSlider::valueChanged, this, &MBrushSlider::sliderValueChanged);
    const MField *info = MBrushSettingInfoList::instance()->info(m_setting);
    const double m = info->minimum();
    const double span = info->maximum() - m;
    int position = int(value);
    if (info->isLogarithmic()) {
        m_value = qBound(m, value, info->maximum());
        position = span > 0 ? int(10.0 * qLn((qPow(m_base, 10.0) - 1.0) * (m_value - m) / span + 1.0) / qLn(m_base))
                            : 0;
    } else if (info->isPercentage()) {
        position = span > 0 ? int((value - m) * 100.0 / span) : 0;
    }
    setValue(position);
    connect(this, &QSlider::valueChanged, this, &MBrushSlider::sliderValueChanged);
}

void MBrushSlider::sliderValueChanged(int position)
{
    disconnect(this, &QSlider::valueChanged, this, &MBrushSlider::sliderValueChanged);
    const MField *info = MBrushSettingInfoList::instance()->info(m_setting);
    const double m = info->minimum();
    const double span = info->maximum() - m;
    double value = position;
    if (info->isLogarithmic())
        value = (qPow(m_base, position / 10.0) - 1.0) / (qPow(m_base, 10.0) - 1.0) * span + m;
    else if (info->isPercentage())
        value = position / 100.0 * span + m;
    m_value = value;
    if (m_showValueTip)
        QToolTip::showText(mapToGlobal(QPoint(0, 0)), tr("%1").arg(int(value)), this);
    connect(this, &QSlider::valueChanged, this, &MBrushSlider::sliderValueChanged);
    emit brushValueChanged(value);
}
