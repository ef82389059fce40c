#include "mbrush.h"
#include "mcanvas.h"
#include "mlogger.h"
#include "mopengl.h"
#include "mshaderprogramlist.h"
#include "mshareddata.h"
#include "mtestglcontext.h"
#include "mtestlogwatch.h"
#include "mtexturelayer.h"
#include "mvertexbuffer.h"

#include <QOpenGLContext>
#include <QOpenGLShaderProgram>
#include <QOpenGLTexture>
#include <QOpenGLVertexArrayObject>
#include <QTest>

class TestMSharedData : public QObject
{
    Q_OBJECT

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase()
    {
        MLogger::instance();
        QVERIFY(MOpenGL::instance()->initialize());
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
        MSharedData data(nullptr);
        data.setColorTextureSize(radius);
        QCOMPARE(data.colorTextureSize(), size);
    }

    void setUpAndTearDown()
    {
        MCanvas canvas;
        MSharedData *data = canvas.sharedData();
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
        MSharedData data(nullptr);
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
        MSharedData *data = canvas.sharedData();
        QCOMPARE(data->currentLayerIndex(), -1);
        QCOMPARE(data->currentLayer(), nullptr);
        data->setCurrentLayer(1);
        QCOMPARE(data->currentLayer(), canvas.at(1));
        QCOMPARE(data->layerBelow(), canvas.at(0));
        data->setCurrentLayer(0);
        QCOMPARE(data->layerBelow(), nullptr);

        MBrush brush;
        brush.setRadius(3.5);
        brush.setDescription(QStringLiteral("Pencil"));
        data->setBrush(&brush);
        QCOMPARE(data->brush()->radius(), 3.5);
        QCOMPARE(data->brush()->description(), QStringLiteral("Pencil"));
        QVERIFY(data->brush() != &brush);
        QVERIFY(data->brush()->id() != brush.id());
        QCOMPARE(data->slotEvent(0).type, int(MEvent::Press));
    }
};

QTEST_MAIN(TestMSharedData)
#include "tst_mshareddata.moc"
