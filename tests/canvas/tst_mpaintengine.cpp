#include "mcanvas.h"
#include "mframebuffer.h"
#include "mlogger.h"
#include "mopengl.h"
#include "mpaintengine.h"
#include "mpaintparams.h"
#include "msettings.h"
#include "mshaderlist.h"
#include "mshareddata.h"
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
// Canvas areas of the texture of the tile at cell (0, 0) and of its left half.
const QRect tileArea(-6, -6, 512, 512);
const QRect leftHalf(-6, -6, 256, 512);
const QRect band(-6, 100, 512, 50);
const QRgb source = qRgba(10, 180, 30, 200);
const QRgb destination = qRgba(100, 0, 50, 255);

QImage image(const std::function<QRgb(const QPoint &)> &pixel)
{
    QImage result(512, 512, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < 512; ++y)
        for (int x = 0; x < 512; ++x)
            result.setPixel(x, y, pixel(QPoint(x, y) + tileArea.topLeft()));
    return result;
}

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

    QImage readTexture(unsigned int id)
    {
        canvas->makeCurrent();
        MFrameBuffer frameBuffer;
        frameBuffer.attachTexture(id);
        QImage rows(512, 512, QImage::Format_RGBA8888_Premultiplied);
        canvas->context()->functions()->glReadPixels(0, 0, 512, 512, GL_RGBA, GL_UNSIGNED_BYTE, rows.bits());
        frameBuffer.detachTexture();
        frameBuffer.release();
        frameBuffer.deleteFramebuffer();
        return rows.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }

    void blit(MTextureTile *to, MTextureTile *from, int src, int dst, double opacity = 1.0)
    {
        engine->blitTile(to, from, src, dst, canvas->shaderProgramList(), QStringLiteral("blit"), opacity,
                         canvas->sharedData()->vertexArrayObject());
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

    // Source: a band of colour over transparent; destination: its left half
    // painted. Selection (when on): the left 100 columns fully, the next 100
    // half, the rest not at all.
    void blits_data()
    {
        QTest::addColumn<int>("srcFactor");
        QTest::addColumn<int>("dstFactor");
        QTest::addColumn<bool>("nullSource");
        QTest::addColumn<double>("opacity");
        QTest::addColumn<int>("selection"); // 0 none, 1 clip without a selection tile, 2 clip with one
        QTest::newRow("copy") << GL_ONE << GL_ZERO << false << 1.0 << 0;
        QTest::newRow("over") << GL_ONE << GL_ONE_MINUS_SRC_ALPHA << false << 1.0 << 0;
        QTest::newRow("copy at half opacity") << GL_ONE << GL_ZERO << false << 0.5 << 0;
        QTest::newRow("null source clears") << GL_ONE << GL_ZERO << true << 1.0 << 0;
        QTest::newRow("clip without a selection tile") << GL_ONE << GL_ZERO << false << 1.0 << 1;
        QTest::newRow("clip to the selection") << GL_ONE << GL_ZERO << false << 1.0 << 2;
    }

    void blits()
    {
        QFETCH(int, srcFactor);
        QFETCH(int, dstFactor);
        QFETCH(bool, nullSource);
        QFETCH(double, opacity);
        QFETCH(int, selection);
        MTextureTile *to = tile(canvas->at(0));
        paintRect(canvas->at(0), leftHalf, destination);
        MTextureTile *from = nullptr;
        if (!nullSource) {
            from = tile(canvas->at(1));
            paintRect(canvas->at(1), band, source);
        }
        const QRect full(-6, -6, 100, 512);
        const QRect half(94, -6, 100, 512);
        if (selection > 0)
            canvas->set_hasSelection(true);
        if (selection == 2) {
            paintRect(canvas->selectionLayer(), full, qRgba(0, 0, 0, 255));
            paintRect(canvas->selectionLayer(), half, qRgba(0, 0, 0, 128));
        }
        blit(to, from, srcFactor, dstFactor, opacity);
        canvas->set_hasSelection(false);
        const QImage expected = image([&](const QPoint &p) {
            const QRgb before = leftHalf.contains(p) ? destination : 0;
            QRgb drawn = from && band.contains(p) ? scaled(source, opacity) : 0;
            if (selection == 1)
                return before;
            if (selection == 2) {
                if (full.contains(p))
                    return drawn;
                if (half.contains(p))
                    return scaled(drawn, 128 / 255.0);
                return before;
            }
            return dstFactor == GL_ZERO ? drawn : over(before, drawn);
        });
        QCOMPARE_IMAGES(tileImage(to), expected, 1);
        QVERIFY_GL_CLEAN();
    }

    // The mipmaps follow the new pixels once a pass that samples them asks,
    // and only then.
    void blitRebuildsMipmaps()
    {
        MTextureTile *to = tile(canvas->at(0));
        MTextureTile *from = tile(canvas->at(1));
        paintRect(canvas->at(1), tileArea, qRgba(0, 0, 200, 200));
        to->updateMipmaps();
        QVERIFY(!to->mipmapsDirty());
        blit(to, from, GL_ONE, GL_ZERO);
        QVERIFY(to->mipmapsDirty());
        to->updateMipmaps();
        QVERIFY(!to->mipmapsDirty());
        auto *f = canvas->context()->versionFunctions<QOpenGLFunctions_3_3_Core>();
        QVERIFY(f && f->initializeOpenGLFunctions());
        QImage level(256, 256, QImage::Format_RGBA8888_Premultiplied);
        f->glBindTexture(GL_TEXTURE_2D, to->textureId());
        f->glGetTexImage(GL_TEXTURE_2D, 1, GL_RGBA, GL_UNSIGNED_BYTE, level.bits());
        f->glBindTexture(GL_TEXTURE_2D, 0);
        const QImage argb = level.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QCOMPARE(argb.pixel(0, 0), qRgba(0, 0, 200, 200));
        QCOMPARE(argb.pixel(255, 255), qRgba(0, 0, 200, 200));
    }

    void fills_data()
    {
        QTest::addColumn<bool>("clip");
        QTest::addColumn<bool>("selectionTile");
        QTest::newRow("everywhere") << false << false;
        QTest::newRow("inside the selection") << true << true;
        QTest::newRow("no selection tile") << true << false;
    }

    void fills()
    {
        QFETCH(bool, clip);
        QFETCH(bool, selectionTile);
        MTextureTile *target = tile(canvas->at(0));
        paintRect(canvas->at(0), leftHalf, destination);
        MTextureTile *selection = nullptr;
        const QRect selected(100, 100, 200, 50);
        if (selectionTile) {
            selection = tile(canvas->selectionLayer());
            paintRect(canvas->selectionLayer(), selected, qRgba(0, 0, 0, 40));
        }
        const QColor colour(0, 0, 255, 128);
        engine->fillTile(target, selection, colour, canvas->shaderProgramList(), QStringLiteral("fill"), clip,
                         canvas->sharedData()->vertexArrayObject());
        const QImage expected = image([&](const QPoint &p) {
            if (!clip || (selectionTile && selected.contains(p)))
                return premultiplied(colour);
            return leftHalf.contains(p) ? destination : QRgb(0);
        });
        QCOMPARE_IMAGES(tileImage(target), expected, 1);
        QVERIFY_GL_CLEAN();
    }

    // An effect pass reads the tile and the layer under it.
    void effectIntoATexture_data()
    {
        QTest::addColumn<int>("row");
        QTest::newRow("bottom row: no layer under") << 0;
        QTest::newRow("second row") << 1;
    }

    void effectIntoATexture()
    {
        QFETCH(int, row);
        auto *effect = new MTestEffect(QStringLiteral("{7E000000-0000-4000-8000-000000000001}"),
                                       QStringLiteral("f_color = vec4(texture(f_underLayerTexture, v_texCoords0).a,"
                                                      " texture(f_currentLayerTexture, v_texCoords0).a, 0.0, 1.0);"));
        MShaderList::instance()->append(effect);
        paintRect(canvas->at(0), leftHalf, qRgba(0, 0, 0, 255));
        paintRect(canvas->at(1), band, qRgba(0, 0, 0, 255));
        MTextureTile *own = tile(canvas->at(row));
        std::unique_ptr<QOpenGLTexture> output(createEmptyTexture(512, 512));
        engine->renderEffectToTexture(own, row, output.get(), GL_ONE, GL_ZERO, canvas->shaderProgramList(),
                                      effect->id(), 1.0, 1.0, canvas->sharedData()->vertexArrayObject());
        const QImage expected = image([&](const QPoint &p) {
            const bool under = row == 1 && leftHalf.contains(p);
            const bool current = row == 0 ? leftHalf.contains(p) : band.contains(p);
            return qRgba(under ? 255 : 0, current ? 255 : 0, 0, 255);
        });
        // The output's rows are the tile's rows.
        QCOMPARE_IMAGES(readTexture(output->textureId()), expected, 0);
        canvas->makeCurrent();
        output->destroy();
        QVERIFY_GL_CLEAN();
    }

    // The "stroke" program merges the stroke layer into the layer tile.
    void strokeBackIntoTheTile()
    {
        MTextureTile *target = tile(canvas->at(0));
        paintRect(canvas->at(0), leftHalf, destination);
        paintRect(canvas->strokeLayer(), band, source);
        engine->renderEffectToTile(target, 0, GL_ONE, GL_ZERO, canvas->shaderProgramList(), QStringLiteral("stroke"),
                                   1.0, 0.5, canvas->sharedData()->vertexArrayObject());
        const QImage expected = image([&](const QPoint &p) {
            const QRgb layer = leftHalf.contains(p) ? destination : 0;
            return band.contains(p) ? over(layer, scaled(source, 0.5)) : layer;
        });
        QCOMPARE_IMAGES(tileImage(target), expected, 2);
    }

    // Where an effect discards, the tile is left transparent, never with what
    // an earlier operation left in the engine's scratch texture.
    void discardedFragmentsLeaveNoStalePixels()
    {
        auto *effect = new MTestEffect(QStringLiteral("{7E000000-0000-4000-8000-000000000002}"),
                                       QStringLiteral("if (v_texCoords0.x > 0.5) discard;\n"
                                                      "f_color = vec4(1.0, 0.0, 0.0, 1.0);"));
        MShaderList::instance()->append(effect);
        MTextureTile *other = tile(canvas->at(0), QPointF(900, 10));
        engine->fillTile(other, nullptr, Qt::green, canvas->shaderProgramList(), QStringLiteral("fill"), false,
                         canvas->sharedData()->vertexArrayObject());
        MTextureTile *target = tile(canvas->at(0));
        engine->renderEffectToTile(target, 0, GL_ONE, GL_ZERO, canvas->shaderProgramList(), effect->id(), 1.0, 1.0,
                                   canvas->sharedData()->vertexArrayObject());
        const QImage expected = image([&](const QPoint &p) {
            return p.x() - tileArea.left() < 256 ? qRgba(255, 0, 0, 255) : QRgb(0);
        });
        QCOMPARE_IMAGES(tileImage(target), expected, 0);
    }

    void nullTargetsAreRefused()
    {
        const MTestLogWatch log;
        blit(nullptr, nullptr, GL_ONE, GL_ZERO);
        engine->fillTile(nullptr, nullptr, Qt::red, canvas->shaderProgramList(), QStringLiteral("fill"), false,
                         canvas->sharedData()->vertexArrayObject());
        engine->renderEffectToTexture(tile(canvas->at(0)), 0, nullptr, GL_ONE, GL_ZERO, canvas->shaderProgramList(),
                                      QStringLiteral("basic"), 1, 1, canvas->sharedData()->vertexArrayObject());
        QCOMPARE(log.count(QStringLiteral("System error: try to blit on a null destination tile")), 3);
        engine->renderEffectToTexture(tile(canvas->at(0)), 7, engine->workTexture(), GL_ONE, GL_ZERO,
                                      canvas->shaderProgramList(), QStringLiteral("basic"), 1, 1,
                                      canvas->sharedData()->vertexArrayObject());
        QCOMPARE(log.count(QStringLiteral("System error: no current layer")), 1);
    }

    // Two layers whose effects use textures of their own: reloading one
    // effect's textures must leave the other's alone; an engine that goes
    // away has the effects load again wherever they are drawn next.
    void effectTexturesBelongToTheirEffect()
    {
        const MTestFolder folder;
        QImage red(8, 8, QImage::Format_ARGB32);
        red.fill(qRgba(255, 0, 0, 255));
        QImage green(8, 8, QImage::Format_ARGB32);
        green.fill(qRgba(0, 255, 0, 255));
        QVERIFY(red.save(folder.filePath(QStringLiteral("red.png"))));
        QVERIFY(green.save(folder.filePath(QStringLiteral("green.png"))));
        const QString body = QStringLiteral("f_color = texture(u_paint, vec2(0.5)) * texture(f_currentLayerTexture, v_texCoords0).a;");
        auto *first = new MTestEffect(QStringLiteral("{7E000000-0000-4000-8000-000000000003}"), body);
        first->addTexture("u_paint", folder.filePath(QStringLiteral("red.png")));
        auto *second = new MTestEffect(QStringLiteral("{7E000000-0000-4000-8000-000000000004}"), body);
        second->addTexture("u_paint", folder.filePath(QStringLiteral("green.png")));
        MShaderList::instance()->append(first);
        MShaderList::instance()->append(second);
        canvas->setPaperType(MEnum::Transparent);
        MSettings::instance()->set_showEmptyPaper(false);
        canvas->setPaintedRect(QRectF(0, 0, 40, 10));
        paintRect(canvas->at(0), QRect(0, 0, 20, 10), qRgba(0, 0, 0, 255));
        paintRect(canvas->at(1), QRect(20, 0, 20, 10), qRgba(0, 0, 0, 255));
        canvas->at(0)->set_shaderId(first->id());
        canvas->at(1)->set_shaderId(second->id());
        auto check = [&]() {
            const QImage image = canvas->flattenedImage(QStringLiteral("basic"));
            QCOMPARE(image.pixel(5, 5), qRgba(255, 0, 0, 255));
            QCOMPARE(image.pixel(25, 5), qRgba(0, 255, 0, 255));
        };
        check();
        QVERIFY(!first->texturesModified());
        QCOMPARE(engine->effectTextures(first).size(), 1);
        second->setTexturesModified(true);
        check();
        first->setTexturesModified(true);
        check();

        // Another document that drew the same effects goes away.
        {
            MCanvas other(nullptr, MCanvas::ScratchDocument);
            other.setPaintedRect(QRectF(0, 0, 40, 10));
            other.makeCurrent();
            paintRect(other.at(0), QRect(0, 0, 40, 10), qRgba(0, 0, 0, 255));
            other.at(0)->set_shaderId(first->id());
            first->setTexturesModified(true);
            QCOMPARE(other.flattenedImage(QStringLiteral("basic")).pixel(5, 5), qRgba(255, 0, 0, 255));
            other.shutDown();
        }
        QVERIFY(first->texturesModified());
        canvas->makeCurrent();
        check();

        // The library going frees what its effects had loaded.
        const MShader *gone = first;
        MShaderList::destroyInstance();
        QVERIFY(engine->effectTextures(const_cast<MShader *>(gone)).isEmpty());
        QVERIFY_GL_CLEAN();
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

        MShaderProgramList *programs = canvas->shaderProgramList();
        QOpenGLVertexArrayObject *vertexArray = canvas->sharedData()->vertexArrayObject();
        if (pass == QLatin1String("blit")) {
            blit(own, own, GL_ONE, GL_ZERO);
        } else if (pass == QLatin1String("fill")) {
            engine->fillTile(own, nullptr, Qt::red, programs, QStringLiteral("fill"), false, vertexArray);
        } else if (pass == QLatin1String("effect")) {
            engine->renderEffectToTexture(own, 0, output.get(), GL_ONE, GL_ZERO, programs, QStringLiteral("basic"), 1.0,
                                          1.0, vertexArray);
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
