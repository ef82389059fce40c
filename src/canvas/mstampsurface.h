#pragma once

#include "mstampstate.h"

#include <QPointF>

class MBrush;
class MFrameBuffer;
class MShader;
class MShaderProgramList;
class MTextureLayer;
class MVertexBuffer;
class QImage;
class QOpenGLFunctions;
class QOpenGLTexture;
class QOpenGLVertexArrayObject;

// What stamps are drawn with and into: the stroke's brush and layers, the
// GL objects of the passes and the document's context, without the
// document. The strokes part provides it to its queue and its sessions.
class MStampSurface
{
public:
    static constexpr int stampBufferVertices = 60000;

    virtual ~MStampSurface() = default;

    // Sets up the GL objects when needed; false when they cannot be used.
    virtual bool prepare() = 0;
    // Set up and not failed.
    virtual bool isValid() const = 0;
    virtual QOpenGLFunctions *functions() = 0;
    virtual MShaderProgramList *programList() const = 0;

    // The stroke's copy of its brush.
    virtual MBrush *brush() const = 0;
    // The stroke's layer, the one under it, and those of the document now.
    virtual MTextureLayer *currentLayer() const = 0;
    virtual MTextureLayer *layerBelow() const = 0;
    virtual MTextureLayer *layerBelowCurrentRow() const = 0;
    virtual MTextureLayer *selectionLayer() const = 0;
    virtual bool clipToSelection() const = 0;
    // What a pass of the values sets besides the stamps, with what the
    // document and the stroke hold now.
    virtual MStampState stampState(const double *values, const QPointF &offset) const = 0;

    virtual MFrameBuffer *frameBuffer() const = 0;
    virtual MVertexBuffer *stampBuffer() const = 0;
    // The document's: its tile passes and the strokes draw with the same one.
    virtual QOpenGLVertexArrayObject *vertexArrayObject() const = 0;
    virtual QOpenGLTexture *emptyTexture() const = 0;
    virtual QOpenGLTexture *brushTexture() const = 0;
    virtual void createBrushTexture(const QImage &image) = 0;
    virtual void destroyBrushTexture() = 0;
    // The colour-feedback textures of the stroke's size, made on first use.
    virtual int colorTextureSize() const = 0;
    // An even size between the smallest and the largest made, for a stamp radius.
    virtual void setColorTextureSize(double radius) = 0;
    virtual QOpenGLTexture *colorSampleTexture(int size) const = 0;
    virtual QOpenGLTexture *colorTargetTexture(int size) const = 0;
    virtual void swapColorTextures(int size) = 0;
    // The textures a brush engine samples, loaded for its passes.
    virtual void loadEngineTextures(MShader *engine) = 0;
    // Draws the queued stamps under the document's context.
    virtual void drawQueued() = 0;
};
