#include "mlogger.h"
#include "msettings.h"
#include "mtestglcontext.h"
#include "mtestlogwatch.h"
#include "mtestpixels.h"
#include "mtexturelayer.h"
#include "mtexturetile.h"
#include "mundolayer.h"

#include <QOpenGLContext>
#include <QOpenGLExtraFunctions>
#include <QOpenGLTexture>
#include <QLoggingCategory>
#include <QTest>

#include <memory>

using MTestPixels::randomBytes;
using MTestPixels::tileBytes;

class TestMTextureTile : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MTestGLContext> gl;
    std::unique_ptr<MTextureLayer> layer;

    MTextureTile *newTile(const QPointF &at = QPointF(10, 10))
    {
        auto *tile = static_cast<MTextureTile *>(layer->addTile(at));
        return tile;
    }

    // Every byte of one mip level, read through a frame buffer.
    QByteArray levelBytes(MTextureTile *tile, int level)
    {
        QOpenGLExtraFunctions *f = gl->context()->extraFunctions();
        const int size = tile->tileSize() >> level;
        QByteArray bytes(size * size * 4, '\x7f');
        GLuint framebuffer = 0;
        f->glGenFramebuffers(1, &framebuffer);
        f->glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        f->glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, tile->textureId(), level);
        f->glReadPixels(0, 0, size, size, GL_RGBA, GL_UNSIGNED_BYTE, bytes.data());
        f->glBindFramebuffer(GL_FRAMEBUFFER, 0);
        f->glDeleteFramebuffers(1, &framebuffer);
        return bytes;
    }

    // New random texels over an area of level 0, the smaller levels marked stale there.
    void patchLevelZero(MTextureTile *tile, const QRect &area, quint32 seed)
    {
        QOpenGLExtraFunctions *f = gl->context()->extraFunctions();
        const QByteArray patch = randomBytes(seed, area.width() * area.height() * 4);
        f->glBindTexture(GL_TEXTURE_2D, tile->textureId());
        f->glTexSubImage2D(GL_TEXTURE_2D, 0, area.x(), area.y(), area.width(), area.height(), GL_RGBA,
                           GL_UNSIGNED_BYTE, patch.constData());
        f->glBindTexture(GL_TEXTURE_2D, 0);
        tile->markMipmapsDirty(area);
    }

    // The levels, each as a rebuild of the whole chain from level 0 makes it.
    void compareWithWholeRebuild(MTextureTile *tile)
    {
        const int levels = tile->texture()->mipLevels();
        QVector<QByteArray> partial;
        for (int level = 0; level < levels; ++level)
            partial << levelBytes(tile, level);
        tile->markMipmapsDirty();
        QVERIFY(tile->generateMipmaps());
        for (int level = 1; level < levels; ++level)
            QVERIFY2(levelBytes(tile, level) == partial.at(level), qPrintable(QString::number(level)));
    }

private slots:
    void initTestCase()
    {
        // The traces checked here are developer output, off by default.
        QLoggingCategory::setFilterRules(QStringLiteral("kalmi.*.debug=true"));
        MLogger::instance();
        gl.reset(new MTestGLContext());
        QVERIFY(gl->isValid());
        layer.reset(new MTextureLayer());
    }

    void cleanup()
    {
        gl->makeCurrent();
        layer->clear();
        QCOMPARE(layer->tileCount(), 0);
        QVERIFY_GL_CLEAN();
    }

    void cleanupTestCase()
    {
        layer.reset();
        gl.reset();
    }

    void textureLifecycle()
    {
        MTextureTile *tile = newTile();
        QVERIFY(!tile->isValid());
        QCOMPARE(tile->textureId(), 0u);
        QCOMPARE(tile->byteSize(), 1048576);
        QVERIFY(tile->ensureTexture());
        QVERIFY(tile->isValid());
        const GLuint id = tile->textureId();
        QVERIFY(id != 0);
        QVERIFY(tile->ensureTexture());
        QCOMPARE(tile->textureId(), id);    // made once
        QCOMPARE(tile->texture()->width(), 512);
        // A new texture is transparent.
        QCOMPARE(tileBytes(tile), QByteArray(tile->byteSize(), '\0'));
        tile->releaseTexture();
        QVERIFY(!tile->isValid());
        QCOMPARE(tile->texture(), nullptr);
        QVERIFY(tile->ensureTexture());
        QVERIFY_GL_CLEAN();
    }

    void dataRoundTrip()
    {
        MTextureTile *tile = newTile();
        QVERIFY(tile->ensureTexture());
        const QByteArray pixels = randomBytes(11, tile->byteSize());
        QVERIFY(tile->setData(pixels.constData()));
        QVERIFY_GL_CLEAN();
        QCOMPARE(tileBytes(tile), pixels);
        QVERIFY_GL_CLEAN();
    }

    void nullDataChangesNothing()
    {
        MTextureTile *tile = newTile();
        QVERIFY(tile->ensureTexture());
        const QByteArray pixels = randomBytes(12, tile->byteSize());
        QVERIFY(tile->setData(pixels.constData()));
        const MTestLogWatch log;
        QVERIFY(!tile->setData(nullptr));
        QCOMPARE(log.count(QStringLiteral("System error: This function request a non null buffer.")), 1);
        QCOMPARE(tileBytes(tile), pixels);
        QVERIFY_GL_CLEAN();
    }

    // Why a tile could not be made is the line the tile logged, told once;
    // only where no tile said anything is a line logged for it.
    void creationFailureIsTheTilesOwnLine()
    {
        MTextureTile *tile = newTile();
        const QByteArray pixels = randomBytes(15, tile->byteSize());
        gl->context()->doneCurrent();
        const MTestLogWatch log;
        QVERIFY(!tile->createTextureFrom(pixels.constData()));
        const QString line = QStringLiteral("System error: Unable to instanciate texture.");
        QCOMPARE(MTextureTile::creationFailure(tile), line);
        QCOMPARE(log.count(line), 1);
        QCOMPARE(MTextureTile::creationFailure(nullptr), line);
        QCOMPARE(log.count(line), 2);
        QVERIFY(gl->makeCurrent());
    }

    // A tile without a texture must not write into whatever texture is bound.
    void dataWithoutTextureTouchesNoOtherTexture()
    {
        MTextureTile *owner = newTile(QPointF(10, 10));
        QVERIFY(owner->ensureTexture());
        const QByteArray pixels = randomBytes(13, owner->byteSize());
        QVERIFY(owner->setData(pixels.constData()));
        owner->texture()->bind();

        MTextureTile *bare = newTile(QPointF(900, 10));
        const QByteArray other = randomBytes(14, bare->byteSize());
        QVERIFY(!bare->setData(other.constData()));
        QCOMPARE(tileBytes(owner), pixels);
        QByteArray sink(bare->byteSize(), '\0');
        QVERIFY(!bare->readPixels(sink.data()));
        QVERIFY_GL_CLEAN();
    }

    void readBackKeepsTheCallersFramebuffers()
    {
        MTextureTile *tile = newTile();
        QVERIFY(tile->ensureTexture());
        QVERIFY(gl->bindTarget(8, 8));
        QOpenGLExtraFunctions *f = gl->context()->extraFunctions();
        GLint drawBefore = 0, readBefore = 0;
        f->glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawBefore);
        f->glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readBefore);
        QVERIFY(drawBefore != 0);
        QVERIFY(!tileBytes(tile).isEmpty());
        GLint drawAfter = 0, readAfter = 0;
        f->glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawAfter);
        f->glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readAfter);
        QCOMPARE(drawAfter, drawBefore);
        QCOMPARE(readAfter, readBefore);
        QVERIFY_GL_CLEAN();
    }

    // Any image fills the whole tile: it is scaled to exactly the tile size.
    void imageFillsTheTile_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("tile size") << QSize(512, 512);
        QTest::newRow("smaller square") << QSize(64, 64);
        QTest::newRow("wide") << QSize(300, 100);
        QTest::newRow("tall") << QSize(7, 900);
    }

    void imageFillsTheTile()
    {
        QFETCH(QSize, size);
        MTextureTile *tile = newTile();
        QVERIFY(tile->ensureTexture());
        QImage image(size, QImage::Format_ARGB32);
        image.fill(qRgba(200, 100, 50, 255));
        QVERIFY(tile->setImage(image));
        QVERIFY_GL_CLEAN();
        const QByteArray pixels = tileBytes(tile);
        QCOMPARE(pixels.size(), tile->byteSize());
        for (int i = 0; i < pixels.size(); i += 4) {
            const int r = uchar(pixels[i]), g = uchar(pixels[i + 1]), b = uchar(pixels[i + 2]), a = uchar(pixels[i + 3]);
            if (r != 200 || g != 100 || b != 50 || a != 255)
                QFAIL(qPrintable(QStringLiteral("pixel %1 is %2 %3 %4 %5").arg(i / 4).arg(r).arg(g).arg(b).arg(a)));
        }
        QCOMPARE(tile->texture()->mipLevels(), 10);
    }

    void imageNeedsATexture()
    {
        MTextureTile *tile = newTile();
        QVERIFY(!tile->setImage(QImage(512, 512, QImage::Format_ARGB32)));
        QVERIFY(!tile->isValid());
    }

    void mipmapsFollowTheSetting()
    {
        MTextureTile *tile = newTile();
        QVERIFY(!tile->generateMipmaps());
        QVERIFY(tile->ensureTexture());
        QVERIFY(tile->generateMipmaps());
        MSettings::instance()->set_generateMipmaps(false);
        QVERIFY(!tile->generateMipmaps());
        MSettings::instance()->set_generateMipmaps(true);
        QVERIFY_GL_CLEAN();
    }

    // A cleared tile is transparent at every level at once, so that a view
    // zoomed out rebuilds nothing for it; without mipmaps it stays to build.
    void clearEmptiesEveryLevel_data()
    {
        QTest::addColumn<bool>("painted");
        QTest::addColumn<bool>("mipmaps");
        QTest::newRow("new tile") << false << true;
        QTest::newRow("painted tile") << true << true;
        QTest::newRow("painted tile, mipmaps off") << true << false;
    }

    void clearEmptiesEveryLevel()
    {
        QFETCH(bool, painted);
        QFETCH(bool, mipmaps);
        MTextureTile *tile = newTile();
        QVERIFY(tile->ensureTexture());
        QVERIFY(!tile->mipmapsDirty());
        if (painted) {
            const QByteArray noise = randomBytes(7, tile->tileSize() * tile->tileSize() * 4);
            QVERIFY(tile->setData(noise.constData()));
            QVERIFY(tile->generateMipmaps());
        }
        MSettings::instance()->set_generateMipmaps(mipmaps);
        QVERIFY(tile->clear());
        MSettings::instance()->set_generateMipmaps(true);
        QCOMPARE(tile->mipmapsDirty(), !mipmaps);
        const int levels = mipmaps ? tile->texture()->mipLevels() : 1;
        QVERIFY(levels > 1 || !mipmaps);
        for (int level = 0; level < levels; ++level) {
            const QByteArray bytes = levelBytes(tile, level);
            QVERIFY2(bytes.count('\0') == bytes.size(), qPrintable(QString::number(level)));
        }
        QVERIFY_GL_CLEAN();
    }

    // Rebuilding only the changed areas gives every level exactly what a
    // rebuild of the whole chain gives.
    void mipmapAreaMatchesWholeRebuild_data()
    {
        QTest::addColumn<QList<QRect>>("areas");
        QTest::newRow("one block") << QList<QRect>{{64, 128, 64, 64}};
        QTest::newRow("odd edges") << QList<QRect>{{3, 5, 70, 9}};
        QTest::newRow("corner texel") << QList<QRect>{{511, 511, 1, 1}};
        QTest::newRow("two apart") << QList<QRect>{{0, 0, 5, 5}, {301, 200, 97, 33}};
        QTest::newRow("whole texture") << QList<QRect>{{0, 0, 512, 512}};
    }

    void mipmapAreaMatchesWholeRebuild()
    {
        QFETCH(QList<QRect>, areas);
        MTextureTile *tile = newTile();
        QVERIFY(tile->ensureTexture());
        const int size = tile->tileSize();
        QCOMPARE(size, 512);
        QVERIFY(tile->setData(randomBytes(3, size * size * 4).constData()));
        QVERIFY(tile->generateMipmaps());
        quint32 seed = 11;
        for (const QRect &area : areas)
            patchLevelZero(tile, area, seed++);
        QVERIFY(tile->generateMipmaps());
        QVERIFY(!tile->mipmapsDirty());
        compareWithWholeRebuild(tile);
        QVERIFY_GL_CLEAN();
    }

    // A view reads only the levels down to the one its scale needs: those
    // are rebuilt, the smaller ones wait, still stale, for a view that reads
    // them, and every level ends up as a rebuild of the whole chain makes it.
    void levelsRebuildOnlyAsFarAsAsked_data()
    {
        QTest::addColumn<QList<QRect>>("areas");
        QTest::addColumn<QList<int>>("asked");
        QTest::newRow("one area, level 1 then all") << QList<QRect>{{64, 128, 64, 64}} << QList<int>{1, 100};
        QTest::newRow("one area, 2 then 5 then all") << QList<QRect>{{3, 5, 70, 9}} << QList<int>{2, 5, 100};
        QTest::newRow("whole texture, 1 then 3") << QList<QRect>{{0, 0, 512, 512}} << QList<int>{1, 3, 100};
        QTest::newRow("second change between asks") << QList<QRect>{{0, 0, 5, 5}, {301, 200, 97, 33}}
                                                     << QList<int>{2, -1, 4, 100};
    }

    void levelsRebuildOnlyAsFarAsAsked()
    {
        QFETCH(QList<QRect>, areas);
        QFETCH(QList<int>, asked);
        MTextureTile *tile = newTile();
        QVERIFY(tile->ensureTexture());
        const int size = tile->tileSize();
        const int levels = tile->texture()->mipLevels();
        QVERIFY(tile->setData(randomBytes(3, size * size * 4).constData()));
        QVERIFY(tile->generateMipmaps());
        quint32 seed = 11;
        int next = 0;
        QVector<QByteArray> before;
        auto change = [&] {
            patchLevelZero(tile, areas.at(next++), seed++);
            before.clear();
            for (int level = 0; level < levels; ++level)
                before << levelBytes(tile, level);
        };
        change();
        int built = 0;
        for (int last : asked) {
            // -1: the next area changes before the next ask.
            if (last < 0) {
                change();
                continue;
            }
            tile->updateMipmaps(last);
            const int reached = qMin(last, levels - 1);
            QCOMPARE(tile->mipmapsDirty(), reached < levels - 1);
            // Past the levels asked for, nothing was touched.
            for (int level = reached + 1; level < levels; ++level)
                QVERIFY2(levelBytes(tile, level) == before.at(level), qPrintable(QString::number(level)));
            built = qMax(built, reached);
        }
        QCOMPARE(built, levels - 1);
        QVERIFY(!tile->mipmapsDirty());
        compareWithWholeRebuild(tile);
        QVERIFY_GL_CLEAN();
    }

    // Tile at cell (0, 0): its texture covers canvas (-6, -6) to (506, 506).
    void touchedBlocks_data()
    {
        QTest::addColumn<QList<QRectF>>("rects");
        QTest::addColumn<int>("blocks");
        QTest::newRow("inside one block") << QList<QRectF>{{0, 0, 10, 10}} << 1;
        QTest::newRow("across a block edge") << QList<QRectF>{{52, 0, 10, 10}} << 2;
        QTest::newRow("across a block corner") << QList<QRectF>{{50, 50, 20, 20}} << 4;
        QTest::newRow("the border counts") << QList<QRectF>{{-6, -6, 1, 1}} << 1;
        QTest::newRow("whole texture") << QList<QRectF>{{-100, -100, 1000, 1000}} << 64;
        QTest::newRow("outside") << QList<QRectF>{{600, 600, 5, 5}} << 0;
        QTest::newRow("same block twice") << QList<QRectF>{{0, 0, 5, 5}, {10, 10, 5, 5}} << 1;
        QTest::newRow("two apart") << QList<QRectF>{{0, 0, 5, 5}, {300, 300, 5, 5}} << 2;
        QTest::newRow("fraction of a pixel") << QList<QRectF>{{57.5, 57.5, 0.25, 0.25}} << 1;
    }

    void touchedBlocks()
    {
        QFETCH(QList<QRectF>, rects);
        QFETCH(int, blocks);
        MTextureTile *tile = newTile();
        for (const QRectF &rect : rects)
            tile->markSubTiles(rect);
        QCOMPARE(tile->touchedBlocks().size(), blocks);
        QCOMPARE(tile->undoLayer()->tileCount(), blocks);
        for (MTile *block : tile->touchedBlocks()) {
            QCOMPARE(block->rect().width(), 64);
            QVERIFY(QRect(0, 0, 512, 512).contains(block->rect()));
        }
        tile->resetUndoLayer();
        QVERIFY(tile->touchedBlocks().isEmpty());
        QCOMPARE(tile->undoLayer()->tileCount(), 0);
    }

    void shutDownReleasesTextures()
    {
        MTextureTile *tile = newTile();
        QVERIFY(tile->ensureTexture());
        gl->context()->doneCurrent();
        QTest::ignoreMessage(QtDebugMsg, "mtexturelayer::MTextureLayer::shutDown no current context during shutdown !");
        layer->shutDown();
        QVERIFY(tile->isValid());
        QVERIFY(gl->makeCurrent());
        layer->shutDown();
        QVERIFY(!tile->isValid());
        QCOMPARE(layer->tileCount(), 1);
        QVERIFY_GL_CLEAN();
    }
};

QTEST_MAIN(TestMTextureTile)
#include "tst_mtexturetile.moc"
