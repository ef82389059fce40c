#include "mcanvas.h"
#include "mgpudevice.h"
#include "mlogger.h"
#include "mopengl.h"
#include "mpaintengine.h"
#include "mpaintparams.h"
#include "msettings.h"
#include "mshaderlist.h"
#include "mtestcanvas.h"
#include "mtesteffect.h"
#include "mtestfolder.h"
#include "mtestglcontext.h"
#include "mtestlogwatch.h"
#include "mtexture.h"
#include "mtexturetile.h"
#include "mtextureutility.h"
#include "mtransform.h"

#include <QOpenGLContext>
#include <QOpenGLFunctions_3_3_Core>
#include <QOpenGLTexture>
#include <QOpenGLVertexArrayObject>
#include <QTest>

#include <cmath>
#include <memory>

using namespace MTestCanvas;

namespace {
// Canvas area of a band across the tile at cell (0, 0).
const QRect band(-6, 100, 512, 50);
} // namespace

class TestMPaintEngine : public QObject
{
    Q_OBJECT

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private:
    std::unique_ptr<MCanvas> canvas;
    MPaintEngine *engine = nullptr;

    MTextureTile *tile(MTextureLayer *layer, const QPointF &at = QPointF(10, 10))
    {
        auto *t = static_cast<MTextureTile *>(layer->addTile(at));
        t->ensureTexture();
        return t;
    }

private slots:
    void initTestCase()
    {
        canvas = MTestCanvas::createDocument(QSize(2000, 2000));
        QVERIFY(canvas);
        engine = canvas->paintEngine();
        QVERIFY(engine->isReady());
    }

    void init()
    {
        canvas->reset();
        canvas->appendLayer();
        canvas->makeCurrent();
    }

    void cleanup()
    {
        MShaderList::instance()->destroyInstance();
    }

    void cleanupTestCase()
    {
        canvas.reset();
    }

    void passesLeaveTheStateTheyFound_data()
    {
        QTest::addColumn<QString>("pass");
        QTest::newRow("blit") << QStringLiteral("blit");
        QTest::newRow("fill") << QStringLiteral("fill");
        QTest::newRow("effect into a texture") << QStringLiteral("effect");
        QTest::newRow("layer onto a target") << QStringLiteral("layer");
    }

    // Blend, framebuffer, viewport, scissor and sampler state that no pass
    // sets up for itself is still there after the pass.
    void passesLeaveTheStateTheyFound()
    {
        QFETCH(QString, pass);
        auto *f = canvas->context()->versionFunctions<QOpenGLFunctions_3_3_Core>();
        QVERIFY(f && f->initializeOpenGLFunctions());
        paintRect(canvas->at(0), band, qRgba(0, 0, 0, 255));
        MTextureTile *own = tile(canvas->at(0));
        std::unique_ptr<QOpenGLTexture> drawTarget(createEmptyTexture(512, 512));
        std::unique_ptr<QOpenGLTexture> readTarget(createEmptyTexture(512, 512));
        std::unique_ptr<QOpenGLTexture> output(createEmptyTexture(512, 512));
        GLuint framebuffers[2] = {};
        f->glGenFramebuffers(2, framebuffers);
        const QOpenGLTexture *targets[2] = {drawTarget.get(), readTarget.get()};
        for (int i = 0; i < 2; ++i) {
            f->glBindFramebuffer(GL_FRAMEBUFFER, framebuffers[i]);
            f->glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, targets[i]->textureId(), 0);
            QCOMPARE(f->glCheckFramebufferStatus(GL_FRAMEBUFFER), GLenum(GL_FRAMEBUFFER_COMPLETE));
        }
        GLuint sampler = 0;
        f->glGenSamplers(1, &sampler);

        f->glDisable(GL_BLEND);
        f->glBlendFuncSeparate(GL_DST_COLOR, GL_ZERO, GL_ONE, GL_ONE_MINUS_DST_ALPHA);
        f->glBlendEquationSeparate(GL_FUNC_REVERSE_SUBTRACT, GL_MAX);
        f->glBindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffers[0]);
        f->glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffers[1]);
        f->glViewport(5, 6, 70, 80);
        f->glEnable(GL_SCISSOR_TEST);
        f->glScissor(1, 2, 300, 400);
        for (GLuint unit = 0; unit < 4; ++unit)
            f->glBindSampler(unit, sampler);
        f->glActiveTexture(GL_TEXTURE5);

        const QVector<int> before = MTestGLContext::glState();

        MGpuDevice *device = canvas->gpuDevice();
        MShaderProgramList *programs = canvas->shaderProgramList();
        QOpenGLVertexArrayObject *vertexArray = canvas->gpuDevice()->vertexArrayObject();
        if (pass == QLatin1String("blit")) {
            device->blitTile(own, own, GL_ONE, GL_ZERO, QStringLiteral("blit"), 1.0);
        } else if (pass == QLatin1String("fill")) {
            device->fillTile(own, nullptr, Qt::red, QStringLiteral("fill"), false);
        } else if (pass == QLatin1String("effect")) {
            device->renderEffectToTexture(own, canvas->at(0), canvas->at(-1), output.get(), GL_ONE, GL_ZERO,
                                          QStringLiteral("basic"), 1.0, 1.0);
        } else {
            MPaintParams params;
            params.context = canvas->context();
            params.parts = canvas->parts();
            params.programList = programs;
            params.vertexArray = vertexArray;
            params.setProgramName(QStringLiteral("basic"));
            params.viewport = QRectF(0, 0, 512, 512);
            params.useDevicePixelRatio = false;
            params.layer = canvas->at(0);
            engine->applyProgram(&params);
        }
        canvas->makeCurrent();
        QCOMPARE(MTestGLContext::glState(), before);

        f->glDisable(GL_SCISSOR_TEST);
        f->glBlendFuncSeparate(GL_ONE, GL_ZERO, GL_ONE, GL_ZERO);
        f->glBlendEquation(GL_FUNC_ADD);
        f->glBindFramebuffer(GL_FRAMEBUFFER, canvas->context()->defaultFramebufferObject());
        for (GLuint unit = 0; unit < 4; ++unit)
            f->glBindSampler(unit, 0);
        f->glActiveTexture(GL_TEXTURE0);
        f->glDeleteSamplers(1, &sampler);
        f->glDeleteFramebuffers(2, framebuffers);
        drawTarget->destroy();
        readTarget->destroy();
        output->destroy();
        QVERIFY_GL_CLEAN();
    }

    void viewportWithoutPixelRatio()
    {
        MPaintParams params;
        params.viewport = QRectF(3, 4, 50, 60);
        params.useDevicePixelRatio = false;
        QMatrix4x4 mvp;
        engine->computeMvp(&params, mvp);
        GLint viewport[4] = {};
        canvas->context()->functions()->glGetIntegerv(GL_VIEWPORT, viewport);
        QCOMPARE(QRect(viewport[0], viewport[1], viewport[2], viewport[3]), QRect(3, 4, 50, 60));
        // y grows downwards: the viewport's top-left corner is (-1, 1).
        QVERIFY(QLineF(mvp.map(QPointF(3, 4)), QPointF(-1, 1)).length() < 1e-5);
        QVERIFY(QLineF(mvp.map(QPointF(53, 64)), QPointF(1, -1)).length() < 1e-5);
    }

    // A view below zoom 1 reads each tile from the one level nearest its
    // scale instead of blending the two around it. From zoom 1 up it shows
    // exactly what blending showed. Below, painted layers differ by a few
    // levels per channel at most; only along the document's edge, where a
    // reduced level mixes in what lies beyond it, by more.
    void matchedLevelStaysCloseToBlendedLevels_data()
    {
        QTest::addColumn<double>("scale");
        QTest::addColumn<double>("rotation");
        QTest::addColumn<int>("inside");
        QTest::addColumn<int>("edge");
        QTest::newRow("zoom 1") << 1.0 << 0.0 << 0 << 0;
        QTest::newRow("zoom 1, turned") << 1.0 << 30.0 << 0 << 0;
        QTest::newRow("zoom 2, turned") << 2.0 << 15.0 << 0 << 0;
        QTest::newRow("0.9") << 0.9 << 0.0 << 4 << 16;
        QTest::newRow("0.6") << 0.6 << 0.0 << 4 << 16;
        QTest::newRow("fitted, 0.37") << 0.37 << 0.0 << 4 << 16;
        QTest::newRow("0.2, turned") << 0.2 << 20.0 << 4 << 16;
    }

    void matchedLevelStaysCloseToBlendedLevels()
    {
        QFETCH(double, scale);
        QFETCH(double, rotation);
        QFETCH(int, inside);
        QFETCH(int, edge);
        const QRect painted(-1000, -1000, 2000, 2000);
        canvas->setPaintedRect(painted);
        canvas->appendLayer();
        // An opaque ground of soft gradients, and a half-transparent layer
        // of soft-edged strokes over it, as a brush leaves them.
        paintPixels(canvas->at(0), painted, [](const QPoint &p) {
            const int r = 120 + int(80 * std::sin(p.x() / 90.0) * std::cos(p.y() / 130.0));
            const int g = 100 + int(60 * std::cos((p.x() + p.y()) / 170.0));
            return qRgba(r, g, 140, 255);
        });
        paintPixels(canvas->at(1), painted, [](const QPoint &p) {
            const double wave = 300.0 * std::sin(p.x() / 260.0);
            const double distance = std::abs(std::fmod(p.y() - wave + 4000.0, 400.0) - 200.0);
            const double alpha = 0.8 * std::exp(-distance * distance / (2.0 * 14.0 * 14.0));
            const int a = int(alpha * 255.0 + 0.5);
            return qRgba(a * 30 / 255, a * 60 / 255, a * 200 / 255, a);
        });
        MTestGLContext view;
        QVERIFY(view.isValid());
        QOpenGLVertexArrayObject vertexArray;
        QVERIFY(vertexArray.create());
        const QSize size(640, 480);
        const QRectF viewport(QPointF(0, 0), size);
        MTransform transform;
        transform.setTranslation(viewport.center() - QPointF(150, 90));
        transform.setRotation(rotation);
        transform.setScale(scale, viewport.center());
        auto render = [&](bool matchLevel) {
            view.makeCurrent();
            view.bindTarget(size.width(), size.height());
            QOpenGLFunctions *f = view.context()->functions();
            f->glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
            f->glClear(GL_COLOR_BUFFER_BIT);
            MPaintParams params;
            params.context = view.context();
            params.parts = canvas->parts();
            params.rect = canvas->paintedRect();
            params.programList = canvas->shaderProgramList();
            params.vertexArray = &vertexArray;
            params.viewport = viewport;
            params.transform = &transform;
            params.useDevicePixelRatio = false;
            params.matchLevel = matchLevel;
            canvas->draw(&params);
            view.makeCurrent();
            return view.readTarget();
        };
        const QImage blended = render(false);
        const QImage matched = render(true);
        // The view shows the layers, not only the clear colour.
        QVERIFY(matched.pixel(320, 240) != qRgb(128, 128, 128));
        // Inside: more than 3 view pixels within the document's edge.
        const QTransform toCanvas = transform.matrix().inverted();
        const double margin = 3.0 / scale;
        const QRectF within = QRectF(painted).adjusted(margin, margin, -margin, -margin);
        for (int y = 0; y < size.height(); ++y) {
            for (int x = 0; x < size.width(); ++x) {
                const QRgb a = matched.pixel(x, y);
                const QRgb b = blended.pixel(x, y);
                const int difference = qMax(qMax(qAbs(qRed(a) - qRed(b)), qAbs(qGreen(a) - qGreen(b))),
                                            qMax(qAbs(qBlue(a) - qBlue(b)), qAbs(qAlpha(a) - qAlpha(b))));
                const bool in = within.contains(toCanvas.map(QPointF(x + 0.5, y + 0.5)));
                QVERIFY2(difference <= (in ? inside : edge),
                         qPrintable(QStringLiteral("%1 pixel %2,%3 is %4, blending levels gave %5")
                                        .arg(in ? "inside" : "edge")
                                        .arg(x)
                                        .arg(y)
                                        .arg(a, 8, 16)
                                        .arg(b, 8, 16)));
            }
        }
        vertexArray.destroy();
    }

    void layerTextureAt()
    {
        const unsigned int empty = engine->emptyTexture()->textureId();
        QCOMPARE(engine->layerTextureAt(nullptr, QPointF()), empty);
        QCOMPARE(engine->layerTextureAt(canvas->at(0), QPointF(10, 10)), empty);
        QCOMPARE(canvas->at(0)->tileCount(), 0);
        MTextureTile *t = tile(canvas->at(0));
        QCOMPARE(engine->layerTextureAt(canvas->at(0), QPointF(499, 499)), t->textureId());
    }

    void paperTextureIsBuiltOnce()
    {
        QImage paper(8, 8, QImage::Format_ARGB32);
        paper.fill(Qt::gray);
        canvas->setPaperTile(paper);
        QVERIFY(!engine->isPaperUpToDate());
        engine->createPaperTexture();
        QVERIFY(engine->isPaperUpToDate());
        QOpenGLTexture *built = engine->paperTexture();
        engine->createPaperTexture();
        QCOMPARE(engine->paperTexture(), built);
        engine->resetPaper();
        engine->createPaperTexture();
        QVERIFY(engine->isPaperUpToDate());
        QCOMPARE(engine->paperTexture()->width(), 8);
    }
};

QTEST_MAIN(TestMPaintEngine)
#include "tst_mpaintengine.moc"
