#include "mstrokes.h"

#include "mbrush.h"
#include "mevent.h"
#include "mframebuffer.h"
#include "mgpudevice.h"
#include "mlayerstack.h"
#include "mlogger.h"
#include "mpaper.h"
#include "mselection.h"
#include "mshaderprogramlist.h"
#include "mstampqueue.h"
#include "mstrokepaint.h"
#include "mstrokesession.h"
#include "mtexturelayer.h"
#include "mtexturetile.h"
#include "mtextureutility.h"
#include "mvertexbuffer.h"

#include <QOpenGLContext>
#include <QOpenGLTexture>
#include <QOpenGLVertexArrayObject>

MStrokes::MStrokes(const MDocumentParts &parts, MShaderProgramList *programs, bool sharedPrograms,
                   std::function<void(MShader *)> loadEngineTextures, QObject *parent)
    : QObject(parent)
    , m_parts(parts)
    , m_loadEngineTextures(std::move(loadEngineTextures))
    , m_stampQueue(new MStampQueue(this))
    , m_programList(programs ? programs : new MShaderProgramList(this))
    , m_ownsProgramContext(!programs || !sharedPrograms)
{
    for (auto &session : m_sessions)
        session.reset(new MStrokeSession(m_parts, &m_state, this, m_stampQueue.get()));
}

MStrokes::~MStrokes() = default;

MStrokeSession *MStrokes::session(int slot) const
{
    return m_sessions[size_t(qBound(0, slot, slotCount - 1))].get();
}

void MStrokes::begin(int slot, int layerIndex, const MEvent &event, const MStrokePaint &paint)
{
    // Queued stamps are drawn with the brush, layer and colours they were placed with.
    flush();
    m_state.layerIndex = layerIndex;
    if (paint.brush)
        m_state.setBrush(paint.brush);
    m_state.foregroundColor = paint.color;
    m_state.backgroundColor = paint.secondColor;
    // The background colour becomes the stroke's border colour.
    MBrush *stroke = m_state.brush();
    const QColor &foreground = paint.color;
    const QColor &background = paint.secondColor;
    stroke->setBaseValue(MEnum::bsBrushColorHue, foreground.hueF());
    stroke->setBaseValue(MEnum::bsBrushColorSaturation, foreground.saturationF());
    stroke->setBaseValue(MEnum::bsBrushColorValue, foreground.valueF());
    stroke->setBaseValue(MEnum::bsBorderColorHue, background.hueF());
    stroke->setBaseValue(MEnum::bsBorderColorSaturation, background.saturationF());
    stroke->setBaseValue(MEnum::bsBorderColorValue, background.valueF());
    MStrokeSession *first = session(slot);
    first->begin(event);
    first->segment(event);
}

void MStrokes::segment(int slot, const MEvent &event)
{
    session(slot)->segment(event);
}

void MStrokes::end(int slot)
{
    session(slot)->end();
}

void MStrokes::cancel()
{
    session(0)->cancel();
}

void MStrokes::flush()
{
    if (m_stampQueue->isEmpty())
        return;
    if (!m_parts.device) {
        m_stampQueue->clear();
        return;
    }
    const MGpuDevice::Scope scope(m_parts.device);
    if (!scope.isCurrent()) {
        // Nothing can draw them any more: dropped rather than tried at every tile operation.
        MLogger::instance()->systemError(QStringLiteral("Unable to make current context"));
        m_stampQueue->clear();
        return;
    }
    m_stampQueue->flush();
    m_parts.device->markDrawn();
}

void MStrokes::prepareBrush(const MBrush *brush)
{
    m_stampQueue->prepare(brush);
}

void MStrokes::rehearse(const MBrush *brush, MTextureTile *tile, MTextureTile *target)
{
    m_stampQueue->rehearse(brush, tile, target);
}

bool MStrokes::prepare()
{
    initializeGL();
    return isValid();
}

QOpenGLVertexArrayObject *MStrokes::vertexArrayObject() const
{
    return m_parts.device ? m_parts.device->vertexArrayObject() : nullptr;
}

bool MStrokes::makeDeviceCurrent() const
{
    return m_parts.device && m_parts.device->makeCurrent();
}

MTextureLayer *MStrokes::currentLayer() const
{
    return m_parts.layers ? m_parts.layers->at(m_state.layerIndex) : nullptr;
}

MTextureLayer *MStrokes::layerBelow() const
{
    return m_parts.layers ? m_parts.layers->at(m_state.layerIndex - 1) : nullptr;
}

MTextureLayer *MStrokes::layerBelowCurrentRow() const
{
    return m_parts.layers ? m_parts.layers->at(m_parts.layers->currentRow() - 1) : nullptr;
}

MTextureLayer *MStrokes::selectionLayer() const
{
    return m_parts.selection ? m_parts.selection->layer() : nullptr;
}

bool MStrokes::clipToSelection() const
{
    return m_parts.selection && m_parts.selection->clipToSelection();
}

MStampState MStrokes::stampState(const double *values, const QPointF &offset) const
{
    MTextureLayer *below = layerBelow();
    const QRectF painted = m_parts.paper ? m_parts.paper->paintedRect() : QRectF();
    return MStampState::of(values, offset, below != nullptr, below ? below->mask() : 0, brushTexture() != nullptr,
                           clipToSelection(), m_state.stampCounter, painted, m_state.hasStampEngine());
}

void MStrokes::loadEngineTextures(MShader *engine)
{
    if (m_loadEngineTextures)
        m_loadEngineTextures(engine);
}

void MStrokes::setColorTextureSize(double radius)
{
    const int size = 4 * int(radius * 0.5);
    m_colorTextureSize = qMax(qMin(size, m_maxColorTextureSize), m_minColorTextureSize);
}

QOpenGLTexture *MStrokes::colorSampleTexture(int size) const
{
    return ensureColorTextures(size) ? m_colorSampleTextures.value(size) : nullptr;
}

QOpenGLTexture *MStrokes::colorTargetTexture(int size) const
{
    return ensureColorTextures(size) ? m_colorTargetTextures.value(size) : nullptr;
}

void MStrokes::swapColorTextures(int size)
{
    if (!ensureColorTextures(size))
        return;
    QOpenGLTexture *sample = m_colorSampleTextures.value(size);
    m_colorSampleTextures.insert(size, m_colorTargetTextures.value(size));
    m_colorTargetTextures.insert(size, sample);
}

void MStrokes::createBrushTexture(const QImage &image)
{
    makeDeviceCurrent();
    destroyBrushTexture();
    m_brushTexture = createMipmappedTexture(image);
    if (!m_brushTexture)
        MLogger::instance()->systemError(QStringLiteral("error during brush texture creation"));
}

void MStrokes::destroyBrushTexture()
{
    // Queued stamps may still sample it: they are drawn first.
    if (m_brushTexture && !m_stampQueue->isEmpty()) {
        makeDeviceCurrent();
        flush();
    }
    if (m_brushTexture)
        m_brushTexture->destroy();
    delete m_brushTexture;
    m_brushTexture = nullptr;
}

void MStrokes::initializeGL()
{
    if (m_initialized || m_failed)
        return;
    MLogger &logger = *MLogger::instance();
    makeDeviceCurrent();
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
    if (m_ownsProgramContext || !m_programList->isReady())
        m_programList->createSharedContext();
    // Programs are compiled when first drawn with, so that a document is
    // shown without waiting for the ones it does not draw with yet.
    m_initialized = true;
}

bool MStrokes::createEmptyTexture()
{
    // Where a layer has no tile, stamps read this as they would a tile.
    const int size = m_parts.strokeLayer ? m_parts.strokeLayer->tileSize() : MTiledLayer::defaultTileSize;
    m_emptyTexture = MTextureTile::createTransparentTexture(size);
    if (!m_emptyTexture) {
        MLogger::instance()->systemError(QStringLiteral("Unable to create texture"));
        return false;
    }
    return true;
}

bool MStrokes::ensureColorTextures(int size) const
{
    if (m_colorSampleTextures.contains(size))
        return true;
    if (!m_initialized || size % 2 != 0 || size < m_minColorTextureSize || size > m_maxColorTextureSize)
        return false;
    // Textures are shared: any context of the group will do, the document's if none.
    if (!QOpenGLContext::currentContext())
        makeDeviceCurrent();
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

void MStrokes::destroyColorTextures()
{
    for (QOpenGLTexture *texture : qAsConst(m_colorSampleTextures))
        delete texture;
    for (QOpenGLTexture *texture : qAsConst(m_colorTargetTextures))
        delete texture;
    m_colorSampleTextures.clear();
    m_colorTargetTextures.clear();
}

void MStrokes::shutDown()
{
    const bool current = makeDeviceCurrent();
    if (!current && m_parts.device)
        MLogger::instance()->systemError(QStringLiteral("Unable to make current context"));
    // Drawn when the context could be made current; their tiles go now.
    if (current)
        flush();
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
    if (m_ownsProgramContext)
        m_programList->destroySharedContext();
    m_initialized = false;
    m_failed = false;
}
