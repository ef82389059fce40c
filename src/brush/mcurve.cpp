#include "mcurve.h"

#include "mbrushinputinfolist.h"
#include "menum.h"

#include <QtMath>

#include <algorithm>

namespace {
// Far outside the unit square: they hold the curve flat beyond the end points.
constexpr double kGuardDistance = 100000.0;
constexpr int kMaxSegments = 10;
// Knots closer than this in x are one knot: a zero-width interval would divide by zero.
constexpr double kKnotTolerance = 1e-9;

bool lessX(const QPointF &a, const QPointF &b)
{
    return a.x() < b.x();
}

QPointF unitPoint(const QPointF &point)
{
    return QPointF(qBound(0.0, point.x(), 1.0), qBound(0.0, point.y(), 1.0));
}
} // namespace

MCurve::MCurve(int setting, int input, int interpolationType, QObject *parent)
    : QObject(parent)
    , m_setting(setting)
    , m_input(input)
{
    Q_UNUSED(interpolationType)
    const bool additive = setting == MEnum::bsAngle || setting == MEnum::bsOffsetX || setting == MEnum::bsOffsetY;
    m_interpolationType = additive ? Add : Multiply;
    const MBrushInputInfo info = MBrushInputInfoList::instance()->info(input);
    m_xMin = info.minimum();
    m_xMax = info.maximum();
    setDefaultPoints();
}

MCurve::MCurve(int interpolationType, QObject *parent)
    : QObject(parent)
    , m_interpolationType(interpolationType)
{
    setDefaultPoints();
}

void MCurve::setDefaultPoints()
{
    init(LineAscending4);
}

void MCurve::copyFrom(const MCurve *other)
{
    if (!other || other == this)
        return;
    m_input = other->m_input;
    m_setting = other->m_setting;
    m_interpolationType = other->m_interpolationType;
    m_modulo = other->m_modulo;
    m_xMin = other->m_xMin;
    m_xMax = other->m_xMax;
    m_yMin = other->m_yMin;
    m_yMax = other->m_yMax;
    m_points = other->m_points;
    std::stable_sort(m_points.begin(), m_points.end(), lessX);
    buildSpline();
}

MCurve &MCurve::operator=(const MCurve &other)
{
    copyFrom(&other);
    return *this;
}

// ---------------------------------------------------------------- ranges

void MCurve::normalizeRanges()
{
    if (m_xMin == m_xMax)
        m_xMax = m_xMin + 0.01;
    else if (m_xMin > m_xMax)
        std::swap(m_xMin, m_xMax);
    if (m_yMin == m_yMax)
        m_yMax = m_yMin + 0.01;
    else if (m_yMin > m_yMax)
        std::swap(m_yMin, m_yMax);
}

void MCurve::setXMin(double value)
{
    m_xMin = value;
    normalizeRanges();
}

void MCurve::setXMax(double value)
{
    m_xMax = value;
    normalizeRanges();
}

void MCurve::setYMin(double value)
{
    m_yMin = value;
    normalizeRanges();
}

void MCurve::setYMax(double value)
{
    m_yMax = value;
    normalizeRanges();
}

void MCurve::setRanges(double xMin, double xMax, double yMin, double yMax)
{
    m_points.clear();
    m_xMin = xMin;
    m_xMax = xMax;
    m_yMin = yMin;
    m_yMax = yMax;
    buildSpline();
}

// The place of a value in its range, 0 to 1; a range of zero width (which
// setRanges may store) maps everything to its start.
double MCurve::unitPosition(double value, double minimum, double maximum)
{
    if (maximum == minimum)
        return 0.0;
    const double clamped = qBound(qMin(minimum, maximum), value, qMax(minimum, maximum));
    return (clamped - minimum) / (maximum - minimum);
}

// ---------------------------------------------------------------- points

void MCurve::addPoint(const QPointF &point)
{
    m_points.append(unitPoint(point));
    sortPoints();
}

void MCurve::setPoints(const QVector<QPointF> &points)
{
    m_points.clear();
    m_points.reserve(points.size());
    for (const QPointF &point : points)
        m_points.append(unitPoint(point));
    std::stable_sort(m_points.begin(), m_points.end(), lessX);
    buildSpline();
}

void MCurve::addRangePoint(double x, double y)
{
    addPoint(QPointF(unitPosition(x, m_xMin, m_xMax), unitPosition(y, m_yMin, m_yMax)));
}

void MCurve::setPoint(int index, const QPointF &point, bool sort)
{
    if (index < 0 || index >= m_points.size())
        return;
    m_points[index] = point;
    if (sort)
        sortPoints();
    else
        buildSpline();
}

void MCurve::removePoint(int index)
{
    if (m_points.size() <= 2 || index < 0 || index >= m_points.size())
        return;
    m_points.removeAt(index);
    sortPoints();
}

void MCurve::invertX()
{
    for (QPointF &point : m_points)
        point.setX(1.0 - point.x());
    sortPoints();
}

void MCurve::invertY()
{
    for (QPointF &point : m_points)
        point.setY(1.0 - point.y());
    sortPoints();
}

void MCurve::sortPoints()
{
    if (m_points.isEmpty())
        return;
    std::stable_sort(m_points.begin(), m_points.end(), lessX);
    buildSpline();
}

void MCurve::init(int initType)
{
    switch (initType) {
    case LineAscending2:
        m_points = {{0, 0}, {1, 1}};
        break;
    case LineDescending2:
        m_points = {{0, 1}, {1, 0}};
        break;
    case LineAscending3:
        m_points = {{0, 0}, {0.5, 0.5}, {1, 1}};
        break;
    case LineDescending3:
        m_points = {{0, 1}, {0.5, 0.5}, {1, 0}};
        break;
    case LineDescending4:
        m_points = {{0, 1}, {0.33, 0.66}, {0.66, 0.33}, {1, 0}};
        break;
    case CurveAscending3:
        m_points = {{0, 0}, {0.5, 0.25}, {1, 1}};
        break;
    case CurveDescending3:
        m_points = {{0, 1}, {0.5, 0.75}, {1, 0}};
        break;
    case CurveAscending4:
        m_points = {{0, 0}, {0.25, 0.125}, {0.75, 0.875}, {1, 1}};
        break;
    case CurveDescending4:
        m_points = {{0, 1}, {0.25, 0.875}, {0.75, 0.125}, {1, 0}};
        break;
    case GaussianCurve:
        m_points = {{0, 0}, {0.25, 0.25}, {0.5, 1}, {0.75, 0.25}, {1, 0}};
        break;
    case LineAscending4:
    default:
        m_points = {{0, 0}, {0.33, 0.33}, {0.66, 0.66}, {1, 1}};
        break;
    }
    buildSpline();
}

// ---------------------------------------------------------------- spline

void MCurve::buildSpline()
{
    m_segments.clear();
    m_segmentCount = 0;
    if (m_points.size() < 2)
        return;

    QVector<QPointF> knots;
    knots.reserve(m_points.size() + 2);
    knots.append(QPointF(m_points.first().x() - kGuardDistance, m_points.first().y()));
    knots.append(m_points);
    knots.append(QPointF(m_points.last().x() + kGuardDistance, m_points.last().y()));
    knots.resize(qMin(knots.size() - 1, kMaxSegments) + 1);
    // A point moved to NaN by hand must not poison the whole curve.
    knots.erase(std::remove_if(knots.begin(), knots.end(),
                               [](const QPointF &k) { return !qIsFinite(k.x()) || !qIsFinite(k.y()); }),
                knots.end());
    std::stable_sort(knots.begin(), knots.end(), lessX);

    // Points sharing one x become one knot at their mean height.
    QVector<double> x, a;
    int groupSize = 0;
    for (const QPointF &knot : qAsConst(knots)) {
        if (!x.isEmpty() && knot.x() - x.last() < kKnotTolerance) {
            ++groupSize;
            a.last() += (knot.y() - a.last()) / groupSize;
        } else {
            x.append(knot.x());
            a.append(knot.y());
            groupSize = 1;
        }
    }
    const int n = x.size() - 1;
    if (n < 1)
        return;

    QVector<double> h(n), alpha(n, 0.0), mu(n + 1, 0.0), z(n + 1, 0.0), b(n + 1, 0.0), c(n + 1, 0.0), d(n + 1, 0.0);
    for (int j = 0; j < n; ++j)
        h[j] = x[j + 1] - x[j];
    for (int j = 1; j < n; ++j)
        alpha[j] = 3.0 / h[j] * (a[j + 1] - a[j]) - 3.0 / h[j - 1] * (a[j] - a[j - 1]);
    for (int j = 1; j < n; ++j) {
        const double l = 2.0 * (x[j + 1] - x[j - 1]) - h[j - 1] * mu[j - 1];
        mu[j] = h[j] / l;
        z[j] = (alpha[j] - h[j - 1] * z[j - 1]) / l;
    }
    for (int j = n - 1; j >= 0; --j) {
        c[j] = z[j] - mu[j] * c[j + 1];
        b[j] = (a[j + 1] - a[j]) / h[j] - h[j] * (c[j + 1] + 2.0 * c[j]) / 3.0;
        d[j] = (c[j + 1] - c[j]) / (3.0 * h[j]);
    }

    m_segmentCount = n;
    m_segments.resize(n + 1);
    for (int j = 0; j <= n; ++j)
        m_segments[j] = {a[j], b[j], c[j], d[j], x[j]};
    // The last record is used beyond the last knot (when the right guard knot
    // was left out): it holds the last knot's value.
    m_segments[n] = {a[n], 0.0, 0.0, 0.0, x[n]};
}

double MCurve::evaluate(double u) const
{
    if (m_points.size() < 2 || m_segments.isEmpty())
        return u;
    int i = 0;
    while (i < m_segmentCount && !(m_segments.at(i + 1).x > u))
        ++i;
    const Segment &s = m_segments.at(i);
    const double t = u - s.x;
    const double y = ((s.d * t + s.c) * t + s.b) * t + s.a;
    return qBound(0.0, y, 1.0);
}

double MCurve::mappedValue(double x) const
{
    if (m_points.size() < 2)
        return x;
    return evaluate(unitPosition(x, m_xMin, m_xMax)) * (m_yMax - m_yMin) + m_yMin;
}

double MCurve::apply(double x, double value) const
{
    double contribution;
    if (m_interpolationType == Sinus) {
        const double phase = m_xMax == m_xMin ? 0.0 : (x - m_xMin) / (m_xMax - m_xMin);
        contribution = qAbs(qSin(phase * 2.0 * M_PI)) * (m_yMax - m_yMin) + m_yMin;
    } else {
        contribution = mappedValue(x);
    }
    switch (m_interpolationType) {
    case Add:
    case Sinus:
        return value + contribution;
    case Multiply:
        return value * contribution;
    default:
        return value;
    }
}
