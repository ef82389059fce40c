#pragma once

#include "menum.h"
#include "mevent.h"
#include "mstampstate.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QObject>
#include <QOpenGLFunctions>
#include <QRectF>
#include <QVector>

#include <memory>

class MBrush;
class MCanvas;
class MCurve;
class MFrameBuffer;
class MShaderProgramList;
class MStampQueue;
class MTextureLayer;
class MVertexBuffer;
class QImage;
class QOpenGLTexture;
class QOpenGLVertexArrayObject;

// The GPU objects and per-stroke state that the document and the stroke
// runners share: a copy of the stroke's brush, the program list, the stamp
// buffer, the frame buffer, the empty, brush and colour-feedback textures,
// and the stroke slots (one per simultaneous stroke) with the setting values
// and event of each slot's last stamp. Everything runs under the document's
// context.
class MSharedData : public QObject, public QOpenGLFunctions
{
    Q_OBJECT
public:
    static constexpr int slotCount = 30;
    static constexpr int stampBufferVertices = 60000;

    // programs: a list shared with other documents, used as it is and left
    // alive; without one the document compiles a list of its own.
    explicit MSharedData(MCanvas *canvas, MShaderProgramList *programs = nullptr);
    ~MSharedData() override;

    // Set up and not failed.
    bool isValid() const { return m_initialized && !m_failed; }
    bool isInitialized() const { return m_initialized; }
    bool hasFailed() const { return m_failed; }
    MCanvas *canvas() const { return m_canvas; }

    void setBrush(const MBrush *brush);
    MBrush *brush() const { return m_brush.get(); }
    // The stroke's brush stamps with a brush engine's program of its own.
    bool hasStampEngine() const { return m_stampEngine; }
    // The stroke brush's settings that input curves modulate, in setting
    // order, each with its curves in the order the brush gives them.
    struct CurvedSetting
    {
        int setting;
        QList<MCurve *> curves;
    };
    const QVector<CurvedSetting> &curvedSettings() const { return m_curvedSettings; }

    void setCurrentLayer(int index) { m_currentLayer = index; }
    int currentLayerIndex() const { return m_currentLayer; }
    MTextureLayer *currentLayer() const;
    MTextureLayer *layerBelow() const;
    // What a pass of the values sets besides the stamps, with what the
    // document and the stroke hold now.
    MStampState stampState(const double *values, const QPointF &offset) const;

    // The colour-feedback texture size for a stamp radius: an even size
    // between the smallest and the largest made.
    void setColorTextureSize(double radius);
    int colorTextureSize() const { return m_colorTextureSize; }
    int minimumColorTextureSize() const { return m_minColorTextureSize; }
    int maximumColorTextureSize() const { return m_maxColorTextureSize; }
    // Made on first use: most brushes never feed colour back.
    QOpenGLTexture *colorSampleTexture(int size) const;
    QOpenGLTexture *colorTargetTexture(int size) const;
    void swapColorTextures(int size);

    void createBrushTexture(const QImage &image);
    void destroyBrushTexture();

    void setPaintedRect(const QRectF &rect) { m_paintedRect = rect; }
    QRectF paintedRect() const { return m_paintedRect; }
    void setStartPaintedRect(const QRectF &rect) { m_startPaintedRect = rect; }
    QRectF startPaintedRect() const { return m_startPaintedRect; }

    int stampCounter() const { return m_stampCounter; }
    void setStampCounter(int value) { m_stampCounter = value; }
    // The brush's values at stroke start, by setting id.
    double *baseValues() { return m_baseValues; }
    // The values of a slot's last stamp, by setting id (slot 0 to 29).
    double *slotValues(int slot) { return m_slotValues[qBound(0, slot, slotCount - 1)]; }
    MEvent &slotEvent(int slot) { return m_slotEvents[qBound(0, slot, slotCount - 1)]; }
    QColor foregroundColor() const { return m_foregroundColor; }
    void setForegroundColor(const QColor &color) { m_foregroundColor = color; }
    QColor backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(const QColor &color) { m_backgroundColor = color; }

    MVertexBuffer *stampBuffer() const { return m_stampBuffer.get(); }
    // The stamps placed and not drawn yet.
    MStampQueue *stampQueue() const { return m_stampQueue.get(); }
    MFrameBuffer *frameBuffer() const { return m_frameBuffer; }
    MShaderProgramList *programList() const { return m_programList; }
    // The document's: its tile passes and the strokes draw with the same one.
    QOpenGLVertexArrayObject *vertexArrayObject() const;
    QOpenGLTexture *emptyTexture() const { return m_emptyTexture; }
    QOpenGLTexture *brushTexture() const { return m_brushTexture; }

public slots:
    void initializeGL();
    void shutDown();

private:
    bool makeCanvasCurrent();
    bool createEmptyTexture();
    bool ensureColorTextures(int size) const;
    void destroyColorTextures();

    MCanvas *m_canvas;
    std::unique_ptr<MVertexBuffer> m_stampBuffer;
    std::unique_ptr<MStampQueue> m_stampQueue;
    std::unique_ptr<MBrush> m_brush;
    int m_currentLayer = -1;
    bool m_initialized = false;
    bool m_failed = false;
    MFrameBuffer *m_frameBuffer = nullptr;
    QRectF m_startPaintedRect;
    QRectF m_paintedRect;
    MShaderProgramList *m_programList;
    bool m_ownsProgramList;
    QOpenGLTexture *m_emptyTexture = nullptr;
    QOpenGLTexture *m_brushTexture = nullptr;
    bool m_stampEngine = false;
    QVector<CurvedSetting> m_curvedSettings;
    int m_colorTextureSize = 64;
    mutable QHash<int, QOpenGLTexture *> m_colorSampleTextures;
    mutable QHash<int, QOpenGLTexture *> m_colorTargetTextures;
    int m_minColorTextureSize = 4;
    int m_maxColorTextureSize = 100;
    int m_stampCounter = 0;
    double m_baseValues[MEnum::bsCount] = {};
    double m_slotValues[slotCount][MEnum::bsCount] = {};
    MEvent m_slotEvents[slotCount];
    QColor m_foregroundColor;
    QColor m_backgroundColor;
};
