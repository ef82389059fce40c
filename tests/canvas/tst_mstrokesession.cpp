#include "mbrush.h"
#include "mcanvas.h"
#include "mevent.h"
#include "mstrokes.h"
#include "mstrokesession.h"
#include "mtestcanvas.h"
#include "mtestglcontext.h"
#include "mtexturelayer.h"

#include <QOpenGLContext>
#include <QOpenGLExtraFunctions>
#include <QTest>

#include <memory>

using namespace MTestCanvas;

Q_DECLARE_METATYPE(QList<double>)

namespace {
const QRectF document(-600, -300, 1200, 600);
const QRgb red = qRgba(200, 0, 0, 255);
const QRgb green = qRgba(0, 200, 0, 255);
} // namespace

// Stamps of strokes in progress, seen in the strokes' shared state and in the
// stroke layer before the stroke ends.
class TestMStrokeSession : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MCanvas> canvas;
    std::unique_ptr<MBrush> brush;

    MStrokes *strokes() const { return canvas->strokes(); }
    int stamps() const { return strokes()->state()->stampCounter; }
    double lastX() const { return strokes()->session(0)->lastEvent().inputs[MEnum::biPositionX]; }

    void send(int type, const QPointF &p)
    {
        MEvent event;
        event.type = type;
        event.inputs[MEnum::biPositionX] = p.x();
        event.inputs[MEnum::biPositionY] = p.y();
        if (type == MEvent::Press)
            canvas->startStroke(&event, MStrokePaint{brush.get(), Qt::blue, Qt::white}, 0);
        else
            canvas->stroke(&event, 0, MStrokePaint());
    }

    // The stroke layer as a reader of the document sees it: the stamps
    // queued so far drawn first.
    QImage strokeImage(const QRect &rect) const
    {
        canvas->flushStrokes();
        return layerImage(canvas->strokeLayer(), rect);
    }

    // A small hard round brush whose every stamp covers whole pixels.
    void useHardBrush(double radius, double spacing)
    {
        brush->setRadius(radius);
        brush->setSpacingType(MEnum::ConstantSpacing);
        brush->setSpacing(spacing);
        brush->setHardness(1.0);
        brush->setAntialiasing(false);
        brush->setBaseValue(MEnum::bsAntialiasing, MEnum::NoAntialiasing);
    }

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase()
    {
        canvas = createDocument(QSize(1200, 600));
        QVERIFY(canvas);
    }

    void init()
    {
        canvas->reset();
        canvas->setPaintedRect(document);
        brush.reset(new MBrush());
        canvas->makeCurrent();
    }

    void cleanupTestCase() { canvas.reset(); }

    void spacing_data()
    {
        QTest::addColumn<int>("spacingType");
        QTest::addColumn<double>("spacing");
        QTest::addColumn<double>("radius");
        QTest::addColumn<double>("ratio");
        QTest::addColumn<double>("pressX");
        QTest::addColumn<QList<double>>("moves");
        QTest::addColumn<int>("setting");
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("expectedStamps");
        QTest::addColumn<double>("expectedLastX");

        const int c = MEnum::ConstantSpacing;
        const int none = MEnum::bsNoise;
        QTest::newRow("moves up to the spacing add up without a stamp")
            << c << 10.0 << 5.0 << 1.0 << 0.0 << QList<double>{4, 8, 10} << none << 0.0 << 1 << 0.0;
        QTest::newRow("a move past the spacing stamps at every spacing from the last stamp")
            << c << 10.0 << 5.0 << 1.0 << 0.0 << QList<double>{4, 8, 35} << none << 0.0 << 4 << 30.0;
        QTest::newRow("a spacing of zero still advances a tenth of a pixel")
            << c << 0.0 << 5.0 << 1.0 << 0.0 << QList<double>{1.05} << none << 0.0 << 12 << 1.0;
        QTest::newRow("ratio spacing follows the smaller half axis")
            << int(MEnum::RatioSpacing) << 0.5 << 20.0 << 0.5 << 0.0 << QList<double>{26} << none << 0.0 << 6
            << 25.0;
        QTest::newRow("automatic spacing follows the brush's curve at the stamp size")
            << int(MEnum::AutoSpacing) << 7.0 << 30.0 << 1.0 << 0.0 << QList<double>{10} << none << 0.0 << 4
            << 9.0;
        QTest::newRow("an accumulator distance leaves the press without a stamp")
            << c << 10.0 << 5.0 << 1.0 << 0.0 << QList<double>{25} << int(MEnum::bsAccumulatorDistance) << 5.0
            << 2 << 20.0;
        QTest::newRow("following the direction leaves the press without a stamp")
            << c << 10.0 << 5.0 << 1.0 << 0.0 << QList<double>{25} << int(MEnum::bsAngleType)
            << double(MEnum::FollowDirectionAngle) << 2 << 20.0;
        // The offset stays in the stored event, so each segment starts shifted.
        QTest::newRow("an offset carries into the next segment's start")
            << c << 10.0 << 5.0 << 1.0 << 0.0 << QList<double>{50} << int(MEnum::bsOffsetX) << 7.0 << 5 << 54.0;
        QTest::newRow("stamps far outside the painted rectangle do not count")
            << c << 10.0 << 5.0 << 1.0 << 2000.0 << QList<double>{2025} << none << 0.0 << 0 << 2020.0;
        QTest::newRow("a stamp within 100 pixels of the painted rectangle counts")
            << c << 10.0 << 5.0 << 1.0 << 690.0 << QList<double>{} << none << 0.0 << 1 << 690.0;
    }

    void spacing()
    {
        QFETCH(int, spacingType);
        QFETCH(double, spacing);
        QFETCH(double, radius);
        QFETCH(double, ratio);
        QFETCH(double, pressX);
        QFETCH(QList<double>, moves);
        QFETCH(int, setting);
        QFETCH(double, value);
        QFETCH(int, expectedStamps);
        QFETCH(double, expectedLastX);
        brush->setSpacingType(spacingType);
        brush->setSpacing(spacing);
        brush->setRadius(radius);
        brush->setRatio(ratio);
        brush->setBaseValue(setting, value);

        send(MEvent::Press, QPointF(pressX, 0));
        for (double x : qAsConst(moves))
            send(MEvent::Move, QPointF(x, 0));
        QCOMPARE(stamps(), expectedStamps);
        QVERIFY2(qAbs(lastX() - expectedLastX) < 1e-4, qPrintable(QString::number(lastX())));
        QCOMPARE(canvas->strokeLayer()->touchedTiles().isEmpty(), expectedStamps == 0);
    }

    // More stamps than the stamp buffer holds, in one move: the far end of
    // the line is painted like the near end.
    void longMoveHasNoGaps()
    {
        useHardBrush(2.0, 0.1);
        send(MEvent::Press, QPointF(-550, 0.5));
        send(MEvent::Move, QPointF(550, 0.5));
        QVERIFY(stamps() > 10000);
        const QImage row = strokeImage(QRect(-550, 0, 1101, 1));
        for (int x = 0; x < row.width(); ++x)
            QVERIFY2(qAlpha(row.pixel(x, 0)) == 255, qPrintable(QStringLiteral("gap at x = %1").arg(x - 550)));
    }

    // With colour absorption the brush picks up the layer's colour, and it
    // does so on every 25th stamp: the 25 stamps before each pick-up are
    // drawn with the colour found where the 25th lands.
    void colorFeedbackEvery25Stamps()
    {
        paintRect(canvas->at(0), QRect(-100, -50, 130, 100), red);
        paintRect(canvas->at(0), QRect(30, -50, 170, 100), green);
        useHardBrush(2.0, 1.0);
        brush->setColorAbsorbtionRate(1.0);
        brush->setColorFlowingRate(0.0);
        send(MEvent::Press, QPointF(0.5, 0.5));
        send(MEvent::Move, QPointF(100.5, 0.5));
        QCOMPARE(stamps(), 100);
        const QImage row = strokeImage(QRect(0, 0, 100, 1));
        // Stamps 1 to 25 (x 0 to 24) took the colour at x = 24, stamps 26
        // to 50 the colour at x = 49, over red layer pixels.
        QCOMPARE(row.pixel(10, 0), red);
        QCOMPARE(row.pixel(20, 0), red);
        QCOMPARE(row.pixel(27, 0), green);
        QCOMPARE(row.pixel(80, 0), green);
        // Without absorption the brush colour is used as it is.
        canvas->reset();
        canvas->setPaintedRect(document);
        paintRect(canvas->at(0), QRect(-100, -50, 300, 100), red);
        brush->setColorAbsorbtionRate(0.0);
        send(MEvent::Press, QPointF(0.5, 0.5));
        send(MEvent::Move, QPointF(100.5, 0.5));
        QCOMPARE(strokeImage(QRect(27, 0, 1, 1)).pixel(0, 0), qRgba(0, 0, 255, 255));
    }

    // The colour pick-up pass puts back the blending, framebuffer, viewport
    // and clear colour it found.
    void colorFeedbackLeavesGlStateAsFound()
    {
        paintRect(canvas->at(0), QRect(-100, -50, 300, 100), red);
        useHardBrush(2.0, 1.0);
        brush->setColorAbsorbtionRate(1.0);
        send(MEvent::Press, QPointF(0.5, 0.5));
        QOpenGLExtraFunctions *f = QOpenGLContext::currentContext()->extraFunctions();
        f->glDisable(GL_BLEND);
        f->glBlendFuncSeparate(GL_ONE, GL_ZERO, GL_ZERO, GL_ONE);
        f->glBindFramebuffer(GL_FRAMEBUFFER, 0);
        f->glViewport(3, 4, 50, 60);
        f->glClearColor(0.25f, 0.5f, 0.75f, 1.0f);
        const QVector<int> before = MTestGLContext::glState();
        send(MEvent::Move, QPointF(60.5, 0.5));
        QVERIFY(stamps() >= 50); // two pick-ups
        QCOMPARE(QOpenGLContext::currentContext(), canvas->context());
        QCOMPARE(MTestGLContext::glState(), before);
    }

    // The eraser end of a pen puts the stroke layer in eraser mode whatever
    // the brush says; the brush's opacity becomes the stroke layer's.
    void strokeLayerMode_data()
    {
        QTest::addColumn<int>("pointerType");
        QTest::addColumn<bool>("eraserBrush");
        QTest::addColumn<bool>("expected");
        QTest::newRow("pen tip, plain brush") << 1 << false << false;
        QTest::newRow("eraser end, plain brush") << 3 << false << true;
        QTest::newRow("pen tip, eraser brush") << 1 << true << true;
    }

    void strokeLayerMode()
    {
        QFETCH(int, pointerType);
        QFETCH(bool, eraserBrush);
        QFETCH(bool, expected);
        brush->setEraser(eraserBrush);
        brush->setOpacity(0.4);
        MEvent event;
        event.pointerType = pointerType;
        canvas->startStroke(&event, MStrokePaint{brush.get(), Qt::blue, Qt::white}, 0);
        QCOMPARE(canvas->strokeLayer()->eraserMode(), expected);
        QCOMPARE(canvas->strokeLayer()->opacity(), 0.4);
    }
};

QTEST_MAIN(TestMStrokeSession)
#include "tst_mstrokesession.moc"
