#include "mcanvas.h"
#include "mlogger.h"
#include "mopengl.h"
#include "msettings.h"
#include "mtestcanvas.h"
#include "mtestfolder.h"
#include "mtestglcontext.h"
#include "mtestpixels.h"
#include "mtexturelayer.h"
#include "mtexturepool.h"
#include "mtexturetile.h"

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QOpenGLFunctions_3_3_Core>
#include <QOpenGLTexture>
#include <QSet>
#include <QSignalSpy>
#include <QTest>
#include <QUndoStack>

#include <memory>

using MTestPixels::randomBytes;

namespace {

// Every texel of one level, in the order the texture keeps them.
QByteArray levelBytes(MTextureTile *tile, int level)
{
    auto *f = QOpenGLContext::currentContext()->versionFunctions<QOpenGLFunctions_3_3_Core>();
    const int side = tile->tileSize() >> level;
    QByteArray texels(side * side * 4, '\x7f');
    f->glBindTexture(GL_TEXTURE_2D, tile->textureId());
    f->glPixelStorei(GL_PACK_ALIGNMENT, 1);
    f->glGetTexImage(GL_TEXTURE_2D, level, GL_BGRA, GL_UNSIGNED_BYTE, texels.data());
    f->glBindTexture(GL_TEXTURE_2D, 0);
    return texels;
}

QVector<QByteArray> allLevels(MTextureTile *tile)
{
    QVector<QByteArray> levels;
    for (int level = 0; level < tile->texture()->mipLevels(); ++level)
        levels << levelBytes(tile, level);
    return levels;
}

} // namespace

class TestMTexturePool : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MTestGLContext> gl;
    std::unique_ptr<MTextureLayer> layer;
    MTexturePool *pool = nullptr;

    // A tile at a cell of its own, painted with noise at every level.
    MTextureTile *noiseTile(int cell, quint32 seed)
    {
        auto *tile = static_cast<MTextureTile *>(layer->addTile(QPointF(cell * 500 + 250, 250)));
        const QByteArray levels = randomBytes(seed, int(MTextureTile::levelsBytes(tile->tileSize(), 4)));
        return tile->createTextureWithLevels(levels.constData()) ? tile : nullptr;
    }

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase()
    {
        MLogger::instance();
        QVERIFY(MOpenGL::instance()->initialize());
        MSettings::instance()->set_generateMipmaps(true);
        gl.reset(new MTestGLContext());
        QVERIFY(gl->isValid());
        pool = new MTexturePool(gl->context());
        QCOMPARE(MTexturePool::current(), pool);
        layer.reset(new MTextureLayer());
    }

    void cleanup()
    {
        gl->makeCurrent();
        layer->clear();
        pool->keepAtLeast(0);
        pool->clear();
        QVERIFY_GL_CLEAN();
    }

    void cleanupTestCase()
    {
        layer.reset();
        gl.reset();
    }

    // A tile made on a texture another tile left full of noise holds, at
    // every level that is sampled, what a tile on a fresh texture holds.
    void aKeptTextureComesBackAsANewOne_data()
    {
        QTest::addColumn<QString>("made");
        QTest::newRow("transparent") << QStringLiteral("transparent");
        QTest::newRow("from pixels") << QStringLiteral("pixels");
        QTest::newRow("with every level") << QStringLiteral("levels");
    }

    void aKeptTextureComesBackAsANewOne()
    {
        QFETCH(QString, made);
        const auto make = [&made](MTextureTile *tile) {
            if (made == QLatin1String("transparent"))
                return tile->ensureTexture();
            if (made == QLatin1String("pixels")) {
                const QByteArray pixels = randomBytes(5, tile->byteSize());
                return tile->createTextureFrom(pixels.constData()) && tile->generateMipmaps();
            }
            const QByteArray levels = randomBytes(6, int(MTextureTile::levelsBytes(tile->tileSize(), 4)));
            return tile->createTextureWithLevels(levels.constData());
        };
        auto *fresh = static_cast<MTextureTile *>(layer->addTile(QPointF(250, 250)));
        QVERIFY(make(fresh));
        const QVector<QByteArray> expected = allLevels(fresh);

        MTextureTile *old = noiseTile(1, 9);
        QVERIFY(old);
        const GLuint oldTexture = old->textureId();
        old->releaseTexture();
        QCOMPARE(pool->count(), 1);
        auto *reused = static_cast<MTextureTile *>(layer->addTile(QPointF(2 * 500 + 250, 250)));
        QVERIFY(make(reused));
        QCOMPARE(pool->count(), 0);
        QCOMPARE(reused->textureId(), oldTexture);
        QVERIFY(!reused->mipmapsDirty());
        const QVector<QByteArray> levels = allLevels(reused);
        QCOMPARE(levels.size(), expected.size());
        for (int level = 0; level < levels.size(); ++level)
            QVERIFY2(levels.at(level) == expected.at(level), qPrintable(QStringLiteral("level %1").arg(level)));
        QVERIFY_GL_CLEAN();
    }

    // Released textures past the bound are freed; a load raises the bound
    // for as many tiles as it makes, until it ends.
    void keepsNoMoreThanItsBound()
    {
        const int limit = MTexturePool::DefaultLimit;
        for (int i = 0; i < limit + 3; ++i)
            QVERIFY(noiseTile(i, quint32(i)));
        layer->clear();
        QCOMPARE(pool->count(), limit);
        pool->keepAtLeast(limit + 10);
        for (int i = 0; i < limit + 10; ++i)
            QVERIFY(noiseTile(i, quint32(i)));
        QCOMPARE(pool->count(), 0);
        layer->clear();
        QCOMPARE(pool->count(), limit + 10);
        pool->keepAtLeast(0);
        QCOMPARE(pool->count(), limit);
        QVERIFY_GL_CLEAN();
    }

    // A document's context frees what its pool kept before it goes.
    void aDocumentsContextFreesWhatItKept()
    {
        QOpenGLContext *context = MOpenGL::createSharedContext(QOpenGLContext::globalShareContext());
        QVERIFY(context);
        QOffscreenSurface *surface = MOpenGL::createOffscreenSurface(context);
        QVERIFY(surface && context->makeCurrent(surface));
        MTexturePool *own = MTexturePool::current();
        QVERIFY(own && own != pool);
        MTextureLayer documentLayer;
        auto *tile = static_cast<MTextureTile *>(documentLayer.addTile(QPointF(250, 250)));
        QVERIFY(tile->ensureTexture());
        const GLuint texture = tile->textureId();
        documentLayer.clear();
        QCOMPARE(own->count(), 1);
        gl->makeCurrent();
        MOpenGL::destroyContext(context, surface);
        QCOMPARE(QOpenGLContext::currentContext(), gl->context());
        QVERIFY(!gl->context()->functions()->glIsTexture(texture));
    }

    // A document read over another makes its tiles on the textures of the
    // tiles it replaced, fresh ones only past them, with every pixel read.
    void aDocumentReadOverAnotherTakesItsTextures()
    {
        const std::unique_ptr<MCanvas> canvas = MTestCanvas::createDocument(QSize(1000, 1000));
        QVERIFY(canvas);
        canvas->makeCurrent();
        MTexturePool *documentPool = MTexturePool::current();
        QVERIFY(documentPool);
        const int tiles = MTexturePool::DefaultLimit + 8;
        const QRect area(0, 0, tiles * 500, 500);
        MTestCanvas::paintPixels(canvas->at(0), area, [](const QPoint &p) {
            const uint v = uint(p.x() * 7 + p.y() * 13) & 0x7F;
            return qRgba(int(v), int(v / 2), int(v / 4), 0x80);
        });
        QCOMPARE(canvas->at(0)->tileCount(), tiles);
        const QImage saved = MTestCanvas::layerImage(canvas->at(0), area);
        MTestFolder folder;
        const QString path = folder.filePath(QStringLiteral("wide.kxd"));
        QVERIFY(canvas->saveToFile(path));

        QSet<GLuint> replaced;
        for (int i = 0; i < tiles; ++i)
            replaced << canvas->at(0)->tileAt(i)->textureId();
        // Every texture the document holds, whatever layer made it.
        const auto heldTextures = [&canvas]() {
            QSet<GLuint> held;
            QList<MTextureLayer *> layers{canvas->strokeLayer(), canvas->selectionLayer()};
            for (int row = 0; row < canvas->count(); ++row)
                layers << canvas->at(row);
            for (MTextureLayer *layer : layers) {
                for (int i = 0; i < layer->tileCount(); ++i)
                    held << layer->tileAt(i)->textureId();
            }
            held.remove(0);
            return held;
        };

        QSignalSpy finished(canvas.get(), &MCanvas::loadingFinished);
        QVERIFY(canvas->startLoading(path));
        if (canvas->isLoading())
            QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 60000);
        canvas->makeCurrent();
        QCOMPARE(documentPool->count(), 0);
        const QSet<GLuint> held = heldTextures();
        QCOMPARE(QSet<GLuint>(held).intersect(replaced), replaced);
        QCOMPARE(held.size(), tiles + canvas->selectionLayer()->tileCount());
        QCOMPARE(MTestCanvas::layerImage(canvas->at(0), area), saved);
        canvas->shutDown();
    }
};

QTEST_MAIN(TestMTexturePool)
#include "tst_mtexturepool.moc"
