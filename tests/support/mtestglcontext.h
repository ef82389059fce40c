#pragma once

#include <QImage>
#include <QString>
#include <QVector>

#include <memory>

class QOffscreenSurface;
class QOpenGLContext;
class QOpenGLFramebufferObject;

// An offscreen OpenGL 3.3 core context, current while the object lives, with
// an optional render target whose pixels can be read back.
class MTestGLContext
{
public:
    // Call from the test class's static initMain(), before the application
    // exists, when contexts must share objects (program lists, shared textures).
    static void prepareSharedContexts();
    // The pending OpenGL errors of the current context as text, empty when none.
    static QString glErrors();
    // The state a pass must leave as found (blend enable, functions and
    // equations, bound framebuffers, viewport, scissor, clear colour, active
    // texture and
    // the first units' samplers) of the current context, in one list to
    // compare.
    static QVector<int> glState();

    MTestGLContext();
    ~MTestGLContext();

    bool isValid() const { return m_valid; }
    QOpenGLContext *context() const { return m_context.get(); }
    bool makeCurrent();

    // A colour render target of the given size, bound for drawing (the
    // current one when it has that size).
    bool bindTarget(int width, int height);
    QImage readTarget() const;     // premultiplied ARGB, top row first
    // The target's RGBA bytes as OpenGL stores them: row y of the image is
    // row y of the target counted from the bottom.
    QImage readTargetRows() const;

    // Compares two images channel by channel; on failure says where and how.
    static bool compareImages(const QImage &actual, const QImage &expected, int tolerance, QString *message = nullptr);

private:
    std::unique_ptr<QOpenGLContext> m_context;
    std::unique_ptr<QOffscreenSurface> m_surface;
    std::unique_ptr<QOpenGLFramebufferObject> m_target;
    bool m_valid = false;
};

// Fails the test when the current context has recorded an OpenGL error.
#define QVERIFY_GL_CLEAN()                                                                                             \
    do {                                                                                                               \
        const QString glErrorText = MTestGLContext::glErrors();                                                        \
        QVERIFY2(glErrorText.isEmpty(), qPrintable(glErrorText));                                                      \
    } while (false)

// Fails the test, saying where and how, when two images differ by more than
// the tolerance in any channel.
#define QCOMPARE_IMAGES(actual, expected, tolerance)                                                                   \
    do {                                                                                                               \
        QString imageDifference;                                                                                       \
        QVERIFY2(MTestGLContext::compareImages(actual, expected, tolerance, &imageDifference),                        \
                 qPrintable(imageDifference));                                                                         \
    } while (false)
