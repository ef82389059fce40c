#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QMatrix4x4>
#include <QObject>
#include <QOpenGLFunctions>
#include <QPointF>
#include <QRectF>
#include <QVector>

#include <functional>
#include <memory>

class MGpuDevice;
class MPaper;
class MPaintParams;
class MShader;
class MShaderProgramList;
class MTextureLayer;
class MTextureTile;
class MVertexBuffer;
struct MDocumentParts;
class QOpenGLContext;
class QOpenGLShaderProgram;
class QOpenGLTexture;
class QOpenGLVertexArrayObject;

// Every GPU drawing of a document but brush stamps: compositing paper and
// layers into whatever frame buffer is bound, and rewriting single tiles
// (blit, fill, effect). Owned by its document.
class MPaintEngine : public QObject, public QOpenGLFunctions
{
    Q_OBJECT
public:
    // The paper gives the paper texture its image; the device holds the
    // context and the textures the passes share.
    MPaintEngine(MPaper *paper, MGpuDevice *device, QObject *parent = nullptr);
    ~MPaintEngine() override;

    // Creates the engine's GL objects under the current context; cheap once ready.
    bool init();
    // Releases the GL objects; the engine can be initialised again.
    void shutDown();
    bool isReady() const { return m_ready; }

    void loadEffectTexture(MShader *effect);

    void enableBlending(QOpenGLContext *context);
    void computeMvp(MPaintParams *params, QMatrix4x4 &matrix);
    // Where the tile texture being drawn lies, and the painted rectangle, for
    // programs that work in canvas coordinates.
    static void setTileUniforms(QOpenGLShaderProgram *program, const QRect &area, int size, int border,
                                const QRectF &painted);
    // The texture of the layer's tile at the point, or the empty texture;
    // its levels 1 to lastLevel brought up to date.
    unsigned int layerTextureAt(MTextureLayer *layer, const QPointF &point, int lastLevel = 0);
    // Seconds since the engine was made, as last sent to a program.
    double globalTime() const { return m_globalTime; }

    QOpenGLTexture *emptyTexture() const;
    QOpenGLTexture *paperTexture() const { return m_paperTexture.get(); }
    QOpenGLTexture *alphaBackTexture() const;
    bool isPaperUpToDate() const { return m_paperUpToDate; }
    // Changes whenever the paper's texture is made again or due to be.
    quint64 paperRevision() const { return m_paperRevision; }

    // Compositing passes, into the frame buffer bound in the params' context.
    void applyProgram(MPaintParams *params);
    void renderLayers(MPaintParams *params);
    // The layers of rows first to last, as renderLayers draws them.
    void renderLayerRange(MPaintParams *params, int first, int last);
    // The selection's overlay, drawn over the layers, while the selection has no outline to show.
    void renderSelection(MPaintParams *params);
    // The program a row is drawn with: a stroke's, its effect's or the plain one.
    static QString layerProgram(const MDocumentParts &parts, int row);
    void renderPaper(MPaintParams *params);
    void renderPaperTexture(MPaintParams *params, QOpenGLTexture *texture);
    void renderTransparentPaper(MPaintParams *params);
    // A texture of the viewport's size in device pixels replaces what the
    // viewport shows, texel for pixel; or, premultiplied, goes over it.
    void renderViewTexture(MPaintParams *params, unsigned int texture, bool over = false);
    // One canvas pixel on one view pixel, unrotated, and the painted
    // rectangle on pixel edges: every quad of a frame covers whole pixels.
    static bool drawsWholePixels(const MPaintParams *params);
    // A colour over a rectangle given in view coordinates.
    void renderColorRect(MPaintParams *params, const QRectF &rect, const QColor &color, double opacity);

public slots:
    void createPaperTexture();
    void resetPaper();

private:
    float nextGlobalTime();
    void drawPaperQuad(MPaintParams *params, const QRectF &quad, QOpenGLTexture *texture, bool viewSpace);
    void drawColorQuad(MPaintParams *params, const QRectF &rect, const QColor &color, double opacity);
    bool canRenderLayers(MPaintParams *params);
    void drawLayer(MPaintParams *params, int row, bool withUnderLayer, bool faded);
    // Reports what the pass lacks and answers false; makes the context current otherwise.
    bool checkParams(MPaintParams *params, bool needCanvas, bool needLayer = false);

    MPaper *m_paper;
    MGpuDevice *m_device;
    bool m_ready = false;
    std::unique_ptr<MVertexBuffer> m_vertexBuffer;
    std::unique_ptr<QOpenGLTexture> m_paperTexture;
    bool m_paperUpToDate = false;
    quint64 m_paperRevision = 0;
    QElapsedTimer m_clock;
    double m_globalTime = 0.0;
};
