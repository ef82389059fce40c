#include "mmath.h"

#include <cmath>

MMath::MMath()
{
    // Linear interpolation over a step h errs by at most h^2 M / 8.
    m_count = static_cast<unsigned int>(std::sqrt(m_maxSecondDerivative / (8.0 * m_maxError))) + 1;
    m_table.resize(m_count + 1);
    m_table[0] = 0.0;
    for (unsigned int i = 1; i <= m_count; ++i)
        m_table[i] = std::atan2(10.0, 10.0 * m_count / i);
}

MMath::~MMath() = default;
