#include "mlayercache.h"

#include "mglstateguard.h"
#include "menum.h"
#include "mgpudevice.h"
#include "mlayerstack.h"
#include "mpaintengine.h"
#include "mpaintparams.h"
#include "mpaper.h"
#include "mselection.h"
#include "msettings.h"
#include "mtexturelayer.h"
#include "mtransform.h"

#include <QGuiApplication>
#include <QOpenGLContext>
#include <QOpenGLExtraFunctions>
#include <QOpenGLFramebufferObject>

#include <cmath>

namespace {
double pixelRatio(const MPaintParams *params)
{
    return params->useDevicePixelRatio && qApp ? qApp->devicePixelRatio() : 1.0;
}
} // namespace

bool MLayerCache::Layer::operator==(const Layer &other) const
{
    return layer == other.layer && revision == other.revision && visible == other.visible
        && opacity == other.opacity && program == other.program && tiles == other.tiles;
}

bool MLayerCache::Key::operator==(const Key &other) const
{
    return matrix == other.matrix && size == other.size && viewport == other.viewport && painted == other.painted
        && smooth == other.smooth && matchLevel == other.matchLevel && background == other.background
        && paperType == other.paperType && paperColor == other.paperColor && paperRevision == other.paperRevision
        && showEmptyPaper == other.showEmptyPaper && clipToSelection == other.clipToSelection
        && selectionRevision == other.selectionRevision && layers == other.layers;
}

MLayerCache::MLayerCache() = default;

MLayerCache::~MLayerCache() = default;

void MLayerCache::release()
{
    m_below.target.reset();
    m_below.valid = false;
    m_above.target.reset();
    m_above.valid = false;
}

bool MLayerCache::groupKey(MPaintParams *params, int first, int last, const QColor &background, bool paper,
                           Key &key)
{
    const MDocumentParts &parts = params->parts;
    const double ratio = pixelRatio(params);
    key.matrix = params->transform->matrix();
    key.viewport = params->viewport;
    key.size = QSize(int(std::ceil(params->viewport.width() * ratio)),
                     int(std::ceil(params->viewport.height() * ratio)));
    key.painted = parts.paper->paintedRect();
    key.smooth = params->smoothPixels;
    key.matchLevel = params->matchLevel;
    key.clipToSelection = params->clipToSelection || parts.selection->clipToSelection();
    if (key.clipToSelection && parts.selection->layer())
        key.selectionRevision = parts.selection->layer()->contentRevision();
    if (paper) {
        key.background = background;
        key.paperType = parts.paper->paperType();
        key.paperColor = parts.paper->paperColor();
        // Made now if due, so that the image is not made twice.
        if (parts.paper->paperType() == MEnum::Paper)
            parts.paintEngine->createPaperTexture();
        key.paperRevision = parts.paintEngine->paperRevision();
        key.showEmptyPaper = MSettings::instance()->showEmptyPaper();
    }
    for (int row = first; row <= last; ++row) {
        MTextureLayer *layer = parts.layers->at(row);
        if (!layer)
            continue;
        const QString program = MPaintEngine::layerProgram(parts, row);
        // An effect may read the stroke, the time or the layer under it as
        // they change: such a group is drawn as it always was.
        if (program != QLatin1String("basic") || layer->type() != MLayer::OpenGLLayer)
            return false;
        key.layers.append({layer, layer->contentRevision(), layer->visible(), layer->opacity(), program,
                           layer->tileCount()});
    }
    return true;
}

bool MLayerCache::ensure(Image &image, MPaintParams *params, const Key &key, bool build, bool below, int first,
                         int last, const QColor &background)
{
    if (image.valid && image.target && image.key == key)
        return true;
    if (!build || key.size.isEmpty())
        return false;
    image.valid = false;
    QOpenGLExtraFunctions *f = params->context->extraFunctions();
    MPaintEngine *engine = params->parts.paintEngine;
    // Making a frame buffer object binds another: the frame's is put back.
    const MGlStateGuard frame;
    if (!image.target || image.target->size() != key.size) {
        // The layers over the stroke are blended into more than 8 bits, so
        // that the image goes over the stroke much as they would one by one.
        image.target.reset(new QOpenGLFramebufferObject(key.size, QOpenGLFramebufferObject::NoAttachment,
                                                        GL_TEXTURE_2D, below ? GL_RGBA8 : GL_RGBA16));
        if (!image.target->isValid()) {
            image.target.reset();
            return false;
        }
    }
    f->glBindFramebuffer(GL_FRAMEBUFFER, image.target->handle());
    f->glDisable(GL_SCISSOR_TEST);
    if (below)
        f->glClearColor(GLfloat(background.redF()), GLfloat(background.greenF()), GLfloat(background.blueF()), 1.0f);
    else
        f->glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    f->glClear(GL_COLOR_BUFFER_BIT);
    if (below)
        engine->renderPaper(params);
    engine->renderLayerRange(params, first, last);
    params->makeCurrent();
    image.key = key;
    image.valid = true;
    ++image.builds;
    return true;
}

bool MLayerCache::draw(MPaintParams *params, const QColor &background, bool build)
{
    if (!params || !params->parts.isValid())
        return false;
    const MDocumentParts &parts = params->parts;
    if (!params->transform || !params->context || !parts.strokeInProgress || !parts.strokeInProgress()
        || params->timeLineMode || MSettings::instance()->showTiling() || !parts.device || !parts.device->isGlReady()
        || params->viewport.topLeft() != QPointF())
        return false;
    const int current = parts.layers->currentRow();
    const int last = parts.layers->count() - 1;
    if (current < 0 || current > last)
        return false;
    if (parts.flushStrokes)
        parts.flushStrokes();
    if (!params->makeCurrent())
        return false;
    Key belowKey;
    Key aboveKey;
    const bool belowPlain = groupKey(params, 0, current - 1, background, true, belowKey);
    const bool abovePlain = current < last && groupKey(params, current + 1, last, background, false, aboveKey);
    const bool haveBelow = belowPlain && ensure(m_below, params, belowKey, build, true, 0, current - 1, background);
    const bool haveAbove =
        abovePlain && ensure(m_above, params, aboveKey, build, false, current + 1, last, background);
    if (!haveBelow && !haveAbove)
        return false;

    MPaintEngine *engine = parts.paintEngine;
    if (haveBelow) {
        // A copy, texel for pixel, of what drawing them gives. Drawn, not
        // blitted: a software driver's blit strays a column past the scissor
        // of a partial frame.
        engine->renderViewTexture(params, m_below.target->texture());
    } else {
        engine->renderPaper(params);
        engine->renderLayerRange(params, 0, current - 1);
    }
    engine->renderLayerRange(params, current, current);
    if (haveAbove)
        engine->renderViewTexture(params, m_above.target->texture(), true);
    else
        engine->renderLayerRange(params, current + 1, last);
    engine->renderSelection(params);
    return true;
}
