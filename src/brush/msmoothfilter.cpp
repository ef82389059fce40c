#include "msmoothfilter.h"

#include <QtGlobal>
#include <QtMath>

MSmoothFilter::MSmoothFilter(double minCutoff, double beta, double derivativeCutoff)
    : m_minCutoff(minCutoff)
    , m_beta(beta)
    , m_derivativeCutoff(derivativeCutoff)
{
    m_valueFilter.setAlpha(alpha(minCutoff));
    m_derivativeFilter.setAlpha(alpha(derivativeCutoff));
}

// Outside (0, 1] (or not a number) the filters keep their alpha.
double MSmoothFilter::alpha(double cutoff) const
{
    const double tau = 1.0 / (2.0 * M_PI * cutoff);
    const double te = 1.0 / m_frequency;
    return 1.0 / (1.0 + tau / te);
}

double MSmoothFilter::filter(double value, double time)
{
    // Only a later time stamp gives a frequency: a repeated or earlier one (or
    // one too close to give a finite rate) keeps the last frequency.
    if (qIsFinite(time)) {
        if (m_lastTime != -1.0 && time != -1.0 && time > m_lastTime) {
            const double frequency = 1.0 / (time - m_lastTime);
            if (qIsFinite(frequency))
                m_frequency = frequency;
        }
        m_lastTime = time;
    }
    if (!qIsFinite(value))
        return m_valueFilter.filter(value);
    const double dx = m_valueFilter.hasSample() ? (value - m_valueFilter.lastRawValue()) * m_frequency : 0.0;
    m_derivativeFilter.setAlpha(alpha(m_derivativeCutoff));
    const double edx = m_derivativeFilter.filter(dx);
    m_valueFilter.setAlpha(alpha(m_minCutoff + m_beta * qAbs(edx)));
    return m_valueFilter.filter(value);
}

void MSmoothFilter::reset()
{
    m_valueFilter.reset();
    m_derivativeFilter.reset();
    m_lastTime = -1.0;
}
