#pragma once

#include "mlowpassfilter.h"

// One Euro filter: a low-pass filter whose cutoff rises with the speed of the
// signal, so slow moves are smoothed and fast ones lag little.
class MSmoothFilter
{
public:
    MSmoothFilter(double minCutoff, double beta, double derivativeCutoff);
    virtual ~MSmoothFilter() = default;

    double filter(double value, double time); // time in seconds
    void reset();

    double frequency() const { return m_frequency; }

private:
    double alpha(double cutoff) const;

    double m_frequency = 1.0;
    double m_minCutoff;
    double m_beta;
    double m_derivativeCutoff;
    MLowPassFilter m_valueFilter;
    MLowPassFilter m_derivativeFilter;
    double m_lastTime = -1.0;
};
