#pragma once

#include "mdocumentparts.h"

#include <QObject>
#include <QRectF>
#include <QString>

class MShaderProgramList;
class MTextureLayer;
class MTransform;
class QOpenGLContext;
class QOpenGLVertexArrayObject;

// What one drawing request of the paint engine draws, where and how. Built
// on the stack by the caller, filled, handed to one or more passes.
class MPaintParams : public QObject
{
    Q_OBJECT
public:
    explicit MPaintParams(QObject *parent = nullptr);

    void reset();
    // A built-in program name or an effect id.
    QString programName() const { return m_programName; }
    void setProgramName(const QString &name) { m_programName = name; }
    // Makes the context current on its own surface; false without either.
    bool makeCurrent();

    QOpenGLContext *context = nullptr;
    // The document drawn, by its parts.
    MDocumentParts parts;
    // Canvas area of interest: with clipToPaintedRect, tiles outside it are not drawn.
    QRectF rect;
    bool clipToPaintedRect = true;
    MTextureLayer *layer = nullptr;
    MTextureLayer *underLayer = nullptr;
    MShaderProgramList *programList = nullptr;
    double opacity = 1.0;
    // Without it magnified texels are drawn as squares.
    bool smoothPixels = true;
    // The target area in logical pixels.
    QRectF viewport = QRectF(0, 0, 1, 1);
    // Canvas to view; null for offscreen renders.
    MTransform *transform = nullptr;
    bool clipToSelection = false;
    bool timeLineMode = false;
    bool showPreviousFrame = false;
    bool firstLayerAsBackground = false;
    QOpenGLVertexArrayObject *vertexArray = nullptr;
    bool useDevicePixelRatio = true;
    // Below zoom 1 the tiles (and the paper) are read from the one reduced
    // level nearest the view's scale instead of a blend of two: the
    // interactive views, where a software driver draws that in half the time.
    bool matchLevel = false;

private:
    QString m_programName;
};
