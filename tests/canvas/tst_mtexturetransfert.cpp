#include "mbuffertile.h"
#include "mlogger.h"
#include "mtestglcontext.h"
#include "mtestlogwatch.h"
#include "mtestpixels.h"
#include "mtexturelayer.h"
#include "mtexturetile.h"
#include "mtexturetransfert.h"

#include <QOpenGLContext>
#include <QOpenGLExtraFunctions>
#include <QTest>

#include <cstring>
#include <memory>

class TestMTextureTransfert : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MTestGLContext> gl;
    std::unique_ptr<MTextureLayer> layer;

    // A tile whose texture holds random bytes, and those bytes.
    MTextureTile *randomTile(quint32 seed, QByteArray &pixels)
    {
        auto *tile = static_cast<MTextureTile *>(layer->addTile(QPointF(10 + 500 * layer->tileCount(), 10)));
        if (!tile->ensureTexture())
            return nullptr;
        pixels = MTestPixels::randomBytes(seed, tile->byteSize());
        return tile->setData(pixels.constData()) ? tile : nullptr;
    }

    static QByteArray bytes(const MBufferTile &tile)
    {
        return QByteArray(reinterpret_cast<const char *>(tile.data()), int(tile.byteSize()));
    }

private slots:
    void initTestCase()
    {
        MLogger::instance();
        gl.reset(new MTestGLContext());
        QVERIFY(gl->isValid());
        layer.reset(new MTextureLayer());
    }

    void cleanup()
    {
        gl->makeCurrent();
        MTextureTransfert::instance()->release(gl->context());
        layer->clear();
        QVERIFY_GL_CLEAN();
    }

    void cleanupTestCase()
    {
        MTextureTransfert::destroyInstance();
        layer.reset();
        gl.reset();
    }

    // The bytes come through the pack buffer exactly, for tile after tile,
    // and the caller's bindings are left as they were.
    void downloadCopiesTheTexture()
    {
        MTextureTransfert *transfert = MTextureTransfert::instance();
        QVERIFY(gl->bindTarget(8, 8));
        QOpenGLExtraFunctions *f = gl->context()->extraFunctions();
        GLint drawBefore = 0, readBefore = 0;
        f->glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawBefore);
        f->glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readBefore);
        for (quint32 seed = 1; seed <= 3; ++seed) {
            QByteArray pixels;
            MTextureTile *tile = randomTile(seed, pixels);
            QVERIFY(tile);
            MBufferTile buffer(512, 6, 4);
            QVERIFY(transfert->downloadTile(gl->context(), tile, &buffer));
            QVERIFY(bytes(buffer) == pixels);
        }
        QVERIFY(transfert->isInitialized());
        GLint drawAfter = 0, readAfter = 0, pack = -1;
        f->glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawAfter);
        f->glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readAfter);
        f->glGetIntegerv(GL_PIXEL_PACK_BUFFER_BINDING, &pack);
        QCOMPARE(drawAfter, drawBefore);
        QCOMPARE(readAfter, readBefore);
        QCOMPARE(pack, 0);
        QVERIFY_GL_CLEAN();
    }

    void refusals_data()
    {
        QTest::addColumn<int>("bufferSize");    // 0: no buffer tile
        QTest::addColumn<bool>("withContext");
        QTest::addColumn<bool>("withTexture");
        QTest::addColumn<QString>("message");
        QTest::newRow("no buffer") << 0 << true << true << QStringLiteral("Invalid buffer");
        QTest::newRow("smaller buffer") << 256 << true << true << QStringLiteral("Wrong buffer format");
        QTest::newRow("no context") << 512 << false << true << QStringLiteral("Need a current context");
        QTest::newRow("no texture tile") << 512 << true << false << QStringLiteral("Need a texture tile");
    }

    // A refused transfer says why and leaves the buffer's bytes alone.
    void refusals()
    {
        QFETCH(int, bufferSize);
        QFETCH(bool, withContext);
        QFETCH(bool, withTexture);
        QFETCH(QString, message);
        QByteArray pixels;
        MTextureTile *tile = randomTile(7, pixels);
        QVERIFY(tile);
        std::unique_ptr<MBufferTile> buffer(bufferSize ? new MBufferTile(bufferSize, 6, 4) : nullptr);
        if (buffer) {
            QVERIFY(buffer->allocate());
            std::memset(buffer->data(), 0x55, size_t(buffer->byteSize()));
        }
        const MTestLogWatch log;
        QVERIFY(!MTextureTransfert::instance()->downloadTile(withContext ? gl->context() : nullptr,
                                                               withTexture ? tile : nullptr, buffer.get()));
        QCOMPARE(log.count(QStringLiteral("System error: %1").arg(message)), 1);
        if (buffer)
            QVERIFY(bytes(*buffer) == QByteArray(int(buffer->byteSize()), '\x55'));
        QVERIFY_GL_CLEAN();
    }

    void releaseAndInitializeAgain()
    {
        MTextureTransfert *transfert = MTextureTransfert::instance();
        QByteArray pixels;
        MTextureTile *tile = randomTile(21, pixels);
        QVERIFY(tile);
        MBufferTile buffer(512, 6, 4);
        QVERIFY(transfert->downloadTile(gl->context(), tile, &buffer));
        {
            const MTestLogWatch log;
            transfert->release(nullptr);
            QCOMPARE(log.count(QStringLiteral("System error: Need a current context")), 1);
            QVERIFY(transfert->isInitialized());
        }
        transfert->release(gl->context());
        QVERIFY(!transfert->isInitialized());
        const MTestLogWatch log;
        transfert->release(nullptr);    // nothing to release: silent
        QCOMPARE(log.lines().size(), 0);
        std::memset(buffer.data(), 0, size_t(buffer.byteSize()));
        QVERIFY(transfert->downloadTile(gl->context(), tile, &buffer));
        QVERIFY(transfert->isInitialized());
        QVERIFY(bytes(buffer) == pixels);
        QVERIFY_GL_CLEAN();
    }

    // The framebuffer belongs to the context that made it: releasing in
    // another context deletes none of that context's own framebuffers, and
    // once the making context is gone, transfers elsewhere still read true
    // pixels.
    void framebufferStaysWithItsContext()
    {
        MTextureTransfert *transfert = MTextureTransfert::instance();
        QByteArray pixels;
        MTextureTile *tile = randomTile(31, pixels);
        QVERIFY(tile);
        QOpenGLExtraFunctions *f = gl->context()->extraFunctions();
        {
            MTestGLContext other;
            QVERIFY(other.isValid());
            MBufferTile buffer(512, 6, 4);
            QVERIFY(transfert->downloadTile(other.context(), tile, &buffer));
            QVERIFY(bytes(buffer) == pixels);

            QVERIFY(gl->makeCurrent());
            std::memset(buffer.data(), 0, size_t(buffer.byteSize()));
            QVERIFY(transfert->downloadTile(gl->context(), tile, &buffer));
            QVERIFY(bytes(buffer) == pixels);
            GLuint names[4] = {};
            f->glGenFramebuffers(4, names);
            for (GLuint name : names)
                f->glBindFramebuffer(GL_FRAMEBUFFER, name);
            f->glBindFramebuffer(GL_FRAMEBUFFER, 0);
            QVector<GLuint> existing;
            for (GLuint name = 1; name <= names[3]; ++name)
                if (f->glIsFramebuffer(name))
                    existing.append(name);
            transfert->release(gl->context());
            for (GLuint name : qAsConst(existing))
                QVERIFY2(f->glIsFramebuffer(name), qPrintable(QString::number(name)));
            f->glDeleteFramebuffers(4, names);

            QVERIFY(transfert->downloadTile(other.context(), tile, &buffer));
        }
        QVERIFY(gl->makeCurrent());
        MBufferTile buffer(512, 6, 4);
        QVERIFY(transfert->downloadTile(gl->context(), tile, &buffer));
        QVERIFY(bytes(buffer) == pixels);
        QVERIFY_GL_CLEAN();
    }

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }
};

QTEST_MAIN(TestMTextureTransfert)
#include "tst_mtexturetransfert.moc"
