#pragma once

// First-order low-pass filter of one input.
class MLowPassFilter
{
public:
    explicit MLowPassFilter(double alpha = 1.0);

    void setAlpha(double alpha);
    double alpha() const { return m_alpha; }
    double filter(double x);
    void reset() { m_firstSample = true; }

    bool hasSample() const { return !m_firstSample; }
    double lastRawValue() const { return m_lastRaw; }
    double lastValue() const { return m_y; }

private:
    bool m_firstSample = true;
    double m_alpha = 1.0;
    double m_y = 0.0;
    double m_lastRaw = 0.0;
};
