#include "mlowpassfilter.h"
#include "msmoothfilter.h"

#include <QTest>

#include <cmath>
#include <limits>

namespace {
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();

bool close(double a, double b)
{
    return std::abs(a - b) <= 1e-9 * std::max(1.0, std::abs(b));
}
} // namespace

using Samples = QVector<QPointF>; // (value, time in seconds)
using Outputs = QVector<double>;

class TestMSmoothFilter : public QObject
{
    Q_OBJECT

private slots:
    void lowPass_data()
    {
        QTest::addColumn<double>("alpha");
        QTest::addColumn<Outputs>("inputs");
        QTest::addColumn<Outputs>("outputs");
        QTest::newRow("half") << 0.5 << Outputs{2, 4, 4, 0} << Outputs{2, 3, 3.5, 1.75};
        QTest::newRow("quarter") << 0.25 << Outputs{0, 8, 8} << Outputs{0, 2, 3.5};
        QTest::newRow("one passes through") << 1.0 << Outputs{3, -7, 5} << Outputs{3, -7, 5};
        QTest::newRow("not a number is skipped") << 0.5 << Outputs{2, NaN, 4} << Outputs{2, 2, 3};
        QTest::newRow("infinity is skipped") << 0.5 << Outputs{2, Inf, -Inf, 4} << Outputs{2, 2, 2, 3};
    }

    void lowPass()
    {
        QFETCH(double, alpha);
        QFETCH(Outputs, inputs);
        QFETCH(Outputs, outputs);
        MLowPassFilter filter(alpha);
        for (int i = 0; i < inputs.size(); ++i)
            QVERIFY2(close(filter.filter(inputs.at(i)), outputs.at(i)), qPrintable(QString::number(i)));
        QVERIFY(std::isfinite(filter.lastValue()) && std::isfinite(filter.lastRawValue()));
    }

    void lowPassAlphaOutsideItsRangeIsRefused_data()
    {
        QTest::addColumn<double>("alpha");
        QTest::newRow("zero") << 0.0;
        QTest::newRow("negative") << -0.5;
        QTest::newRow("above one") << 1.5;
        QTest::newRow("not a number") << NaN;
    }

    void lowPassAlphaOutsideItsRangeIsRefused()
    {
        QFETCH(double, alpha);
        MLowPassFilter filter(0.25);
        filter.setAlpha(alpha);
        QCOMPARE(filter.alpha(), 0.25);
        filter.setAlpha(1.0);
        QCOMPARE(filter.alpha(), 1.0);
    }

    void lowPassResetTakesTheNextSampleAsIs()
    {
        MLowPassFilter filter(0.5);
        filter.filter(10);
        filter.filter(20);
        filter.reset();
        QCOMPARE(filter.filter(-4), -4.0);
        QCOMPARE(filter.filter(0), -2.0);
    }

    // Sequences recorded from the filter's formulas, evaluated apart.
    void oneEuro_data()
    {
        QTest::addColumn<double>("minCutoff");
        QTest::addColumn<double>("beta");
        QTest::addColumn<Samples>("samples");
        QTest::addColumn<Outputs>("outputs");
        QTest::addColumn<double>("frequency");
        QTest::newRow("view's speed filter at 100 Hz")
            << 1.0 << 0.007 << Samples{{10, 0.0}, {12, 0.01}, {11, 0.02}, {15, 0.03}, {15, 0.04}, {30, 0.05}}
            << Outputs{10, 10.127397091398446, 10.18075035387789, 10.518600736939689, 10.8298875799557, 12.775411831510443}
            << 100.0;
        QTest::newRow("repeated and earlier time stamps keep the frequency")
            << 1.0 << 0.5 << Samples{{0, 0.0}, {5, 0.02}, {5, 0.02}, {9, 0.01}, {9, 0.03}}
            << Outputs{0, 3.2634218886710635, 4.352860092843269, 7.812205316698341, 8.670177149316013} << 50.0;
        QTest::newRow("no time stamps") << 2.0 << 0.0 << Samples{{1, -1}, {3, -1}, {5, -1}}
                                        << Outputs{1, 2.8525766355016775, 4.841709811301675} << 1.0;
    }

    void oneEuro()
    {
        QFETCH(double, minCutoff);
        QFETCH(double, beta);
        QFETCH(Samples, samples);
        QFETCH(Outputs, outputs);
        QFETCH(double, frequency);
        MSmoothFilter filter(minCutoff, beta, 1.0);
        QCOMPARE(filter.frequency(), 1.0);
        for (int i = 0; i < samples.size(); ++i) {
            const double result = filter.filter(samples.at(i).x(), samples.at(i).y());
            QVERIFY2(close(result, outputs.at(i)), qPrintable(QStringLiteral("sample %1: %2").arg(i).arg(result, 0, 'g', 17)));
        }
        QVERIFY(close(filter.frequency(), frequency));

        // After a reset the first value comes back unchanged.
        filter.reset();
        QCOMPARE(filter.filter(-42, 10.0), -42.0);
    }

    void oneEuroNeverTakesInNonFiniteNumbers_data()
    {
        QTest::addColumn<Samples>("samples");
        QTest::newRow("same time stamp") << Samples{{1, 0.5}, {2, 0.5}, {3, 0.5}, {4, 0.51}};
        QTest::newRow("time going back") << Samples{{1, 0.5}, {2, 0.2}, {3, 0.3}, {4, 0.31}};
        QTest::newRow("time stamps too close for a finite rate") << Samples{{1, 0.0}, {2, 5e-324}, {3, 1e-323}};
        QTest::newRow("not a number value") << Samples{{1, 0.0}, {NaN, 0.01}, {3, 0.02}};
        QTest::newRow("infinite value") << Samples{{1, 0.0}, {Inf, 0.01}, {3, 0.02}};
        QTest::newRow("not a number time") << Samples{{1, 0.0}, {2, NaN}, {3, 0.02}};
    }

    void oneEuroNeverTakesInNonFiniteNumbers()
    {
        QFETCH(Samples, samples);
        MSmoothFilter filter(1.0, 0.007, 1.0);
        double result = 0;
        for (const QPointF &sample : samples) {
            result = filter.filter(sample.x(), sample.y());
            QVERIFY(std::isfinite(filter.frequency()) && filter.frequency() > 0);
        }
        // The last sample is finite, and so is what comes out of it.
        QVERIFY2(std::isfinite(result), qPrintable(QString::number(result)));
        QVERIFY(std::isfinite(filter.filter(samples.last().x(), samples.last().y() + 1.0)));
    }
};

QTEST_APPLESS_MAIN(TestMSmoothFilter)
#include "tst_msmoothfilter.moc"
