#include "mbrushstyle.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <QSignalSpy>
#include <QTest>

class TestMBrushStyle : public QObject
{
    Q_OBJECT

private slots:
    void defaults()
    {
        MBrushStyle style;
        QCOMPARE(style.brushColor(), QColor(Qt::lightGray));
        QCOMPARE(style.gradientColor(), QColor(Qt::white));
        QCOMPARE(style.gradientStyle(), int(MBrushStyle::SolidGradient));
        QCOMPARE(style.brush(QRectF(0, 0, 10, 10)), QBrush(QColor(Qt::lightGray)));
    }

    // A 200 x 100 rectangle away from the origin, so that mixed-up corners,
    // halved radii and forgotten offsets all show.
    void gradients_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("pattern");
        QTest::addColumn<QPointF>("start");
        QTest::addColumn<QPointF>("end");
        QTest::addColumn<double>("radius");
        QTest::newRow("solid") << int(MBrushStyle::SolidGradient) << int(Qt::SolidPattern) << QPointF() << QPointF()
                               << 0.0;
        QTest::newRow("diagonal") << int(MBrushStyle::DiagonalGradient) << int(Qt::LinearGradientPattern)
                                  << QPointF(10, 20) << QPointF(210, 120) << 0.0;
        QTest::newRow("back diagonal") << int(MBrushStyle::BackDiagonalGradient) << int(Qt::LinearGradientPattern)
                                       << QPointF(210, 20) << QPointF(10, 120) << 0.0;
        QTest::newRow("horizontal") << int(MBrushStyle::HorizontalGradient) << int(Qt::LinearGradientPattern)
                                    << QPointF(10, 70) << QPointF(210, 70) << 0.0;
        QTest::newRow("vertical") << int(MBrushStyle::VerticalGradient) << int(Qt::LinearGradientPattern)
                                  << QPointF(110, 20) << QPointF(110, 120) << 0.0;
        QTest::newRow("radial: the whole smaller side") << int(MBrushStyle::RadialGradient)
                                                        << int(Qt::RadialGradientPattern) << QPointF(110, 70)
                                                        << QPointF() << 100.0;
        QTest::newRow("transparent") << int(MBrushStyle::TransparentGradient) << int(Qt::NoBrush) << QPointF()
                                     << QPointF() << 0.0;
        QTest::newRow("unknown above") << 7 << int(Qt::NoBrush) << QPointF() << QPointF() << 0.0;
        QTest::newRow("unknown below") << -1 << int(Qt::NoBrush) << QPointF() << QPointF() << 0.0;
    }

    void gradients()
    {
        QFETCH(int, style);
        QFETCH(int, pattern);
        QFETCH(QPointF, start);
        QFETCH(QPointF, end);
        QFETCH(double, radius);
        const QColor from(200, 10, 10), to(10, 10, 200);
        MBrushStyle brushStyle;
        brushStyle.set_brushColor(from);
        brushStyle.set_gradientColor(to);
        brushStyle.set_gradientStyle(style);
        const QRectF rect(10, 20, 200, 100);
        const QBrush brush = brushStyle.brush(rect);
        QCOMPARE(brush, MBrushStyle::gradientBrush(rect, from, to, style));
        QCOMPARE(int(brush.style()), pattern);
        if (pattern == Qt::SolidPattern)
            QCOMPARE(brush.color(), from);
        const QGradient *gradient = brush.gradient();
        if (!gradient)
            return;
        QCOMPARE(gradient->stops(), (QGradientStops{{0.0, from}, {1.0, to}}));
        QCOMPARE(gradient->spread(), QGradient::PadSpread);
        if (pattern == Qt::LinearGradientPattern) {
            const auto *linear = static_cast<const QLinearGradient *>(gradient);
            QCOMPARE(linear->start(), start);
            QCOMPARE(linear->finalStop(), end);
        } else {
            const auto *radial = static_cast<const QRadialGradient *>(gradient);
            QCOMPARE(radial->center(), start);
            QCOMPARE(radial->radius(), radius);
        }
    }

    void settersAnnounceChanges()
    {
        MBrushStyle style;
        QSignalSpy color(&style, &MBrushStyle::brushColorChanged);
        QSignalSpy gradient(&style, &MBrushStyle::gradientColorChanged);
        QSignalSpy kind(&style, &MBrushStyle::gradientStyleChanged);
        style.set_brushColor(Qt::lightGray);
        style.set_gradientColor(Qt::white);
        style.set_gradientStyle(MBrushStyle::SolidGradient);
        QCOMPARE(color.count() + gradient.count() + kind.count(), 0);
        style.set_brushColor(Qt::red);
        style.set_gradientColor(Qt::blue);
        style.set_gradientStyle(MBrushStyle::RadialGradient);
        QCOMPARE(color.takeFirst().at(0).value<QColor>(), QColor(Qt::red));
        QCOMPARE(gradient.takeFirst().at(0).value<QColor>(), QColor(Qt::blue));
        QCOMPARE(kind.takeFirst().at(0).toInt(), int(MBrushStyle::RadialGradient));
    }
};

QTEST_GUILESS_MAIN(TestMBrushStyle)
#include "tst_mbrushstyle.moc"
