#include "mtexturetransfert.h"

#include "mbuffertile.h"
#include "mframebuffer.h"
#include "mlogger.h"
#include "mopengl.h"
#include "mtexturetile.h"

#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QOpenGLFunctions_3_3_Core>

#include <cstring>
#include <memory>

MTextureTransfert::MTextureTransfert(int tileSize, int border, int bytesPerPixel, QObject *parent)
    : QObject(parent)
    , m_tileSize(tileSize)
    , m_border(border)
    , m_bytesPerPixel(bytesPerPixel)
    , m_buffers(new unsigned int[size_t(m_bufferCount)]())
{
}

// No context is current here: the GL objects go with release() or with their context.
MTextureTransfert::~MTextureTransfert()
{
    delete m_frameBuffer;
    delete[] m_buffers;
}

bool MTextureTransfert::makeCurrent(QOpenGLContext *context)
{
    if (QOpenGLContext::currentContext() == context)
        return true;
    if (context->surface() && context->makeCurrent(context->surface()))
        return true;
    MLogger::instance()->systemError(QStringLiteral("Unable to make current context"));
    return false;
}

bool MTextureTransfert::init(QOpenGLContext *context)
{
    if (m_initialized)
        return true;
    if (!context) {
        MLogger::instance()->systemError(QStringLiteral("Need a current context"));
        return false;
    }
    if (!makeCurrent(context))
        return false;
    QOpenGLFunctions *f = context->functions();
    adoptContext(context);
    f->glGenBuffers(m_bufferCount, m_buffers);
    for (int i = 0; i < m_bufferCount; ++i) {
        f->glBindBuffer(GL_PIXEL_PACK_BUFFER, m_buffers[i]);
        f->glBufferData(GL_PIXEL_PACK_BUFFER, qopengl_GLsizeiptr(m_bytesPerPixel) * m_tileSize * m_tileSize, nullptr,
                        GL_STREAM_READ);
    }
    f->glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    m_initialized = true;
    return true;
}

void MTextureTransfert::release(QOpenGLContext *context)
{
    if (!m_initialized)
        return;
    if (!context) {
        MLogger::instance()->systemError(QStringLiteral("Need a current context"));
        return;
    }
    if (!makeCurrent(context))
        return;
    QOpenGLFunctions *f = context->functions();
    // Another context's framebuffer name may stand for one of this context's.
    if (context == m_context) {
        m_frameBuffer->detachTexture(0);
        m_frameBuffer->deleteFramebuffer();
    }
    f->glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    f->glDeleteBuffers(m_bufferCount, m_buffers);
    std::memset(m_buffers, 0, sizeof(unsigned int) * size_t(m_bufferCount));
    delete m_frameBuffer;
    m_frameBuffer = nullptr;
    m_context = nullptr;
    m_initialized = false;
}

// A framebuffer for transfers in this context; the previous one, if any, died
// with its own context (the pack buffers, shared, stay).
void MTextureTransfert::adoptContext(QOpenGLContext *context)
{
    delete m_frameBuffer;
    m_frameBuffer = new MFrameBuffer();
    m_context = context;
}

bool MTextureTransfert::download(QOpenGLContext *context, unsigned int texture, MBufferTile *tile)
{
    MLogger &logger = *MLogger::instance();
    if (!tile) {
        logger.systemError(QStringLiteral("Invalid buffer"));
        return false;
    }
    if (tile->tileSize() != m_tileSize || tile->bytesPerPixel() != m_bytesPerPixel) {
        logger.systemError(QStringLiteral("Wrong buffer format"));
        return false;
    }
    if (!context) {
        logger.systemError(QStringLiteral("Need a current context"));
        return false;
    }
    if (!makeCurrent(context) || !tile->allocate())
        return false;
    if (!init(context)) {
        logger.systemError(QStringLiteral("Error during initialisation"));
        return false;
    }
    if (!m_context)
        adoptContext(context);
    QOpenGLFunctions *f = context->functions();
    // Framebuffers belong to one context; pack buffers are shared.
    std::unique_ptr<MFrameBuffer> foreign(context == m_context ? nullptr : new MFrameBuffer());
    MFrameBuffer *frameBuffer = foreign ? foreign.get() : m_frameBuffer;

    GLint readFramebuffer = 0, drawFramebuffer = 0, packBuffer = 0;
    f->glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readFramebuffer);
    f->glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawFramebuffer);
    f->glGetIntegerv(GL_PIXEL_PACK_BUFFER_BINDING, &packBuffer);

    bool result = false;
    if (!frameBuffer->attachTexture(texture, 0)) {
        logger.systemError(QStringLiteral("Unable to attach texture"));
    } else if (auto *core = context->versionFunctions<QOpenGLFunctions_3_3_Core>(); core && core->initializeOpenGLFunctions()) {
        core->glBindBuffer(GL_PIXEL_PACK_BUFFER, m_buffers[m_currentBuffer]);
        MOpenGL::clearGlErrors();
        core->glReadPixels(0, 0, m_tileSize, m_tileSize, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        // A failed read would map whatever the buffer held before.
        const GLenum error = core->glGetError();
        if (error != GL_NO_ERROR) {
            logger.systemError(QStringLiteral("Error during texture pixel read: %1").arg(QString::number(error, 16).toUpper()));
        } else if (const void *mapped = core->glMapBuffer(GL_PIXEL_PACK_BUFFER, GL_READ_ONLY)) {
            std::memcpy(tile->data(), mapped, size_t(tile->byteSize()));
            core->glUnmapBuffer(GL_PIXEL_PACK_BUFFER);
            result = true;
        }
        core->glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    } else {
        f->glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
        f->glReadPixels(0, 0, m_tileSize, m_tileSize, GL_RGBA, GL_UNSIGNED_BYTE, tile->data());
        result = true;
    }
    frameBuffer->detachTexture(0);
    if (foreign)
        foreign->deleteFramebuffer();

    f->glBindFramebuffer(GL_READ_FRAMEBUFFER, GLuint(readFramebuffer));
    f->glBindFramebuffer(GL_DRAW_FRAMEBUFFER, GLuint(drawFramebuffer));
    f->glBindBuffer(GL_PIXEL_PACK_BUFFER, GLuint(packBuffer));
    return result;
}

bool MTextureTransfert::downloadTile(QOpenGLContext *context, MTextureTile *textureTile, MBufferTile *tile)
{
    if (!textureTile) {
        MLogger::instance()->systemError(QStringLiteral("Need a texture tile"));
        return false;
    }
    return download(context, textureTile->textureId(), tile);
}
