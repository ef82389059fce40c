#include "mlowpassfilter.h"

#include <QtGlobal>

MLowPassFilter::MLowPassFilter(double alpha)
{
    setAlpha(alpha);
}

void MLowPassFilter::setAlpha(double alpha)
{
    if (alpha > 0.0 && alpha <= 1.0)
        m_alpha = alpha;
}

// A sample that is not a finite number would stay in the output for good: it
// is answered with the last output and leaves the state as it was.
double MLowPassFilter::filter(double x)
{
    if (!qIsFinite(x))
        return m_firstSample ? x : m_y;
    m_lastRaw = x;
    if (m_firstSample) {
        m_firstSample = false;
        m_y = x;
    } else {
        m_y = (1.0 - m_alpha) * m_y + m_alpha * x;
    }
    return m_y;
}
