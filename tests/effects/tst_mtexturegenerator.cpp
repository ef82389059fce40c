// Texture generators: their pixels against the formulas over a known noise table.

#include "mbrushtexturegenerator.h"
#include "mcloudtexturegenerator.h"
#include "mfield.h"
#include "mmarbletexturegenerator.h"
#include "mnoisetexturegenerator.h"

#include <QSet>
#include <QSignalSpy>
#include <QTest>

#include <cmath>
#include <memory>

namespace {
// 4 x 4 table with N(x, y) = (x + 4y) / 16.
QVector<double> rampTable()
{
    QVector<double> table(16);
    for (int i = 0; i < 16; ++i)
        table[i] = i / 16.0;
    return table;
}

int grey(const QImage &image, int x, int y)
{
    return qRed(image.pixel(x, y));
}
} // namespace

class TestMTextureGenerator : public QObject
{
    Q_OBJECT
private slots:
    void everyGeneratorGivesOpaqueImagesOfItsSize_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("brush") << 0;
        QTest::newRow("cloud") << 1;
        QTest::newRow("noise") << 2;
        QTest::newRow("marble") << 3;
    }
    void everyGeneratorGivesOpaqueImagesOfItsSize()
    {
        QFETCH(int, kind);
        std::unique_ptr<MTextureGenerator> generator;
        switch (kind) {
        case 0: generator.reset(new MBrushTextureGenerator); break;
        case 1: generator.reset(new MCloudTextureGenerator); break;
        case 2: generator.reset(new MNoiseTextureGenerator); break;
        default: generator.reset(new MMarbleTextureGenerator); break;
        }
        QImage image = generator->generateTexture();
        QCOMPARE(image.size(), QSize(256, 256));
        generator->setSize(40, 0);
        image = generator->generateTexture();
        QCOMPARE(image.format(), QImage::Format_ARGB32);
        QCOMPARE(image.size(), QSize(40, 1));
        for (int x = 0; x < image.width(); ++x)
            QCOMPARE(qAlpha(image.pixel(x, 0)), 255);
        generator->setSize(0, 0);
        QCOMPARE(generator->generateTexture().size(), QSize(1, 1));
    }

    void noiseTableIsDrawnAnewOnlyBySize()
    {
        MNoiseTextureGenerator generator;
        generator.setSize(32, 32);
        const QImage first = generator.generateTexture();
        QCOMPARE(generator.generateTexture(), first);
        QSet<double> entries;
        for (int i = 0; i < 32 * 32; ++i) {
            const double entry = generator.noise(i % 32, i / 32);
            QVERIFY(entry >= 0 && entry < 1);
            entries.insert(entry);
        }
        QVERIFY(entries.size() > 500);
    }

    void turbulenceOverKnownTable_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("y");
        QTest::addColumn<double>("size");
        QTest::addColumn<double>("expected");
        // One octave: 128 times the entry one column left and one row up, wrapping.
        QTest::newRow("one octave") << 2.0 << 1.0 << 1.0 << 128 * (1 + 0) / 16.0;
        QTest::newRow("one octave wraps") << 0.0 << 0.0 << 1.0 << 128 * 15 / 16.0;
        // Two octaves: z=2 averages N(0,0), N(3,0), N(0,3), N(3,3); z=1 adds N(0,0).
        QTest::newRow("two octaves") << 1.0 << 1.0 << 2.0 << 128 * (2 * 30 / 64.0) / 2;
        QTest::newRow("below one") << 1.0 << 1.0 << 0.5 << 0.0;
    }
    void turbulenceOverKnownTable()
    {
        QFETCH(double, x);
        QFETCH(double, y);
        QFETCH(double, size);
        QFETCH(double, expected);
        MNoiseTextureGenerator generator;
        generator.setSize(4, 4);
        generator.setNoiseTable(rampTable());
        QCOMPARE(generator.turbulence(x, y, size), expected);
    }

    void noisePixels_data()
    {
        QTest::addColumn<int>("factor");
        QTest::newRow("one") << 1;
        QTest::newRow("below one counts as one") << 0;
    }
    void noisePixels()
    {
        QFETCH(int, factor);
        MNoiseTextureGenerator generator;
        generator.setSize(4, 4);
        generator.setNoiseTable(rampTable());
        generator.setValue("factor", factor);
        const QImage image = generator.generateTexture();
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 4; ++x) {
                const int expected = int(128 * (((x + 3) % 4) + 4 * ((y + 3) % 4)) / 16.0);
                QCOMPARE(grey(image, x, y), expected);
                QCOMPARE(qGreen(image.pixel(x, y)), expected);
            }
        }
        generator.setValue("factor", 2);
        QCOMPARE(grey(generator.generateTexture(), 1, 1), 60);
    }

    void marbleBands_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("expected");
        // Power 0: (x*5/20 + y*10/20) * pi, diagonal bands.
        QTest::newRow("origin") << 0 << 0 << 0;
        QTest::newRow("quarter turn") << 1 << 0 << int(256 * std::sin(0.25 * 3.14159));
        QTest::newRow("peak clamps") << 2 << 0 << 255;
        QTest::newRow("same band down") << 0 << 1 << 255;
        QTest::newRow("same band diagonal") << 4 << 1 << 255;
        QTest::newRow("trough") << 0 << 2 << int(256 * std::fabs(std::sin(3.14159)));
    }
    void marbleBands()
    {
        QFETCH(int, x);
        QFETCH(int, y);
        QFETCH(int, expected);
        MMarbleTextureGenerator generator;
        generator.setSize(20, 20);
        generator.setValue("power", 0);
        QCOMPARE(grey(generator.generateTexture(), x, y), expected);
        // Power bends the bands by the turbulence.
        generator.setSize(4, 4);
        generator.setNoiseTable(rampTable());
        generator.setValue("power", 1);
        generator.setValue("factor", 1);
        generator.setValue("xPeriod", 0);
        generator.setValue("yPeriod", 0);
        const double t = 128 * 15 / 16.0;
        QCOMPARE(grey(generator.generateTexture(), 0, 0),
                 qBound(0, int(256 * std::fabs(std::sin(t / 256 * 3.14159))), 255));
    }

    void cloudColours()
    {
        MCloudTextureGenerator generator;
        generator.setSize(4, 4);
        generator.setNoiseTable(QVector<double>(16, 0.0));
        generator.setValue("hue", 0);
        generator.setValue("luminance", 128);
        QImage image = generator.generateTexture();
        const QColor expected = QColor::fromHsl(0, 255, 128).toRgb();
        QCOMPARE(image.pixelColor(2, 2), expected);
        QVERIFY(expected.red() > 250 && expected.green() < 5 && expected.blue() < 5);
        // The noise lightens by a quarter of the turbulence.
        generator.setNoiseTable(rampTable());
        generator.setValue("noiseFactor", 1);
        image = generator.generateTexture();
        QCOMPARE(image.pixelColor(0, 0), QColor::fromHsl(0, 255, int(128 * 15 / 16.0 * 0.25 + 128)).toRgb());
        // Out-of-range values are clamped: a hue past the full turn is red.
        generator.setValue("hue", 500);
        QCOMPARE(generator.generateTexture().pixelColor(2, 2), QColor::fromHsl(0, 255, int(128 * 5 / 16.0 * 0.25 + 128)).toRgb());
        // Full luminance is white.
        generator.setValue("luminance", 400);
        image = generator.generateTexture();
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                QCOMPARE(image.pixel(x, y), qRgb(255, 255, 255));
    }

    void brushBlob()
    {
        MBrushTextureGenerator generator;
        generator.setSize(64, 64);
        const QImage blob = generator.generateTexture();
        // White outside the blob, the noise (never white) inside it.
        QCOMPARE(blob.pixel(0, 0), qRgb(255, 255, 255));
        QCOMPARE(blob.pixel(63, 63), qRgb(255, 255, 255));
        QVERIFY(grey(blob, 32, 32) < 255);
        QCOMPARE(qGreen(blob.pixel(32, 32)), grey(blob, 32, 32));
        // One particle is not a path: nothing is drawn.
        generator.setValue("particleCount", 1);
        const QImage single = generator.generateTexture();
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                QCOMPARE(single.pixel(x, y), qRgb(255, 255, 255));
    }

    void parametersAreNamedValues()
    {
        MMarbleTextureGenerator generator;
        QSignalSpy spy(&generator, &MValues::valueChanged);
        QStringList names;
        for (const MField *field : generator.parameters()) {
            names << QString::fromLatin1(field->name());
            QCOMPARE(generator.value(field->name()), field->value());
        }
        QCOMPARE(names, QStringList({"power", "factor", "xPeriod", "yPeriod"}));
        generator.setValue("factor", 7);
        QCOMPARE(spy.count(), 1);
        generator.clear();
        QVERIFY(generator.parameters().isEmpty());
        QVERIFY(!generator.contains("factor"));
        QCOMPARE(generator.turbulence(1, 1, 4), 0.0);
    }
};

QTEST_MAIN(TestMTextureGenerator)
#include "tst_mtexturegenerator.moc"
