#include "mshareddata.h"

#include "mbrush.h"
#include "mcanvas.h"
#include "mgpudevice.h"
#include "mframebuffer.h"
#include "mlogger.h"
#include "mshaderprogramlist.h"
#include "mstampqueue.h"
#include "mtexturelayer.h"
#include "mtexturetile.h"
#include "mtextureutility.h"
#include "mvertexbuffer.h"

#include <QOpenGLContext>
#include <QOpenGLTexture>
#include <QOpenGLVertexArrayObject>

MSharedData::MSharedData(MCanvas *canvas, MShaderProgramList *programs)
    : QObject(canvas)
    , m_canvas(canvas)
    , m_stampQueue(new MStampQueue(this))
    , m_brush(new MBrush())
    , m_programList(programs ? programs : new MShaderProgramList(this))
    , m_ownsProgramList(!programs)
{
}

MSharedData::~MSharedData() = default;

QOpenGLVertexArrayObject *MSharedData::vertexArrayObject() const
{
    MGpuDevice *device = m_canvas ? m_canvas->gpuDevice() : nullptr;
    return device ? device->vertexArrayObject() : nullptr;
}

bool MSharedData::makeCanvasCurrent()
{
    return m_canvas && m_canvas->makeCurrent();
}

void MSharedData::setBrush(const MBrush *brush)
{
    m_brush->copyFrom(brush);
    m_stampEngine = !m_brush->shaderId().trimmed().isEmpty();
    m_curvedSettings.clear();
    for (int setting = 0; setting < MEnum::bsCount; ++setting) {
        if (m_brush->settingHasCurve(setting))
            m_curvedSettings.append({setting, m_brush->curves(setting)});
    }
}

MTextureLayer *MSharedData::currentLayer() const
{
    return m_canvas ? m_canvas->at(m_currentLayer) : nullptr;
}

MTextureLayer *MSharedData::layerBelow() const
{
    return m_canvas ? m_canvas->at(m_currentLayer - 1) : nullptr;
}

MStampState MSharedData::stampState(const double *values, const QPointF &offset) const
{
    MTextureLayer *below = layerBelow();
    return MStampState::of(values, offset, below != nullptr, below ? below->mask() : 0, brushTexture() != nullptr,
                           m_canvas->clipToSelection(), stampCounter(), m_canvas->paintedRect(), hasStampEngine());
}

void MSharedData::setColorTextureSize(double radius)
{
    const int size = 4 * int(radius * 0.5);
    m_colorTextureSize = qMax(qMin(size, m_maxColorTextureSize), m_minColorTextureSize);
}

QOpenGLTexture *MSharedData::colorSampleTexture(int size) const
{
    return ensureColorTextures(size) ? m_colorSampleTextures.value(size) : nullptr;
}

QOpenGLTexture *MSharedData::colorTargetTexture(int size) const
{
    return ensureColorTextures(size) ? m_colorTargetTextures.value(size) : nullptr;
}

void MSharedData::swapColorTextures(int size)
{
    if (!ensureColorTextures(size))
        return;
    QOpenGLTexture *sample = m_colorSampleTextures.value(size);
    m_colorSampleTextures.insert(size, m_colorTargetTextures.value(size));
    m_colorTargetTextures.insert(size, sample);
}

void MSharedData::createBrushTexture(const QImage &image)
{
    makeCanvasCurrent();
    destroyBrushTexture();
    m_brushTexture = createMipmappedTexture(image);
    if (!m_brushTexture)
        MLogger::instance()->systemError(QStringLiteral("error during brush texture creation"));
}

void MSharedData::destroyBrushTexture()
{
    // Queued stamps may still sample it: the document draws them first.
    if (m_brushTexture && !m_stampQueue->isEmpty())
        makeCanvasCurrent();
    if (m_brushTexture)
        m_brushTexture->destroy();
    delete m_brushTexture;
    m_brushTexture = nullptr;
}

void MSharedData::initializeGL()
{
    if (m_initialized || m_failed)
        return;
    MLogger &logger = *MLogger::instance();
    makeCanvasCurrent();
    if (QOpenGLContext::currentContext())
        initializeOpenGLFunctions();

    if (!m_frameBuffer)
        m_frameBuffer = new MFrameBuffer(this);
    if (!m_stampBuffer)
        m_stampBuffer.reset(new MVertexBuffer(stampBufferVertices));
    if (!QOpenGLContext::currentContext() || !m_stampBuffer->create()) {
        logger.systemError(QStringLiteral("Unable to create stamp buffer"));
        m_failed = true;
        return;
    }
    if (!createEmptyTexture()) {
        logger.systemError(QStringLiteral("Unable to create empty texture"));
        m_failed = true;
        return;
    }
    if (m_ownsProgramList || !m_programList->isReady())
        m_programList->createSharedContext();
    // Programs are compiled when first drawn with, so that a document is
    // shown without waiting for the ones it does not draw with yet.
    m_initialized = true;
}

bool MSharedData::createEmptyTexture()
{
    // Where a layer has no tile, stamps read this as they would a tile.
    const int size = m_canvas ? m_canvas->strokeLayer()->tileSize() : MTiledLayer::defaultTileSize;
    m_emptyTexture = MTextureTile::createTransparentTexture(size);
    if (!m_emptyTexture) {
        MLogger::instance()->systemError(QStringLiteral("Unable to create texture"));
        return false;
    }
    return true;
}

bool MSharedData::ensureColorTextures(int size) const
{
    if (m_colorSampleTextures.contains(size))
        return true;
    if (!m_initialized || size % 2 != 0 || size < m_minColorTextureSize || size > m_maxColorTextureSize)
        return false;
    // Textures are shared: any context of the group will do, the canvas's if none.
    if (!QOpenGLContext::currentContext() && m_canvas)
        m_canvas->makeCurrent();
    QOpenGLTexture *sample = ::createEmptyTexture(size, size);
    QOpenGLTexture *target = ::createEmptyTexture(size, size);
    if (!sample || !target) {
        MLogger::instance()->systemError(QStringLiteral("error during color textures creation"));
        delete sample;
        delete target;
        return false;
    }
    m_colorSampleTextures.insert(size, sample);
    m_colorTargetTextures.insert(size, target);
    return true;
}

void MSharedData::destroyColorTextures()
{
    for (QOpenGLTexture *texture : qAsConst(m_colorSampleTextures))
        delete texture;
    for (QOpenGLTexture *texture : qAsConst(m_colorTargetTextures))
        delete texture;
    m_colorSampleTextures.clear();
    m_colorTargetTextures.clear();
}

void MSharedData::shutDown()
{
    if (!makeCanvasCurrent() && m_canvas)
        MLogger::instance()->systemError(QStringLiteral("Unable to make current context"));
    // Drawn by the context made current above when it could be; their tiles go now.
    m_stampQueue->clear();
    if (m_stampBuffer)
        m_stampBuffer->buffer().destroy();
    m_stampBuffer.reset();
    if (m_frameBuffer) {
        m_frameBuffer->release();
        m_frameBuffer->deleteFramebuffer();
        delete m_frameBuffer;
        m_frameBuffer = nullptr;
    }
    if (m_emptyTexture)
        m_emptyTexture->destroy();
    delete m_emptyTexture;
    m_emptyTexture = nullptr;
    destroyBrushTexture();
    destroyColorTextures();
    if (m_ownsProgramList)
        m_programList->destroySharedContext();
    m_initialized = false;
    m_failed = false;
}
