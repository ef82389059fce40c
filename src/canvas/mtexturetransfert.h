#pragma once

#include "msingleton.h"

#include <QObject>
#include <QPointer>

class MBufferTile;
class MFrameBuffer;
class MTextureTile;
class QOpenGLContext;

// Reads tile textures back into CPU buffer tiles, through a pixel-pack buffer
// when the context offers the OpenGL 3.3 core functions. The pack buffers are
// made in the context of the first transfer and shared with its group; the
// framebuffer belongs to that one context (transfers in any other context use
// a framebuffer of their own) and is replaced when that context is gone.
class MTextureTransfert : public QObject, public MSingleton<MTextureTransfert>
{
    Q_OBJECT
public:
    explicit MTextureTransfert(int tileSize = 512, int border = 6, int bytesPerPixel = 4, QObject *parent = nullptr);
    ~MTextureTransfert() override;

    int tileSize() const { return m_tileSize; }
    int border() const { return m_border; }
    int bytesPerPixel() const { return m_bytesPerPixel; }
    int bufferCount() const { return m_bufferCount; }
    bool isInitialized() const { return m_initialized; }

    bool init(QOpenGLContext *context);
    void release(QOpenGLContext *context);
    // The whole texture (tileSize x tileSize RGBA) into the tile's pixels; the
    // tile keeps its pixels when this fails.
    bool download(QOpenGLContext *context, unsigned int texture, MBufferTile *tile);
    bool downloadTile(QOpenGLContext *context, MTextureTile *textureTile, MBufferTile *tile);

private:
    bool makeCurrent(QOpenGLContext *context);
    void adoptContext(QOpenGLContext *context);

    bool m_initialized = false;
    int m_tileSize;
    int m_border;
    int m_bytesPerPixel;
    int m_bufferCount = 4;
    int m_currentBuffer = 0;
    unsigned int *m_buffers;
    MFrameBuffer *m_frameBuffer = nullptr;
    QPointer<QOpenGLContext> m_context;    // the framebuffer's
};
