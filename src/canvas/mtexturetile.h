#pragma once

#include "mtile.h"

#include <QImage>
#include <QRectF>
#include <QSet>
#include <QString>

#include <array>
#include <memory>

class MTextureLayer;
class MUndoLayer;
class QOpenGLExtraFunctions;
class QOpenGLTexture;

// A tile whose pixels are an RGBA8 texture, tileSize wide with its border.
// It also records which 64 x 64 blocks of the texture were touched, so that
// undo backups copy only those. GPU operations need the document's context
// current.
class MTextureTile : public MTile
{
public:
    explicit MTextureTile(MTiledLayer *layer);
    ~MTextureTile() override;

    bool isValid() const override;

    // Creates the transparent texture once; false when that failed (and is not
    // retried) or the tile awaits its pixels.
    bool ensureTexture();
    // The tile's pixels are still being read from a file: nothing makes a
    // transparent texture for it meanwhile; createTextureFrom or
    // createTextureWithLevels ends it.
    void awaitPixels() { m_awaitingPixels = true; }
    bool awaitingPixels() const { return m_awaitingPixels; }
    void createEmptyTexture();
    // Creates the texture with tileSize x tileSize RGBA pixels as its first
    // level, without clearing it first (an upload alone when it is there
    // already). Pixels given blue first (BGRA) are in the order the texture
    // keeps them: the driver copies them as they are.
    bool createTextureFrom(const void *pixels, bool blueFirst = false);
    // The same with every level given, blue first, one after the other from
    // the first down to 1 x 1 (each half the side of the one before, as
    // levelsBytes counts them): nothing is rebuilt on the GPU. Needs a tile
    // size that is a power of two.
    bool createTextureWithLevels(const void *levels);
    // Why a texture could not be made or filled: the line the tile logged
    // then, or, for no tile or a tile that said nothing, a line logged now.
    static QString creationFailure(const MTextureTile *tile);
    static qsizetype levelsBytes(int tileSize, int bytesPerPixel);
    bool allocateTexture(int size);
    // Makes the whole texture transparent.
    bool clear();
    void releaseTexture();
    void release();
    unsigned int textureId() const;
    QOpenGLTexture *texture() const { return m_texture; }
    int byteSize() const;

    // A transparent texture stored as a tile's is, every level cleared.
    // Passes sample it where a layer has no tile, so that the driver runs
    // the code it built for tiles there instead of building more at the
    // first pass that meets a tile.
    static QOpenGLTexture *createTransparentTexture(int size);

    bool setImage(const QImage &image);
    // Replaces the whole texture with tileSize x tileSize RGBA pixels.
    bool setData(const void *pixels);
    // Reads the whole texture as tileSize x tileSize RGBA pixels, row 0 first.
    bool readPixels(void *pixels);
    // Reads only an area of the texture, its rows packed, row 0 first.
    bool readPixels(void *pixels, const QRect &area);
    // Queues the same read into the start of a pixel-pack buffer the caller
    // made large enough; the pixels are there once the buffer is mapped.
    bool readPixelsToBuffer(unsigned int packBuffer, const QRect &area);
    // The same for the whole texture in the order it keeps its pixels, blue
    // first (BGRA): the driver copies them as they are.
    bool readBlueFirstToBuffer(unsigned int packBuffer);
    // Swaps the first and third byte of each 4-byte pixel: RGBA becomes
    // BGRA and back. Any thread.
    static void swapRedAndBlue(void *pixels, qsizetype bytes);
    // Rebuilds the mip-maps when the settings ask for them and waits for the
    // driver to finish; rebuildMipmaps does not wait.
    bool generateMipmaps();
    bool rebuildMipmaps();
    // Level 0 changed (all of it, or only an area in texels): the smaller
    // levels are rebuilt when a view first samples them, not on every change,
    // and only over the areas that changed since.
    void markMipmapsDirty();
    void markMipmapsDirty(const QRect &area);
    bool mipmapsDirty() const;
    // The level-0 area (texels) some smaller level is stale over.
    QRect mipmapsDirtyArea() const;
    // Brings levels 1 to lastLevel up to date; the smaller ones stay stale
    // until a view samples them.
    void updateMipmaps(int lastLevel = maximumLevels);
    static constexpr int maximumLevels = 16;

    QString backupId() const { return m_backupId; }
    void setBackupId(const QString &id) { m_backupId = id; }

    MUndoLayer *undoLayer() const { return m_undoLayer.get(); }
    const QSet<MTile *> &touchedBlocks() const { return m_touchedBlocks; }
    // Records the 64-pixel blocks of the texture that a canvas rectangle covers.
    void markSubTiles(const QRectF &canvasRect);
    // The texels under a canvas rectangle, clipped to the texture.
    QRect texelsUnder(const QRectF &canvasRect) const;
    // Level 0 changed under a canvas rectangle.
    void markChanged(const QRectF &canvasRect);
    void resetUndoLayer();

private:
    static bool createTexture(QOpenGLTexture *texture, int size);
    // Storage of every level, blue first, as tiles keep it.
    static bool allocateLevels(QOpenGLTexture *texture);
    // Hands a texture to the current context's pool, or frees it.
    static void dispose(QOpenGLTexture *&texture);
    // Takes a texture of this tile's size that the current context's pool
    // kept, its pixels as another tile left them; false when none is kept.
    bool reuseKeptTexture(QOpenGLExtraFunctions *f);
    // This tile's texture and the storage of its levels, nothing sent; false
    // (logged, not tried again) when that failed.
    bool makeStorage(QOpenGLExtraFunctions *f);
    // Makes the texture transparent, its smaller levels too when they are used.
    void clearTexture(QOpenGLExtraFunctions *f);
    // Levels 1 to lastLevel rebuilt, each from the one above, over the
    // areas they are stale over only.
    void rebuildStaleLevels(QOpenGLExtraFunctions *f, int lastLevel);
    // The texture's levels after the first.
    int smallerLevels() const;
    bool readArea(void *pixels, const QRect &area, unsigned int packBuffer, unsigned int format = 0x1908 /* GL_RGBA */);
    // The first levels replaced by pixels in the format (GL_RGBA or GL_BGRA),
    // one level after the other from tileSize x tileSize down.
    bool upload(const void *pixels, unsigned int format, int levels);
    // Logs the failure and keeps its line for creationFailure.
    void fail(const QString &message);

    QOpenGLTexture *m_texture = nullptr;
    QString m_backupId;
    std::unique_ptr<MUndoLayer> m_undoLayer;
    QSet<MTile *> m_touchedBlocks;
    // Per level (index 1 up), the level-0 area it is stale over; a level is
    // stale at least wherever the one above it is.
    std::array<QRect, maximumLevels> m_staleAreas;
    bool m_awaitingPixels = false;
    QString m_failure;
};
