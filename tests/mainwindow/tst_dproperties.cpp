// The document properties dialog and its colour histogram.

#include "dproperties.h"
#include "mcanvas.h"
#include "menum.h"
#include "mhistogram.h"
#include "mhistogramchart.h"
#include "mlogger.h"
#include "mopengl.h"
#include "mtestcanvas.h"
#include "mtestglcontext.h"

#include <QCheckBox>
#include <QLabel>
#include <QTest>

#include <memory>

using namespace MTestCanvas;

class TestProperties : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MCanvas> canvas;

    template <class T>
    static T *child(QWidget &dialog, const char *name)
    {
        return dialog.findChild<T *>(QLatin1String(name));
    }

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase()
    {
        MLogger::instance();
        QVERIFY(MOpenGL::instance()->initialize());
    }

    // Three opaque stripes of pure red, green and blue over a 12 x 10
    // document, all of one grey level, on two layers.
    void init()
    {
        canvas = createDocument(QSize(12, 10));
        QVERIFY(canvas);
        canvas->setPaperType(MEnum::Transparent);
        const QRect area = canvas->paintedRect().toRect();
        paintRect(canvas->at(0), QRect(area.topLeft(), QSize(4, 10)), qRgba(240, 0, 0, 255));
        paintRect(canvas->at(0), QRect(area.topLeft() + QPoint(4, 0), QSize(4, 10)), qRgba(0, 240, 0, 255));
        canvas->appendLayer();
        paintRect(canvas->at(1), QRect(area.topLeft() + QPoint(8, 0), QSize(4, 10)), qRgba(0, 0, 240, 255));
    }

    void cleanup() { canvas.reset(); }

    void countsAndLevels()
    {
        DProperties dialog;
        dialog.setDocument(canvas->paper(), canvas->layers(), canvas->renderer());
        QCOMPARE(child<QLabel>(dialog, "widthLabel")->text(), QStringLiteral("12"));
        QCOMPARE(child<QLabel>(dialog, "heightLabel")->text(), QStringLiteral("10"));
        QCOMPARE(child<QLabel>(dialog, "layersLabel")->text(), QStringLiteral("2"));
        MHistogram *h = dialog.histogram();
        QCOMPARE(h->count(), 64);
        // 240 falls in level 60, 0 in level 0; the grey (240 / 3 = 80) in level 20.
        QCOMPARE(h->at(60)->redCount(), 40);
        QCOMPARE(h->at(0)->redCount(), 80);
        QCOMPARE(h->at(60)->greenCount(), 40);
        QCOMPARE(h->at(60)->blueCount(), 40);
        QCOMPARE(h->at(20)->grayCount(), 120);
        int total = 0;
        for (int i = 0; i < h->count(); ++i)
            total += h->at(i)->redCount();
        QCOMPARE(total, 120);
        QCOMPARE(h->maxValue(), 80);
    }

    // The channels shown set the scale; the counts stay.
    void channelsSetTheScale_data()
    {
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<int>("maxValue");
        QTest::newRow("gray added") << QStringList{"cbGrayScale"} << 120;
        QTest::newRow("all off") << QStringList{"cbRedChannel", "cbGreenChannel", "cbBlueChannel"} << 0;
        QTest::newRow("red only") << QStringList{"cbGreenChannel", "cbBlueChannel"} << 80;
    }

    void channelsSetTheScale()
    {
        QFETCH(QStringList, clicks);
        QFETCH(int, maxValue);
        DProperties dialog;
        dialog.setDocument(canvas->paper(), canvas->layers(), canvas->renderer());
        for (const QString &name : clicks)
            dialog.findChild<QCheckBox *>(name)->click();
        QCOMPARE(dialog.histogram()->maxValue(), maxValue);
        QCOMPARE(dialog.histogram()->at(60)->redCount(), 40);
        if (maxValue == 0) {
            // Only the white background is painted.
            MHistogramChart chart;
            chart.setHistogram(dialog.histogram());
            chart.resize(64, 40);
            const QImage picture = chart.grab().toImage();
            QCOMPARE(picture.pixel(10, 35), qRgb(255, 255, 255));
        }
    }

    void nullImageLeavesTheHistogramEmpty()
    {
        MHistogram h;
        h.compute(QImage());
        QCOMPARE(h.count(), 0);
        QCOMPARE(h.maxValue(), 0);
    }

    // The bars stand on the bottom edge, as high as their share of the largest count.
    void chartPaintsBars()
    {
        DProperties dialog;
        dialog.setDocument(canvas->paper(), canvas->layers(), canvas->renderer());
        MHistogramChart chart;
        chart.setHistogram(dialog.histogram());
        chart.resize(64, 80);
        const QImage picture = chart.grab().toImage();
        // Level 60: red, green and blue each 40 of 80, half the height.
        QVERIFY(picture.pixel(60, 79) != qRgb(255, 255, 255));
        QVERIFY(picture.pixel(60, 45) != qRgb(255, 255, 255));
        QCOMPARE(picture.pixel(60, 35), qRgb(255, 255, 255));
        // Level 30 holds nothing.
        QCOMPARE(picture.pixel(30, 79), qRgb(255, 255, 255));
    }
};

QTEST_MAIN(TestProperties)
#include "tst_dproperties.moc"
