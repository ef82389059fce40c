#include "mchartrange.h"
#include "mcurve.h"
#include "menum.h"

#include <QSignalSpy>
#include <QTest>

#include <cmath>

using Points = QVector<QPointF>;

namespace {
// A natural cubic spline solved through its second derivatives, by plain
// Gaussian elimination: an independent way to the curve's knots.
class ReferenceSpline
{
public:
    explicit ReferenceSpline(const Points &points)
    {
        Points knots;
        knots << QPointF(points.first().x() - 100000, points.first().y()) << points
              << QPointF(points.last().x() + 100000, points.last().y());
        knots.resize(qMin(knots.size(), 11));
        std::sort(knots.begin(), knots.end(), [](const QPointF &a, const QPointF &b) { return a.x() < b.x(); });
        for (const QPointF &k : knots) {
            x.append(k.x());
            y.append(k.y());
        }
        const int n = x.size() - 1;
        QVector<QVector<double>> m(n + 1, QVector<double>(n + 2, 0.0));
        m[0][0] = 1;
        m[n][n] = 1;
        for (int i = 1; i < n; ++i) {
            const double h0 = x[i] - x[i - 1], h1 = x[i + 1] - x[i];
            m[i][i - 1] = h0;
            m[i][i] = 2 * (h0 + h1);
            m[i][i + 1] = h1;
            m[i][n + 1] = 6 * ((y[i + 1] - y[i]) / h1 - (y[i] - y[i - 1]) / h0);
        }
        for (int col = 0; col <= n; ++col) {
            int pivot = col;
            for (int row = col + 1; row <= n; ++row)
                if (std::abs(m[row][col]) > std::abs(m[pivot][col]))
                    pivot = row;
            std::swap(m[col], m[pivot]);
            for (int row = 0; row <= n; ++row) {
                if (row == col)
                    continue;
                const double f = m[row][col] / m[col][col];
                for (int k = col; k <= n + 1; ++k)
                    m[row][k] -= f * m[col][k];
            }
        }
        for (int i = 0; i <= n; ++i)
            second.append(m[i][n + 1] / m[i][i]);
    }

    double operator()(double u) const
    {
        const int n = x.size() - 1;
        if (u >= x[n])
            return qBound(0.0, y[n], 1.0);
        int i = 0;
        while (i < n - 1 && u >= x[i + 1])
            ++i;
        const double h = x[i + 1] - x[i], a = x[i + 1] - u, b = u - x[i];
        const double s = second[i] * a * a * a / (6 * h) + second[i + 1] * b * b * b / (6 * h)
                         + (y[i] / h - second[i] * h / 6) * a + (y[i + 1] / h - second[i + 1] * h / 6) * b;
        return qBound(0.0, s, 1.0);
    }

private:
    QVector<double> x, y, second;
};

Points tenPoints()
{
    Points points;
    for (int i = 0; i < 10; ++i)
        points << QPointF(i / 10.0, (i % 3) / 2.0);
    return points;
}

MCurve *curveThrough(const Points &points, QObject *parent)
{
    auto *curve = new MCurve(MCurve::Multiply, parent);
    curve->setRanges(0, 1, 0, 1);
    for (const QPointF &point : points)
        curve->addPoint(point);
    return curve;
}
} // namespace

class TestMCurve : public QObject
{
    Q_OBJECT

private slots:
    void splineFollowsTheReference_data()
    {
        QTest::addColumn<Points>("points");
        QTest::newRow("default") << Points{{0, 0}, {0.33, 0.33}, {0.66, 0.66}, {1, 1}};
        QTest::newRow("two points") << Points{{0, 1}, {1, 0}};
        QTest::newRow("inner points") << Points{{0.2, 0.3}, {0.5, 0.9}, {0.8, 0.6}};
        QTest::newRow("gaussian") << Points{{0, 0}, {0.25, 0.25}, {0.5, 1}, {0.75, 0.25}, {1, 0}};
        QTest::newRow("overshooting") << Points{{0, 0}, {0.1, 1}, {0.2, 0}, {0.3, 1}, {1, 0.5}};
        QTest::newRow("nine points") << tenPoints().mid(0, 9);
    }

    void splineFollowsTheReference()
    {
        QFETCH(Points, points);
        QObject owner;
        MCurve *curve = curveThrough(points, &owner);
        const ReferenceSpline reference(points);
        for (int i = -10; i <= 110; ++i) {
            const double u = i / 100.0;
            QVERIFY2(std::abs(curve->evaluate(u) - reference(u)) < 1e-9,
                     qPrintable(QStringLiteral("u %1: %2 instead of %3").arg(u).arg(curve->evaluate(u)).arg(reference(u))));
        }
    }

    void onlyTheFirstTenPointsShapeTheCurve_data()
    {
        QTest::addColumn<int>("extra");
        QTest::newRow("ten points") << 0;
        QTest::newRow("twelve points") << 2;
    }

    void onlyTheFirstTenPointsShapeTheCurve()
    {
        QFETCH(int, extra);
        Points points = tenPoints();
        for (int i = 0; i < extra; ++i)
            points << QPointF(0.95 + i * 0.05, 1.0 - i);
        QObject owner;
        MCurve *curve = curveThrough(points, &owner);
        const ReferenceSpline reference(tenPoints());
        // Past the last knot used the curve keeps that knot's value.
        for (double u : {0.0, 0.15, 0.5, 0.85, 0.9, 0.95, 1.0, 2.0}) {
            QVERIFY(std::isfinite(curve->evaluate(u)));
            QVERIFY2(std::abs(curve->evaluate(u) - reference(u)) < 1e-9, qPrintable(QString::number(u)));
        }
        QCOMPARE(curve->evaluate(0.97), tenPoints().last().y());
    }

    void pointsSharingOneXMeetAtTheirMean()
    {
        QObject owner;
        MCurve *curve = curveThrough({{0, 0}, {0.5, 0.2}, {0.5, 0.8}, {1, 1}}, &owner);
        QCOMPARE(curve->pointCount(), 4);
        for (int i = 0; i <= 100; ++i) {
            const double value = curve->evaluate(i / 100.0);
            QVERIFY2(std::isfinite(value), qPrintable(QString::number(i)));
        }
        const ReferenceSpline merged({{0, 0}, {0.5, 0.5}, {1, 1}});
        for (double u : {0.1, 0.5, 0.7})
            QVERIFY(std::abs(curve->evaluate(u) - merged(u)) < 1e-9);

        // Every point on one x: the curve stays defined.
        curve->init(MCurve::LineAscending2);
        curve->setPoint(0, QPointF(1, 0), true);
        QVERIFY(std::isfinite(curve->evaluate(0.3)));
        QVERIFY(std::isfinite(curve->mappedValue(0.3)));
    }

    void fewerThanTwoPointsPassTheInputThrough()
    {
        MCurve curve;
        curve.setRanges(0, 10, 0, 1);
        QCOMPARE(curve.pointCount(), 0);
        QCOMPARE(curve.mappedValue(7.5), 7.5);
        QCOMPARE(curve.evaluate(0.3), 0.3);
        curve.addPoint(QPointF(0.5, 0.5));
        QCOMPARE(curve.mappedValue(-3.0), -3.0);
        curve.sortPoints();
        QCOMPARE(curve.mappedValue(12.0), 12.0);
    }

    void mappedValueUsesBothRanges_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("u");
        QTest::newRow("inside") << 15.0 << 0.75;
        QTest::newRow("start") << -30.0 << 0.0;
        QTest::newRow("below is clamped") << -100.0 << 0.0;
        QTest::newRow("above is clamped") << 500.0 << 1.0;
    }

    void mappedValueUsesBothRanges()
    {
        QFETCH(double, x);
        QFETCH(double, u);
        const Points points{{0, 0.1}, {0.4, 0.7}, {1, 0.9}};
        QObject owner;
        MCurve *curve = curveThrough(points, &owner);
        curve->setYMax(4);
        curve->setYMin(2);
        curve->setXMin(-30);
        curve->setXMax(30);
        const ReferenceSpline reference(points);
        QVERIFY(std::abs(curve->mappedValue(x) - (reference(u) * 2 + 2)) < 1e-9);
    }

    void zeroWidthRangesStayDefined()
    {
        MCurve curve;
        curve.setRanges(5, 5, 1, 1);
        curve.addRangePoint(5, 1);
        curve.addRangePoint(7, 3);
        QCOMPARE(curve.points(), (Points{{0, 0}, {0, 0}}));
        QVERIFY(std::isfinite(curve.mappedValue(6)));
        curve.setInterpolationType(MCurve::Sinus);
        QCOMPARE(curve.apply(9, 2), 3.0);
    }

    void apply_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("result");
        // Points of a straight line 0 to 1, ranges 0 to 1 over 0 to 2.
        QTest::newRow("add") << int(MCurve::Add) << 0.0 << 5.0 << 5.0;
        QTest::newRow("multiply") << int(MCurve::Multiply) << 1.0 << 5.0 << 10.0;
        QTest::newRow("sinus at a quarter") << int(MCurve::Sinus) << 0.25 << 5.0 << 7.0;
        QTest::newRow("sinus at three quarters") << int(MCurve::Sinus) << 0.75 << 5.0 << 7.0;
        QTest::newRow("sinus is not clamped") << int(MCurve::Sinus) << 1.25 << 0.0 << 2.0;
        QTest::newRow("unknown type") << 7 << 1.0 << 5.0 << 5.0;
    }

    void apply()
    {
        QFETCH(int, type);
        QFETCH(double, x);
        QFETCH(double, value);
        QFETCH(double, result);
        MCurve curve(type);
        curve.init(MCurve::LineAscending2);
        curve.setYMax(2);
        QVERIFY(std::abs(curve.apply(x, value) - result) < 1e-9);
    }

    void sinusIgnoresItsPoints()
    {
        MCurve curve(MCurve::Sinus);
        for (double x : {0.1, 0.3, 0.6, 0.9}) {
            const double expected = 1.0 + std::abs(std::sin(2 * M_PI * x));
            QVERIFY(std::abs(curve.apply(x, 1.0) - expected) < 1e-12);
            curve.init(MCurve::GaussianCurve);
        }
    }

    void newCurveForASettingAndAnInput_data()
    {
        QTest::addColumn<int>("setting");
        QTest::addColumn<int>("input");
        QTest::addColumn<int>("given");
        QTest::addColumn<int>("type");
        QTest::addColumn<double>("xMin");
        QTest::addColumn<double>("xMax");
        QTest::newRow("angle adds") << int(MEnum::bsAngle) << int(MEnum::biXTilt) << int(MCurve::Multiply) << int(MCurve::Add) << -60.0 << 60.0;
        QTest::newRow("offset x adds") << int(MEnum::bsOffsetX) << int(MEnum::biPressure) << int(MCurve::Sinus) << int(MCurve::Add) << 0.0 << 1.0;
        QTest::newRow("offset y adds") << int(MEnum::bsOffsetY) << int(MEnum::biTotalTime) << int(MCurve::Multiply) << int(MCurve::Add) << 0.0 << 10000.0;
        QTest::newRow("radius multiplies") << int(MEnum::bsRadius) << int(MEnum::biSpeed) << int(MCurve::Sinus) << int(MCurve::Multiply) << 0.0 << 100.0;
        QTest::newRow("unknown input") << int(MEnum::bsFlow) << 99 << int(MCurve::Add) << int(MCurve::Multiply) << 0.0 << 1.0;
    }

    void newCurveForASettingAndAnInput()
    {
        QFETCH(int, setting);
        QFETCH(int, input);
        QFETCH(int, given);
        QFETCH(int, type);
        QFETCH(double, xMin);
        QFETCH(double, xMax);
        const MCurve curve(setting, input, given);
        QCOMPARE(curve.setting(), setting);
        QCOMPARE(curve.input(), input);
        QCOMPARE(curve.interpolationType(), type);
        QCOMPARE(curve.xMin(), xMin);
        QCOMPARE(curve.xMax(), xMax);
        QCOMPARE(curve.yMin(), 0.0);
        QCOMPARE(curve.yMax(), 1.0);
        QCOMPARE(curve.modulo(), 0.0);
        QCOMPARE(curve.points(), (Points{{0, 0}, {0.33, 0.33}, {0.66, 0.66}, {1, 1}}));
    }

    void rangeSetters_data()
    {
        QTest::addColumn<QString>("bound");
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("low");
        QTest::addColumn<double>("high");
        // Every case starts from 0 to 1 on both axes.
        QTest::newRow("x max equal to x min") << "xMax" << 0.0 << 0.0 << 0.01;
        QTest::newRow("x max below x min swaps") << "xMax" << -2.0 << -2.0 << 0.0;
        QTest::newRow("x min above x max swaps") << "xMin" << 3.0 << 1.0 << 3.0;
        QTest::newRow("x min equal to x max") << "xMin" << 1.0 << 1.0 << 1.01;
        QTest::newRow("y max equal to y min") << "yMax" << 0.0 << 0.0 << 0.01;
        QTest::newRow("y min above y max swaps") << "yMin" << 5.0 << 1.0 << 5.0;
        QTest::newRow("y max inside") << "yMax" << 0.5 << 0.0 << 0.5;
    }

    void rangeSetters()
    {
        QFETCH(QString, bound);
        QFETCH(double, value);
        QFETCH(double, low);
        QFETCH(double, high);
        MCurve curve;
        const bool x = bound.startsWith(QLatin1Char('x'));
        if (bound == QLatin1String("xMin"))
            curve.setXMin(value);
        else if (bound == QLatin1String("xMax"))
            curve.setXMax(value);
        else if (bound == QLatin1String("yMin"))
            curve.setYMin(value);
        else
            curve.setYMax(value);
        QCOMPARE(x ? curve.xMin() : curve.yMin(), low);
        QCOMPARE(x ? curve.xMax() : curve.yMax(), high);
        QCOMPARE(x ? curve.yMin() : curve.xMin(), 0.0);
        QCOMPARE(x ? curve.yMax() : curve.xMax(), 1.0);
    }

    void setRangesStoresAsGivenAndDropsThePoints()
    {
        MCurve curve;
        curve.setRanges(10, -10, 3, 3);
        QCOMPARE(curve.xMin(), 10.0);
        QCOMPARE(curve.xMax(), -10.0);
        QCOMPARE(curve.yMin(), 3.0);
        QCOMPARE(curve.yMax(), 3.0);
        QCOMPARE(curve.pointCount(), 0);
    }

    void pointEditing()
    {
        MCurve curve;
        curve.init(MCurve::LineAscending2);
        curve.addPoint(QPointF(1.5, -0.5));
        curve.addPoint(QPointF(0.4, 0.2));
        QCOMPARE(curve.points(), (Points{{0, 0}, {0.4, 0.2}, {1, 1}, {1, 0}}));

        curve.setRanges(-60, 60, 0, 10);
        curve.addRangePoint(30, 5);
        curve.addRangePoint(-90, 20);
        QCOMPARE(curve.points(), (Points{{0, 1}, {0.75, 0.5}}));

        curve.setPoint(1, QPointF(-0.5, 2), false);
        QCOMPARE(curve.point(1), QPointF(-0.5, 2));
        curve.setPoint(0, QPointF(0.2, 0.2), true);
        QCOMPARE(curve.points(), (Points{{-0.5, 2}, {0.2, 0.2}}));
        curve.setPoint(2, QPointF(0.9, 0.9), true);
        QCOMPARE(curve.pointCount(), 2);

        curve.removePoint(0);
        QCOMPARE(curve.pointCount(), 2);
        curve.init(MCurve::LineAscending3);
        curve.removePoint(3);
        curve.removePoint(-1);
        QCOMPARE(curve.pointCount(), 3);
        curve.removePoint(1);
        QCOMPARE(curve.points(), (Points{{0, 0}, {1, 1}}));
    }

    void inversions()
    {
        MCurve curve;
        curve.init(MCurve::CurveAscending4);
        curve.invertX();
        QCOMPARE(curve.points(), (Points{{0, 1}, {0.25, 0.875}, {0.75, 0.125}, {1, 0}}));
        curve.invertY();
        QCOMPARE(curve.points(), (Points{{0, 0}, {0.25, 0.125}, {0.75, 0.875}, {1, 1}}));
    }

    void presets_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<Points>("points");
        QTest::newRow("LineAscending2") << int(MCurve::LineAscending2) << Points{{0, 0}, {1, 1}};
        QTest::newRow("LineDescending2") << int(MCurve::LineDescending2) << Points{{0, 1}, {1, 0}};
        QTest::newRow("LineAscending3") << int(MCurve::LineAscending3) << Points{{0, 0}, {0.5, 0.5}, {1, 1}};
        QTest::newRow("LineDescending3") << int(MCurve::LineDescending3) << Points{{0, 1}, {0.5, 0.5}, {1, 0}};
        QTest::newRow("LineAscending4") << int(MCurve::LineAscending4) << Points{{0, 0}, {0.33, 0.33}, {0.66, 0.66}, {1, 1}};
        QTest::newRow("LineDescending4") << int(MCurve::LineDescending4) << Points{{0, 1}, {0.33, 0.66}, {0.66, 0.33}, {1, 0}};
        QTest::newRow("CurveAscending3") << int(MCurve::CurveAscending3) << Points{{0, 0}, {0.5, 0.25}, {1, 1}};
        QTest::newRow("CurveDescending3") << int(MCurve::CurveDescending3) << Points{{0, 1}, {0.5, 0.75}, {1, 0}};
        QTest::newRow("CurveAscending4") << int(MCurve::CurveAscending4) << Points{{0, 0}, {0.25, 0.125}, {0.75, 0.875}, {1, 1}};
        QTest::newRow("CurveDescending4") << int(MCurve::CurveDescending4) << Points{{0, 1}, {0.25, 0.875}, {0.75, 0.125}, {1, 0}};
        QTest::newRow("GaussianCurve") << int(MCurve::GaussianCurve) << Points{{0, 0}, {0.25, 0.25}, {0.5, 1}, {0.75, 0.25}, {1, 0}};
        QTest::newRow("unknown value") << 42 << Points{{0, 0}, {0.33, 0.33}, {0.66, 0.66}, {1, 1}};
    }

    void presets()
    {
        QFETCH(int, type);
        QFETCH(Points, points);
        MCurve curve;
        curve.setRanges(0, 1, 0, 1);
        curve.init(type);
        QCOMPARE(curve.points(), points);
        const ReferenceSpline reference(points);
        QVERIFY(std::abs(curve.evaluate(0.6) - reference(0.6)) < 1e-9);
        QCOMPARE(QByteArray(QMetaEnum::fromType<MCurve::InitType>().valueToKey(type)),
                 type == 42 ? QByteArray() : QByteArray(QTest::currentDataTag()));
    }

    void copiesCarryEverythingButTheParent()
    {
        QObject owner;
        MCurve source(MEnum::bsHardness, MEnum::biYTilt, MCurve::Multiply, &owner);
        source.setInterpolationType(MCurve::Sinus);
        source.setModulo(0.5);
        source.setYMin(-1);
        source.setYMax(3);
        source.init(MCurve::GaussianCurve);
        source.setPoint(0, QPointF(0.9, 0.1), false);

        MCurve copy;
        copy.copyFrom(&source);
        MCurve assigned;
        assigned = source;
        for (const MCurve *curve : {&copy, &assigned}) {
            QCOMPARE(curve->setting(), int(MEnum::bsHardness));
            QCOMPARE(curve->input(), int(MEnum::biYTilt));
            QCOMPARE(curve->interpolationType(), int(MCurve::Sinus));
            QCOMPARE(curve->modulo(), 0.5);
            QCOMPARE(curve->xMin(), -60.0);
            QCOMPARE(curve->xMax(), 60.0);
            QCOMPARE(curve->yMin(), -1.0);
            QCOMPARE(curve->yMax(), 3.0);
            QCOMPARE(curve->points(), (Points{{0.25, 0.25}, {0.5, 1}, {0.75, 0.25}, {0.9, 0.1}, {1, 0}}));
            QVERIFY(std::abs(curve->mappedValue(12) - (ReferenceSpline(curve->points())(0.6) * 4 - 1)) < 1e-9);
            QVERIFY(!curve->parent());
        }
    }

    void chartRangeKeepsItsBoundsOrdered()
    {
        MChartRange range;
        QSignalSpy xmin(&range, &MChartRange::xminChanged);
        QSignalSpy xmax(&range, &MChartRange::xmaxChanged);
        QSignalSpy ymax(&range, &MChartRange::ymaxChanged);
        QSignalSpy whole(&range, &MChartRange::rangeChanged);
        range.setXmin(0);
        QCOMPARE(whole.count(), 0);
        range.setXmin(5);
        QCOMPARE(range.xmin(), 1.0);
        QCOMPARE(range.xmax(), 5.0);
        QCOMPARE(xmin.takeFirst().first().toDouble(), 1.0);
        QCOMPARE(xmax.takeFirst().first().toDouble(), 5.0);
        range.setYmax(0.5);
        QCOMPARE(ymax.takeFirst().first().toDouble(), 0.5);
        QCOMPARE(whole.count(), 2);
        QCOMPARE(whole.first().first().value<MChartRange *>(), &range);
    }
};

QTEST_GUILESS_MAIN(TestMCurve)
#include "tst_mcurve.moc"
