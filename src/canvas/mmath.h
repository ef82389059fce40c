#pragma once

#include "msingleton.h"

#include <vector>

// A table of arctangent values on [0, 1] fine enough for a linear
// interpolation between two entries to stay within maxError().
class MMath : public MSingleton<MMath>
{
public:
    MMath();
    ~MMath() override;

    double maxSecondDerivative() const { return m_maxSecondDerivative; }
    double maxError() const { return m_maxError; }
    // Number of intervals; the table has count() + 1 entries, entry i = arctan(i / count()).
    unsigned int count() const { return m_count; }
    const std::vector<double> &table() const { return m_table; }

private:
    double m_maxSecondDerivative = 0.6495;    // bound of arctan'' on [0, 1]: 3 sqrt(3) / 8
    double m_maxError = 0.0001;
    unsigned int m_count = 0;
    std::vector<double> m_table;
};
