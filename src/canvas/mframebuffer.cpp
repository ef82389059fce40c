#include "mframebuffer.h"
#include "mlogcategory.h"

#include <QDebug>
#include <QOpenGLContext>
#include <QOpenGLFunctions>

namespace {
QOpenGLFunctions *functions()
{
    QOpenGLContext *context = QOpenGLContext::currentContext();
    return context ? context->functions() : nullptr;
}

void trace(const char *function, const QString &message)
{
    qCDebug(lcCanvas).noquote() << QStringLiteral("%1::%2").arg(QStringLiteral("mframebuffer"), QLatin1String(function))
                       << message;
}
} // namespace

MFrameBuffer::MFrameBuffer(QObject *parent)
    : QObject(parent)
{
}

bool MFrameBuffer::attachTexture(unsigned int texture, int n)
{
    QOpenGLFunctions *f = functions();
    if (!f)
        return false;
    if (m_framebuffer == 0)
        f->glGenFramebuffers(1, &m_framebuffer);
    if (m_framebuffer == 0) {
        trace("MFrameBuffer::attachTexture", QStringLiteral("error glGenFrameBuffer"));
        return false;
    }
    f->glBindFramebuffer(GL_FRAMEBUFFER, m_framebuffer);
    f->glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0 + n, GL_TEXTURE_2D, texture, 0);
    return debugStatus(f->glCheckFramebufferStatus(GL_FRAMEBUFFER)) == GL_FRAMEBUFFER_COMPLETE;
}

void MFrameBuffer::bind()
{
    QOpenGLFunctions *f = functions();
    if (f && m_framebuffer != 0)
        f->glBindFramebuffer(GL_FRAMEBUFFER, m_framebuffer);
}

bool MFrameBuffer::detachTexture(int n)
{
    QOpenGLFunctions *f = functions();
    if (!f || m_framebuffer == 0)
        return false;
    f->glBindFramebuffer(GL_FRAMEBUFFER, m_framebuffer);
    f->glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0 + n, GL_TEXTURE_2D, 0, 0);
    return true;
}

void MFrameBuffer::release()
{
    if (QOpenGLFunctions *f = functions())
        f->glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void MFrameBuffer::deleteFramebuffer()
{
    QOpenGLFunctions *f = functions();
    if (!f || m_framebuffer == 0)
        return;
    f->glDeleteFramebuffers(1, &m_framebuffer);
    m_framebuffer = 0;
}

QString MFrameBuffer::statusName(unsigned int status)
{
    switch (status) {
    case GL_FRAMEBUFFER_COMPLETE: return QStringLiteral("GL_FRAMEBUFFER_COMPLETE");
    case GL_FRAMEBUFFER_UNDEFINED: return QStringLiteral("GL_FRAMEBUFFER_UNDEFINED");
    case GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT: return QStringLiteral("GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT");
    case GL_FRAMEBUFFER_INCOMPLETE_MISSING_ATTACHMENT:
        return QStringLiteral("GL_FRAMEBUFFER_INCOMPLETE_MISSING_ATTACHMENT");
    case GL_FRAMEBUFFER_INCOMPLETE_DRAW_BUFFER: return QStringLiteral("GL_FRAMEBUFFER_INCOMPLETE_DRAW_BUFFER");
    case GL_FRAMEBUFFER_INCOMPLETE_READ_BUFFER: return QStringLiteral("GL_FRAMEBUFFER_INCOMPLETE_READ_BUFFER");
    case GL_FRAMEBUFFER_UNSUPPORTED: return QStringLiteral("GL_FRAMEBUFFER_UNSUPPORTED");
    case GL_FRAMEBUFFER_INCOMPLETE_MULTISAMPLE: return QStringLiteral("GL_FRAMEBUFFER_INCOMPLETE_MULTISAMPLE");
    case GL_FRAMEBUFFER_INCOMPLETE_LAYER_TARGETS: return QStringLiteral("GL_FRAMEBUFFER_INCOMPLETE_LAYER_TARGETS");
    }
    return QStringLiteral("?");
}

unsigned int MFrameBuffer::debugStatus(unsigned int status)
{
    if (status != GL_FRAMEBUFFER_COMPLETE)
        trace("MFrameBuffer::debugStatus", statusName(status));
    return status;
}
