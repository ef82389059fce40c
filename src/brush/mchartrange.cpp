#include "mchartrange.h"

#include <utility>

MChartRange::MChartRange(QObject *parent)
    : QObject(parent)
{
}

// When the new bound crosses the other one the two are exchanged, and both
// bounds announce their new values.
void MChartRange::setBound(double &bound, double value, double &low, double &high, bool vertical)
{
    if (bound == value)
        return;
    bound = value;
    const bool swapped = low > high;
    if (swapped)
        std::swap(low, high);
    const bool lowChanged = swapped || &bound == &low;
    const bool highChanged = swapped || &bound == &high;
    if (lowChanged)
        emit vertical ? yminChanged(low) : xminChanged(low);
    if (highChanged)
        emit vertical ? ymaxChanged(high) : xmaxChanged(high);
    emit rangeChanged(this);
}

void MChartRange::setXmin(double value)
{
    setBound(m_xmin, value, m_xmin, m_xmax, false);
}

void MChartRange::setYmin(double value)
{
    setBound(m_ymin, value, m_ymin, m_ymax, true);
}

void MChartRange::setXmax(double value)
{
    setBound(m_xmax, value, m_xmin, m_xmax, false);
}

void MChartRange::setYmax(double value)
{
    setBound(m_ymax, value, m_ymin, m_ymax, true);
}
