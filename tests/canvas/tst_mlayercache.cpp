// The images of the layers under and over a stroke's layer: a frame drawn
// through them shows what drawing every layer shows, after any change of
// what they were made of, and they are made again only then.

#include "mcanvas.h"
#include "menum.h"
#include "mlayercache.h"
#include "mpaintengine.h"
#include "mpaintparams.h"
#include "msettings.h"
#include "mtestcanvas.h"
#include "mtestglcontext.h"
#include "mtexturelayer.h"
#include "mtransform.h"

#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QOpenGLVertexArrayObject>
#include <QTest>

#include <functional>
#include <memory>

using namespace MTestCanvas;

namespace {
const QSize viewSize(600, 420);
const QColor background(40, 44, 52);
using Change = std::function<void(MCanvas *, MTransform *)>;
} // namespace

Q_DECLARE_METATYPE(Change)

class TestMLayerCache : public QObject
{
    Q_OBJECT

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private:
    std::unique_ptr<MCanvas> canvas;
    std::unique_ptr<MTestGLContext> view;
    std::unique_ptr<QOpenGLVertexArrayObject> vertexArray;
    std::unique_ptr<MLayerCache> cache;
    MTransform transform;

    // One frame of the view, through the images or layer by layer.
    QImage frame(bool cached, bool build = true, const QRect &scissor = QRect())
    {
        view->makeCurrent();
        view->bindTarget(viewSize.width(), viewSize.height());
        QOpenGLFunctions *f = view->context()->functions();
        f->glClearColor(GLfloat(background.redF()), GLfloat(background.greenF()), GLfloat(background.blueF()), 1.0f);
        f->glClear(GL_COLOR_BUFFER_BIT);
        // A partial frame draws within its area only.
        if (!scissor.isEmpty()) {
            f->glEnable(GL_SCISSOR_TEST);
            f->glScissor(scissor.x(), viewSize.height() - scissor.bottom() - 1, scissor.width(), scissor.height());
        }
        MPaintParams params;
        params.context = view->context();
        params.parts = canvas->parts();
        params.rect = canvas->paintedRect();
        params.programList = canvas->shaderProgramList();
        params.vertexArray = vertexArray.get();
        params.viewport = QRectF(QPointF(0, 0), viewSize);
        params.transform = &transform;
        params.useDevicePixelRatio = false;
        params.matchLevel = true;
        if (!cached || !cache->draw(&params, background, build))
            canvas->draw(&params);
        view->makeCurrent();
        f->glDisable(GL_SCISSOR_TEST);
        return view->readTarget();
    }

private slots:
    void init()
    {
        canvas = MTestCanvas::createDocument(QSize(1200, 900));
        QVERIFY(canvas);
        view.reset(new MTestGLContext());
        QVERIFY(view->isValid());
        vertexArray.reset(new QOpenGLVertexArrayObject());
        QVERIFY(vertexArray->create());
        cache.reset(new MLayerCache());
        canvas->makeCurrent();
        canvas->setPaperType(MEnum::Colored);
        canvas->setPaperColor(QColor(250, 245, 235));
        while (canvas->count() < 6)
            canvas->appendLayer();
        // Overlapping half-transparent bands, a different colour on each.
        const QRect painted = canvas->paintedRect().toRect();
        for (int row = 0; row < canvas->count(); ++row) {
            const QRect band(painted.left() + 60 + row * 150, painted.top() + 40, 420, painted.height() - 80);
            paintRect(canvas->at(row), band, qRgba(20 * row, 90, 200 - 30 * row, 128 + 20 * row) & 0xffffffff);
        }
        for (int row = 0; row < canvas->count(); ++row) {
            const QRect band(painted.left() + 30, painted.top() + 80 + row * 120, painted.width() - 60, 90);
            paintPixels(canvas->at(row), band, [row](const QPoint &p) {
                const int a = 60 + (p.x() * 7 + row * 31) % 160;
                return qRgba(a * 200 / 255, a * (40 + row * 30) / 255, a * 90 / 255, a);
            });
        }
        canvas->setCurrentRow(2);
        paintRect(canvas->strokeLayer(), QRect(painted.left() + 200, painted.top() + 300, 600, 60),
                  qRgba(10, 10, 120, 255));
        canvas->setStrokeInProgress(true);
        transform.reset();
        transform.setTranslation(QPointF(viewSize.width() / 2.0, viewSize.height() / 2.0)
                                 - canvas->paintedRect().center());
        transform.setScale(0.45, QPointF(viewSize.width() / 2.0, viewSize.height() / 2.0));
    }

    void cleanup()
    {
        if (canvas)
            canvas->setStrokeInProgress(false);
        if (view) {
            view->makeCurrent();
            cache->release();
            vertexArray->destroy();
        }
        cache.reset();
        vertexArray.reset();
        view.reset();
        canvas.reset();
    }

    // Each change between two frames of a stroke: the frame through the
    // images equals the frame drawn layer by layer, and only the images
    // that show what changed are made again.
    void followsEveryChange_data()
    {
        QTest::addColumn<Change>("change");
        QTest::addColumn<int>("belowBuilds");
        QTest::addColumn<int>("aboveBuilds");
        QTest::newRow("nothing") << Change([](MCanvas *, MTransform *) {}) << 0 << 0;
        QTest::newRow("the stroke goes on") << Change([](MCanvas *c, MTransform *) {
            paintRect(c->strokeLayer(), QRect(-100, 200, 300, 40), qRgba(120, 0, 0, 255));
        }) << 0 << 0;
        QTest::newRow("a lower layer's opacity")
            << Change([](MCanvas *c, MTransform *) { c->at(0)->setOpacity(0.3); }) << 1 << 0;
        QTest::newRow("a lower layer hidden")
            << Change([](MCanvas *c, MTransform *) { c->at(1)->setVisible(false); }) << 1 << 0;
        QTest::newRow("a lower layer's pixels") << Change([](MCanvas *c, MTransform *) {
            paintRect(c->at(1), QRect(-300, -200, 200, 200), qRgba(0, 200, 0, 255));
        }) << 1 << 0;
        QTest::newRow("a lower layer emptied")
            << Change([](MCanvas *c, MTransform *) { c->clearLayer(c->at(0)); }) << 1 << 0;
        QTest::newRow("an upper layer's opacity")
            << Change([](MCanvas *c, MTransform *) { c->at(4)->setOpacity(0.5); }) << 0 << 1;
        QTest::newRow("an upper layer hidden")
            << Change([](MCanvas *c, MTransform *) { c->at(5)->setVisible(false); }) << 0 << 1;
        QTest::newRow("an upper layer's pixels") << Change([](MCanvas *c, MTransform *) {
            paintRect(c->at(3), QRect(100, 0, 250, 150), qRgba(200, 0, 200, 200));
        }) << 0 << 1;
        QTest::newRow("two upper layers swapped") << Change([](MCanvas *c, MTransform *) {
            c->moveUpLayer(4);
            c->setCurrentRow(2);
        }) << 0 << 1;
        QTest::newRow("a layer added on top") << Change([](MCanvas *c, MTransform *) {
            const int current = c->currentRow();
            c->appendLayer();
            paintRect(c->at(c->count() - 1), QRect(-500, -400, 400, 300), qRgba(0, 0, 0, 160));
            c->setCurrentRow(current);
        }) << 0 << 1;
        // The same layers over the stroke's, one row lower.
        QTest::newRow("a lower layer removed") << Change([](MCanvas *c, MTransform *) {
            c->removeLayer(0);
            c->setCurrentRow(1);
        }) << 1 << 0;
        QTest::newRow("another current layer")
            << Change([](MCanvas *c, MTransform *) { c->setCurrentRow(4); }) << 1 << 1;
        QTest::newRow("the paper's colour")
            << Change([](MCanvas *c, MTransform *) { c->setPaperColor(QColor(200, 220, 255)); }) << 1 << 0;
        QTest::newRow("no paper")
            << Change([](MCanvas *c, MTransform *) { c->setPaperType(MEnum::Transparent); }) << 1 << 0;
        QTest::newRow("the view zoomed") << Change([](MCanvas *, MTransform *t) {
            t->setScale(0.6, QPointF(100, 100));
        }) << 1 << 1;
    }

    void followsEveryChange()
    {
        QFETCH(Change, change);
        QFETCH(int, belowBuilds);
        QFETCH(int, aboveBuilds);
        const QImage first = frame(true);
        QVERIFY_GL_CLEAN();
        QCOMPARE_IMAGES(first, frame(false), 2);
        QCOMPARE(cache->belowBuilds(), 1);
        QCOMPARE(cache->aboveBuilds(), 1);
        canvas->makeCurrent();
        change(canvas.get(), &transform);
        const QImage cached = frame(true);
        const QImage drawn = frame(false);
        // The group over the stroke is blended apart from what is under it:
        // rounded differently, by a level or two where layers overlap.
        QCOMPARE_IMAGES(cached, drawn, 2);
        QCOMPARE(cache->belowBuilds(), 1 + belowBuilds);
        QCOMPARE(cache->aboveBuilds(), 1 + aboveBuilds);
    }

    // A partial frame, at zoom 1 and zoomed out: within its area it shows
    // what drawing every layer shows, and nothing outside it.
    void partialFrameKeepsToItsArea_data()
    {
        QTest::addColumn<double>("scale");
        QTest::newRow("zoom 1") << 1.0;
        QTest::newRow("zoomed out") << 0.45;
    }

    void partialFrameKeepsToItsArea()
    {
        QFETCH(double, scale);
        transform.setScale(scale, QPointF(viewSize.width() / 2.0, viewSize.height() / 2.0));
        frame(true);
        const QRect area(101, 57, 203, 151);
        const QImage cached = frame(true, true, area);
        const QImage drawn = frame(false, true, area);
        QCOMPARE_IMAGES(cached, drawn, 2);
        QCOMPARE(cached.pixelColor(area.left() - 1, area.top() + 10), background);
        QCOMPARE(cached.pixelColor(area.right() + 1, area.top() + 10), background);
        QVERIFY(cached.pixelColor(area.left(), area.top() + 10) != background);
    }

    // The frame of the press makes no image: it draws layer by layer until
    // a later frame has made them.
    void pressFrameMakesNoImage()
    {
        const QImage press = frame(true, false);
        QCOMPARE(cache->belowBuilds(), 0);
        QCOMPARE(cache->aboveBuilds(), 0);
        QCOMPARE_IMAGES(press, frame(false), 0);
        frame(true);
        QCOMPARE(cache->belowBuilds(), 1);
    }

    // Without a stroke every layer is drawn, and no image is made.
    void onlyWhileAStrokeIsUnderWay()
    {
        canvas->setStrokeInProgress(false);
        frame(true);
        QCOMPARE(cache->belowBuilds() + cache->aboveBuilds(), 0);
    }
};

QTEST_MAIN(TestMLayerCache)
#include "tst_mlayercache.moc"
