#pragma once

#include <QRect>
#include <QSize>

#include <memory>

class QOpenGLFramebufferObject;
class QOpenGLPaintDevice;
class QPaintDevice;

// The view's multisampled frame, kept from one frame to the next: a frame
// draws into it, then resolves into the widget's own frame buffer only the
// area it drew. Resolving a whole large view costs a software driver about as
// much as drawing a stroke's frame.
class MFrameTarget
{
public:
    explicit MFrameTarget(int samples);
    ~MFrameTarget();

    // A target of that many device pixels, with the current context; false
    // when none can be made (frames then draw into the widget's own). Fresh
    // tells whether it was made now, holding nothing of earlier frames.
    bool ensure(const QSize &deviceSize, double devicePixelRatio, bool *fresh);
    bool isValid() const;
    // Binds the target, when there is one.
    void bind();
    // What a painter draws into the target with.
    QPaintDevice *paintDevice() const;
    // Copies the area (device pixels, rows from the bottom, as a scissor box)
    // into the frame buffer given, leaving that one bound.
    void resolve(const QRect &area, unsigned int into);
    // Gives the GL objects back, with their context current.
    void release();

private:
    int m_samples;
    std::unique_ptr<QOpenGLFramebufferObject> m_target;
    std::unique_ptr<QOpenGLPaintDevice> m_device;
};
