#include "mpaintengine.h"

#include "mdocumentdescription.h"
#include "menum.h"
#include "mglstateguard.h"
#include "mgpudevice.h"
#include "mlayerstack.h"
#include "mlogger.h"
#include "mpaintparams.h"
#include "mpaper.h"
#include "mpathvarlist.h"
#include "msamplers.h"
#include "mselection.h"
#include "mshader.h"
#include "mshaderlist.h"
#include "mshaderprogramlist.h"
#include "msettings.h"
#include "mtexture.h"
#include "mtexturelayer.h"
#include "mtexturetile.h"
#include "mtextureunitbinder.h"
#include "mtextureutility.h"
#include "mtilegeometry.h"
#include "mtransform.h"
#include "mvertexbuffer.h"

#include <QGuiApplication>
#include <QTransform>
#include <QOpenGLContext>
#include <QOpenGLShaderProgram>
#include <QOpenGLTexture>
#include <QOpenGLVertexArrayObject>

#include <cmath>

namespace {
void systemError(const QString &message)
{
    MLogger::instance()->systemError(message);
}

double desktopPixelRatio()
{
    return qApp ? qApp->devicePixelRatio() : 1.0;
}

// Premultiplied, as every colour the compositing blends.
QColor premultiplied(const QColor &color, double opacity = 1.0)
{
    const double alpha = color.alphaF() * opacity;
    return QColor::fromRgbF(color.redF() * alpha, color.greenF() * alpha, color.blueF() * alpha, alpha);
}

// The mipmap levels a pass reads from tiles. Its samplers are clamped to
// first..last, so that only levels 1 to last need to be up to date. A pass
// without a transform may read any.
struct Levels
{
    int first = -MSamplers::allLevels;
    int last = MSamplers::allLevels;
    // Whether one level alone is read.
    bool single() const { return first == last; }
    // The levels to bring up to date.
    int rebuilt() const { return qMin(last, int(MTextureTile::maximumLevels)); }
};

Levels sampledLevels(const MPaintParams *params)
{
    Levels levels;
    if (!params->transform)
        return levels;
    const double ratio = params->useDevicePixelRatio ? desktopPixelRatio() : 1.0;
    const double scale = params->transform->scale() * ratio;
    if (!(scale > 0.0))
        return levels;
    // log2 of the canvas pixels per view pixel.
    const double lod = std::log2(1.0 / scale);
    if (params->matchLevel) {
        // The level nearest the view's scale, as a nearest-level filter picks
        // it; 0 from zoom 1 up, where tiles are magnified as before.
        const int nearest = lod <= 0.5 ? 0 : int(std::ceil(lod + 0.5)) - 1;
        levels.first = levels.last = qMin(int(MTextureTile::maximumLevels), nearest);
    } else {
        // Smoothing between levels reads the two around the scale.
        levels.last = lod <= 0.0 ? 0 : qMin(int(MTextureTile::maximumLevels), int(std::floor(lod)) + 1);
    }
    return levels;
}

// The same filter reading one level: with the level clamped, blending two
// would only read the same one twice.
int singleLevelFilter(int filter)
{
    switch (filter) {
    case GL_LINEAR_MIPMAP_LINEAR:
        return GL_LINEAR_MIPMAP_NEAREST;
    case GL_NEAREST_MIPMAP_LINEAR:
        return GL_NEAREST_MIPMAP_NEAREST;
    default:
        return filter;
    }
}

// One canvas pixel on one view pixel, unrotated: nearest sampling shows
// exactly what linear sampling does, for less.
bool isPixelAligned(const MPaintParams *params)
{
    if (!params->transform)
        return false;
    const double ratio = params->useDevicePixelRatio ? desktopPixelRatio() : 1.0;
    const QTransform m = params->transform->matrix();
    auto whole = [](double v) { return v == std::floor(v); };
    return ratio == 1.0 && m.type() <= QTransform::TxTranslate && whole(m.dx()) && whole(m.dy())
        && whole(params->viewport.x()) && whole(params->viewport.y());
}

struct Sampling
{
    int minFilter = GL_LINEAR_MIPMAP_LINEAR;
    int magFilter = GL_LINEAR;
    int wrapS = GL_CLAMP_TO_EDGE;
    int wrapT = GL_CLAMP_TO_EDGE;
};
} // namespace

MPaintEngine::MPaintEngine(MPaper *paper, MGpuDevice *device, QObject *parent)
    : QObject(parent)
    , m_paper(paper)
    , m_device(device)
{
    m_clock.start();
}

// GL objects were released by shutDown under the right context.
MPaintEngine::~MPaintEngine() = default;

// ---------------------------------------------------------------- resources

bool MPaintEngine::init()
{
    if (m_ready)
        return true;
    if (!QOpenGLContext::currentContext()) {
        systemError(QStringLiteral("Need a current context"));
        return false;
    }
    initializeOpenGLFunctions();
    if (!m_vertexBuffer)
        m_vertexBuffer.reset(new MVertexBuffer(30));
    if (!m_vertexBuffer->buffer().isCreated() && !m_vertexBuffer->create()) {
        systemError(QStringLiteral("Can't create vertex buffer"));
        return false;
    }
    m_ready = true;
    return true;
}

void MPaintEngine::createPaperTexture()
{
    if (m_paperUpToDate || !m_paper || m_paper->paperTile().isNull())
        return;
    // A view pass goes on in its own context afterwards.
    const MGpuDevice::Scope scope(m_device);
    if (!scope.isCurrent()) {
        systemError(QStringLiteral("Unable to make canvas current context"));
        return;
    }
    // Mipmaps are built here, once per paper change, never per pass.
    m_paperTexture.reset(createMipmappedTexture(m_paper->paperTile()));
    if (m_paperTexture) {
        m_paperTexture->setMinMagFilters(QOpenGLTexture::LinearMipMapLinear, QOpenGLTexture::Linear);
        m_paperUpToDate = true;
        ++m_paperRevision;
    }
}

void MPaintEngine::resetPaper()
{
    m_paperUpToDate = false;
    ++m_paperRevision;
}

void MPaintEngine::loadEffectTexture(MShader *effect)
{
    m_device->loadEffectTexture(effect);
}

void MPaintEngine::shutDown()
{
    if (m_vertexBuffer)
        m_vertexBuffer->buffer().destroy();
    if (m_paperTexture && m_paperTexture->isCreated())
        m_paperTexture->destroy();
    m_paperUpToDate = false;
    m_ready = false;
}

// ---------------------------------------------------------------- shared operations

void MPaintEngine::enableBlending(QOpenGLContext *context)
{
    QOpenGLFunctions *f = context ? context->functions() : this;
    f->glEnable(GL_BLEND);
    f->glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
}

void MPaintEngine::computeMvp(MPaintParams *params, QMatrix4x4 &matrix)
{
    QRectF r = params->viewport;
    const double ratio = params->useDevicePixelRatio ? desktopPixelRatio() : 1.0;
    r = QRectF(r.x() * ratio, r.y() * ratio, r.width() * ratio, r.height() * ratio);
    glViewport(int(r.x()), int(r.y()), int(r.width()), int(r.height()));
    matrix.setToIdentity();
    matrix.ortho(float(r.left()), float(r.right()), float(r.bottom()), float(r.top()), -1.0f, 1.0f);
    if (params->transform) {
        QMatrix4x4 scale;
        scale.scale(float(ratio), float(ratio));
        matrix = matrix * scale * params->transform->matrix4x4();
    }
}

void MPaintEngine::setTileUniforms(QOpenGLShaderProgram *program, const QRect &area, int size, int border,
                                   const QRectF &painted)
{
    MGpuDevice::setTileUniforms(program, area, size, border, painted);
}

unsigned int MPaintEngine::layerTextureAt(MTextureLayer *layer, const QPointF &point, int lastLevel)
{
    return m_device->layerTextureAt(layer, point, lastLevel);
}

QOpenGLTexture *MPaintEngine::emptyTexture() const
{
    return m_device->emptyTexture();
}

QOpenGLTexture *MPaintEngine::alphaBackTexture() const
{
    return m_device->alphaBackTexture();
}

float MPaintEngine::nextGlobalTime()
{
    m_globalTime = double(m_clock.nsecsElapsed()) / 1000000000.0;
    return float(m_globalTime);
}

bool MPaintEngine::checkParams(MPaintParams *params, bool needCanvas, bool needLayer)
{
    QString failure;
    if (!params)
        failure = QStringLiteral("No params");
    else if (!params->context)
        failure = QStringLiteral("No context");
    else if (needCanvas && !params->parts.isValid())
        failure = QStringLiteral("No canvas");
    else if (!params->programList)
        failure = QStringLiteral("No shader program list");
    else if (needLayer && !params->layer)
        failure = QStringLiteral("No layer");
    else if (!params->makeCurrent())
        failure = QStringLiteral("Unable to make current context");
    if (failure.isEmpty())
        return true;
    systemError(failure);
    return false;
}

// ---------------------------------------------------------------- passes

void MPaintEngine::applyProgram(MPaintParams *params)
{
    if (!init() || !checkParams(params, true, true))
        return;
    MTextureLayer *layer = params->layer;
    if (layer->type() != MLayer::OpenGLLayer)
        return;
    const MDocumentParts &parts = params->parts;
    const MGlStateGuard state;
    enableBlending(params->context);
    const bool paper = parts.paper->paperType() == MEnum::Paper;
    if (paper)
        createPaperTexture();
    MShader *effect = MShaderList::instance()->find(params->programName());
    loadEffectTexture(effect);

    const QRectF painted = parts.paper->paintedRect();
    // A plain layer at full opacity over whole pixels: the tiles are copied
    // as stored, the quads clipped to the painted rectangle instead of the
    // fragments.
    const bool copy = params->programName() == QLatin1String("basic") && params->opacity == 1.0
        && drawsWholePixels(params);
    m_vertexBuffer->bind();
    QOpenGLShaderProgram *program = params->programList->bindForVao(copy ? QStringLiteral("copy")
                                                                         : params->programName(),
                                                                    params->vertexArray);
    if (!program) {
        systemError(QStringLiteral("Unable to find a shader program"));
        return;
    }
    Sampling standard;
    const Sampling selection;
    if (effect) {
        layer->shaderValues()->setUniforms(program);
        standard = {effect->minFilter(), effect->magFilter(), effect->wrapS(), effect->wrapT()};
    }
    Sampling selectionSampling = selection;
    if (!params->smoothPixels) {
        standard.magFilter = GL_NEAREST;
        selectionSampling.magFilter = GL_NEAREST;
    }
    const QString programName = params->programName();
    const bool plain = programName == QLatin1String("basic") || programName == QLatin1String("stroke");
    if (plain && isPixelAligned(params))
        standard.minFilter = standard.magFilter = selectionSampling.minFilter = selectionSampling.magFilter =
            GL_NEAREST;
    const Levels levels = sampledLevels(params);
    const int lastLevel = levels.rebuilt();
    if (levels.single()) {
        standard.minFilter = singleLevelFilter(standard.minFilter);
        selectionSampling.minFilter = singleLevelFilter(selectionSampling.minFilter);
    }
    QMatrix4x4 mvp;
    computeMvp(params, mvp);
    program->setUniformValue("mvp", mvp);
    program->setUniformValue("f_opacity", GLfloat(params->opacity));
    program->setUniformValue("f_globalTime", nextGlobalTime());

    const int size = layer->tileSize();
    const int border = layer->border();
    const int step = tileStep(size, border);
    const QRect topLeft = tileRect(painted.topLeft(), size, border);
    const QRect bottomRight = tileRect(painted.bottomRight(), size, border);
    const double inset = double(border) / size;
    const QRectF inner(inset, inset, 1.0 - 2.0 * inset, 1.0 - 2.0 * inset);
    const bool clipToSelection = params->clipToSelection || (parts.selection->clipToSelection() && layer->hasShader());
    MTextureLayer *stroke = parts.strokeLayer;
    const unsigned int paperId = paper && m_paperUpToDate ? m_paperTexture->textureId() : 0;
    // The canvas area the viewport shows (a bounding box when rotated): a
    // cell outside it gives no fragment, so it is not drawn at all.
    const double ratio = params->useDevicePixelRatio ? desktopPixelRatio() : 1.0;
    const QRectF &v = params->viewport;
    const QRectF shown = (params->transform ? params->transform->mapRectFromView(v)
                                            : QRectF(v.x() * ratio, v.y() * ratio, v.width() * ratio,
                                                     v.height() * ratio))
                             .adjusted(-1, -1, 1, 1);

    struct Cell
    {
        QRect cell;
        QRect area;
        QPointF centre;
    };
    QVector<Cell> cells;
    for (int x = topLeft.x(); x <= bottomRight.x() + bottomRight.width() + step; x += step) {
        for (int y = topLeft.y(); y <= bottomRight.y() + bottomRight.height() + step; y += step) {
            const QRect cell = tileRect(QPointF(x, y), size, border);
            const QRect area = tileTextureRect(QPointF(x, y), size, border);
            if (params->clipToPaintedRect && !params->rect.intersects(QRectF(area)))
                continue;
            if (!shown.intersects(QRectF(cell)))
                continue;
            const QPointF centre = QRectF(cell).center();
            // A plain layer shows nothing where it has no tile, nor does the
            // stroke there.
            if (plain && !layer->tileAt(centre) && (programName != QLatin1String("stroke") || !stroke->tileAt(centre)))
                continue;
            cells.append({cell, area, centre});
        }
    }
    // Reduced levels are rebuilt before the first quad: each rebuild renders
    // into a tile, and between quads it would make a software driver draw
    // the frame so far first.
    if (lastLevel > 0) {
        for (const Cell &c : qAsConst(cells)) {
            for (MTextureLayer *sampled : {layer, params->underLayer, stroke, parts.selection->layer()})
                layerTextureAt(sampled, c.centre, lastLevel);
        }
    }
    for (const Cell &c : qAsConst(cells)) {
        const QRect &cell = c.cell;
        const QRect &area = c.area;
        const QPointF &centre = c.centre;
        setTileUniforms(program, area, size, border, painted);
        program->setUniformValue("f_clipToPaintedRect", params->clipToPaintedRect);
        program->setUniformValue("f_opacity", GLfloat(params->opacity));
        program->setUniformValue("f_eraserMode", stroke->eraserMode());
        program->setUniformValue("f_strokeOpacity", GLfloat(stroke->opacity()));

        QRectF quad(cell);
        QRectF texels = inner;
        if (copy && params->clipToPaintedRect) {
            const QRectF kept = quad.intersected(painted);
            if (kept.isEmpty())
                continue;
            const double sx = inner.width() / quad.width();
            const double sy = inner.height() / quad.height();
            texels = QRectF(inner.x() + (kept.x() - quad.x()) * sx, inner.y() + (kept.y() - quad.y()) * sy,
                            kept.width() * sx, kept.height() * sy);
            quad = kept;
        }
        m_vertexBuffer->clear();
        m_vertexBuffer->addQuad(0, quad, texels, Qt::white);

        MTextureUnitBinder binder(this);
        // Tiles are read no further than the levels brought up to date;
        // the paper keeps all of its own.
        auto bindStandard = [&](unsigned int id, const char *name, const Sampling &s, bool tile = true) {
            if (tile)
                binder.bind(id, program, name, s.minFilter, s.magFilter, s.wrapS, s.wrapT, levels.last,
                            levels.first);
            else
                binder.bind(id, program, name, s.minFilter, s.magFilter, s.wrapS, s.wrapT);
        };
        bindStandard(layerTextureAt(layer, centre, lastLevel), "f_currentLayerTexture", standard);
        bindStandard(layerTextureAt(params->underLayer, centre, lastLevel), "f_underLayerTexture", standard);
        if (paperId)
            bindStandard(paperId, "f_paperTexture", standard, false);
        bindStandard(layerTextureAt(stroke, centre, lastLevel), "f_strokeLayerTexture", standard);
        program->setUniformValue("f_clipToSelection", clipToSelection);
        bindStandard(layerTextureAt(parts.selection->layer(), centre, lastLevel), "f_selectionLayerTexture",
                     selectionSampling);
        if (effect) {
            for (int i = 0; i < effect->textureCount(); ++i) {
                const MTexture *parameter = effect->texture(i);
                if (!parameter)
                    continue;
                const int magnification = filterToGl(parameter->magFilter());
                binder.bind(parameter->textureId(), program, parameter->name(), magnification,
                            params->smoothPixels ? GL_LINEAR : magnification, wrapModeToGl(parameter->wrapS()),
                            wrapModeToGl(parameter->wrapT()));
            }
        }
        glDrawArrays(GL_TRIANGLES, 0, m_vertexBuffer->count());
        binder.unbindAll();
    }
    glActiveTexture(GL_TEXTURE0);
    MShaderProgramList::release(program, params->vertexArray);
    m_vertexBuffer->release();
}

void MPaintEngine::renderLayers(MPaintParams *params)
{
    if (!canRenderLayers(params))
        return;
    MLayerStack *layers = params->parts.layers;
    if (!params->timeLineMode) {
        renderLayerRange(params, 0, layers->count() - 1);
        return;
    }
    const int current = layers->currentRow();
    const int last = params->showPreviousFrame ? current + 1 : current;
    if (params->firstLayerAsBackground)
        drawLayer(params, 0, false, false);
    for (int row = current; row <= last && row < layers->count(); ++row)
        drawLayer(params, row, true, params->showPreviousFrame && row == last);
}

void MPaintEngine::renderLayerRange(MPaintParams *params, int first, int last)
{
    if (!canRenderLayers(params))
        return;
    for (int row = qMax(0, first); row <= last && row < params->parts.layers->count(); ++row)
        drawLayer(params, row, true, false);
}

void MPaintEngine::renderSelection(MPaintParams *params)
{
    const MSelection *selection = params ? params->parts.selection : nullptr;
    if (selection && selection->hasSelection() && selection->path().isEmpty()) {
        params->layer = selection->layer();
        params->underLayer = nullptr;
        params->setProgramName(QStringLiteral("selection"));
        applyProgram(params);
    }
}

bool MPaintEngine::canRenderLayers(MPaintParams *params)
{
    if (!params) {
        systemError(QStringLiteral("No params"));
        return false;
    }
    const MDocumentParts &parts = params->parts;
    if (!parts.isValid()) {
        systemError(QStringLiteral("No canvas"));
        return false;
    }
    return parts.device && parts.device->isGlReady() && parts.layers->count() > 0;
}

QString MPaintEngine::layerProgram(const MDocumentParts &parts, int row)
{
    MTextureLayer *layer = parts.layers->at(row);
    if (row == parts.layers->currentRow() && parts.strokeInProgress && parts.strokeInProgress())
        return QStringLiteral("stroke");
    if (layer && layer->isShaderActive() && layer->hasShader())
        return layer->shaderId();
    return QStringLiteral("basic");
}

void MPaintEngine::drawLayer(MPaintParams *params, int row, bool withUnderLayer, bool faded)
{
    MLayerStack *layers = params->parts.layers;
    MTextureLayer *layer = layers->at(row);
    if (!layer || !layer->visible())
        return;
    const double opacity = faded ? 0.4 : layer->opacity();
    const QString program = layerProgram(params->parts, row);
    // A plain layer at no opacity leaves every pixel under it as it was.
    if (opacity <= 0.0 && program == QLatin1String("basic"))
        return;
    params->layer = layer;
    params->opacity = opacity;
    params->underLayer = withUnderLayer ? layers->at(row - 1) : nullptr;
    params->setProgramName(program);
    applyProgram(params);
}

void MPaintEngine::renderPaper(MPaintParams *params)
{
    if (!checkParams(params, true) || !init())
        return;
    enableBlending(params->context);
    const MPaper *paper = params->parts.paper;
    switch (paper->paperType()) {
    case MEnum::Colored:
        drawColorQuad(params, paper->paintedRect(), paper->paperColor(), 1.0);
        break;
    case MEnum::Paper:
        createPaperTexture();
        if (m_paperUpToDate)
            renderPaperTexture(params, m_paperTexture.get());
        break;
    case MEnum::Transparent:
        if (MSettings::instance()->showEmptyPaper())
            renderTransparentPaper(params);
        break;
    default:
        break;
    }
}

void MPaintEngine::renderPaperTexture(MPaintParams *params, QOpenGLTexture *texture)
{
    if (!texture || !texture->isCreated() || !checkParams(params, true) || !init())
        return;
    // One texel per canvas pixel.
    drawPaperQuad(params, params->parts.paper->paintedRect(), texture, false);
}

void MPaintEngine::renderTransparentPaper(MPaintParams *params)
{
    QOpenGLTexture *texture = alphaBackTexture();
    if (!texture || !texture->isCreated() || !checkParams(params, true) || !init() || !params->transform)
        return;
    // The checkerboard keeps its size on screen at every zoom.
    drawPaperQuad(params, params->transform->mapRect(params->parts.paper->paintedRect()), texture, true);
}

void MPaintEngine::drawPaperQuad(MPaintParams *params, const QRectF &quad, QOpenGLTexture *texture, bool viewSpace)
{
    const QRectF repeat(0, 0, quad.width() / texture->width(), quad.height() / texture->height());
    m_vertexBuffer->bind();
    m_vertexBuffer->clear();
    m_vertexBuffer->addQuad(0, quad, repeat, Qt::white);
    QOpenGLShaderProgram *program = params->programList->bindForVao(QStringLiteral("paper"), params->vertexArray);
    if (program) {
        QMatrix4x4 mvp;
        if (viewSpace) {
            // An offscreen render is not scaled for the screen.
            const double ratio = params->useDevicePixelRatio ? desktopPixelRatio() : 1.0;
            const QRectF &v = params->viewport;
            const QRectF r(v.x() * ratio, v.y() * ratio, v.width() * ratio, v.height() * ratio);
            glViewport(int(r.x()), int(r.y()), int(r.width()), int(r.height()));
            mvp.ortho(float(r.left()), float(r.right()), float(r.bottom()), float(r.top()), -1.0f, 1.0f);
            mvp.scale(float(ratio), float(ratio));
        } else {
            computeMvp(params, mvp);
        }
        program->setUniformValue("mvp", mvp);
        program->setUniformValue("f_clipToPaintedRect", false);
        program->setUniformValue("f_opacity", GLfloat(1.0));
        MTextureUnitBinder binder(this);
        // One paper texel per canvas pixel: read as the tiles over it are.
        const Levels levels = viewSpace ? Levels() : sampledLevels(params);
        binder.bind(texture->textureId(), program, "f_paperTexture",
                    levels.single() ? GL_LINEAR_MIPMAP_NEAREST : GL_LINEAR_MIPMAP_LINEAR,
                    params->smoothPixels ? GL_LINEAR : GL_NEAREST, GL_REPEAT, GL_REPEAT,
                    levels.single() ? levels.last : MSamplers::allLevels, levels.first);
        glDrawArrays(GL_TRIANGLES, 0, m_vertexBuffer->count());
        binder.unbindAll();
        glActiveTexture(GL_TEXTURE0);
        MShaderProgramList::release(program, params->vertexArray);
    }
    m_vertexBuffer->release();
}

bool MPaintEngine::drawsWholePixels(const MPaintParams *params)
{
    if (!params || !params->parts.paper || !isPixelAligned(params))
        return false;
    const QRectF painted = params->parts.paper->paintedRect();
    return QRectF(painted.toRect()) == painted;
}

void MPaintEngine::renderViewTexture(MPaintParams *params, unsigned int texture, bool over)
{
    if (!texture || !checkParams(params, false) || !init())
        return;
    const MGlStateGuard state;
    if (over)
        enableBlending(params->context);
    else
        glDisable(GL_BLEND);
    const double ratio = params->useDevicePixelRatio ? desktopPixelRatio() : 1.0;
    const QRectF &v = params->viewport;
    const QRectF r(v.x() * ratio, v.y() * ratio, v.width() * ratio, v.height() * ratio);
    m_vertexBuffer->bind();
    m_vertexBuffer->clear();
    // Texture rows run bottom-up, view rows top-down.
    m_vertexBuffer->addQuad(0, r, QRectF(0, 1, 1, -1), Qt::white);
    QOpenGLShaderProgram *program = params->programList->bindForVao(QStringLiteral("copy"), params->vertexArray);
    if (program) {
        glViewport(int(r.x()), int(r.y()), int(r.width()), int(r.height()));
        QMatrix4x4 mvp;
        mvp.ortho(float(r.left()), float(r.right()), float(r.bottom()), float(r.top()), -1.0f, 1.0f);
        program->setUniformValue("mvp", mvp);
        MTextureUnitBinder binder(this);
        binder.bind(texture, program, "f_currentLayerTexture", GL_NEAREST, GL_NEAREST, GL_CLAMP_TO_EDGE,
                    GL_CLAMP_TO_EDGE);
        glDrawArrays(GL_TRIANGLES, 0, m_vertexBuffer->count());
        binder.unbindAll();
        glActiveTexture(GL_TEXTURE0);
        MShaderProgramList::release(program, params->vertexArray);
    }
    m_vertexBuffer->release();
}

void MPaintEngine::renderColorRect(MPaintParams *params, const QRectF &rect, const QColor &color, double opacity)
{
    if (!checkParams(params, false) || !init())
        return;
    enableBlending(params->context);
    drawColorQuad(params, params->transform ? params->transform->mapRectFromView(rect) : rect, color, opacity);
}

void MPaintEngine::drawColorQuad(MPaintParams *params, const QRectF &rect, const QColor &color, double opacity)
{
    m_vertexBuffer->bind();
    m_vertexBuffer->clear();
    m_vertexBuffer->addQuad(rect, premultiplied(color), nullptr, 0);
    QOpenGLShaderProgram *program = params->programList->bindForVao(QStringLiteral("color"), params->vertexArray);
    if (program) {
        QMatrix4x4 mvp;
        computeMvp(params, mvp);
        program->setUniformValue("mvp", mvp);
        program->setUniformValue("f_opacity", GLfloat(opacity));
        // The quad is the whole area drawn.
        program->setUniformValue("f_clipToPaintedRect", false);
        glDrawArrays(GL_TRIANGLES, 0, m_vertexBuffer->count());
        MShaderProgramList::release(program, params->vertexArray);
    }
    m_vertexBuffer->release();
}
