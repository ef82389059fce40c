#include "mstampqueue.h"

#include "mbrush.h"
#include "mbrushsettinginfolist.h"
#include "mframebuffer.h"
#include "mglstateguard.h"
#include "mlogger.h"
#include "mopengl.h"
#include "mrandom.h"
#include "msamplers.h"
#include "mshader.h"
#include "mshaderlist.h"
#include "mshaderprogramlist.h"
#include "mstampsurface.h"
#include "mstampuniforms.h"
#include "msettings.h"
#include "mtexture.h"
#include "mtexturelayer.h"
#include "mtexturetile.h"
#include "mvalues.h"
#include "mvertexbuffer.h"

#include <QMatrix4x4>
#include <QOpenGLFunctions>
#include <QOpenGLShaderProgram>
#include <QOpenGLTexture>
#include <QOpenGLVertexArrayObject>

#include <algorithm>

namespace {
// Texture units of a stamp pass; engine textures follow the last.
enum Unit { CurrentUnit = 1, UnderUnit, BrushUnit, ColorUnit, SelectionUnit, FirstEngineUnit };


void bindUnit(QOpenGLFunctions *f, int unit, unsigned int texture, int minFilter, int magFilter, int wrapS = GL_CLAMP_TO_EDGE,
              int wrapT = GL_CLAMP_TO_EDGE)
{
    // Tiles get no mipmaps when the setting is off: a mipmap filter would
    // sample levels that were never filled.
    const bool mipmaps = MSettings::instance()->generateMipmaps();
    f->glActiveTexture(GLenum(GL_TEXTURE0 + unit));
    f->glBindTexture(GL_TEXTURE_2D, texture);
    MSamplers::bind(unsigned(unit), mipmaps ? minFilter : filterWithoutMipmaps(minFilter), magFilter, wrapS, wrapT);
    f->glActiveTexture(GL_TEXTURE0);
}

void unbindUnits(QOpenGLFunctions *f, int last)
{
    for (int unit = CurrentUnit; unit <= last; ++unit) {
        f->glActiveTexture(GLenum(GL_TEXTURE0 + unit));
        f->glBindTexture(GL_TEXTURE_2D, 0);
        MSamplers::unbind(unsigned(unit));
    }
    f->glActiveTexture(GL_TEXTURE0);
}

// The texture of a tile that must not be created, or the stand-in.
unsigned int existingTileTexture(MTextureLayer *layer, const QPointF &centre, QOpenGLTexture *fallback)
{
    if (auto *tile = layer ? static_cast<MTextureTile *>(layer->tileAt(centre)) : nullptr) {
        if (tile->ensureTexture())
            return tile->textureId();
    }
    return fallback ? fallback->textureId() : 0;
}

} // namespace

void MStampQueue::setNearestSampling(QOpenGLFunctions *f, unsigned int texture)
{
    f->glActiveTexture(GL_TEXTURE0);
    f->glBindTexture(GL_TEXTURE_2D, texture);
    f->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    f->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    f->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    f->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    f->glBindTexture(GL_TEXTURE_2D, 0);
}

MTextureTile *MStampQueue::layerTileUnder(MTextureLayer *layer, const QRect &area)
{
    auto *tile = static_cast<MTextureTile *>(layer->addTile(QRectF(area).center()));
    if (tile)
        tile->ensureTexture();
    return tile;
}

// ---------------------------------------------------------------- queue

MStampQueue::MStampQueue(MStampSurface *surface)
    : m_surface(surface)
    , m_indices(QOpenGLBuffer::IndexBuffer)
{
}

MStampQueue::~MStampQueue() = default;

void MStampQueue::append(const QSet<MTile *> &tiles, const QVector<MQuadTransform> &vertices, const MStampState &state)
{
    if (tiles.isEmpty() || vertices.isEmpty())
        return;
    Run run;
    run.first = stampCount();
    run.count = vertices.size() / verticesPerStamp;
    run.state = state;
    // Room for a stamp buffer's worth, kept across flushes: growing the
    // queue move by move would copy it over and over, into fresh pages.
    const int corners = run.count * cornersPerStamp;
    if (m_vertices.capacity() < m_vertices.size() + corners) {
        const int stamps = std::max(m_rects.size() + run.count, MStampSurface::stampBufferVertices / verticesPerStamp);
        m_vertices.reserve(stamps * cornersPerStamp);
        m_rects.reserve(stamps);
    }
    for (int i = 0; i < run.count; ++i) {
        // The triangles A-B-C and B-D-C: A, B, C, then D.
        const MQuadTransform *stamp = vertices.constData() + i * verticesPerStamp;
        const MQuadTransform *corner[cornersPerStamp] = {stamp, stamp + 1, stamp + 2, stamp + 4};
        float left = stamp[0].position[0], right = left, top = stamp[0].position[1], bottom = top;
        for (const MQuadTransform *c : corner) {
            m_vertices.append(*c);
            left = std::min(left, c->position[0]);
            right = std::max(right, c->position[0]);
            top = std::min(top, c->position[1]);
            bottom = std::max(bottom, c->position[1]);
        }
        m_rects.append(QRectF(QPointF(left, top), QPointF(right, bottom)));
    }
    appendRun(run, tiles, true);
}

void MStampQueue::appendRun(Run &run, const QSet<MTile *> &tiles, bool random)
{
    run.firstTile = m_runTiles.size();
    run.tileCount = tiles.size();
    // The random values go to the tiles by their place, not by a pointer
    // set's order: a seeded stroke paints the same whichever way its tiles
    // lie in memory.
    QVector<MTile *> placed(tiles.begin(), tiles.end());
    std::sort(placed.begin(), placed.end(), [](const MTile *a, const MTile *b) {
        const QRect ra = a->rect(), rb = b->rect();
        return ra.y() != rb.y() ? ra.y() < rb.y() : ra.x() < rb.x();
    });
    for (MTile *tile : placed) {
        // The texture is there from the placing on, as when the stamps were drawn at once.
        static_cast<MTextureTile *>(tile)->ensureTexture();
        m_runTiles.append(tile);
        m_runRandoms.append(random ? float(MRandom::unit()) : 0.0f);
    }
    m_runs.append(run);
}

float MStampQueue::runRandom(const Run &run, const MTile *tile) const
{
    for (int t = run.firstTile; t < run.firstTile + run.tileCount; ++t)
        if (m_runTiles.at(t) == tile)
            return m_runRandoms.at(t);
    return 0.0f;
}

void MStampQueue::clear()
{
    m_runs.clear();
    m_runTiles.clear();
    m_runRandoms.clear();
    m_vertices.clear();
    m_rects.clear();
}

void MStampQueue::flush()
{
    if (m_runs.isEmpty() || m_flushing)
        return;
    m_flushing = true;
    if (m_surface->isValid())
        draw();
    else
        MLogger::instance()->systemError(QStringLiteral("Shared data are not valid"));
    clear();
    m_flushing = false;
}

void MStampQueue::prepare(const MBrush *brush)
{
    if (!brush || !m_surface->isValid())
        return;
    MShaderProgramList *programs = m_surface->programList();
    const QString engineId = brush->shaderId().trimmed();
    if (!engineId.isEmpty()) {
        programs->programFor(engineId);
    } else {
        double values[MEnum::bsCount];
        for (int setting = 0; setting < MEnum::bsCount; ++setting)
            values[setting] = brush->value(setting);
        MTextureLayer *below = m_surface->layerBelowCurrentRow();
        const bool inheritUnder = below && (values[MEnum::bsInheritAlphaUnder] != 0.0 || below->mask() != 0);
        MStampFeatures features = MStampFeatures::fromValues(values, !brush->texture().isNull(),
                                                             m_surface->clipToSelection(), inheritUnder);
        // Both sizes' programs: the radius may cross over within a stroke.
        for (bool sampleLoop : {features.sampleLoop, !features.sampleLoop}) {
            features.sampleLoop = sampleLoop;
            if (!m_variants.contains(features.key()))
                m_variants.insert(features.key(), programs->variant(QStringLiteral("stamping"), features.defines()));
        }
    }
    if (brush->value(MEnum::bsColorAbsorbtionRate) != 0.0)
        programs->programFor(QStringLiteral("colorfeedback"));
}

QOpenGLShaderProgram *MStampQueue::programFor(const MStampState &state)
{
    MShaderProgramList *programs = m_surface->programList();
    if (!state.engine) {
        const quint64 key = state.features.key();
        auto found = m_variants.constFind(key);
        QOpenGLShaderProgram *variant = found != m_variants.constEnd()
            ? found.value()
            : *m_variants.insert(key, programs->variant(QStringLiteral("stamping"), state.features.defines()));
        if (variant)
            return variant;
    }
    // A brush engine, or a variant that did not build: the program by name,
    // "basic" when it does not link; looked up once per flush.
    QOpenGLShaderProgram *&named = state.engine ? m_engineProgram : m_generalProgram;
    if (!named) {
        const QString engineId = state.engine ? m_surface->brush()->shaderId().trimmed() : QString();
        named = programs->bind(engineId.isEmpty() ? QStringLiteral("stamping") : engineId);
    }
    return named;
}

bool MStampQueue::sameState(const MStampState &a, const MStampState &b, const MStampUniforms *uniforms) const
{
    using U = MStampUniforms;
    if (uniforms->isActive(U::Random))
        return false;
    if (a.engine != b.engine || a.features.key() != b.features.key() || a.settings != b.settings
        || a.borderColor != b.borderColor || a.blend != b.blend || a.inheritUnder != b.inheritUnder
        || a.alphaEquation != b.alphaEquation || a.hasBelow != b.hasBelow || a.hasTexture != b.hasTexture
        || a.clipToSelection != b.clipToSelection || a.offset != b.offset)
        return false;
    if (a.stampCount != b.stampCount && uniforms->isActive(U::StampCount))
        return false;
    const bool painted = uniforms->isActive(U::PaintedPos) || uniforms->isActive(U::PaintedWidth)
        || uniforms->isActive(U::PaintedHeight);
    return a.painted == b.painted || !painted;
}

void MStampQueue::applyState(QOpenGLShaderProgram *program, MStampUniforms *uniforms, const MStampState &state)
{
    using U = MStampUniforms;
    QOpenGLFunctions *f = m_surface->functions();
    f->glBlendEquationSeparate(GLenum(state.blend[0]), GLenum(state.blend[1]));
    f->glBlendFuncSeparate(GLenum(state.blend[2]), GLenum(state.blend[3]), GLenum(state.blend[4]),
                           GLenum(state.blend[5]));
    const MBrushSettingInfoList *table = MBrushSettingInfoList::instance();
    const QVector<int> &settings = table->uniformSettings();
    for (int i = 0; i < settings.size() && i < state.settings.size(); ++i) {
        const double value = state.settings.at(i);
        switch (table->info(settings.at(i))->type()) {
        case QMetaType::Bool:
            uniforms->setInt(U::FirstSetting + i, value != 0.0 ? 1 : 0);
            break;
        case QMetaType::Int:
            uniforms->setInt(U::FirstSetting + i, int(value));
            break;
        default:
            uniforms->setFloat(U::FirstSetting + i, float(value));
            break;
        }
    }
    uniforms->setVec4(U::BorderColor, state.borderColor);
    uniforms->setInt(U::StampCount, state.stampCount);
    uniforms->setVec2(U::PaintedPos, state.painted.topLeft());
    uniforms->setFloat(U::PaintedWidth, float(state.painted.width()));
    uniforms->setFloat(U::PaintedHeight, float(state.painted.height()));
    uniforms->setInt(U::InheritUnder, state.inheritUnder);
    if (state.hasBelow)
        uniforms->setInt(U::AlphaEquation, state.alphaEquation);
    uniforms->setInt(U::HasTexture, state.hasTexture ? 1 : 0);
    uniforms->setInt(U::ClipToSelection, state.clipToSelection ? 1 : 0);
    if (state.engine) {
        // A brush engine's own values and textures, by the names its author gave.
        MBrush *brush = m_surface->brush();
        brush->shaderValues()->setUniforms(program);
        if (MShader *engine = MShaderList::instance()->find(brush->shaderId().trimmed())) {
            int unit = FirstEngineUnit;
            for (int i = 0; i < engine->textureCount(); ++i) {
                const MTexture *parameter = engine->texture(i);
                if (!parameter)
                    continue;
                const int filter = filterToGl(parameter->magFilter());
                program->setUniformValue(parameter->name().constData(), unit);
                bindUnit(f, unit++, parameter->textureId(), filter, filterWithoutMipmaps(filter),
                         wrapModeToGl(parameter->wrapS()), wrapModeToGl(parameter->wrapT()));
            }
        }
    }
}

void MStampQueue::draw()
{
    MTextureLayer *layer = m_surface->currentLayer();
    if (!layer)
        return;
    // Blending, framebuffer and viewport go back as found for the next pass.
    const MGlStateGuard state;
    m_engineProgram = nullptr;
    m_generalProgram = nullptr;
    MBrush *brush = m_surface->brush();
    const QString engineId = brush->shaderId().trimmed();
    if (!engineId.isEmpty())
        m_surface->loadEngineTextures(MShaderList::instance()->find(engineId));

    // The tiles in the order first touched, with the runs that touched each.
    QVector<MTile *> order;
    QHash<MTile *, QVector<int>> runsOf;
    for (int r = 0; r < m_runs.size(); ++r) {
        const Run &run = m_runs.at(r);
        for (int t = run.firstTile; t < run.firstTile + run.tileCount; ++t) {
            MTile *tile = m_runTiles.at(t);
            auto found = runsOf.find(tile);
            if (found == runsOf.end()) {
                order.append(tile);
                runsOf.insert(tile, QVector<int>{r});
            } else {
                found.value().append(r);
            }
        }
    }

    m_surface->functions()->glEnable(GL_BLEND);
    for (MTile *tile : qAsConst(order)) {
        auto *stroke = static_cast<MTextureTile *>(tile);
        if (!stroke->ensureTexture())
            continue;
        if (MTextureTile *target = layerTileUnder(layer, stroke->rectWithBorder()))
            drawTile(stroke, target, runsOf.value(tile));
    }
    endDraw();
}

void MStampQueue::endDraw()
{
    unbindUnits(m_surface->functions(), FirstEngineUnit + 8);
    // No flush: the view draws in its own context, and making that current
    // flushes this one (a read-back or a merge orders itself in this context).
    m_surface->frameBuffer()->release();
}

void MStampQueue::rehearse(const MBrush *brush, MTextureTile *tile, MTextureTile *target)
{
    // Engines' programs bring state of their own; queued stamps go first.
    if (!brush || !brush->shaderId().trimmed().isEmpty() || !m_runs.isEmpty() || !m_surface->isValid())
        return;
    if (!tile || !target || !tile->ensureTexture() || !target->ensureTexture())
        return;
    double values[MEnum::bsCount];
    for (int setting = 0; setting < MEnum::bsCount; ++setting)
        values[setting] = brush->value(setting);
    // A small square in the middle of the tile, placed without drawing a
    // random value: seeded strokes stay the same.
    const QPointF centre = QRectF(tile->rectWithBorder()).center();
    const QPointF corners[cornersPerStamp] = {centre + QPointF(-1, 1), centre + QPointF(-1, -1),
                                              centre + QPointF(1, 1), centre + QPointF(1, -1)};
    for (const QPointF &corner : corners) {
        MQuadTransform vertex;
        vertex.position[0] = float(corner.x());
        vertex.position[1] = float(corner.y());
        m_vertices.append(vertex);
    }
    m_rects.append(QRectF(centre - QPointF(1, 1), QSizeF(2, 2)));
    Run run;
    run.first = 0;
    run.count = 1;
    run.state = m_surface->stampState(values, QPointF(0, 0));
    appendRun(run, {tile}, false);
    m_flushing = true;
    m_engineProgram = nullptr;
    m_generalProgram = nullptr;
    const MGlStateGuard state;
    m_surface->functions()->glEnable(GL_BLEND);
    // Both sizes' programs: the radius may cross over within a stroke.
    const bool sampleLoop = run.state.features.sampleLoop;
    for (bool loop : {sampleLoop, !sampleLoop}) {
        m_runs[0].state.features.sampleLoop = loop;
        drawTile(tile, target, {0});
    }
    endDraw();
    clear();
    m_flushing = false;
}

void MStampQueue::drawTile(MTextureTile *tile, MTextureTile *target, const QVector<int> &runs)
{
    using U = MStampUniforms;
    const QRect area = tile->rectWithBorder();
    const QPointF centre = QRectF(area).center();
    QOpenGLFunctions *f = m_surface->functions();
    MFrameBuffer *frameBuffer = m_surface->frameBuffer();
    MVertexBuffer *stampBuffer = m_surface->stampBuffer();
    QOpenGLVertexArrayObject *vertexArray = m_surface->vertexArrayObject();
    MTextureLayer *below = m_surface->layerBelow();
    QOpenGLTexture *empty = m_surface->emptyTexture();
    QOpenGLTexture *brushTexture = m_surface->brushTexture();
    QOpenGLTexture *colorSample = m_surface->colorSampleTexture(m_surface->colorTextureSize());

    frameBuffer->attachTexture(tile->textureId());
    setNearestSampling(f, tile->textureId());
    f->glViewport(0, 0, area.width(), area.height());
    frameBuffer->bind();
    stampBuffer->bind();

    bindUnit(f, CurrentUnit, target->textureId(), GL_NEAREST_MIPMAP_NEAREST, GL_LINEAR);
    if (below)
        bindUnit(f, UnderUnit, existingTileTexture(below, centre, empty), GL_NEAREST_MIPMAP_NEAREST, GL_LINEAR);
    if (brushTexture)
        bindUnit(f, BrushUnit, brushTexture->textureId(), GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR);
    if (colorSample)
        bindUnit(f, ColorUnit, colorSample->textureId(), GL_NEAREST_MIPMAP_NEAREST, GL_LINEAR);
    const bool clip = std::any_of(runs.begin(), runs.end(), [this](int r) { return m_runs[r].state.clipToSelection; });
    if (clip)
        bindUnit(f, SelectionUnit, existingTileTexture(m_surface->selectionLayer(), centre, empty), GL_NEAREST_MIPMAP_NEAREST,
                 GL_LINEAR);

    const QRectF targetArea(target->rectWithBorder());
    const QRectF tileArea(area);
    QOpenGLShaderProgram *program = nullptr;
    MStampUniforms *uniforms = nullptr;
    const MStampState *applied = nullptr;
    QRectF drawn;
    m_upload.resize(0);
    for (int r : runs) {
        const Run &run = m_runs[r];
        QOpenGLShaderProgram *wanted = programFor(run.state);
        if (!wanted)
            continue;
        // Noise (density, or whatever an engine does) turns the driver's
        // rounding of the stamp coordinates into other pixels: such a run
        // gets the very draw it had as a pass of its own, all its stamps.
        const bool ownDraw = run.state.engine || run.state.features.density;
        if (ownDraw || wanted != program || !applied || !sameState(*applied, run.state, uniforms)) {
            drawGathered(targetArea);
            if (wanted != program) {
                if (uniforms)
                    uniforms->releaseAttributes(vertexArray);
                program = wanted;
                program->bind();
                uniforms = MStampUniforms::forProgram(program);
                uniforms->setAttributes(vertexArray);
                uniforms->setInt(U::CurrentSampler, CurrentUnit);
                uniforms->setInt(U::UnderSampler, UnderUnit);
                uniforms->setInt(U::BrushSampler, BrushUnit);
                uniforms->setInt(U::ColorSampler, ColorUnit);
                uniforms->setInt(U::SelectionSampler, SelectionUnit);
                uniforms->setFloat(U::TextureSize, float(tile->tileSize()));
                uniforms->setFloat(U::TextureBorder, float(tile->border()));
                uniforms->setVec2(U::TexturePos, QPointF(area.topLeft()));
            }
            applyState(program, uniforms, run.state);
            if (uniforms->isActive(U::Mvp)) {
                QMatrix4x4 model;
                model.translate(float(-area.left()), float(-area.top()));
                model.translate(float(run.state.offset.x()), float(run.state.offset.y()));
                QMatrix4x4 projection;
                projection.ortho(0.0f, float(area.width()), 0.0f, float(area.height()), -1.0f, 1.0f);
                program->setUniformValue(uniforms->location(U::Mvp), projection * model);
            }
            uniforms->setFloat(U::TextureSize, float(tile->tileSize()));
            uniforms->setFloat(U::TextureBorder, float(tile->border()));
            uniforms->setVec2(U::TexturePos, QPointF(area.topLeft()));
            applied = &run.state;
        }
        if (uniforms->isActive(U::Random))
            uniforms->setFloat(U::Random, runRandom(run, tile));

        // A stamp that misses the tile draws nothing into it: only the others go.
        const QPointF offset = run.state.offset;
        for (int i = run.first; i < run.first + run.count; ++i) {
            if (!ownDraw && !m_rects.at(i).translated(offset).intersects(tileArea))
                continue;
            // As many stamps per draw as the buffer held when they took six vertices.
            if ((m_upload.size() / cornersPerStamp + 1) * verticesPerStamp > stampBuffer->capacity())
                drawGathered(targetArea);
            drawn |= m_rects.at(i).translated(offset);
            const MQuadTransform *source = m_vertices.constData() + i * cornersPerStamp;
            for (int k = 0; k < cornersPerStamp; ++k)
                m_upload.append(source[k]);
        }
        if (ownDraw)
            drawGathered(targetArea);
    }
    drawGathered(targetArea);
    if (uniforms)
        uniforms->releaseAttributes(vertexArray);
    if (program)
        program->release();
    stampBuffer->release();
    // The tile stays attached: attaching it again to the next pass keeps the
    // same render target, where a detach would make the software rasterizer
    // flush and wait.
    tile->markChanged(drawn);
    target->release();
    tile->release();
}

void MStampQueue::drawGathered(const QRectF &targetArea)
{
    if (m_upload.isEmpty())
        return;
    for (MQuadTransform &vertex : m_upload)
        vertex.textureCoordinates[1] =
            QVector2D(float((vertex.position[0] - targetArea.left()) / targetArea.width()),
                      float((vertex.position[1] - targetArea.top()) / targetArea.height()));
    MVertexBuffer *stampBuffer = m_surface->stampBuffer();
    stampBuffer->clear();
    stampBuffer->addVertices(m_upload.constData(), m_upload.size());
    if (!bindIndices()) {
        m_upload.resize(0);
        return;
    }
    const int stamps = stampBuffer->count() / cornersPerStamp;
    m_surface->functions()->glDrawElements(GL_TRIANGLES, stamps * verticesPerStamp, GL_UNSIGNED_SHORT, nullptr);
    m_indices.release();
    m_upload.resize(0);
}

bool MStampQueue::bindIndices()
{
    if (m_indices.isCreated())
        return m_indices.bind();
    // The same two triangles for every stamp, over its four corners.
    const int stamps = m_surface->stampBuffer()->capacity() / cornersPerStamp;
    static_assert(MStampSurface::stampBufferVertices <= 65536, "corner indices are 16 bits");
    QVector<GLushort> indices;
    indices.reserve(stamps * verticesPerStamp);
    for (int i = 0; i < stamps; ++i)
        for (int k : {0, 1, 2, 1, 3, 2})
            indices.append(GLushort(i * cornersPerStamp + k));
    if (!m_indices.create() || !m_indices.bind()) {
        MLogger::instance()->systemError(QStringLiteral("Unable to create the stamps' index buffer"));
        return false;
    }
    m_indices.setUsagePattern(QOpenGLBuffer::StaticDraw);
    m_indices.allocate(indices.constData(), int(indices.size() * sizeof(GLushort)));
    return true;
}
