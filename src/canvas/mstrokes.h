#pragma once

#include "mdocumentparts.h"
#include "mstampsurface.h"
#include "mstrokestate.h"

#include <QHash>
#include <QObject>
#include <QOpenGLFunctions>

#include <array>
#include <functional>
#include <memory>

class MStampQueue;
struct MStrokePaint;
class MStrokeSession;
class MTextureTile;
class MEvent;

// The document's strokes: the GL objects they share (the stamp buffer, the
// frame buffer, the empty, brush and colour-feedback textures, the queue of
// stamps not drawn yet, the copy of the brush) and one session per stroke
// slot (one per simultaneous stroke). Everything runs under the document's
// context, reached through the document's parts.
class MStrokes : public QObject, public QOpenGLFunctions, public MStampSurface
{
    Q_OBJECT
public:
    static constexpr int slotCount = 30;

    // programs: a list shared with other documents, used as it is and left
    // alive (sharedPrograms); otherwise the strokes make and end its shared
    // context with the document's, and without one they compile their own.
    // loadEngineTextures loads the textures a brush engine samples.
    explicit MStrokes(const MDocumentParts &parts, MShaderProgramList *programs = nullptr,
                      bool sharedPrograms = false, std::function<void(MShader *)> loadEngineTextures = {},
                      QObject *parent = nullptr);
    ~MStrokes() override;

    void initializeGL();
    void shutDown();
    bool isInitialized() const { return m_initialized; }
    bool hasFailed() const { return m_failed; }

    // The slot's session (slots out of range are the nearest one's).
    MStrokeSession *session(int slot) const;
    MStrokeState *state() { return &m_state; }
    const MStrokeState *state() const { return &m_state; }
    MStampQueue *stampQueue() const { return m_stampQueue.get(); }

    // Begins a stroke in the slot on the layer with the paint, and places
    // its first stamp; the stamps queued before are drawn with what they
    // were placed with first.
    void begin(int slot, int layerIndex, const MEvent &event, const MStrokePaint &paint);
    void segment(int slot, const MEvent &event);
    // Merges the stroke into its layer as one undo step.
    void end(int slot);
    // Throws the stroke layer's stamps away.
    void cancel();
    // Draws the queued stamps; the context that was current stays current.
    void flush();
    // Compiles the programs the brush's first stamps will need.
    void prepareBrush(const MBrush *brush);
    // One stamp of the brush into the tile over the target, with the
    // stroke's layer and brush as they were set.
    void rehearse(const MBrush *brush, MTextureTile *tile, MTextureTile *target);

    void setColorTextureSize(double radius) override;
    int minimumColorTextureSize() const { return m_minColorTextureSize; }
    int maximumColorTextureSize() const { return m_maxColorTextureSize; }

    // MStampSurface
    bool prepare() override;
    bool isValid() const override { return m_initialized && !m_failed; }
    QOpenGLFunctions *functions() override { return this; }
    MShaderProgramList *programList() const override { return m_programList; }
    MBrush *brush() const override { return m_state.brush(); }
    MTextureLayer *currentLayer() const override;
    MTextureLayer *layerBelow() const override;
    MTextureLayer *layerBelowCurrentRow() const override;
    MTextureLayer *selectionLayer() const override;
    bool clipToSelection() const override;
    MStampState stampState(const double *values, const QPointF &offset) const override;
    MFrameBuffer *frameBuffer() const override { return m_frameBuffer; }
    MVertexBuffer *stampBuffer() const override { return m_stampBuffer.get(); }
    QOpenGLVertexArrayObject *vertexArrayObject() const override;
    QOpenGLTexture *emptyTexture() const override { return m_emptyTexture; }
    QOpenGLTexture *brushTexture() const override { return m_brushTexture; }
    void createBrushTexture(const QImage &image) override;
    void destroyBrushTexture() override;
    int colorTextureSize() const override { return m_colorTextureSize; }
    QOpenGLTexture *colorSampleTexture(int size) const override;
    QOpenGLTexture *colorTargetTexture(int size) const override;
    void swapColorTextures(int size) override;
    void loadEngineTextures(MShader *engine) override;
    void drawQueued() override { flush(); }

private:
    // The document's context, for GL objects made or deleted; stamps stay queued.
    bool makeDeviceCurrent() const;
    bool createEmptyTexture();
    bool ensureColorTextures(int size) const;
    void destroyColorTextures();

    MDocumentParts m_parts;
    std::function<void(MShader *)> m_loadEngineTextures;
    MStrokeState m_state;
    std::unique_ptr<MVertexBuffer> m_stampBuffer;
    std::unique_ptr<MStampQueue> m_stampQueue;
    std::array<std::unique_ptr<MStrokeSession>, slotCount> m_sessions;
    bool m_initialized = false;
    bool m_failed = false;
    MFrameBuffer *m_frameBuffer = nullptr;
    MShaderProgramList *m_programList;
    bool m_ownsProgramContext;
    QOpenGLTexture *m_emptyTexture = nullptr;
    QOpenGLTexture *m_brushTexture = nullptr;
    int m_colorTextureSize = 64;
    mutable QHash<int, QOpenGLTexture *> m_colorSampleTextures;
    mutable QHash<int, QOpenGLTexture *> m_colorTargetTextures;
    int m_minColorTextureSize = 4;
    int m_maxColorTextureSize = 100;
};
