#include "mpaintengine.h"

#include "mcanvas.h"
#include "mdocumentdescription.h"
#include "mframebuffer.h"
#include "mglstateguard.h"
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
#include "mshareddata.h"
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

// Makes the document's context current for a while, then the one that was
// current before (a view pass goes on in its own context).
class CanvasContextScope
{
public:
    explicit CanvasContextScope(MCanvas *canvas)
        : m_remembered(QOpenGLContext::currentContext())
        , m_current(canvas && canvas->makeCurrent())
    {
    }
    ~CanvasContextScope()
    {
        if (m_remembered && m_remembered != QOpenGLContext::currentContext() && m_remembered->surface())
            m_remembered->makeCurrent(m_remembered->surface());
    }
    bool isCurrent() const { return m_current; }

private:
    QOpenGLContext *m_remembered;
    bool m_current;
};

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

MPaintEngine::MPaintEngine(MCanvas *canvas)
    : QObject(canvas)
    , m_canvas(canvas)
{
    m_clock.start();
}

// GL objects were released by shutDown under the right context.
MPaintEngine::~MPaintEngine()
{
    for (const QVector<QOpenGLTexture *> &textures : qAsConst(m_effectTextures))
        qDeleteAll(textures);
}

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

bool MPaintEngine::makeCanvasCurrent()
{
    return m_canvas && m_canvas->makeCurrent();
}

bool MPaintEngine::createInCanvasContext(const std::function<bool()> &make)
{
    const CanvasContextScope scope(m_canvas);
    if (!scope.isCurrent()) {
        systemError(QStringLiteral("Unable to make canvas current context"));
        return false;
    }
    return make();
}

bool MPaintEngine::createEmptyTexture()
{
    if (m_emptyTexture && m_emptyTexture->isCreated())
        return true;
    return createInCanvasContext([this] {
        m_emptyTexture.reset(MTextureTile::createTransparentTexture(m_canvas->strokeLayer()->tileSize()));
        if (!m_emptyTexture) {
            systemError(QStringLiteral("Unable to create texture"));
            return false;
        }
        return true;
    });
}

bool MPaintEngine::createAlphaBackTexture()
{
    if (m_alphaBackTexture && m_alphaBackTexture->isCreated())
        return true;
    return createInCanvasContext([this] {
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

bool MPaintEngine::createWorkTexture()
{
    if (m_workTexture && m_workTexture->isCreated())
        return true;
    return createInCanvasContext([this] {
        m_workTexture.reset(::createEmptyTexture(512, 512));
        if (!m_workTexture)
            return false;
        m_workTexture->setMinificationFilter(QOpenGLTexture::LinearMipMapLinear);
        return true;
    });
}

void MPaintEngine::createPaperTexture()
{
    if (m_paperUpToDate || !m_canvas || m_canvas->paperTile().isNull())
        return;
    const CanvasContextScope scope(m_canvas);
    if (!scope.isCurrent()) {
        systemError(QStringLiteral("Unable to make canvas current context"));
        return;
    }
    // Mipmaps are built here, once per paper change, never per pass.
    m_paperTexture.reset(createMipmappedTexture(m_canvas->paperTile()));
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
    if (!effect || !effect->texturesModified())
        return;
    const CanvasContextScope scope(m_canvas);
    effect->setTexturesModified(false);
    // Each effect keeps its own textures: another effect reloading must not
    // free the textures this one's ids point at.
    clearEffectTextures(effect);
    if (!m_effectTextures.contains(effect)) {
        connect(effect, &QObject::destroyed, this, [this, effect] {
            const CanvasContextScope scope(m_canvas);
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

void MPaintEngine::clearEffectTextures(MShader *effect)
{
    auto found = m_effectTextures.find(effect);
    if (found == m_effectTextures.end() || found.value().isEmpty())
        return;
    const CanvasContextScope scope(m_canvas);
    for (QOpenGLTexture *texture : qAsConst(found.value())) {
        texture->release();
        texture->destroy();
        delete texture;
    }
    found.value().clear();
}

void MPaintEngine::clearEffectTextures()
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

void MPaintEngine::shutDown()
{
    if (m_vertexBuffer)
        m_vertexBuffer->buffer().destroy();
    for (QOpenGLTexture *texture : {m_emptyTexture.get(), m_paperTexture.get(), m_alphaBackTexture.get(),
                                    m_workTexture.get()}) {
        if (texture && texture->isCreated())
            texture->destroy();
    }
    m_paperUpToDate = false;
    clearEffectTextures();
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
    program->setUniformValue("f_texturePos", QPointF(area.topLeft()));
    program->setUniformValue("f_textureSize", GLfloat(size));
    program->setUniformValue("f_textureBorder", GLfloat(border));
    program->setUniformValue("f_paintedRectPos", painted.topLeft());
    program->setUniformValue("f_paintedRectWidth", GLfloat(painted.width()));
    program->setUniformValue("f_paintedRectHeight", GLfloat(painted.height()));
}

unsigned int MPaintEngine::layerTextureAt(MTextureLayer *layer, const QPointF &point, int lastLevel)
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
    MTextureLayer *stroke = parts.document->strokeLayer();
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
    return parts.document->isGlReady() && parts.layers->count() > 0;
}

QString MPaintEngine::layerProgram(const MDocumentParts &parts, int row)
{
    MTextureLayer *layer = parts.layers->at(row);
    if (row == parts.layers->currentRow() && parts.document->strokeInProgress())
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
    QOpenGLTexture *texture = m_alphaBackTexture.get();
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

// ---------------------------------------------------------------- tile operations

void MPaintEngine::bindTileTarget(unsigned int texture, int width, int height, QMatrix4x4 &mvp)
{
    glViewport(0, 0, width, height);
    mvp.setToIdentity();
    mvp.ortho(0.0f, float(width), 0.0f, float(height), -1.0f, 1.0f);
    glActiveTexture(GL_TEXTURE0);
    MFrameBuffer *frameBuffer = m_canvas->sharedData()->frameBuffer();
    frameBuffer->attachTexture(texture);
    frameBuffer->bind();
}

void MPaintEngine::releaseTileTarget()
{
    MFrameBuffer *frameBuffer = m_canvas->sharedData()->frameBuffer();
    frameBuffer->detachTexture();
    frameBuffer->release();
}

// One white quad over the whole target: texture coordinates equal positions
// within the tile texture, border included.
void MPaintEngine::addTileQuad(int width, int height)
{
    m_vertexBuffer->bind();
    m_vertexBuffer->clear();
    m_vertexBuffer->addQuad(0, QRectF(0, 0, width, height), QRectF(0, 0, 1, 1), Qt::white);
}

void MPaintEngine::beginTilePass(unsigned int target, int size, int srcFactor, int dstFactor, QMatrix4x4 &mvp)
{
    glEnable(GL_BLEND);
    glBlendEquation(GL_FUNC_ADD);
    glBlendFunc(GLenum(srcFactor), GLenum(dstFactor));
    bindTileTarget(target, size, size, mvp);
    addTileQuad(size, size);
}

void MPaintEngine::bindNearest(unsigned int unit, unsigned int texture)
{
    glActiveTexture(unit);
    glBindTexture(GL_TEXTURE_2D, texture);
    MSamplers::bind(unit - GL_TEXTURE0, GL_NEAREST, GL_NEAREST, GL_CLAMP_TO_EDGE, GL_CLAMP_TO_EDGE);
}

// The layer tile on unit 1, the selection tile on unit 2.
void MPaintEngine::drawTilePass(QOpenGLShaderProgram *program, const QMatrix4x4 &mvp, bool clipToSelection,
                                QOpenGLVertexArrayObject *vertexArray)
{
    program->setUniformValue("mvp", mvp);
    program->setUniformValue("f_clipToSelection", clipToSelection);
    program->setUniformValue("f_currentLayerTexture", 1);
    program->setUniformValue("f_selectionLayerTexture", 2);
    glDrawArrays(GL_TRIANGLES, 0, m_vertexBuffer->count());
    MShaderProgramList::release(program, vertexArray);
}

void MPaintEngine::endTilePass()
{
    m_vertexBuffer->release();
    releaseTileTarget();
    for (GLenum unit : {GL_TEXTURE2, GL_TEXTURE1, GL_TEXTURE0}) {
        glActiveTexture(unit);
        glBindTexture(GL_TEXTURE_2D, 0);
        MSamplers::unbind(unit - GL_TEXTURE0);
    }
}

void MPaintEngine::blitTile(MTextureTile *destination, MTextureTile *sourceTile, int srcFactor, int dstFactor,
                            MShaderProgramList *programList, const QString &programName, double opacity,
                            QOpenGLVertexArrayObject *vertexArray, const QRect &area)
{
    if (!m_ready)
        return;
    unsigned int source = m_emptyTexture->textureId();
    if (sourceTile && sourceTile->ensureTexture())
        source = sourceTile->textureId();
    blitTile(destination, source, srcFactor, dstFactor, programList, programName, opacity, vertexArray, area);
}

void MPaintEngine::blitTile(MTextureTile *destination, unsigned int sourceTexture, int srcFactor, int dstFactor,
                            MShaderProgramList *programList, const QString &programName, double opacity,
                            QOpenGLVertexArrayObject *vertexArray, const QRect &area)
{
    if (!destination) {
        systemError(QStringLiteral("try to blit on a null destination tile"));
        return;
    }
    if (!makeCanvasCurrent()) {
        systemError(QStringLiteral("Unable to make current context"));
        return;
    }
    if (!init() || !programList)
        return;
    destination->ensureTexture();
    const MGlStateGuard state;
    QMatrix4x4 mvp;
    beginTilePass(destination->textureId(), destination->tileSize(), srcFactor, dstFactor, mvp);
    bindNearest(GL_TEXTURE1, sourceTexture);
    const bool clip = m_canvas->clipToSelection();
    unsigned int selection = m_emptyTexture->textureId();
    if (clip) {
        const QPointF centre = QRectF(destination->rectWithBorder()).center();
        auto *tile = static_cast<MTextureTile *>(m_canvas->selectionLayer()->tileAt(centre));
        if (tile && tile->ensureTexture())
            selection = tile->textureId();
    }
    bindNearest(GL_TEXTURE2, selection);
    const bool scissor = !area.isEmpty();
    if (scissor) {
        glEnable(GL_SCISSOR_TEST);
        glScissor(area.x(), area.y(), area.width(), area.height());
    }
    if (QOpenGLShaderProgram *program = programList->bindForVao(programName, vertexArray)) {
        program->setUniformValue("f_opacity", GLfloat(opacity));
        program->setUniformValue("f_clipToPaintedRect", false);
        drawTilePass(program, mvp, clip, vertexArray);
    }
    endTilePass();
    destination->markMipmapsDirty(area);
    glBindTexture(GL_TEXTURE_2D, 0);
}

void MPaintEngine::fillTile(MTextureTile *tile, MTextureTile *selectionTile, const QColor &color,
                            MShaderProgramList *programList, const QString &programName, bool clipToSelection,
                            QOpenGLVertexArrayObject *vertexArray)
{
    if (!m_ready)
        return;
    if (!tile) {
        systemError(QStringLiteral("try to blit on a null destination tile"));
        return;
    }
    if (!makeCanvasCurrent()) {
        systemError(QStringLiteral("Unable to make current context"));
        return;
    }
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
    if (QOpenGLShaderProgram *program = programList->bindForVao(programName, vertexArray)) {
        program->setUniformValue("f_fillColor", premultiplied(color));
        drawTilePass(program, mvp, clipToSelection, vertexArray);
    }
    endTilePass();
    blitTile(tile, m_workTexture->textureId(), GL_ONE, GL_ZERO, programList, QStringLiteral("basic"), 1.0,
             vertexArray);
}

void MPaintEngine::renderEffectToTexture(MTextureTile *tile, int row, QOpenGLTexture *output, int srcFactor,
                                         int dstFactor, MShaderProgramList *programList, const QString &programName,
                                         double opacity, double strokeOpacity, QOpenGLVertexArrayObject *vertexArray)
{
    if (!m_ready)
        return;
    QString failure;
    MTextureLayer *layer = m_canvas->at(row);
    if (!tile || !output)
        failure = QStringLiteral("try to blit on a null destination tile");
    else if (!output->isCreated())
        failure = QStringLiteral("output texture is not created");
    else if (!makeCanvasCurrent())
        failure = QStringLiteral("Unable to make current context");
    else if (!layer)
        failure = QStringLiteral("no current layer");
    if (!failure.isEmpty()) {
        systemError(failure);
        return;
    }
    if (!programList)
        return;
    MTextureLayer *under = m_canvas->at(row - 1);
    tile->ensureTexture();
    const MGlStateGuard state;
    glDisable(GL_STENCIL_TEST);
    glDisable(GL_SCISSOR_TEST);
    enableBlending(m_canvas->context());
    glBlendEquation(GL_FUNC_ADD);
    glBlendFunc(GLenum(srcFactor), GLenum(dstFactor));
    const int size = tile->tileSize();
    QMatrix4x4 mvp;
    bindTileTarget(output->textureId(), size, size, mvp);
    m_vertexBuffer->bind();

    MShader *effect = MShaderList::instance()->find(programName);
    QOpenGLShaderProgram *program = programList->bindForVao(programName, vertexArray);
    if (!program) {
        systemError(QStringLiteral("Unable to find a shader program"));
        m_vertexBuffer->release();
        releaseTileTarget();
        return;
    }
    if (effect)
        layer->shaderValues()->setUniforms(program);
    const QRect area = tile->rectWithBorder();
    const QRectF painted = m_canvas->paintedRect();
    MTextureLayer *stroke = m_canvas->strokeLayer();
    program->setUniformValue("mvp", mvp);
    program->setUniformValue("f_clipToPaintedRect", false);
    program->setUniformValue("f_globalTime", nextGlobalTime());
    setTileUniforms(program, area, size, tile->border(), painted);
    program->setUniformValue("f_opacity", GLfloat(opacity));
    program->setUniformValue("f_eraserMode", stroke->eraserMode());
    program->setUniformValue("f_strokeOpacity", GLfloat(strokeOpacity));
    addTileQuad(size, size);

    const QPointF centre = QRectF(area).center();
    const Sampling s;
    MTextureUnitBinder binder(this);
    auto bindStandard = [&](unsigned int id, const char *name) {
        binder.bind(id, program, name, s.minFilter, s.magFilter, s.wrapS, s.wrapT);
    };
    bindStandard(tile->textureId(), "f_currentLayerTexture");
    bindStandard(layerTextureAt(under, centre), "f_underLayerTexture");
    if (m_canvas->paperType() == MEnum::Paper) {
        createPaperTexture();
        if (m_paperUpToDate)
            bindStandard(m_paperTexture->textureId(), "f_paperTexture");
    }
    bindStandard(layerTextureAt(stroke, centre), "f_strokeLayerTexture");
    program->setUniformValue("f_clipToSelection", m_canvas->clipToSelection() && layer->hasShader());
    bindStandard(layerTextureAt(m_canvas->selectionLayer(), centre), "f_selectionLayerTexture");
    if (effect) {
        for (int i = 0; i < effect->textureCount(); ++i) {
            const MTexture *parameter = effect->texture(i);
            if (parameter)
                binder.bind(parameter->textureId(), program, parameter->name(), filterToGl(parameter->magFilter()),
                            GL_LINEAR, wrapModeToGl(parameter->wrapS()), wrapModeToGl(parameter->wrapT()));
        }
    }
    glDrawArrays(GL_TRIANGLES, 0, m_vertexBuffer->count());
    MShaderProgramList::release(program, vertexArray);
    m_vertexBuffer->release();
    releaseTileTarget();
    binder.unbindAll();
    glActiveTexture(GL_TEXTURE0);
}

void MPaintEngine::renderEffectToTile(MTextureTile *tile, int row, int srcFactor, int dstFactor,
                                      MShaderProgramList *programList, const QString &programName, double opacity,
                                      double strokeOpacity, QOpenGLVertexArrayObject *vertexArray)
{
    if (!m_ready || !makeCanvasCurrent())
        return;
    // The work texture holds the previous operation's pixels: a program that
    // discards fragments, or a blend that reads the target, must not carry
    // them into this tile.
    MFrameBuffer *frameBuffer = m_canvas->sharedData()->frameBuffer();
    frameBuffer->attachTexture(m_workTexture->textureId());
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    releaseTileTarget();
    renderEffectToTexture(tile, row, m_workTexture.get(), srcFactor, dstFactor, programList, programName, opacity,
                          strokeOpacity, vertexArray);
    blitTile(tile, m_workTexture->textureId(), GL_ONE, GL_ZERO, programList, QStringLiteral("basic"), 1.0,
             vertexArray);
}
