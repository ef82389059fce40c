#pragma once

// Figures the benchmarks print: order statistics of their rounds, and the
// machine's load beside them.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <algorithm>
#include <cmath>
#include <vector>

namespace BenchFigures {

// The value at rank p (0 the least, 1 the greatest), NaN for none.
inline double percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return std::nan("");
    std::sort(v.begin(), v.end());
    const double rank = std::ceil(p * double(v.size())) - 1.0;
    return v[size_t(std::min(double(v.size() - 1), std::max(0.0, rank)))];
}

inline double median(const std::vector<double> &v)
{
    return percentile(v, 0.5);
}

// The load average of the last minute.
inline double loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly))
        return std::nan("");
    return file.readAll().split(' ').value(0).toDouble();
}

// The load averages of the last 1, 5 and 15 minutes, as the system gives them.
inline QString loadAverages()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()).section(QLatin1Char(' '), 0, 2)
                                          : QStringLiteral("?");
}

} // namespace BenchFigures
