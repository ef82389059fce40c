#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QOpenGLFunctions>
#include <QPainter>
#include <QRect>
#include <QSet>
#include <QVector>

#include <functional>
#include <memory>

#include "mtexturelayer.h"
#include "mtexturetile.h"

class MFrameBuffer;
class MPaper;
class MSelection;
class MShader;
class MShaderProgramList;
class MTile;
class MVertexBuffer;
class QOffscreenSurface;
class QOpenGLContext;
class QOpenGLShaderProgram;
class QOpenGLTexture;
class QOpenGLVertexArrayObject;
class QSurface;

// A document's own OpenGL context on its offscreen surface, and the tile
// work done under it: clearing, copying, blending and filling single tiles,
// an effect into a tile, an image into a layer, with the textures and GL
// objects these passes need. Owned by its document.
class MGpuDevice : public QObject, protected QOpenGLFunctions
{
    Q_OBJECT
public:
    // What the tile passes read of the document besides the tiles handed to them.
    struct Sources
    {
        MShaderProgramList *programs = nullptr;
        MSelection *selection = nullptr;
        MPaper *paper = nullptr;
        MTextureLayer *strokeLayer = nullptr;
        // The paper's texture, made when due; null when there is none.
        std::function<QOpenGLTexture *()> paperTexture;
    };

    // How often the device changed the current context, and waited for the GPU.
    struct Counts
    {
        int switches = 0;
        int finishes = 0;
    };

    // Makes the device's context current for a while unless it already is;
    // on leaving, makes current again the other context (and surface) that
    // was. Nested scopes change nothing.
    class Scope
    {
    public:
        explicit Scope(MGpuDevice *device);
        ~Scope();
        Scope(const Scope &) = delete;
        Scope &operator=(const Scope &) = delete;
        bool isCurrent() const { return m_current; }

    private:
        MGpuDevice *m_device;
        QOpenGLContext *m_previous = nullptr;
        QSurface *m_previousSurface = nullptr;
        bool m_current = false;
    };

    explicit MGpuDevice(const Sources &sources, QObject *parent = nullptr);
    ~MGpuDevice() override;

    // The context and surface, a spare one of the shared group when there is
    // one; left current. False (logged) when none could be made.
    bool createContext();
    // Deletes the context and surface with the GL objects made in them.
    void destroyContext();
    bool isGlReady() const { return m_glReady; }
    QOpenGLContext *context() const { return m_context; }
    // The programs the device's passes, and whatever draws the document, use.
    MShaderProgramList *programs() const { return m_sources.programs; }
    // Makes the context current and leaves it so; false before set-up.
    bool makeCurrent();
    Counts counts() const { return m_counts; }
    // Waits until what the device drew is done, so that another context can
    // read it; costs nothing when it drew nothing since the last wait.
    void finishForReaders();
    // Something was drawn under the context (a reader must wait for it).
    void markDrawn() { m_drawn = true; }
    // The largest width or height an offscreen render may have; 0 when the
    // context cannot be made current.
    int maximumRenderSize();

    // Creates the textures and buffers of the tile passes; cheap once ready.
    bool init();
    // Releases them; the device can be initialised again.
    void shutDown();
    bool isReady() const { return m_ready; }

    QOpenGLVertexArrayObject *vertexArrayObject() const { return m_vertexArray; }
    QOpenGLTexture *emptyTexture() const { return m_emptyTexture.get(); }
    QOpenGLTexture *alphaBackTexture() const { return m_alphaBackTexture.get(); }
    QOpenGLTexture *workTexture() const { return m_workTexture.get(); }
    // The texture of the layer's tile at the point, or the empty texture;
    // its levels 1 to lastLevel brought up to date.
    unsigned int layerTextureAt(MTextureLayer *layer, const QPointF &point, int lastLevel = 0);
    // Where the tile texture being drawn lies, and the painted rectangle, for
    // programs that work in canvas coordinates.
    static void setTileUniforms(QOpenGLShaderProgram *program, const QRect &area, int size, int border,
                                const QRectF &painted);
    // Seconds since the device was made, as last sent to a program.
    float nextGlobalTime();

    void loadEffectTexture(MShader *effect);
    void clearEffectTextures();
    // The textures loaded for one effect (empty when none).
    QVector<QOpenGLTexture *> effectTextures(MShader *effect) const { return m_effectTextures.value(effect); }

    // Tile primitives.
    void clearTile(MTile *tile);
    void clearLayer(MTextureLayer *layer);
    // The tile painted with the colour, inside the selection when there is one.
    void fillTile(MTile *tile, const QColor &color);
    // The stroke layer's tile at the same place merged into the tile of
    // layer, which lies on below.
    void blendStrokeTile(MTile *tile, MTextureLayer *layer, MTextureLayer *below);
    bool blitImage(const QPointF &centre, const QImage &image, MTextureLayer *layer, bool clearFirst);

    // Tile passes. A non-empty area (texture pixels) limits the pass to it.
    void blitTile(MTextureTile *destination, unsigned int sourceTexture, int srcFactor, int dstFactor,
                  const QString &programName, double opacity, const QRect &area = QRect());
    void blitTile(MTextureTile *destination, MTextureTile *sourceTile, int srcFactor, int dstFactor,
                  const QString &programName, double opacity, const QRect &area = QRect());
    void fillTile(MTextureTile *tile, MTextureTile *selectionTile, const QColor &color, const QString &programName,
                  bool clipToSelection);
    // The effect of layer, which lies on below, drawn for its tile into output.
    void renderEffectToTexture(MTextureTile *tile, MTextureLayer *layer, MTextureLayer *below, QOpenGLTexture *output,
                               int srcFactor, int dstFactor, const QString &programName, double opacity,
                               double strokeOpacity);
    void renderEffectToTile(MTextureTile *tile, MTextureLayer *layer, MTextureLayer *below, int srcFactor,
                            int dstFactor, const QString &programName, double opacity, double strokeOpacity);

    // Hands each tile of the layer under the area that the image (placed at
    // target) touches to use(), with the image's share of the tile, border
    // included, as a tile-sized picture.
    template <class Use>
    static void forEachTileUnder(MTextureLayer *layer, const QImage &image, const QRect &target, const QRectF &area,
                                 Use use);

private:
    friend class Scope;
    // Makes the context current, counting a change.
    bool switchTo(QOpenGLContext *context, QSurface *surface);
    // Runs make under the device's context.
    bool createInContext(const std::function<bool()> &make);
    bool createEmptyTexture();
    bool createAlphaBackTexture();
    bool createWorkTexture();
    void clearEffectTextures(MShader *effect);
    void bindTileTarget(unsigned int texture, int width, int height, QMatrix4x4 &mvp);
    void releaseTileTarget();
    void addTileQuad(int width, int height);
    void beginTilePass(unsigned int target, int size, int srcFactor, int dstFactor, QMatrix4x4 &mvp);
    void bindNearest(unsigned int unit, unsigned int texture);
    void drawTilePass(QOpenGLShaderProgram *program, const QMatrix4x4 &mvp, bool clipToSelection);
    void endTilePass();
    // The programs a pass into destination draws with, the context made
    // current; null, logged, when it cannot draw.
    MShaderProgramList *programsFor(const MTextureTile *destination);

    Sources m_sources;
    QOpenGLContext *m_context = nullptr;
    QOffscreenSurface *m_surface = nullptr;
    bool m_glReady = false;
    bool m_ready = false;
    bool m_drawn = false;
    Counts m_counts;
    QOpenGLVertexArrayObject *m_vertexArray;
    MFrameBuffer *m_frameBuffer;
    std::unique_ptr<MVertexBuffer> m_vertexBuffer;
    QHash<MShader *, QVector<QOpenGLTexture *>> m_effectTextures;
    std::unique_ptr<QOpenGLTexture> m_emptyTexture;
    std::unique_ptr<QOpenGLTexture> m_alphaBackTexture;
    std::unique_ptr<QOpenGLTexture> m_workTexture;
    QElapsedTimer m_clock;
};

template <class Use>
void MGpuDevice::forEachTileUnder(MTextureLayer *layer, const QImage &image, const QRect &target, const QRectF &area,
                                  Use use)
{
    QSet<MTile *> tiles;
    layer->tilesInRect(area, tiles);
    const int size = layer->tileSize();
    QImage work(size, size, QImage::Format_RGBA8888_Premultiplied);
    for (MTile *tile : qAsConst(tiles)) {
        auto *texture = static_cast<MTextureTile *>(tile);
        const QRect tileArea = texture->rectWithBorder();
        if (!tileArea.intersects(target))
            continue;
        work.fill(Qt::transparent);
        QPainter painter(&work);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(target.topLeft() - tileArea.topLeft(), image);
        painter.end();
        use(texture, work);
    }
}
