#include "mstrokesession.h"

#include "mbrush.h"
#include "mbrushsettinginfolist.h"
#include "mcommandstroke.h"
#include "mcurve.h"
#include "mdocumentevents.h"
#include "mframebuffer.h"
#include "mgpudevice.h"
#include "mglstateguard.h"
#include "mlogger.h"
#include "mpaper.h"
#include "mrandom.h"
#include "mselection.h"
#include "mshaderprogramlist.h"
#include "mstampqueue.h"
#include "mstampsurface.h"
#include "mstrokestate.h"
#include "mtexturelayer.h"
#include "mtexturetile.h"
#include "mtextureunitbinder.h"
#include "mundohistory.h"
#include "mvertexbuffer.h"

#include <QLineF>
#include <QMatrix4x4>
#include <QOpenGLShaderProgram>
#include <QOpenGLTexture>
#include <QTransform>
#include <QVector2D>

#include <algorithm>
#include <cmath>

namespace {
// The stroke layer's tiles kept for the next stroke: a stroke over the same
// few tiles does not make them again.
constexpr int kStrokeTilesKept = 16;

void setColor(MQuadTransform &vertex, const QColor &color)
{
    // Converted once: an HSV colour converts again for every component read.
    const QColor rgb = color.toRgb();
    vertex.color[0] = float(rgb.redF());
    vertex.color[1] = float(rgb.greenF());
    vertex.color[2] = float(rgb.blueF());
    vertex.color[3] = float(rgb.alphaF());
}

// Ends a draw into a texture attached to the frame buffer.
void endTargetPass(QOpenGLShaderProgram *program, QOpenGLVertexArrayObject *vertexArray, MVertexBuffer *buffer,
                   MFrameBuffer *frameBuffer, bool detach = true)
{
    if (program)
        MShaderProgramList::release(program, vertexArray);
    buffer->release();
    if (detach)
        frameBuffer->detachTexture();
    frameBuffer->release();
}

} // namespace

MStrokeSession::MStrokeSession(const MDocumentParts &parts, MStrokeState *state, MStampSurface *surface,
                               MStampQueue *queue)
    : m_parts(parts)
    , m_state(state)
    , m_surface(surface)
    , m_queue(queue)
{
}

QPointF MStrokeSession::position(const MEvent &event)
{
    return QPointF(event.inputs[MEnum::biPositionX], event.inputs[MEnum::biPositionY]);
}

QRectF MStrokeSession::documentPaintedRect() const
{
    return m_parts.paper ? m_parts.paper->paintedRect() : QRectF();
}

bool MStrokeSession::flushQueuedAndMakeCurrent()
{
    if (!m_parts.device || !m_parts.device->makeCurrent())
        return false;
    m_surface->drawQueued();
    return true;
}

void MStrokeSession::clearTile(MTile *tile)
{
    // The end and the cancel drew the queued stamps before they clear.
    m_parts.device->clearTile(tile);
}

void MStrokeSession::begin(const MEvent &event)
{
    if (!m_surface->prepare())
        return;
    MBrush *brush = m_state->brush();
    m_state->startPaintedRect = documentPaintedRect();
    m_surface->setColorTextureSize(brush->radius());
    // A press event: the next segment places the first stamp.
    m_last = event;
    m_last.type = MEvent::Press;
    double *base = m_state->baseValues;
    for (int setting = 0; setting < MEnum::bsCount; ++setting) {
        const double v = brush->value(setting);
        m_values[setting] = v;
        base[setting] = v;
    }
    MTextureLayer *strokeLayer = m_parts.strokeLayer;
    strokeLayer->setEraserMode(event.pointerType == 3 || brush->eraser());
    strokeLayer->setOpacity(brush->opacity());
    m_state->paintedRect = QRectF();
}

void MStrokeSession::segment(const MEvent &event)
{
    // The context without drawing what earlier moves queued: this segment queues more.
    if (!m_surface->prepare() || !m_parts.device || !m_parts.device->makeCurrent()) {
        MLogger::instance()->systemError(QStringLiteral("Unable to make current context"));
        return;
    }
    const MEvent last = m_last;
    double *v = values();
    const bool feedback = v[MEnum::bsColorAbsorbtionRate] != 0.0;
    m_vertices.clear();
    m_pendingTiles.clear();
    m_allTiles.clear();
    m_segmentRect = QRectF();
    m_lastTile = nullptr;
    m_lastTileLayer = nullptr;
    MEvent current = last;

    if (last.type == MEvent::Press) {
        const QImage texture = m_state->brush()->texture();
        if (!texture.isNull())
            m_surface->createBrushTexture(texture);
        else
            m_surface->destroyBrushTexture();
        m_state->stampCounter = 0;
        current = interpolateEvent(last, last, 1.0);
        if (v[MEnum::bsAccumulatorDistance] == 0.0 && int(v[MEnum::bsAngleType]) != MEnum::FollowDirectionAngle) {
            placeStamp(current);
            if (feedback)
                colorFeedback(position(current), true);
        }
    } else {
        const float distance = QVector2D(position(event) - position(last)).length();
        double t = v[MEnum::bsSpacing];
        // Short moves add up until the pointer is farther than the spacing
        // from the last stamp.
        if (!(distance > t))
            return;
        while (distance > t) {
            current = interpolateEvent(last, event, t / distance);
            placeStamp(current);
            if (feedback && m_state->stampCounter % feedbackInterval == 0) {
                colorFeedback(position(current), false);
                flushPending();
            }
            t += std::max(v[MEnum::bsSpacing], minimumAdvance);
        }
    }

    flushPending();
    finishTiles(m_allTiles);
    m_parts.strokeLayer->touchedTiles().unite(m_allTiles);
    m_last = current;
    m_state->paintedRect = m_state->paintedRect.united(m_segmentRect);
    MPaper *paper = m_parts.paper;
    if (paper->autoExtent() && !m_parts.selection->hasSelection() && m_segmentRect.isValid()) {
        const double margin = paper->paintMargin();
        const QRectF grown = m_segmentRect.adjusted(-margin, -margin, margin, margin);
        paper->setPaintedRect(QRectF(paper->paintedRect().united(grown).toAlignedRect()));
    }
    emit m_parts.events->refresh(true, m_segmentRect);
}

void MStrokeSession::end()
{
    if (!m_surface->prepare())
        return;
    if (!flushQueuedAndMakeCurrent()) {
        MLogger::instance()->systemError(QStringLiteral("Unable to make current context"));
        return;
    }
    const int index = m_state->layerIndex;
    MTextureLayer *layer = m_surface->currentLayer();
    if (!layer)
        return;
    MTextureLayer *strokeLayer = m_parts.strokeLayer;
    MBrush *brush = m_state->brush();
    auto *stroke = new MCommandStroke(
        m_parts, tr("Brush stroke: %1, %2").arg(brush->description(), m_state->foregroundColor.name()),
        m_state->startPaintedRect, documentPaintedRect());
    QVector<MTextureTile *> merged;
    const QSet<MTile *> touched = strokeLayer->touchedTiles();
    for (MTile *t : touched) {
        auto *tile = static_cast<MTextureTile *>(t);
        if (!tile->ensureTexture())
            continue;
        auto *target = static_cast<MTextureTile *>(layer->addTile(QRectF(tile->rectWithBorder()).center()));
        if (!target || !target->ensureTexture())
            continue;
        stroke->addTile(index, target, tile, brush->opacity(), strokeLayer->eraserMode());
        merged << tile;
    }
    m_parts.history->pushRecorded(stroke);
    // Emptied once merged: whether its merge was recorded or not.
    for (MTextureTile *tile : qAsConst(merged))
        clearTile(tile);
    emit m_parts.events->thumbnailWanted(index);
    strokeLayer->touchedTiles().clear();
    // Each stroke's tiles stayed after it: strokes all over a document came
    // to hold one more layer's worth of transparent textures.
    strokeLayer->releaseTilesPast(kStrokeTilesKept);
    emit m_parts.events->refresh(false, QRectF());
}

void MStrokeSession::cancel()
{
    flushQueuedAndMakeCurrent();
    MTextureLayer *strokeLayer = m_parts.strokeLayer;
    const QSet<MTile *> touched = strokeLayer->touchedTiles();
    for (MTile *tile : touched)
        clearTile(tile);
    strokeLayer->touchedTiles().clear();
    m_parts.paper->setPaintedRect(m_state->startPaintedRect);
    emit m_parts.events->refresh(false, QRectF());
}

void MStrokeSession::placeStamp(const MEvent &event)
{
    // The stamp buffer holds a bounded number of stamps: a longer run is
    // drawn in several passes.
    if (m_vertices.size() + verticesPerStamp > m_surface->stampBuffer()->capacity())
        flushPending();
    const QRectF rect = computeStamp(m_vertices, position(event), stampColor());
    m_segmentRect = m_segmentRect.united(rect);
    collectTiles(rect, m_parts.strokeLayer, m_pendingTiles);
}

void MStrokeSession::flushPending()
{
    m_allTiles.unite(m_pendingTiles);
    if (!m_pendingTiles.isEmpty() && !m_vertices.isEmpty()) {
        MStampQueue *queue = m_queue;
        queue->append(m_pendingTiles, m_vertices, passState(QPointF(0, 0)));
        // Bounded: a view that does not draw leaves no more than a buffer's worth queued.
        if (queue->stampCount() * verticesPerStamp >= m_surface->stampBuffer()->capacity())
            m_surface->drawQueued();
    }
    m_pendingTiles.clear();
    m_vertices.resize(0);
}

MEvent MStrokeSession::interpolateEvent(const MEvent &last, const MEvent &next, double t)
{
    MEvent event(last, next, t);
    double *v = values();
    // The base values, then those the curves modulate, setting by setting as
    // applyInputs would: random inputs are drawn in the same order.
    const double *base = m_state->baseValues;
    std::copy(base, base + MEnum::bsCount, v);
    for (const MStrokeState::CurvedSetting &curved : m_state->curvedSettings())
        v[curved.setting] = applyCurves(curved.curves, v[curved.setting], event);
    const double size = std::min(v[MEnum::bsRadius], v[MEnum::bsRadius] * v[MEnum::bsRatio]);
    double spacing;
    switch (int(v[MEnum::bsSpacingType])) {
    case MEnum::AutoSpacing:
        spacing = m_state->brush()->autoSpacingCurve()->mappedValue(size);
        break;
    case MEnum::RatioSpacing:
        spacing = v[MEnum::bsSpacing] * size;
        break;
    default:
        spacing = v[MEnum::bsSpacing];
        break;
    }
    v[MEnum::bsSpacing] = spacing;
    v[MEnum::bsAngle] = std::fmod(v[MEnum::bsAngle], 360.0);
    if (int(v[MEnum::bsAngleType]) == MEnum::FollowDirectionAngle) {
        const QVector2D direction =
            QVector2D(float(event.inputs[MEnum::biDirectionX]), float(event.inputs[MEnum::biDirectionY])).normalized();
        const double angle = QLineF(QPointF(0, 0), direction.toPointF()).angle();
        v[MEnum::bsAngle] += std::fmod(angle, 360.0);
    }
    event.inputs[MEnum::biPositionX] += v[MEnum::bsOffsetX];
    event.inputs[MEnum::biPositionY] += v[MEnum::bsOffsetY];
    return event;
}

void MStrokeSession::applyInputs(int setting, const MEvent &event)
{
    if (setting < 0 || setting >= MEnum::bsCount)
        return;
    double value = m_state->baseValues[setting];
    const MBrush *brush = m_state->brush();
    if (brush->settingHasCurve(setting))
        value = applyCurves(brush->curves(setting), value, event);
    values()[setting] = value;
}

double MStrokeSession::applyCurves(const QList<MCurve *> &curves, double value, const MEvent &event)
{
    for (const MCurve *curve : curves) {
        const int input = curve->input();
        if (input < 0 || input >= MEnum::biCount)
            continue;
        double x = input == MEnum::biRandom ? MRandom::unit() : event.inputs[input];
        if (curve->modulo() != 0.0)
            x = std::fmod(x, curve->modulo());
        value = curve->apply(x, value);
    }
    return value;
}

QRectF MStrokeSession::computeStamp(Vertices &vertices, const QPointF &position, const QColor &color)
{
    const double *v = values();
    const double rx = qBound(0.01, v[MEnum::bsRadius], 1000.0);
    const double ry = qBound(0.01, v[MEnum::bsRatio] * rx, 1000.0);
    const double a = v[MEnum::bsAngle] * M_PI / 180.0;
    const double w = std::abs(std::cos(a)) * rx + std::abs(std::sin(a)) * ry;
    const double h = std::abs(std::cos(a)) * ry + std::abs(std::sin(a)) * rx;
    const QRectF rect = QRectF(position.x() - w, position.y() - h, 2 * w, 2 * h).adjusted(-1, -1, 1, 1);
    if (!isStampVisible(rect))
        return QRectF();

    QTransform rotation;
    rotation.translate(position.x(), position.y());
    rotation.rotate(-v[MEnum::bsAngle]);
    rotation.translate(-position.x(), -position.y());
    // An antialiased shape reaches into the pixels whose centres lie up to
    // half a pixel past its square (measured along the square's own axes):
    // the quad takes them in, its stamp coordinates running on past 0 and 1.
    // Textures and brush engines keep the quad: past it they have nothing.
    const double margin = int(v[MEnum::bsAntialiasing]) == MEnum::Antialiasing && !m_surface->brushTexture()
            && !m_state->hasStampEngine()
        ? 0.5 * (std::abs(std::cos(a)) + std::abs(std::sin(a)))
        : 0.0;
    const double mx = margin / (2 * rx);
    const double my = margin / (2 * ry);
    const QRectF quad(position.x() - rx - margin, position.y() - ry - margin, 2 * (rx + margin), 2 * (ry + margin));
    // Bottom is the larger y.
    const QPointF corners[4] = {quad.bottomLeft(), quad.topLeft(), quad.bottomRight(), quad.topRight()};
    const QVector2D unit[4] = {QVector2D(float(-mx), float(1 + my)), QVector2D(float(-mx), float(-my)),
                               QVector2D(float(1 + mx), float(1 + my)), QVector2D(float(1 + mx), float(-my))};
    // The inverse of the rotation, over the square's size: u grows along the
    // turned x axis, v along the turned y axis.
    const double c = std::cos(a);
    const double s = std::sin(a);
    const float axes[4] = {float(c / (2 * rx)), float(-s / (2 * rx)), float(s / (2 * ry)), float(c / (2 * ry))};
    MQuadTransform corner[4];
    setColor(corner[0], color);
    corner[0].setStampFrame(float(position.x()), float(position.y()), axes);
    for (int i = 0; i < 4; ++i) {
        if (i > 0)
            corner[i] = corner[0];
        const QPointF p = rotation.map(corners[i]);
        corner[i].position[0] = float(p.x());
        corner[i].position[1] = float(p.y());
        corner[i].textureCoordinates[0] = unit[i];
    }
    const int first = vertices.size();
    vertices.resize(first + verticesPerStamp);
    MQuadTransform *stamp = vertices.data() + first;
    const int order[verticesPerStamp] = {0, 1, 2, 1, 3, 2};
    for (int k = 0; k < verticesPerStamp; ++k)
        stamp[k] = corner[order[k]];
    ++m_state->stampCounter;
    return rect;
}

QColor MStrokeSession::stampColor() const
{
    const double *v = values();
    return MStampState::hsvColor(v[MEnum::bsBrushColorHue], v[MEnum::bsBrushColorSaturation], v[MEnum::bsBrushColorValue]);
}

void MStrokeSession::collectTiles(const QRectF &rect, MTextureLayer *layer, Tiles &pending)
{
    if (!rect.isValid() || !layer)
        return;
    // Most stamps lie in the cell of the one before: its tile, without the search.
    if (m_lastTile && m_lastTileLayer == layer && QRectF(m_lastTile->rect()).contains(rect)) {
        static_cast<MTextureTile *>(m_lastTile)->markSubTiles(rect);
        pending.insert(m_lastTile);
        return;
    }
    Tiles tiles;
    layer->tilesInRect(rect, tiles);
    for (MTile *tile : qAsConst(tiles))
        static_cast<MTextureTile *>(tile)->markSubTiles(rect);
    pending.unite(tiles);
    m_lastTileLayer = layer;
    m_lastTile = tiles.size() == 1 ? *tiles.constBegin() : nullptr;
}

bool MStrokeSession::isStampVisible(const QRectF &rect) const
{
    const QRectF area = documentPaintedRect().adjusted(-100, -100, 100, 100);
    return area.contains(rect) || area.intersects(rect);
}

void MStrokeSession::finishTiles(const Tiles &tiles)
{
    for (MTile *t : tiles) {
        auto *tile = static_cast<MTextureTile *>(t);
        // Only the segment's share of the reduced levels is rebuilt for the view.
        tile->markChanged(m_segmentRect);
        tile->release();
    }
}

void MStrokeSession::renderStamps(const Tiles &tiles, const Vertices &vertices, const QPointF &offset)
{
    if (!m_surface->isValid()) {
        MLogger::instance()->systemError(QStringLiteral("Shared data are not valid"));
        return;
    }
    // Drawn now, after whatever was queued before.
    flushQueuedAndMakeCurrent();
    m_queue->append(tiles, vertices, passState(offset));
    m_surface->drawQueued();
}

MStampState MStrokeSession::passState(const QPointF &offset) const
{
    return m_surface->stampState(values(), offset);
}

void MStrokeSession::colorFeedback(const QPointF &position, bool clear)
{
    MLogger &logger = *MLogger::instance();
    if (!m_surface->isValid()) {
        logger.systemError(QStringLiteral("Shared data are not valid"));
        return;
    }
    // Stamps queued before read the colours as they were: drawn first.
    flushQueuedAndMakeCurrent();
    const int size = m_surface->colorTextureSize();
    QOpenGLTexture *target = m_surface->colorTargetTexture(size);
    QOpenGLTexture *sample = m_surface->colorSampleTexture(size);
    if (!target || !sample) {
        logger.systemError(QStringLiteral("Invalid color textures"));
        return;
    }
    const int n = target->width();
    const QRectF square(position.x() - n / 2.0, position.y() - n / 2.0, n, n);
    MTextureLayer *layer = m_surface->currentLayer();
    if (!layer) {
        logger.systemError(QStringLiteral("No valid current layer"));
        return;
    }
    Tiles tiles;
    layer->tilesInRect(square, tiles);
    QOpenGLFunctions *f = m_surface->functions();
    MFrameBuffer *frameBuffer = m_surface->frameBuffer();
    MVertexBuffer *stampBuffer = m_surface->stampBuffer();
    MShaderProgramList *programs = m_surface->programList();
    QOpenGLVertexArrayObject *vertexArray = m_surface->vertexArrayObject();
    const double *v = values();
    const QColor color =
        MStampState::hsvColor(v[MEnum::bsBrushColorHue], v[MEnum::bsBrushColorSaturation], v[MEnum::bsBrushColorValue]);
    const MGlStateGuard state;
    f->glEnable(GL_BLEND);
    QMatrix4x4 projection;
    projection.ortho(0.0f, float(n), 0.0f, float(n), -1.0f, 1.0f);

    // Each pass draws the part of the target that lies over one area of the
    // layer, reading that area of the texture.
    auto pass = [&](GLuint layerTexture, const QRectF &part, const QRectF &sourceArea) {
        frameBuffer->attachTexture(target->textureId());
        f->glBlendFunc(GL_ONE, GL_ZERO);
        f->glViewport(0, 0, n, n);

        const QPointF layerCorners[4] = {part.bottomLeft(), part.topLeft(), part.bottomRight(), part.topRight()};
        MQuadTransform corner[4];
        for (int i = 0; i < 4; ++i) {
            const QPointF position = layerCorners[i] - square.topLeft();
            corner[i].position[0] = float(position.x());
            corner[i].position[1] = float(position.y());
            setColor(corner[i], color);
            corner[i].textureCoordinates[0] = QVector2D(position / n);
            corner[i].textureCoordinates[1] =
                QVector2D(float((layerCorners[i].x() - sourceArea.left()) / sourceArea.width()),
                          float((layerCorners[i].y() - sourceArea.top()) / sourceArea.height()));
        }
        const MQuadTransform quad[6] = {corner[0], corner[1], corner[2], corner[1], corner[3], corner[2]};

        frameBuffer->bind();
        MStampQueue::setNearestSampling(f, target->textureId());
        stampBuffer->bind();
        stampBuffer->clear();
        stampBuffer->addVertices(quad, 6);

        QOpenGLShaderProgram *program = programs->programFor(QStringLiteral("colorfeedback"));
        if (!program || !program->bind()) {
            logger.systemError(QStringLiteral("No valid shader program for color feedback"));
            endTargetPass(nullptr, vertexArray, stampBuffer, frameBuffer);
            return;
        }
        MShaderProgramList::setAttributeBuffers(program, vertexArray);
        program->setUniformValue("mvp", projection);
        program->setUniformValue("f_clear", GLint(clear ? 1 : 0));
        program->setUniformValue("f_colorAbsorbtionRate", GLfloat(v[MEnum::bsColorAbsorbtionRate]));
        program->setUniformValue("f_colorFlowingRate", GLfloat(v[MEnum::bsColorFlowingRate]));
        MTextureUnitBinder binder(f);
        binder.bind(layerTexture, program, "f_currentLayerTexture", GL_NEAREST, GL_NEAREST, GL_CLAMP_TO_EDGE,
                    GL_CLAMP_TO_EDGE);
        binder.bind(sample->textureId(), program, "f_colorTexture", GL_NEAREST, GL_NEAREST, GL_CLAMP_TO_EDGE,
                    GL_CLAMP_TO_EDGE);
        f->glDrawArrays(GL_TRIANGLES, 0, stampBuffer->count());
        endTargetPass(program, vertexArray, stampBuffer, frameBuffer);
        binder.unbindAll();
    };

    // Where no tile of the layer lies, the brush picks up a transparent
    // layer; the square was left as the previous pick had it.
    bool covered = false;
    for (MTile *c : qAsConst(tiles))
        covered = covered || QRectF(c->rect()).contains(square);
    if (!covered)
        pass(m_surface->emptyTexture()->textureId(), square, square);
    // Each tile gives the part of the square over its own area (not over
    // its border, which its neighbour gives): the colours picked from
    // across a tile edge do not depend on the order of the tiles.
    for (MTile *c : qAsConst(tiles)) {
        MTextureTile *source = MStampQueue::layerTileUnder(layer, c->rectWithBorder());
        if (!source)
            continue;
        const QRectF part = square.intersected(QRectF(source->rect()));
        if (part.isEmpty())
            continue;
        pass(source->textureId(), part, QRectF(source->rectWithBorder()));
        source->release();
    }
    // The freshly drawn colours become the ones the next stamps read.
    target->bind();
    target->generateMipMaps();
    target->release();
    m_surface->swapColorTextures(size);
    frameBuffer->release();
    f->glFlush();
}
