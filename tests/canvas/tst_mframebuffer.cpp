#include "mframebuffer.h"
#include "mtestglcontext.h"

#include <QOpenGLContext>
#include <QOpenGLExtraFunctions>
#include <QOpenGLFunctions>
#include <QLoggingCategory>
#include <QTest>

class TestMFrameBuffer : public QObject
{
    Q_OBJECT

private:
    MTestGLContext gl;
    QOpenGLFunctions *f = nullptr;

    GLuint boundFramebuffer() const
    {
        GLint bound = 0;
        f->glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
        return GLuint(bound);
    }

    // A texture with storage for level 0 (complete as a colour attachment) or without any.
    GLuint makeTexture(bool withStorage, GLenum internalFormat = GL_RGBA8)
    {
        GLuint texture = 0;
        f->glGenTextures(1, &texture);
        f->glBindTexture(GL_TEXTURE_2D, texture);
        if (withStorage)
            f->glTexImage2D(GL_TEXTURE_2D, 0, GLint(internalFormat), 8, 8, 0,
                            internalFormat == GL_DEPTH_COMPONENT24 ? GL_DEPTH_COMPONENT : GL_RGBA,
                            internalFormat == GL_DEPTH_COMPONENT24 ? GL_UNSIGNED_INT : GL_UNSIGNED_BYTE, nullptr);
        f->glBindTexture(GL_TEXTURE_2D, 0);
        return texture;
    }

private slots:
    void initTestCase()
    {
        // The traces checked here are developer output, off by default.
        QLoggingCategory::setFilterRules(QStringLiteral("kalmi.*.debug=true"));
        QVERIFY(gl.isValid());
        f = gl.context()->functions();
    }

    void callsBeforeAttachDoNothing()
    {
        MFrameBuffer frameBuffer;
        frameBuffer.bind();
        QCOMPARE(boundFramebuffer(), GLuint(0));
        QVERIFY(!frameBuffer.detachTexture(0));
        frameBuffer.deleteFramebuffer();
        QCOMPARE(frameBuffer.framebufferId(), 0u);
        QVERIFY_GL_CLEAN();
    }

    void attachStatus_data()
    {
        QTest::addColumn<int>("texture");      // 0 none, 1 with storage, 2 without storage, 3 depth format
        QTest::addColumn<int>("attachment");
        QTest::addColumn<bool>("complete");
        QTest::addColumn<QString>("status");
        QTest::newRow("colour texture") << 1 << 0 << true << QString();
        QTest::newRow("second attachment point") << 1 << 1 << true << QString();
        QTest::newRow("texture without storage") << 2 << 0 << false << "GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT";
        QTest::newRow("depth texture as colour") << 3 << 0 << false << "GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT";
        QTest::newRow("no texture") << 0 << 0 << false << "GL_FRAMEBUFFER_INCOMPLETE_MISSING_ATTACHMENT";
    }

    void attachStatus()
    {
        QFETCH(int, texture);
        QFETCH(int, attachment);
        QFETCH(bool, complete);
        QFETCH(QString, status);

        GLuint name = 0;
        if (texture == 1 || texture == 2)
            name = makeTexture(texture == 1);
        else if (texture == 3)
            name = makeTexture(true, GL_DEPTH_COMPONENT24);
        if (!complete)
            QTest::ignoreMessage(QtDebugMsg, qPrintable(QStringLiteral("mframebuffer::MFrameBuffer::debugStatus ") + status));

        MFrameBuffer frameBuffer;
        QCOMPARE(frameBuffer.attachTexture(name, attachment), complete);
        QVERIFY(frameBuffer.framebufferId() != 0);
        // Bound whatever the outcome, so the caller may still inspect it.
        QCOMPARE(boundFramebuffer(), frameBuffer.framebufferId());
        if (complete) {
            // Drawing reaches the attached texture.
            const GLenum buffer = GL_COLOR_ATTACHMENT0 + GLenum(attachment);
            gl.context()->extraFunctions()->glDrawBuffers(1, &buffer);
            f->glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
            f->glClear(GL_COLOR_BUFFER_BIT);
            gl.context()->extraFunctions()->glReadBuffer(buffer);
            uchar pixel[4] = {};
            f->glReadPixels(3, 3, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
            QCOMPARE(int(pixel[1]), 255);
            QCOMPARE(int(pixel[0]), 0);
            const GLenum first = GL_COLOR_ATTACHMENT0;
            gl.context()->extraFunctions()->glDrawBuffers(1, &first);
            gl.context()->extraFunctions()->glReadBuffer(first);
        }
        QVERIFY(frameBuffer.detachTexture(attachment));
        frameBuffer.release();
        QCOMPARE(boundFramebuffer(), GLuint(0));
        frameBuffer.deleteFramebuffer();
        if (name)
            f->glDeleteTextures(1, &name);
        QVERIFY_GL_CLEAN();
    }

    void retargetAndDeleteOnce()
    {
        const GLuint first = makeTexture(true);
        const GLuint second = makeTexture(true);
        MFrameBuffer frameBuffer;
        QVERIFY(frameBuffer.attachTexture(first));
        const GLuint name = frameBuffer.framebufferId();
        QVERIFY(frameBuffer.attachTexture(second));
        QCOMPARE(frameBuffer.framebufferId(), name);    // re-targeted, not regenerated
        GLint attached = 0;
        f->glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0,
                                                 GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME, &attached);
        QCOMPARE(GLuint(attached), second);
        QVERIFY(frameBuffer.detachTexture(0));
        f->glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0,
                                                 GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE, &attached);
        QCOMPARE(attached, GLint(GL_NONE));
        frameBuffer.release();

        frameBuffer.deleteFramebuffer();
        QCOMPARE(frameBuffer.framebufferId(), 0u);
        QVERIFY(!f->glIsFramebuffer(name));
        frameBuffer.deleteFramebuffer();
        QVERIFY(!frameBuffer.detachTexture(0));
        const GLuint textures[2] = {first, second};
        f->glDeleteTextures(2, textures);
        QVERIFY_GL_CLEAN();
    }

    void statusNames_data()
    {
        QTest::addColumn<uint>("status");
        QTest::addColumn<QString>("name");
        QTest::newRow("undefined") << uint(GL_FRAMEBUFFER_UNDEFINED) << "GL_FRAMEBUFFER_UNDEFINED";
        QTest::newRow("draw buffer") << uint(GL_FRAMEBUFFER_INCOMPLETE_DRAW_BUFFER) << "GL_FRAMEBUFFER_INCOMPLETE_DRAW_BUFFER";
        QTest::newRow("read buffer") << uint(GL_FRAMEBUFFER_INCOMPLETE_READ_BUFFER) << "GL_FRAMEBUFFER_INCOMPLETE_READ_BUFFER";
        QTest::newRow("unsupported") << uint(GL_FRAMEBUFFER_UNSUPPORTED) << "GL_FRAMEBUFFER_UNSUPPORTED";
        QTest::newRow("multisample") << uint(GL_FRAMEBUFFER_INCOMPLETE_MULTISAMPLE) << "GL_FRAMEBUFFER_INCOMPLETE_MULTISAMPLE";
        QTest::newRow("layer targets") << uint(GL_FRAMEBUFFER_INCOMPLETE_LAYER_TARGETS) << "GL_FRAMEBUFFER_INCOMPLETE_LAYER_TARGETS";
        QTest::newRow("unknown") << 0x1234u << "?";
    }

    void statusNames()
    {
        QFETCH(uint, status);
        QFETCH(QString, name);
        QTest::ignoreMessage(QtDebugMsg, qPrintable(QStringLiteral("mframebuffer::MFrameBuffer::debugStatus ") + name));
        QCOMPARE(MFrameBuffer::debugStatus(status), status);
    }
};

QTEST_MAIN(TestMFrameBuffer)
#include "tst_mframebuffer.moc"
