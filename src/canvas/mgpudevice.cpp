#include "mgpudevice.h"

#include "mdocumentdescription.h"
#include "menum.h"
#include "mframebuffer.h"
#include "mglstateguard.h"
#include "mimagefile.h"
#include "mlogger.h"
#include "mopengl.h"
#include "mpaper.h"
#include "mpathvarlist.h"
#include "msamplers.h"
#include "mselection.h"
#include "mshader.h"
#include "mshaderlist.h"
#include "mshaderprogramlist.h"
#include "mtexture.h"
#include "mtextureunitbinder.h"
#include "mtextureutility.h"
#include "mvertexbuffer.h"

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLPixelTransferOptions>
#include <QOpenGLShaderProgram>
#include <QOpenGLTexture>
#include <QOpenGLVertexArrayObject>

namespace {
void systemError(const QString &message)
{
    MLogger::instance()->systemError(message);
}

// Premultiplied, as every colour the tile passes blend.
QColor premultiplied(const QColor &color)
{
    const double alpha = color.alphaF();
    return QColor::fromRgbF(color.redF() * alpha, color.greenF() * alpha, color.blueF() * alpha, alpha);
}
} // namespace

MGpuDevice::MGpuDevice(const Sources &sources, QObject *parent)
    : QObject(parent)
    , m_sources(sources)
    , m_vertexArray(new QOpenGLVertexArrayObject(this))
    , m_frameBuffer(new MFrameBuffer(this))
{
    m_clock.start();
}

// GL objects were released by shutDown and destroyContext under the right context.
MGpuDevice::~MGpuDevice()
{
    for (const QVector<QOpenGLTexture *> &textures : qAsConst(m_effectTextures))
        qDeleteAll(textures);
}

// ---------------------------------------------------------------- context

bool MGpuDevice::createContext()
{
    if (m_glReady)
        return true;
    QOpenGLContext *global = QOpenGLContext::globalShareContext();
    if (global && global->surface())
        global->makeCurrent(global->surface());
    MLogger &logger = *MLogger::instance();
    if (!MOpenGL::existingInstance() || !MOpenGL::instance()->takeSpareContext(m_context, m_surface)) {
        m_context = MOpenGL::createSharedContext(global);
        if (!m_context) {
            logger.systemError(QStringLiteral("Unable to create shared context"));
            return false;
        }
        m_surface = MOpenGL::createOffscreenSurface(m_context);
    }
    if (!m_surface) {
        logger.systemError(QStringLiteral("Unable to create surface"));
        delete m_context;
        m_context = nullptr;
        return false;
    }
    m_glReady = true;
    switchTo(m_context, m_surface);
    m_context->functions()->initializeOpenGLFunctions();
    initializeOpenGLFunctions();
    m_vertexArray->create();
    return true;
}

void MGpuDevice::destroyContext()
{
    if (!m_glReady)
        return;
    makeCurrent();
    m_frameBuffer->release();
    m_frameBuffer->deleteFramebuffer();
    m_vertexArray->destroy();
    MOpenGL::destroyContext(m_context, m_surface);
    m_glReady = false;
}

bool MGpuDevice::switchTo(QOpenGLContext *context, QSurface *surface)
{
    ++m_counts.switches;
    return context->makeCurrent(surface);
}

bool MGpuDevice::makeCurrent()
{
    if (!m_glReady)
        return false;
    if (QOpenGLContext::currentContext() == m_context)
        return true;
    return switchTo(m_context, m_surface);
}

void MGpuDevice::finishForReaders()
{
    if (!m_drawn)
        return;
    const Scope scope(this);
    if (!scope.isCurrent())
        return;
    glFinish();
    ++m_counts.finishes;
    m_drawn = false;
}

int MGpuDevice::maximumRenderSize()
{
    if (!makeCurrent())
        return 0;
    GLint textureSize = 0;
    GLint viewport[2] = {0, 0};
    QOpenGLFunctions *f = m_context->functions();
    f->glGetIntegerv(GL_MAX_TEXTURE_SIZE, &textureSize);
    f->glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
    return qMin(int(textureSize), qMin(int(viewport[0]), int(viewport[1])));
}

MGpuDevice::Scope::Scope(MGpuDevice *device)
    : m_device(device)
{
    if (!device || !device->m_glReady)
        return;
    QOpenGLContext *current = QOpenGLContext::currentContext();
    if (current == device->m_context) {
        m_current = true;
        return;
    }
    m_previous = current;
    m_previousSurface = current ? current->surface() : nullptr;
    m_current = device->switchTo(device->m_context, device->m_surface);
}

MGpuDevice::Scope::~Scope()
{
    if (m_previous && m_previousSurface && QOpenGLContext::currentContext() != m_previous)
        m_device->switchTo(m_previous, m_previousSurface);
}

// ---------------------------------------------------------------- resources

bool MGpuDevice::init()
{
    if (m_ready)
        return true;
    if (!QOpenGLContext::currentContext()) {
        systemError(QStringLiteral("Need a current context"));
        return false;
    }
    if (!m_vertexBuffer)
        m_vertexBuffer.reset(new MVertexBuffer(30));
    if (!m_vertexBuffer->buffer().isCreated() && !m_vertexBuffer->create()) {
        systemError(QStringLiteral("Can't create vertex buffer"));
        return false;
    }
    if (!createEmptyTexture()) {
        systemError(QStringLiteral("Can't create empty texture"));
        return false;
    }
    if (!createAlphaBackTexture()) {
        systemError(QStringLiteral("Can't create empty paper texture"));
        return false;
    }
    if (!createWorkTexture()) {
        systemError(QStringLiteral("Can't create work texture"));
        return false;
    }
    m_ready = true;
    return true;
}

bool MGpuDevice::createInContext(const std::function<bool()> &make)
{
    const Scope scope(this);
    if (!scope.isCurrent()) {
        systemError(QStringLiteral("Unable to make canvas current context"));
        return false;
    }
    return make();
}

bool MGpuDevice::createEmptyTexture()
{
    if (m_emptyTexture && m_emptyTexture->isCreated())
        return true;
    return createInContext([this] {
        m_emptyTexture.reset(MTextureTile::createTransparentTexture(m_sources.strokeLayer->tileSize()));
        if (!m_emptyTexture) {
            systemError(QStringLiteral("Unable to create texture"));
            return false;
        }
        return true;
    });
}

bool MGpuDevice::createAlphaBackTexture()
{
    if (m_alphaBackTexture && m_alphaBackTexture->isCreated())
        return true;
    return createInContext([this] {
        QImage image(QStringLiteral(":/icons/alphaback.png"));
        if (image.format() != QImage::Format_ARGB32_Premultiplied)
            image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        // Drawn one texel to a screen pixel or larger: no smaller level is
        // ever sampled, and making them would cost the context's first draw.
        m_alphaBackTexture.reset(createTexture(image));
        if (!m_alphaBackTexture)
            return false;
        m_alphaBackTexture->setMinificationFilter(QOpenGLTexture::NearestMipMapNearest);
        return true;
    });
}

bool MGpuDevice::createWorkTexture()
{
    if (m_workTexture && m_workTexture->isCreated())
        return true;
    return createInContext([this] {
        m_workTexture.reset(::createEmptyTexture(512, 512));
        if (!m_workTexture)
            return false;
        m_workTexture->setMinificationFilter(QOpenGLTexture::LinearMipMapLinear);
        return true;
    });
}

void MGpuDevice::shutDown()
{
    if (m_vertexBuffer)
        m_vertexBuffer->buffer().destroy();
    for (QOpenGLTexture *texture : {m_emptyTexture.get(), m_alphaBackTexture.get(), m_workTexture.get()}) {
        if (texture && texture->isCreated())
            texture->destroy();
    }
    clearEffectTextures();
    m_ready = false;
}

void MGpuDevice::loadEffectTexture(MShader *effect)
{
    if (!effect || !effect->texturesModified())
        return;
    const Scope scope(this);
    effect->setTexturesModified(false);
    // Each effect keeps its own textures: another effect reloading must not
    // free the textures this one's ids point at.
    clearEffectTextures(effect);
    if (!m_effectTextures.contains(effect)) {
        connect(effect, &QObject::destroyed, this, [this, effect] {
            const Scope scope(this);
            const QVector<QOpenGLTexture *> textures = m_effectTextures.take(effect);
            qDeleteAll(textures);
        });
    }
    QVector<QOpenGLTexture *> &loaded = m_effectTextures[effect];
    for (int i = 0; i < effect->textureCount(); ++i) {
        MTexture *parameter = effect->texture(i);
        if (!parameter)
            continue;
        const QString path = MPathVarList::expand(parameter->fileName());
        QString reason;
        const QImage image = MImageFile::read(path, &reason, MDocumentDescription::imageCheck());
        if (image.isNull()) {
            systemError(QStringLiteral("Unable to read the texture %1: %2").arg(path, reason));
            continue;
        }
        if (QOpenGLTexture *texture = createMipmappedTexture(image)) {
            parameter->setTextureId(texture->textureId());
            loaded.append(texture);
        } else {
            systemError(QStringLiteral("Error during texture creation") + path);
        }
    }
}

void MGpuDevice::clearEffectTextures(MShader *effect)
{
    auto found = m_effectTextures.find(effect);
    if (found == m_effectTextures.end() || found.value().isEmpty())
        return;
    const Scope scope(this);
    for (QOpenGLTexture *texture : qAsConst(found.value())) {
        texture->release();
        texture->destroy();
        delete texture;
    }
    found.value().clear();
}

void MGpuDevice::clearEffectTextures()
{
    for (auto it = m_effectTextures.begin(); it != m_effectTextures.end(); ++it) {
        if (it.value().isEmpty())
            continue;
        clearEffectTextures(it.key());
        // The effect's texture ids named what was just freed: whoever draws
        // it next loads its images again.
        it.key()->setTexturesModified(true);
    }
}

unsigned int MGpuDevice::layerTextureAt(MTextureLayer *layer, const QPointF &point, int lastLevel)
{
    if (layer) {
        if (auto *tile = static_cast<MTextureTile *>(layer->tileAt(point))) {
            if (tile->ensureTexture()) {
                tile->updateMipmaps(lastLevel);
                return tile->textureId();
            }
        }
    }
    return m_emptyTexture ? m_emptyTexture->textureId() : 0;
}

void MGpuDevice::setTileUniforms(QOpenGLShaderProgram *program, const QRect &area, int size, int border,
                                 const QRectF &painted)
{
    program->setUniformValue("f_texturePos", QPointF(area.topLeft()));
    program->setUniformValue("f_textureSize", GLfloat(size));
    program->setUniformValue("f_textureBorder", GLfloat(border));
    program->setUniformValue("f_paintedRectPos", painted.topLeft());
    program->setUniformValue("f_paintedRectWidth", GLfloat(painted.width()));
    program->setUniformValue("f_paintedRectHeight", GLfloat(painted.height()));
}

float MGpuDevice::nextGlobalTime()
{
    return float(double(m_clock.nsecsElapsed()) / 1000000000.0);
}

// ---------------------------------------------------------------- tile primitives

void MGpuDevice::clearTile(MTile *tile)
{
    if (m_glReady)
        makeCurrent();
    if (auto *texture = static_cast<MTextureTile *>(tile)) {
        texture->clear();
        m_drawn = true;
    }
}

void MGpuDevice::clearLayer(MTextureLayer *layer)
{
    if (!layer)
        return;
    for (int i = 0; i < layer->tileCount(); ++i)
        clearTile(layer->tileAt(i));
}

void MGpuDevice::fillTile(MTile *tile, const QColor &color)
{
    if (m_glReady)
        makeCurrent();
    auto *texture = static_cast<MTextureTile *>(tile);
    if (!texture)
        return;
    const QPointF centre = QRectF(texture->rectWithBorder()).center();
    auto *selection = static_cast<MTextureTile *>(m_sources.selection->layer()->tileAt(centre));
    fillTile(texture, selection, color, QStringLiteral("fill"), m_sources.selection->hasSelection());
}

void MGpuDevice::blendStrokeTile(MTile *tile, MTextureLayer *layer, MTextureLayer *below)
{
    if (m_glReady)
        makeCurrent();
    renderEffectToTile(static_cast<MTextureTile *>(tile), layer, below, GL_ONE, GL_ZERO, QStringLiteral("stroke"), 1.0,
                       m_sources.strokeLayer->opacity());
}

bool MGpuDevice::blitImage(const QPointF &centre, const QImage &image, MTextureLayer *layer, bool clearFirst)
{
    if (image.isNull() || !layer)
        return false;
    const QRect target(qRound(centre.x() - image.width() / 2), qRound(centre.y() - image.height() / 2),
                       image.width(), image.height());
    makeCurrent();
    if (clearFirst)
        clearLayer(layer);
    const int size = layer->tileSize();
    std::unique_ptr<QOpenGLTexture> scratch(new QOpenGLTexture(QOpenGLTexture::Target2D));
    scratch->setFormat(QOpenGLTexture::RGBA8_UNorm);
    scratch->setSize(size, size);
    // The blit samples the nearest texel of the first level only: smaller
    // levels, rebuilt at every piece, would cost a whole chain per tile.
    scratch->setMipLevels(1);
    scratch->setAutoMipMapGenerationEnabled(false);
    scratch->allocateStorage(QOpenGLTexture::RGBA, QOpenGLTexture::UInt8);
    QOpenGLPixelTransferOptions options;
    options.setAlignment(1);
    forEachTileUnder(layer, image, target, QRectF(target), [&](MTextureTile *texture, const QImage &piece) {
        if (!texture->ensureTexture())
            return;
        scratch->setData(0, QOpenGLTexture::RGBA, QOpenGLTexture::UInt8, piece.constBits(), &options);
        blitTile(texture, scratch->textureId(), GL_ONE, GL_ONE_MINUS_SRC_ALPHA, QStringLiteral("basic"), 1.0);
    });
    scratch->destroy();
    return true;
}

// ---------------------------------------------------------------- tile passes

void MGpuDevice::bindTileTarget(unsigned int texture, int width, int height, QMatrix4x4 &mvp)
{
    glViewport(0, 0, width, height);
    mvp.setToIdentity();
    mvp.ortho(0.0f, float(width), 0.0f, float(height), -1.0f, 1.0f);
    glActiveTexture(GL_TEXTURE0);
    MFrameBuffer *frameBuffer = m_frameBuffer;
    frameBuffer->attachTexture(texture);
    frameBuffer->bind();
}

void MGpuDevice::releaseTileTarget()
{
    MFrameBuffer *frameBuffer = m_frameBuffer;
    frameBuffer->detachTexture();
    frameBuffer->release();
}

// One white quad over the whole target: texture coordinates equal positions
// within the tile texture, border included.
void MGpuDevice::addTileQuad(int width, int height)
{
    m_vertexBuffer->bind();
    m_vertexBuffer->clear();
    m_vertexBuffer->addQuad(0, QRectF(0, 0, width, height), QRectF(0, 0, 1, 1), Qt::white);
}

void MGpuDevice::beginTilePass(unsigned int target, int size, int srcFactor, int dstFactor, QMatrix4x4 &mvp)
{
    glEnable(GL_BLEND);
    glBlendEquation(GL_FUNC_ADD);
    glBlendFunc(GLenum(srcFactor), GLenum(dstFactor));
    bindTileTarget(target, size, size, mvp);
    addTileQuad(size, size);
}

void MGpuDevice::bindNearest(unsigned int unit, unsigned int texture)
{
    glActiveTexture(unit);
    glBindTexture(GL_TEXTURE_2D, texture);
    MSamplers::bind(unit - GL_TEXTURE0, GL_NEAREST, GL_NEAREST, GL_CLAMP_TO_EDGE, GL_CLAMP_TO_EDGE);
}

// The layer tile on unit 1, the selection tile on unit 2.
void MGpuDevice::drawTilePass(QOpenGLShaderProgram *program, const QMatrix4x4 &mvp, bool clipToSelection)
{
    program->setUniformValue("mvp", mvp);
    program->setUniformValue("f_clipToSelection", clipToSelection);
    program->setUniformValue("f_currentLayerTexture", 1);
    program->setUniformValue("f_selectionLayerTexture", 2);
    glDrawArrays(GL_TRIANGLES, 0, m_vertexBuffer->count());
    m_drawn = true;
    MShaderProgramList::release(program, m_vertexArray);
}

void MGpuDevice::endTilePass()
{
    m_vertexBuffer->release();
    releaseTileTarget();
    for (GLenum unit : {GL_TEXTURE2, GL_TEXTURE1, GL_TEXTURE0}) {
        glActiveTexture(unit);
        glBindTexture(GL_TEXTURE_2D, 0);
        MSamplers::unbind(unit - GL_TEXTURE0);
    }
}

void MGpuDevice::blitTile(MTextureTile *destination, MTextureTile *sourceTile, int srcFactor, int dstFactor,
                          const QString &programName, double opacity, const QRect &area)
{
    if (!m_ready)
        return;
    unsigned int source = m_emptyTexture->textureId();
    if (sourceTile && sourceTile->ensureTexture())
        source = sourceTile->textureId();
    blitTile(destination, source, srcFactor, dstFactor, programName, opacity, area);
}

void MGpuDevice::blitTile(MTextureTile *destination, unsigned int sourceTexture, int srcFactor, int dstFactor,
                          const QString &programName, double opacity, const QRect &area)
{
    MShaderProgramList *programList = programsFor(destination);
    if (!programList || !init())
        return;
    destination->ensureTexture();
    const MGlStateGuard state;
    QMatrix4x4 mvp;
    beginTilePass(destination->textureId(), destination->tileSize(), srcFactor, dstFactor, mvp);
    bindNearest(GL_TEXTURE1, sourceTexture);
    const bool clip = m_sources.selection->clipToSelection();
    unsigned int selection = m_emptyTexture->textureId();
    if (clip) {
        const QPointF centre = QRectF(destination->rectWithBorder()).center();
        auto *tile = static_cast<MTextureTile *>(m_sources.selection->layer()->tileAt(centre));
        if (tile && tile->ensureTexture())
            selection = tile->textureId();
    }
    bindNearest(GL_TEXTURE2, selection);
    const bool scissor = !area.isEmpty();
    if (scissor) {
        glEnable(GL_SCISSOR_TEST);
        glScissor(area.x(), area.y(), area.width(), area.height());
    }
    if (QOpenGLShaderProgram *program = programList->bindForVao(programName, m_vertexArray)) {
        program->setUniformValue("f_opacity", GLfloat(opacity));
        program->setUniformValue("f_clipToPaintedRect", false);
        drawTilePass(program, mvp, clip);
    }
    endTilePass();
    destination->markMipmapsDirty(area);
    glBindTexture(GL_TEXTURE_2D, 0);
}

MShaderProgramList *MGpuDevice::programsFor(const MTextureTile *destination)
{
    if (!destination) {
        systemError(QStringLiteral("try to blit on a null destination tile"));
        return nullptr;
    }
    if (!makeCurrent()) {
        systemError(QStringLiteral("Unable to make current context"));
        return nullptr;
    }
    return m_sources.programs;
}

void MGpuDevice::fillTile(MTextureTile *tile, MTextureTile *selectionTile, const QColor &color,
                          const QString &programName, bool clipToSelection)
{
    if (!m_ready)
        return;
    MShaderProgramList *programList = programsFor(tile);
    if (!programList)
        return;
    tile->ensureTexture();
    const MGlStateGuard state;
    QMatrix4x4 mvp;
    beginTilePass(m_workTexture->textureId(), m_workTexture->width(), GL_ONE, GL_ZERO, mvp);
    bindNearest(GL_TEXTURE1, tile->textureId());
    if (clipToSelection) {
        unsigned int selection = m_emptyTexture->textureId();
        if (selectionTile && selectionTile->ensureTexture())
            selection = selectionTile->textureId();
        bindNearest(GL_TEXTURE2, selection);
    }
    if (QOpenGLShaderProgram *program = programList->bindForVao(programName, m_vertexArray)) {
        program->setUniformValue("f_fillColor", premultiplied(color));
        drawTilePass(program, mvp, clipToSelection);
    }
    endTilePass();
    blitTile(tile, m_workTexture->textureId(), GL_ONE, GL_ZERO, QStringLiteral("basic"), 1.0);
}

void MGpuDevice::renderEffectToTexture(MTextureTile *tile, MTextureLayer *layer, MTextureLayer *under,
                                       QOpenGLTexture *output, int srcFactor, int dstFactor,
                                       const QString &programName, double opacity, double strokeOpacity)
{
    if (!m_ready)
        return;
    QString failure;
    if (!tile || !output)
        failure = QStringLiteral("try to blit on a null destination tile");
    else if (!output->isCreated())
        failure = QStringLiteral("output texture is not created");
    else if (!makeCurrent())
        failure = QStringLiteral("Unable to make current context");
    else if (!layer)
        failure = QStringLiteral("no current layer");
    if (!failure.isEmpty()) {
        systemError(failure);
        return;
    }
    MShaderProgramList *programList = m_sources.programs;
    if (!programList)
        return;
    tile->ensureTexture();
    const MGlStateGuard state;
    glDisable(GL_STENCIL_TEST);
    glDisable(GL_SCISSOR_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    glBlendEquation(GL_FUNC_ADD);
    glBlendFunc(GLenum(srcFactor), GLenum(dstFactor));
    const int size = tile->tileSize();
    QMatrix4x4 mvp;
    bindTileTarget(output->textureId(), size, size, mvp);
    m_vertexBuffer->bind();

    MShader *effect = MShaderList::instance()->find(programName);
    QOpenGLShaderProgram *program = programList->bindForVao(programName, m_vertexArray);
    if (!program) {
        systemError(QStringLiteral("Unable to find a shader program"));
        m_vertexBuffer->release();
        releaseTileTarget();
        return;
    }
    if (effect)
        layer->shaderValues()->setUniforms(program);
    const QRect area = tile->rectWithBorder();
    const QRectF painted = m_sources.paper->paintedRect();
    MTextureLayer *stroke = m_sources.strokeLayer;
    program->setUniformValue("mvp", mvp);
    program->setUniformValue("f_clipToPaintedRect", false);
    program->setUniformValue("f_globalTime", nextGlobalTime());
    setTileUniforms(program, area, size, tile->border(), painted);
    program->setUniformValue("f_opacity", GLfloat(opacity));
    program->setUniformValue("f_eraserMode", stroke->eraserMode());
    program->setUniformValue("f_strokeOpacity", GLfloat(strokeOpacity));
    addTileQuad(size, size);

    const QPointF centre = QRectF(area).center();
    MTextureUnitBinder binder(this);
    auto bindStandard = [&](unsigned int id, const char *name) {
        binder.bind(id, program, name, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR, GL_CLAMP_TO_EDGE, GL_CLAMP_TO_EDGE);
    };
    bindStandard(tile->textureId(), "f_currentLayerTexture");
    bindStandard(layerTextureAt(under, centre), "f_underLayerTexture");
    if (m_sources.paper->paperType() == MEnum::Paper && m_sources.paperTexture) {
        if (QOpenGLTexture *paper = m_sources.paperTexture())
            bindStandard(paper->textureId(), "f_paperTexture");
    }
    bindStandard(layerTextureAt(stroke, centre), "f_strokeLayerTexture");
    program->setUniformValue("f_clipToSelection", m_sources.selection->clipToSelection() && layer->hasShader());
    bindStandard(layerTextureAt(m_sources.selection->layer(), centre), "f_selectionLayerTexture");
    if (effect) {
        for (int i = 0; i < effect->textureCount(); ++i) {
            const MTexture *parameter = effect->texture(i);
            if (parameter)
                binder.bind(parameter->textureId(), program, parameter->name(), filterToGl(parameter->magFilter()),
                            GL_LINEAR, wrapModeToGl(parameter->wrapS()), wrapModeToGl(parameter->wrapT()));
        }
    }
    glDrawArrays(GL_TRIANGLES, 0, m_vertexBuffer->count());
    m_drawn = true;
    MShaderProgramList::release(program, m_vertexArray);
    m_vertexBuffer->release();
    releaseTileTarget();
    binder.unbindAll();
    glActiveTexture(GL_TEXTURE0);
}

void MGpuDevice::renderEffectToTile(MTextureTile *tile, MTextureLayer *layer, MTextureLayer *under, int srcFactor,
                                    int dstFactor, const QString &programName, double opacity, double strokeOpacity)
{
    if (!m_ready || !makeCurrent())
        return;
    // The work texture holds the previous operation's pixels: a program that
    // discards fragments, or a blend that reads the target, must not carry
    // them into this tile.
    MFrameBuffer *frameBuffer = m_frameBuffer;
    frameBuffer->attachTexture(m_workTexture->textureId());
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    releaseTileTarget();
    renderEffectToTexture(tile, layer, under, m_workTexture.get(), srcFactor, dstFactor, programName, opacity,
                          strokeOpacity);
    blitTile(tile, m_workTexture->textureId(), GL_ONE, GL_ZERO, QStringLiteral("basic"), 1.0);
}
