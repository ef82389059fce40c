#include "mframetarget.h"

#include <QOpenGLContext>
#include <QOpenGLExtraFunctions>
#include <QOpenGLFramebufferObject>
#include <QOpenGLPaintDevice>

namespace {
// A painter's draws land in the target, whatever a native pass bound between them.
class TargetPaintDevice : public QOpenGLPaintDevice
{
public:
    TargetPaintDevice(QOpenGLFramebufferObject *target, double ratio)
        : QOpenGLPaintDevice(target->size())
        , m_target(target)
    {
        setDevicePixelRatio(ratio);
    }

    void ensureActiveTarget() override { m_target->bind(); }

private:
    QOpenGLFramebufferObject *m_target;
};
} // namespace

MFrameTarget::MFrameTarget(int samples)
    : m_samples(samples)
{
}

MFrameTarget::~MFrameTarget() = default;

bool MFrameTarget::ensure(const QSize &deviceSize, double devicePixelRatio, bool *fresh)
{
    *fresh = false;
    if (deviceSize.isEmpty() || !QOpenGLContext::currentContext())
        return false;
    if (m_target && m_target->size() == deviceSize && m_device
        && m_device->devicePixelRatioF() == devicePixelRatio)
        return true;
    m_device.reset();
    QOpenGLFramebufferObjectFormat format;
    format.setSamples(m_samples);
    format.setAttachment(QOpenGLFramebufferObject::CombinedDepthStencil);
    m_target.reset(new QOpenGLFramebufferObject(deviceSize, format));
    if (!m_target->isValid()) {
        m_target.reset();
        return false;
    }
    m_device.reset(new TargetPaintDevice(m_target.get(), devicePixelRatio));
    *fresh = true;
    return true;
}

bool MFrameTarget::isValid() const
{
    return m_target != nullptr;
}

void MFrameTarget::bind()
{
    if (m_target)
        m_target->bind();
}

QPaintDevice *MFrameTarget::paintDevice() const
{
    return m_device.get();
}

void MFrameTarget::resolve(const QRect &area, unsigned int into)
{
    QOpenGLContext *context = QOpenGLContext::currentContext();
    if (!m_target || !context)
        return;
    QOpenGLExtraFunctions *f = context->extraFunctions();
    const QRect r = area & QRect(QPoint(0, 0), m_target->size());
    f->glBindFramebuffer(GL_READ_FRAMEBUFFER, m_target->handle());
    f->glBindFramebuffer(GL_DRAW_FRAMEBUFFER, into);
    if (!r.isEmpty()) {
        // A blit keeps to the scissor: a partial frame's must not cut it.
        const bool scissor = f->glIsEnabled(GL_SCISSOR_TEST);
        f->glDisable(GL_SCISSOR_TEST);
        f->glBlitFramebuffer(r.x(), r.y(), r.x() + r.width(), r.y() + r.height(), r.x(), r.y(), r.x() + r.width(),
                             r.y() + r.height(), GL_COLOR_BUFFER_BIT, GL_NEAREST);
        if (scissor)
            f->glEnable(GL_SCISSOR_TEST);
    }
    f->glBindFramebuffer(GL_FRAMEBUFFER, into);
}

void MFrameTarget::release()
{
    m_device.reset();
    m_target.reset();
}
