#include "menum.h"
#include "mgenerator.h"
#include "mrandom.h"

#include <QSignalSpy>
#include <QTest>

Q_DECLARE_METATYPE(MEnum::ColorGenerator)

namespace {
QList<int> huesOf(const QVector<QColor> &colors)
{
    QList<int> hues;
    for (const QColor &c : colors)
        hues.append(c.toHsv().hsvHue());
    return hues;
}

bool allGrey(const QVector<QColor> &colors)
{
    for (const QColor &c : colors) {
        if (c.red() != c.green() || c.green() != c.blue())
            return false;
    }
    return true;
}
} // namespace

class TestMGenerator : public QObject
{
    Q_OBJECT

private slots:
    // The harmony rules as wheel entries; the wheel turns by 30 degrees per
    // entry modulo 359, so hues past 359 come out one degree further on.
    void harmonyRules_data()
    {
        QTest::addColumn<MEnum::ColorGenerator>("generator");
        QTest::addColumn<QColor>("base");
        QTest::addColumn<QList<int>>("hues");
        const QColor h350 = QColor::fromHsv(350, 200, 180);
        const QColor h330 = QColor::fromHsv(330, 200, 180);
        QTest::newRow("complementary 350") << MEnum::ComplementaryGenerator << h350 << QList<int>{350, 171};
        QTest::newRow("split complementary 350") << MEnum::SplitComplementaryGenerator << h350 << QList<int>{350, 141, 201};
        QTest::newRow("triadic 350") << MEnum::TriadicGenerator << h350 << QList<int>{350, 111, 231};
        QTest::newRow("tetradic 350") << MEnum::TetradicGenerator << h350 << QList<int>{350, 81, 171, 261};
        QTest::newRow("triadic 330") << MEnum::TriadicGenerator << h330 << QList<int>{330, 91, 211};
        QTest::newRow("complementary of red") << MEnum::ComplementaryGenerator << QColor(255, 0, 0) << QList<int>{0, 180};
    }

    void harmonyRules()
    {
        QFETCH(MEnum::ColorGenerator, generator);
        QFETCH(QColor, base);
        QFETCH(QList<int>, hues);
        MGenerator g;
        g.setColorGenerator(generator);
        g.setBaseColor(base);
        QCOMPARE(huesOf(g.colorList()), hues);
        for (const QColor &c : g.colorList()) {
            QCOMPARE(c.toHsv().hsvSaturation(), base.hsvSaturation());
            QCOMPARE(c.value(), base.value());
            QCOMPARE(c.alpha(), base.alpha());
        }
    }

    // A grey has no hue: the wheel starts at 29 and every rule yields greys.
    void greyBaseYieldsGreys_data()
    {
        QTest::addColumn<MEnum::ColorGenerator>("generator");
        QTest::addColumn<int>("count");
        QTest::newRow("complementary") << MEnum::ComplementaryGenerator << 2;
        QTest::newRow("split complementary") << MEnum::SplitComplementaryGenerator << 3;
        QTest::newRow("triadic") << MEnum::TriadicGenerator << 3;
        QTest::newRow("tetradic") << MEnum::TetradicGenerator << 4;
        QTest::newRow("analogous") << MEnum::AnalogousGenerator << 63;
        QTest::newRow("monochrome") << MEnum::MonochromeGenerator << 10;
    }

    void greyBaseYieldsGreys()
    {
        QFETCH(MEnum::ColorGenerator, generator);
        QFETCH(int, count);
        MGenerator g;
        g.setBaseColor(QColor(128, 128, 128));
        g.setColorGenerator(generator);
        QCOMPARE(g.colorList().size(), count);
        QVERIFY(allGrey(g.colorList()));
        if (generator == MEnum::TetradicGenerator)
            QCOMPARE(huesOf(g.colorList()).mid(1), QList<int>({89, 179, 269}));
    }

    void analogousRange()
    {
        MGenerator g;
        g.setColorGenerator(MEnum::AnalogousGenerator);
        g.setBaseColor(QColor::fromHsv(350, 200, 180));
        const QVector<QColor> colors = g.colorList();
        QCOMPARE(colors.size(), 63);
        QCOMPARE(huesOf(colors.mid(0, 3)), QList<int>({321, 350, 21}));
        // Lightest first: value 180 x 1.9 passes 255 and lowers the saturation.
        QCOMPARE(colors.at(3).value(), 255);
        QCOMPARE(colors.at(3).toHsv().hsvSaturation(), 200 - (342 - 255));
        // Darkest last: 180 / 2.8.
        QCOMPARE(colors.last().value(), 64);
        QCOMPARE(colors.last().toHsv().hsvHue(), 21);
    }

    // Ten shades of the base's pure hue: lighter ones for dark bases, darker
    // ones for light bases, by the base's lightness tenth n.
    void monochromeShades_data()
    {
        QTest::addColumn<QColor>("base");
        QTest::addColumn<QList<int>>("lighter");
        QTest::addColumn<QList<int>>("darker");
        // White: n = 10, only darker shades of a hueless white.
        QTest::newRow("white") << QColor(Qt::white) << QList<int>{}
                               << QList<int>{100, 120, 140, 160, 180, 200, 220, 240, 260, 280};
        // Black: n = 0, only lighter ones.
        QTest::newRow("black") << QColor(Qt::black) << QList<int>{190, 180, 170, 160, 150, 140, 130, 120, 110, 100}
                               << QList<int>{};
        // Blue: lightness 128, n = 5.
        QTest::newRow("blue") << QColor(0, 0, 255) << QList<int>{140, 130, 120, 110, 100}
                              << QList<int>{100, 120, 140, 160, 180};
        // Dark red: lightness 50, n = 1.
        QTest::newRow("dark red") << QColor(100, 0, 0) << QList<int>{180, 170, 160, 150, 140, 130, 120, 110, 100}
                                  << QList<int>{100};
        // A light grey-green: lightness 191, n = 7.
        QTest::newRow("light green") << QColor(160, 222, 170) << QList<int>{120, 110, 100}
                                     << QList<int>{100, 120, 140, 160, 180, 200, 220};
    }

    void monochromeShades()
    {
        QFETCH(QColor, base);
        QFETCH(QList<int>, lighter);
        QFETCH(QList<int>, darker);
        MGenerator g;
        QCOMPARE(g.colorGenerator(), MEnum::MonochromeGenerator);
        g.setBaseColor(base);
        const QColor pure = QColor::fromHsv(base.hsvHue(), 255, 255);
        QList<QRgb> expected;
        for (int f : lighter)
            expected.append(pure.lighter(f).rgb());
        for (int f : darker)
            expected.append(pure.darker(f).rgb());
        QList<QRgb> actual;
        for (const QColor &c : g.colorList())
            actual.append(c.rgb());
        QCOMPARE(actual, expected);
        if (base.hsvHue() < 0)
            QVERIFY(allGrey(g.colorList()));
        // The lightest shade comes first, the darkest last.
        QVERIFY(g.colorList().first().value() >= g.colorList().last().value());
    }

    void defaultsGenerateAtConstruction()
    {
        MGenerator g;
        QCOMPARE(g.baseColor(), QColor(0, 0, 255));
        QCOMPARE(g.colorList().size(), 10);
        QCOMPARE(g.colorList().at(4).rgb(), QColor(0, 0, 255).rgb());
    }

    // The spread keeps each colour within 0.2 of the base's mean brightness.
    void randomOffset_data()
    {
        QTest::addColumn<QColor>("base");
        QTest::addColumn<int>("lowest");
        QTest::addColumn<int>("highest");
        QTest::newRow("black") << QColor(Qt::black) << 0 << 0;
        QTest::newRow("mid grey") << QColor(128, 128, 128) << 76 << 128;
        QTest::newRow("white") << QColor(Qt::white) << 204 << 255;
    }

    void randomOffset()
    {
        QFETCH(QColor, base);
        QFETCH(int, lowest);
        QFETCH(int, highest);
        MGenerator g;
        g.setColorGenerator(MEnum::RandomOffsetGenerator);
        MRandom::seed(7);
        g.setBaseColor(base);
        const QVector<QColor> first = g.colorList();
        QCOMPARE(first.size(), 25);
        QVERIFY(allGrey(first));
        for (const QColor &c : first) {
            QVERIFY2(c.red() >= lowest && c.red() <= highest, qPrintable(c.name()));
            QCOMPARE(c.alpha(), 255);
        }
        // The same seed gives the same colours, another seed others.
        MRandom::seed(7);
        g.setBaseColor(base);
        QCOMPARE(g.colorList(), first);
        if (highest > 0) {
            MRandom::seed(8);
            g.setBaseColor(base);
            QVERIFY(g.colorList() != first);
        }
    }

    void settingAgainRegenerates()
    {
        MGenerator g;
        QSignalSpy spy(&g, &MGenerator::colorListChanged);
        g.setBaseColor(g.baseColor());
        g.setColorGenerator(g.colorGenerator());
        QCOMPARE(spy.count(), 2);
        MRandom::seed(1);
        g.setColorGenerator(MEnum::RandomOffsetGenerator);
        const QVector<QColor> first = g.colorList();
        g.setColorGenerator(MEnum::RandomOffsetGenerator);
        QVERIFY(g.colorList() != first);
    }
};

QTEST_MAIN(TestMGenerator)
#include "tst_mgenerator.moc"
