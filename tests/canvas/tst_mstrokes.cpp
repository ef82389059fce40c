// The strokes' GL objects and shared state, and a stroke painted in several
// slots at once, as symmetry paints it: the slots share one stamp counter
// and one random sequence, so the pixels depend on the order in which every
// slot places its stamps.

#include "mbrush.h"
#include "mcanvas.h"
#include "mcurve.h"
#include "menum.h"
#include "mevent.h"
#include "mlogger.h"
#include "mopengl.h"
#include "mrandom.h"
#include "mshader.h"
#include "mshaderlist.h"
#include "mshaderprogramlist.h"
#include "mstrokes.h"
#include "mstrokesession.h"
#include "mtestcanvas.h"
#include "mtesteffect.h"
#include "mtestglcontext.h"
#include "mtestlogwatch.h"
#include "mtexturelayer.h"
#include "mvertexbuffer.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QOpenGLContext>
#include <QOpenGLShaderProgram>
#include <QOpenGLTexture>
#include <QOpenGLVertexArrayObject>
#include <QTest>

#include <cmath>
#include <memory>

using namespace MTestCanvas;

namespace {
const QRectF document(-300, -200, 600, 400);
const QRect whole = document.toRect();
const QString engineId = QStringLiteral("{5A1C0D1E-0000-4000-8000-0000000000C6}");
// Stamps tinted by their count.
const QString engineBody = QStringLiteral(
    "vec3 color = getStandardColor() * vec3(1.0, 0.3 + 0.7 * fract(float(f_stampCount) * 0.173), 1.0);\n"
    "f_color = getStandardComposition(color, getStandardClipping(getStandardAlpha()));\n");

// Premultiplied texels kept as they are: a PNG of the converted image would
// round them.
QImage rawBits(const QImage &premultiplied)
{
    QImage raw(premultiplied.size(), QImage::Format_ARGB32);
    for (int y = 0; y < premultiplied.height(); ++y)
        memcpy(raw.scanLine(y), premultiplied.constScanLine(y), size_t(raw.bytesPerLine()));
    return raw;
}
} // namespace

class TestMStrokes : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MCanvas> canvas;

    static MEvent event(int type, const QPointF &p, double pressure)
    {
        MEvent e;
        e.type = type;
        e.pointerType = 1;
        e.inputs[MEnum::biPositionX] = p.x();
        e.inputs[MEnum::biPositionY] = p.y();
        e.inputs[MEnum::biPressure] = pressure;
        return e;
    }

    // The four mirror images of a point about both axes, one per slot.
    static QPointF mirrored(const QPointF &p, int slot)
    {
        return QPointF(slot & 1 ? -p.x() : p.x(), slot & 2 ? -p.y() : p.y());
    }

    // A brush engine of the body, known by the id.
    static void addEngine(const QString &id, const QString &body)
    {
        auto *engine = new MTestEffect(id, body);
        engine->set_type(MShader::BrushShader);
        MShaderList::instance()->append(engine);
    }

    // The document afresh, with tiles of the layer at the four corners round
    // the origin made in the order given, other blocks between them in memory.
    bool freshTilesInOrder(const int (&order)[4], bool strokeLayer, std::vector<std::unique_ptr<char[]>> &spacers)
    {
        const QPointF corners[4] = {QPointF(-100, -100), QPointF(100, -100), QPointF(-100, 100), QPointF(100, 100)};
        canvas->reset();
        canvas->setAutoExtent(false);
        canvas->setPaintedRect(document);
        if (!canvas->makeCurrent())
            return false;
        MTextureLayer *layer = strokeLayer ? canvas->strokeLayer() : canvas->current();
        layer->clear();
        for (int i : order) {
            spacers.emplace_back(new char[size_t(64 + 4096 * order[i])]);
            if (!layer->addTile(corners[i]))
                return false;
        }
        return true;
    }

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase()
    {
        MLogger::instance();
        QVERIFY(MOpenGL::instance()->initialize());
        canvas = createDocument(document.size().toSize());
        QVERIFY(canvas);
    }

    void cleanupTestCase()
    {
        canvas.reset();
        MShaderList::destroyInstance();
    }

    void symmetricStrokeKeepsItsPixels()
    {
        canvas->reset();
        canvas->setAutoExtent(false);
        canvas->setPaintedRect(document);
        canvas->makeCurrent();
        // Paint for the colour feedback to pick up in two quarters.
        paintRect(canvas->current(), QRect(20, -200, 280, 200), qRgba(30, 170, 60, 255));
        paintRect(canvas->current(), QRect(-300, 40, 200, 160), qRgba(200, 40, 160, 255));

        addEngine(engineId, engineBody);
        MBrush brush;
        brush.set_shaderId(engineId);
        brush.setRadius(9);
        brush.setDensity(0.6);
        brush.setColorAbsorbtionRate(0.5);
        brush.setColorFlowingRate(0.4);
        // Drawn from the seeded sequence stamp by stamp, slot after slot.
        brush.addCurve(MEnum::bsAngle, MEnum::biRandom)->setYMin(-90);
        brush.addCurve(MEnum::bsRatio, MEnum::biRandom);
        brush.addCurve(MEnum::bsRadius, MEnum::biPressure);

        MRandom::seed(4049);
        const int slotCount = 4;
        const QColor color(40, 90, 220);
        const QColor second(250, 200, 20);
        // The mirrored strokes stay apart: where two slots' stamps overlap,
        // colour feedback reads them in an order that no seed fixes.
        QPointF p(30, 70);
        for (int slot = 0; slot < slotCount; ++slot) {
            MEvent press = event(MEvent::Press, mirrored(p, slot), 0.3);
            canvas->startStroke(&press, MStrokePaint{&brush, color, second}, slot);
        }
        for (int i = 1; i <= 40; ++i) {
            p += QPointF(4.0 + (i % 5) * 2.0, (i / 8) % 2 ? 5.0 : -3.0);
            for (int slot = 0; slot < slotCount; ++slot) {
                MEvent move = event(MEvent::Move, mirrored(p, slot), 0.5 + 0.4 * std::sin(i * 0.5));
                canvas->stroke(&move, slot, MStrokePaint());
            }
        }
        for (int slot = 0; slot < slotCount; ++slot) {
            MEvent release = event(MEvent::Release, mirrored(p, slot), 0.0);
            canvas->stroke(&release, slot, MStrokePaint());
        }
        QVERIFY(!canvas->strokeInProgress());

        const QImage painted = rawBits(layerImage(canvas->current(), whole));
        const QString recorded = QStringLiteral(KALMI_TEST_DATA_DIR "/canvas/symmetric-stroke.png");
        if (qEnvironmentVariableIsSet("KALMI_RECORD_TEST_IMAGES"))
            QVERIFY(QDir().mkpath(QFileInfo(recorded).path()) && painted.save(recorded));
        const QImage expected = QImage(recorded).convertToFormat(QImage::Format_ARGB32);
        QVERIFY2(!expected.isNull(), qPrintable(recorded));
        QCOMPARE(painted.size(), expected.size());
        int differing = 0;
        QRect where;
        for (int y = 0; y < painted.height(); ++y)
            for (int x = 0; x < painted.width(); ++x)
                if (painted.pixel(x, y) != expected.pixel(x, y)) {
                    ++differing;
                    where |= QRect(x, y, 1, 1);
                }
        QVERIFY2(differing == 0, qPrintable(QStringLiteral("%1 pixels differ in (%2, %3) %4x%5")
                                                .arg(differing)
                                                .arg(where.x() + whole.x())
                                                .arg(where.y() + whole.y())
                                                .arg(where.width())
                                                .arg(where.height())));
    }

    // The random value of a run's pass goes to its tiles by their place: a
    // seeded stroke paints the same whichever order its tiles were made in.
    void seededStrokeIgnoresTileOrder()
    {
        const QString randomId = QStringLiteral("{5A1C0D1E-0000-4000-8000-0000000000C7}");
        addEngine(randomId, QStringLiteral("f_color = getStandardComposition(getStandardColor() * vec3(f_random, 1.0, "
                                           "1.0 - f_random), getStandardClipping(getStandardAlpha()));\n"));
        MBrush brush;
        brush.set_shaderId(randomId);
        brush.setRadius(12);
        // Every tile corner lies at the origin: each move's stamps straddle four tiles.
        const int orders[][4] = {{0, 1, 2, 3}, {3, 2, 1, 0}, {1, 3, 0, 2}, {2, 0, 3, 1}, {0, 3, 1, 2}, {3, 0, 2, 1}};
        QImage first;
        for (const auto &order : orders) {
            std::vector<std::unique_ptr<char[]>> spacers;
            QVERIFY(freshTilesInOrder(order, true, spacers));
            MRandom::seed(4049);
            MEvent press = event(MEvent::Press, QPointF(20, 0), 1.0);
            canvas->startStroke(&press, MStrokePaint{&brush, QColor(40, 90, 220), QColor(250, 200, 20)}, 0);
            for (int i = 1; i <= 24; ++i) {
                const double a = i * M_PI / 12;
                MEvent move = event(MEvent::Move, QPointF(20 * std::cos(a), 20 * std::sin(a)), 1.0);
                canvas->stroke(&move, 0, MStrokePaint());
            }
            MEvent release = event(MEvent::Release, QPointF(20, 0), 0.0);
            canvas->stroke(&release, 0, MStrokePaint());
            const QImage painted = layerImage(canvas->current(), QRect(-40, -40, 80, 80));
            if (first.isNull())
                first = painted;
            else
                QCOMPARE(painted, first);
        }
    }

    // A wet brush picks up the colours under it. Over a tile edge each side
    // gives its own part, whichever order the tiles were made in; where the
    // layer has no tile it picks up nothing, not what the last stroke held.
    void colorPickupAcrossTileEdges()
    {
        const QString pickupId = QStringLiteral("{5A1C0D1E-0000-4000-8000-0000000000C8}");
        addEngine(pickupId, QStringLiteral("f_color = getStandardComposition(getStandardColor(), "
                                           "getStandardClipping(getStandardAlpha()));\n"));
        MBrush brush;
        brush.set_shaderId(pickupId);
        brush.setRadius(12);
        brush.setColorAbsorbtionRate(1.0);
        brush.setColorFlowingRate(0.0);
        const QColor paint(40, 200, 40);
        const QRgb red = qRgba(220, 20, 20, 255);
        const QRgb blue = qRgba(20, 20, 220, 255);
        auto strokeDown = [&](double x, double top) {
            MEvent press = event(MEvent::Press, QPointF(x, top), 1.0);
            canvas->startStroke(&press, MStrokePaint{&brush, paint, paint}, 0);
            for (int i = 1; i <= 12; ++i) {
                MEvent move = event(MEvent::Move, QPointF(x, top + 4 * i), 1.0);
                canvas->stroke(&move, 0, MStrokePaint());
            }
            MEvent release = event(MEvent::Release, QPointF(x, top + 48), 0.0);
            canvas->stroke(&release, 0, MStrokePaint());
        };

        // Red left of the edge at x = 0, blue right of it; the tiles made in
        // different orders, with other blocks between them in memory.
        const int orders[][4] = {{0, 1, 2, 3}, {3, 2, 1, 0}, {1, 3, 0, 2}, {2, 0, 3, 1}};
        QImage first;
        for (const auto &order : orders) {
            std::vector<std::unique_ptr<char[]>> spacers;
            QVERIFY(freshTilesInOrder(order, false, spacers));
            paintRect(canvas->current(), QRect(-200, -200, 200, 400), red);
            paintRect(canvas->current(), QRect(0, -200, 200, 400), blue);
            strokeDown(0, 20);
            const QImage painted = layerImage(canvas->current(), QRect(-30, 10, 60, 70));
            const QColor left = painted.pixelColor(30 - 4, 40), right = painted.pixelColor(30 + 4, 40);
            // The brush carries each side's colour on that side.
            QVERIFY2(left.red() > 150 && left.blue() < 60, qPrintable(left.name()));
            QVERIFY2(right.blue() > 150 && right.red() < 60, qPrintable(right.name()));
            if (first.isNull())
                first = painted;
            else
                QCOMPARE(painted, first);
        }

        // Red picked up on the left, then a stroke where the layer has no tile.
        canvas->reset();
        canvas->setAutoExtent(false);
        canvas->setPaintedRect(document);
        QVERIFY(canvas->makeCurrent());
        paintRect(canvas->current(), QRect(-200, -200, 150, 400), red);
        strokeDown(-120, -100);
        strokeDown(120, -100);
        const QColor picked = layerImage(canvas->current(), QRect(120, -76, 1, 1)).pixelColor(0, 0);
        QVERIFY2(picked.alpha() > 0 && picked.red() == picked.green(), qPrintable(picked.name()));
    }

    void colorTextureSize_data()
    {
        QTest::addColumn<double>("radius");
        QTest::addColumn<int>("size");
        QTest::newRow("radius 1 is raised to the smallest") << 1.0 << 4;
        QTest::newRow("fraction") << 0.5 << 4;
        QTest::newRow("radius 7") << 7.0 << 12;
        QTest::newRow("radius 30") << 30.0 << 60;
        QTest::newRow("radius 50") << 50.0 << 100;
        QTest::newRow("larger radius is cut to the largest") << 400.0 << 100;
    }

    void colorTextureSize()
    {
        QFETCH(double, radius);
        QFETCH(int, size);
        MStrokes data{MDocumentParts()};
        data.setColorTextureSize(radius);
        QCOMPARE(data.colorTextureSize(), size);
    }

    void setUpAndTearDown()
    {
        MCanvas canvas;
        MStrokes *data = canvas.strokes();
        QVERIFY(data->isValid());
        QCOMPARE(data->stampBuffer()->capacity(), 60000);
        QVERIFY(data->emptyTexture() && data->emptyTexture()->isCreated());
        // Made as a tile is, so that passes over a missing tile run the driver's code for tiles.
        MTextureLayer *layer = canvas.strokeLayer();
        QCOMPARE(data->emptyTexture()->width(), layer->tileSize());
        QCOMPARE(data->emptyTexture()->format(), QOpenGLTexture::RGBAFormat);
        QCOMPARE(data->emptyTexture()->mipLevels(), data->emptyTexture()->maximumMipLevels());
        QVERIFY(data->programList()->isReady());
        // Programs are made when first drawn with.
        QVERIFY(data->programList()->programFor(QStringLiteral("stamping"))->isLinked());
        QVERIFY(data->vertexArrayObject()->isCreated());
        // One sample and one target texture of every even size from 4 to 100.
        for (int size = 4; size <= 100; size += 2) {
            QVERIFY(data->colorSampleTexture(size) && data->colorTargetTexture(size));
            QCOMPARE(data->colorSampleTexture(size)->width(), size);
        }
        QCOMPARE(data->colorSampleTexture(5), nullptr);
        QCOMPARE(data->colorSampleTexture(102), nullptr);
        QOpenGLTexture *sample = data->colorSampleTexture(60);
        QOpenGLTexture *target = data->colorTargetTexture(60);
        data->swapColorTextures(60);
        QCOMPARE(data->colorSampleTexture(60), target);
        QCOMPARE(data->colorTargetTexture(60), sample);
        data->swapColorTextures(61);

        QImage texture(16, 8, QImage::Format_ARGB32);
        texture.fill(Qt::red);
        data->createBrushTexture(texture);
        QVERIFY(data->brushTexture() && data->brushTexture()->isCreated());
        QCOMPARE(data->brushTexture()->height(), 8);

        data->shutDown();
        QVERIFY(!data->isValid());
        QCOMPARE(data->emptyTexture(), nullptr);
        QCOMPARE(data->brushTexture(), nullptr);
        QCOMPARE(data->colorSampleTexture(60), nullptr);
        QCOMPARE(data->stampBuffer(), nullptr);
        QVERIFY(!data->programList()->isReady());
        data->initializeGL();
        QVERIFY(data->isValid());
        QVERIFY(data->colorTargetTexture(4));
        QVERIFY_GL_CLEAN();
    }

    // A set-up that failed is not retried until a shut-down clears the failure.
    void failedSetUpIsClearedByShutDown()
    {
        MTestGLContext gl;
        QVERIFY(gl.isValid());
        gl.context()->doneCurrent();
        MStrokes data{MDocumentParts()};
        const MTestLogWatch log;
        data.initializeGL();
        QVERIFY(data.hasFailed());
        QVERIFY(!data.isValid());
        QCOMPARE(log.count(QStringLiteral("System error: Unable to create stamp buffer")), 1);
        QVERIFY(gl.makeCurrent());
        data.initializeGL();
        QVERIFY(!data.isValid());
        QCOMPARE(log.count(QStringLiteral("System error: Unable to create stamp buffer")), 1);
        data.shutDown();
        QVERIFY(!data.hasFailed());
        QVERIFY(gl.makeCurrent());
        data.initializeGL();
        QVERIFY(data.isValid());
        data.shutDown();
    }

    void brushAndLayers()
    {
        MCanvas canvas;
        canvas.appendLayer();
        MStrokes *data = canvas.strokes();
        QCOMPARE(data->state()->layerIndex, -1);
        QCOMPARE(data->currentLayer(), nullptr);
        data->state()->layerIndex = 1;
        QCOMPARE(data->currentLayer(), canvas.at(1));
        QCOMPARE(data->layerBelow(), canvas.at(0));
        data->state()->layerIndex = 0;
        QCOMPARE(data->layerBelow(), nullptr);

        MBrush brush;
        brush.setRadius(3.5);
        brush.setDescription(QStringLiteral("Pencil"));
        data->state()->setBrush(&brush);
        QCOMPARE(data->brush()->radius(), 3.5);
        QCOMPARE(data->brush()->description(), QStringLiteral("Pencil"));
        QVERIFY(data->brush() != &brush);
        QVERIFY(data->brush()->id() != brush.id());
        QCOMPARE(data->session(0)->lastEvent().type, int(MEvent::Press));
    }
};

QTEST_MAIN(TestMStrokes)
#include "tst_mstrokes.moc"
