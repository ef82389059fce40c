#include "mcanvas.h"
#include "mframebuffer.h"
#include "mgpudevice.h"
#include "mlogger.h"
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

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions_3_3_Core>
#include <QOpenGLTexture>
#include <QTest>

#include <functional>
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

class TestMGpuDevice : public QObject
{
    Q_OBJECT

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private:
    std::unique_ptr<MCanvas> canvas;
    MGpuDevice *device = nullptr;

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
        device->blitTile(to, from, src, dst, QStringLiteral("blit"), opacity);
    }

private slots:
    void initTestCase()
    {
        canvas = MTestCanvas::createDocument(QSize(2000, 2000));
        QVERIFY(canvas);
        device = canvas->gpuDevice();
        QVERIFY(device->isGlReady() && device->isReady());
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

    // What is current before a scope, inside it and after it, and how many
    // context changes it costs.
    void scopes_data()
    {
        QTest::addColumn<QString>("before"); // "nothing", "other" or "device"
        QTest::addColumn<bool>("nested");
        QTest::addColumn<int>("switches");
        QTest::newRow("nothing current: the device stays current") << "nothing" << false << 1;
        QTest::newRow("another context current: put back") << "other" << false << 2;
        QTest::newRow("already current: free") << "device" << false << 0;
        QTest::newRow("nested in a scope: free inside") << "other" << true << 2;
    }

    void scopes()
    {
        QFETCH(QString, before);
        QFETCH(bool, nested);
        QFETCH(int, switches);
        MTestGLContext other;
        QVERIFY(other.isValid());
        if (before == QLatin1String("nothing"))
            other.context()->doneCurrent();
        else if (before == QLatin1String("device"))
            QVERIFY(device->makeCurrent());
        QSurface *otherSurface = other.context()->surface();
        const int start = device->counts().switches;
        {
            const MGpuDevice::Scope outer(device);
            QVERIFY(outer.isCurrent());
            QCOMPARE(QOpenGLContext::currentContext(), device->context());
            if (nested) {
                const int inside = device->counts().switches;
                {
                    const MGpuDevice::Scope inner(device);
                    QVERIFY(inner.isCurrent());
                }
                QCOMPARE(device->counts().switches, inside);
                QCOMPARE(QOpenGLContext::currentContext(), device->context());
            }
        }
        QCOMPARE(device->counts().switches - start, switches);
        if (before == QLatin1String("other")) {
            QCOMPARE(QOpenGLContext::currentContext(), other.context());
            QCOMPARE(other.context()->surface(), otherSurface);
        } else {
            QCOMPARE(QOpenGLContext::currentContext(), device->context());
        }
        canvas->makeCurrent();
    }

    // A device without a context makes nothing current and counts nothing.
    void scopeWithoutAContext()
    {
        MGpuDevice idle({});
        QVERIFY(!idle.makeCurrent());
        const MGpuDevice::Scope scope(&idle);
        QVERIFY(!scope.isCurrent());
        QCOMPARE(QOpenGLContext::currentContext(), device->context());
        QCOMPARE(idle.counts().switches, 0);
    }

    // Readers wait only for what the device drew since they last waited;
    // making current what already is costs no change.
    void counts()
    {
        device->finishForReaders();
        const MGpuDevice::Counts start = device->counts();
        QVERIFY(device->makeCurrent());
        device->finishForReaders();
        QCOMPARE(device->counts().switches, start.switches);
        QCOMPARE(device->counts().finishes, start.finishes);
        MTextureTile *to = tile(canvas->at(0));
        blit(to, tile(canvas->at(1)), GL_ONE, GL_ZERO);
        device->finishForReaders();
        device->finishForReaders();
        QCOMPARE(device->counts().finishes, start.finishes + 1);
        device->clearTile(to);
        device->finishForReaders();
        QCOMPARE(device->counts().finishes, start.finishes + 2);
        QCOMPARE(device->counts().switches, start.switches);

        // A reader in another context waits in the device's and keeps its own.
        device->fillTile(to, Qt::red);
        MTestGLContext reader;
        QVERIFY(reader.isValid());
        device->finishForReaders();
        QCOMPARE(device->counts().finishes, start.finishes + 3);
        QCOMPARE(device->counts().switches, start.switches + 2);
        QCOMPARE(QOpenGLContext::currentContext(), reader.context());
        canvas->makeCurrent();
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
        device->fillTile(target, selection, colour, QStringLiteral("fill"), clip);
        const QImage expected = image([&](const QPoint &p) {
            if (!clip || (selectionTile && selected.contains(p)))
                return premultiplied(colour);
            return leftHalf.contains(p) ? destination : QRgb(0);
        });
        QCOMPARE_IMAGES(tileImage(target), expected, 1);
        QVERIFY_GL_CLEAN();
    }

    void effectIntoATexture_data()
    {
        QTest::addColumn<int>("row");
        QTest::newRow("bottom row: no layer under") << 0;
        QTest::newRow("second row") << 1;
    }

    // An effect pass reads the tile and the layer under it.

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
        device->renderEffectToTexture(own, canvas->at(row), canvas->at(row - 1), output.get(), GL_ONE, GL_ZERO,
                                      effect->id(), 1.0, 1.0);
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

    void strokeBackIntoTheTile()
    {
        MTextureTile *target = tile(canvas->at(0));
        paintRect(canvas->at(0), leftHalf, destination);
        paintRect(canvas->strokeLayer(), band, source);
        device->renderEffectToTile(target, canvas->at(0), canvas->at(-1), GL_ONE, GL_ZERO, QStringLiteral("stroke"),
                                   1.0, 0.5);
        const QImage expected = image([&](const QPoint &p) {
            const QRgb layer = leftHalf.contains(p) ? destination : 0;
            return band.contains(p) ? over(layer, scaled(source, 0.5)) : layer;
        });
        QCOMPARE_IMAGES(tileImage(target), expected, 2);
    }

    // Where an effect discards, the tile is left transparent, never with what
    // an earlier operation left in the device's scratch texture.
    void discardedFragmentsLeaveNoStalePixels()
    {
        auto *effect = new MTestEffect(QStringLiteral("{7E000000-0000-4000-8000-000000000002}"),
                                       QStringLiteral("if (v_texCoords0.x > 0.5) discard;\n"
                                                      "f_color = vec4(1.0, 0.0, 0.0, 1.0);"));
        MShaderList::instance()->append(effect);
        MTextureTile *other = tile(canvas->at(0), QPointF(900, 10));
        device->fillTile(other, nullptr, Qt::green, QStringLiteral("fill"), false);
        MTextureTile *target = tile(canvas->at(0));
        device->renderEffectToTile(target, canvas->at(0), canvas->at(-1), GL_ONE, GL_ZERO, effect->id(), 1.0, 1.0);
        const QImage expected = image([&](const QPoint &p) {
            return p.x() - tileArea.left() < 256 ? qRgba(255, 0, 0, 255) : QRgb(0);
        });
        QCOMPARE_IMAGES(tileImage(target), expected, 0);
    }

    // The "stroke" program merges the stroke layer into the layer tile.

    void nullTargetsAreRefused()
    {
        const MTestLogWatch log;
        blit(nullptr, nullptr, GL_ONE, GL_ZERO);
        device->fillTile(nullptr, nullptr, Qt::red, QStringLiteral("fill"), false);
        device->renderEffectToTexture(tile(canvas->at(0)), canvas->at(0), canvas->at(-1), nullptr, GL_ONE, GL_ZERO,
                                      QStringLiteral("basic"), 1, 1);
        QCOMPARE(log.count(QStringLiteral("System error: try to blit on a null destination tile")), 3);
        device->renderEffectToTexture(tile(canvas->at(0)), canvas->at(7), canvas->at(6), device->workTexture(), GL_ONE,
                                      GL_ZERO, QStringLiteral("basic"), 1, 1);
        QCOMPARE(log.count(QStringLiteral("System error: no current layer")), 1);
    }

    // Two layers whose effects use textures of their own: reloading one
    // effect's textures must leave the other's alone; a device that goes
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
        QCOMPARE(device->effectTextures(first).size(), 1);
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
        QVERIFY(device->effectTextures(const_cast<MShader *>(gone)).isEmpty());
        QVERIFY_GL_CLEAN();
    }
};

QTEST_MAIN(TestMGpuDevice)
#include "tst_mgpudevice.moc"
