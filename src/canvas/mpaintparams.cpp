#include "mpaintparams.h"

#include <QOpenGLContext>

MPaintParams::MPaintParams(QObject *parent)
    : QObject(parent)
{
    reset();
}

void MPaintParams::reset()
{
    context = nullptr;
    parts = MDocumentParts();
    rect = QRectF();
    clipToPaintedRect = true;
    layer = nullptr;
    underLayer = nullptr;
    m_programName.clear();
    programList = nullptr;
    opacity = 1.0;
    smoothPixels = true;
    viewport = QRectF(0, 0, 1, 1);
    transform = nullptr;
    clipToSelection = false;
    timeLineMode = false;
    showPreviousFrame = false;
    firstLayerAsBackground = false;
    vertexArray = nullptr;
    useDevicePixelRatio = true;
    matchLevel = false;
}

bool MPaintParams::makeCurrent()
{
    if (!context || !context->surface())
        return false;
    return context->makeCurrent(context->surface());
}
