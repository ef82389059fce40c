#pragma once

#include <QImage>
#include <QString>

#include <memory>

class QOffscreenSurface;
class QOpenGLContext;
class QOpenGLFramebufferObject;

// An offscreen OpenGL 3.3 core context, current while the object lives, with
// an optional render target whose pixels can be read back.
class MTestGLContext
{
public:
    MTestGLContext();
    ~MTestGLContext();

    bool isValid() const { return m_valid; }
    QOpenGLContext *context() const { return m_context.get(); }
    bool makeCurrent();

    // A colour render target of the given size, bound for drawing.
    bool bindTarget(int width, int height);
    QImage readTarget() const;     // premultiplied ARGB, top row first

    // Compares two images channel by channel; on failure says where and how.
    static bool compareImages(const QImage &actual, const QImage &expected, int tolerance, QString *message = nullptr);

private:
    std::unique_ptr<QOpenGLContext> m_context;
    std::unique_ptr<QOffscreenSurface> m_surface;
    std::unique_ptr<QOpenGLFramebufferObject> m_target;
    bool m_valid = false;
};
