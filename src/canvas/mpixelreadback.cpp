#include "mpixelreadback.h"

#include "mlogger.h"
#include "mtexturetile.h"

#include <QOpenGLContext>
#include <QOpenGLExtraFunctions>

MPixelReadback::~MPixelReadback()
{
    release();
}

bool MPixelReadback::start(MTextureTile *tile, const QRect &area)
{
    release();
    QOpenGLContext *context = QOpenGLContext::currentContext();
    if (!tile || !context || area.isEmpty())
        return false;
    QOpenGLExtraFunctions *f = context->extraFunctions();
    m_bytes = area.width() * area.height() * tile->bytesPerPixel();
    GLint bound = 0;
    f->glGetIntegerv(GL_PIXEL_PACK_BUFFER_BINDING, &bound);
    f->glGenBuffers(1, &m_buffer);
    f->glBindBuffer(GL_PIXEL_PACK_BUFFER, m_buffer);
    f->glBufferData(GL_PIXEL_PACK_BUFFER, m_bytes, nullptr, GL_STREAM_READ);
    f->glBindBuffer(GL_PIXEL_PACK_BUFFER, GLuint(bound));
    m_context = context;
    m_surface = context->surface();
    m_area = area;
    if (!tile->readPixelsToBuffer(m_buffer, area)) {
        release();
        return false;
    }
    return true;
}

bool MPixelReadback::finish(const std::function<bool(const uchar *)> &use)
{
    if (!m_buffer)
        return false;
    bool done = false;
    inContext([&](bool current) {
        if (!current)
            return;
        QOpenGLExtraFunctions *f = QOpenGLContext::currentContext()->extraFunctions();
        GLint bound = 0;
        f->glGetIntegerv(GL_PIXEL_PACK_BUFFER_BINDING, &bound);
        f->glBindBuffer(GL_PIXEL_PACK_BUFFER, m_buffer);
        const auto *pixels = static_cast<const uchar *>(f->glMapBufferRange(GL_PIXEL_PACK_BUFFER, 0, m_bytes, GL_MAP_READ_BIT));
        if (pixels) {
            done = use(pixels);
            f->glUnmapBuffer(GL_PIXEL_PACK_BUFFER);
        } else {
            MLogger::instance()->systemError(QStringLiteral("Error during texture pixel read: the pack buffer cannot be mapped"));
        }
        f->glBindBuffer(GL_PIXEL_PACK_BUFFER, GLuint(bound));
    });
    release();
    return done;
}

void MPixelReadback::release()
{
    if (!m_buffer)
        return;
    inContext([this](bool current) {
        if (current)
            QOpenGLContext::currentContext()->extraFunctions()->glDeleteBuffers(1, &m_buffer);
    });
    // Without its context the buffer went with it.
    m_buffer = 0;
    m_bytes = 0;
    m_area = QRect();
}

void MPixelReadback::inContext(const std::function<void(bool)> &run)
{
    QOpenGLContext *previous = QOpenGLContext::currentContext();
    if (previous && m_context && QOpenGLContext::areSharing(previous, m_context)) {
        run(true);
        return;
    }
    QSurface *previousSurface = previous ? previous->surface() : nullptr;
    const bool current = m_context && m_surface && m_context->makeCurrent(m_surface);
    run(current);
    if (!current)
        return;
    if (previous)
        previous->makeCurrent(previousSurface);
    else
        m_context->doneCurrent();
}
