#include "mlayeredits.h"

#include "mbufferlayer.h"
#include "mcanvasfill.h"
#include "mcommandfilltile.h"
#include "mcommandinsertlayer.h"
#include "mcommandlayershader.h"
#include "mcommandmovelayer.h"
#include "mcommandquickfilltile.h"
#include "mcommandremovelayer.h"
#include "mcommandupdatelayerproperties.h"
#include "mcommandupdatetile.h"
#include "mdocumentevents.h"
#include "mgpudevice.h"
#include "mlayerstack.h"
#include "mlogger.h"
#include "mpaper.h"
#include "mselection.h"
#include "mshader.h"
#include "mshaderlist.h"
#include "mtexturetile.h"
#include "mundohistory.h"

#include <QCoreApplication>
#include <QPainterPath>
#include <QSet>
#include <QSignalBlocker>

// The undo steps keep the document's names, which translations know them by.

MLayerEdits::MLayerEdits(const MDocumentParts &parts)
    : m_parts(parts)
{
}

bool MLayerEdits::flushStrokesAndMakeCurrent()
{
    // Current first: the flush then draws without switching there and back.
    const bool current = m_parts.device->makeCurrent();
    m_parts.flushStrokes();
    return current;
}

int MLayerEdits::count() const
{
    return m_parts.layers->count();
}

MTextureLayer *MLayerEdits::at(int row) const
{
    return m_parts.layers->at(row);
}

void MLayerEdits::refresh()
{
    emit m_parts.events->refresh(false, QRectF());
}

MTextureLayer *MLayerEdits::strokeLayer() const
{
    return m_parts.strokeLayer;
}

void MLayerEdits::clearStrokeLayer()
{
    // Stamps still queued would land in it afterwards.
    if (m_parts.strokeLayer->tileCount() > 0)
        flushStrokesAndMakeCurrent();
    m_parts.device->clearLayer(m_parts.strokeLayer);
}

void MLayerEdits::updateThumbnail(int row)
{
    emit m_parts.events->thumbnailWanted(row);
}

bool MLayerEdits::appendLayer()
{
    if (!m_parts.finishLoading() || !m_parts.layers->roomForLayer())
        return false;
    m_parts.history->push(MCommandInsertLayer::append(m_parts));
    return true;
}

void MLayerEdits::updateLayerProperties(int row, const QHash<QByteArray, QVariant> &before,
                                        const QHash<QByteArray, QVariant> &after)
{
    if (!m_parts.finishLoading())
        return;
    if (at(row))
        m_parts.history->push(new MCommandUpdateLayerProperties(m_parts, row, before, after));
}

void MLayerEdits::updateLayerShader(int row, const MShaderObject::ShaderState &before,
                                    const MShaderObject::ShaderState &after)
{
    if (!m_parts.finishLoading())
        return;
    if (at(row) && before != after)
        m_parts.history->push(new MCommandLayerShader(m_parts, row, before, after));
}

bool MLayerEdits::prependLayer()
{
    if (!m_parts.finishLoading() || !m_parts.layers->roomForLayer())
        return false;
    m_parts.history->push(MCommandInsertLayer::prepend(m_parts));
    return true;
}

void MLayerEdits::removeLayer(int row)
{
    if (!m_parts.finishLoading())
        return;
    if (!at(row))
        return;
    m_parts.history->push(new MCommandRemoveLayer(m_parts, row));
    refresh();
}

void MLayerEdits::removeLayers()
{
    if (!m_parts.finishLoading())
        return;
    if (count() == 0)
        return;
    m_parts.history->beginMacro(QCoreApplication::translate("MCanvas", "Remove layers"));
    // Views are told once, by a reset, rather than row by row.
    m_parts.layers->beginReset();
    {
        const QSignalBlocker blocker(m_parts.events);
        while (count() > 0)
            m_parts.history->push(new MCommandRemoveLayer(m_parts, 0));
    }
    m_parts.layers->endReset();
    m_parts.history->endMacro();
    emit m_parts.events->layerListReset();
    refresh();
}

void MLayerEdits::removeEmptyLayers()
{
    if (!m_parts.finishLoading())
        return;
    QList<int> empty;
    for (int row = count() - 1; row >= 0; --row)
        if (at(row)->tileCount() == 0)
            empty.append(row);
    if (empty.isEmpty())
        return;
    m_parts.history->beginMacro(QCoreApplication::translate("MCanvas", "Remove layers"));
    for (int row : qAsConst(empty))
        m_parts.history->push(new MCommandRemoveLayer(m_parts, row));
    m_parts.history->endMacro();
    refresh();
}

void MLayerEdits::setLayerFlags(const char *property, const std::function<bool(int, const MTextureLayer *)> &value)
{
    if (!m_parts.finishLoading())
        return;
    QList<int> changed;
    for (int row = 0; row < count(); ++row)
        if (at(row)->property(property).toBool() != value(row, at(row)))
            changed.append(row);
    if (changed.isEmpty())
        return;
    const QByteArray name(property);
    if (changed.size() > 1)
        m_parts.history->beginMacro(QCoreApplication::translate("MCanvas", "Layer property change"));
    for (int row : qAsConst(changed)) {
        const bool before = at(row)->property(property).toBool();
        updateLayerProperties(row, {{name, before}}, {{name, !before}});
    }
    if (changed.size() > 1)
        m_parts.history->endMacro();
    refresh();
}

void MLayerEdits::showLayer(int row)
{
    setLayerFlags("visible", [row](int r, const MTextureLayer *layer) { return (r == row) != layer->visible(); });
}

void MLayerEdits::lockLayer(int row)
{
    setLayerFlags("locked", [row](int r, const MTextureLayer *layer) { return (r == row) != layer->locked(); });
}

void MLayerEdits::showAllLayers()
{
    setLayerFlags("visible", [](int, const MTextureLayer *) { return true; });
}

void MLayerEdits::hideAllLayers()
{
    setLayerFlags("visible", [](int, const MTextureLayer *) { return false; });
}

void MLayerEdits::hideAllLayersExcept(int row)
{
    setLayerFlags("visible", [row](int r, const MTextureLayer *layer) { return r == row && layer->visible(); });
}

void MLayerEdits::lockAllLayers()
{
    setLayerFlags("locked", [](int, const MTextureLayer *) { return true; });
}

void MLayerEdits::unlockAllLayers()
{
    setLayerFlags("locked", [](int, const MTextureLayer *) { return false; });
}

// Up is toward the last row, the layer drawn over the others; a move past
// either end of the stack changes nothing and records nothing.
void MLayerEdits::moveUpLayer(int row)
{
    if (!m_parts.finishLoading())
        return;
    if (count() > 1 && row >= 0 && row + 1 < count())
        m_parts.history->push(MCommandMoveLayer::up(m_parts, row));
}

void MLayerEdits::moveDownLayer(int row)
{
    if (!m_parts.finishLoading())
        return;
    if (count() > 1 && row > 0 && row < count())
        m_parts.history->push(MCommandMoveLayer::down(m_parts, row));
}

void MLayerEdits::blitLayer(MTextureLayer *destination, int destinationRow, MTextureLayer *source, bool copyOnly)
{
    if (!m_parts.finishLoading())
        return;
    if (!destination || !source)
        return;
    flushStrokesAndMakeCurrent();
    for (int i = 0; i < source->tileCount(); ++i) {
        MTextureTile *from = source->tileAt(i);
        if (!from || !from->ensureTexture())
            continue;
        auto *to = static_cast<MTextureTile *>(destination->addTile(QRectF(from->rectWithBorder()).center()));
        if (!to || !to->ensureTexture())
            continue;
        // The whole tile changes, so the whole tile is backed up.
        from->resetUndoLayer();
        m_parts.history->push(new MCommandUpdateTile(m_parts, destinationRow, to, from, 1.0, false, copyOnly));
    }
}

bool MLayerEdits::duplicateLayer(int row)
{
    if (!m_parts.finishLoading())
        return false;
    MTextureLayer *source = at(row);
    if (!source || !m_parts.layers->roomForLayer())
        return false;
    m_parts.history->beginMacro(QCoreApplication::translate("MCanvas", "Duplicate layer"));
    m_parts.history->push(MCommandInsertLayer::append(m_parts));
    if (m_parts.layers->current() && m_parts.layers->current() != source)
        blitLayer(m_parts.layers->current(), m_parts.layers->currentRow(), source, true);
    m_parts.history->endMacro();
    updateThumbnail(m_parts.layers->currentRow());
    refresh();
    return true;
}

void MLayerEdits::mergeLayers(int lower, int upper)
{
    if (!m_parts.finishLoading())
        return;
    MTextureLayer *below = at(lower);
    MTextureLayer *above = at(upper);
    if (!below || !above || below == above)
        return;
    // The merged layer shows what both showed: each one's opacity is baked
    // into the pixels and the result is drawn at full opacity. A hidden layer
    // showed nothing, so it adds nothing, unless both are hidden.
    const bool bothHidden = !below->visible() && !above->visible();
    const double lowerOpacity = below->visible() || bothHidden ? below->opacity() : 0.0;
    const double upperOpacity = above->visible() || bothHidden ? above->opacity() : 0.0;
    flushStrokesAndMakeCurrent();
    m_parts.history->beginMacro(QCoreApplication::translate("MCanvas", "Merge layer"));
    // The merged pixels show what the effects showed. The upper one first:
    // its effect may read the lower layer as it is shown under it, raw.
    for (const int row : {upper, lower}) {
        const MTextureLayer *layer = at(row);
        if (layer->hasShader() && layer->isShaderActive() && MShaderList::instance()->find(layer->shaderId()))
            bakeEffect(row);
    }
    clearStrokeLayer();
    QList<QPointF> cells;
    for (const MTextureLayer *layer : {below, above})
        for (int i = 0; i < layer->tileCount(); ++i)
            if (const MTile *tile = layer->tileAt(i))
                cells.append(QRectF(tile->rectWithBorder()).center());
    QSet<MTile *> done;
    for (const QPointF &cell : qAsConst(cells)) {
        auto *from = static_cast<MTextureTile *>(above->tileAt(cell));
        // A cell the upper layer leaves alone keeps the lower one's pixels.
        if (lowerOpacity == 1.0 && (!from || upperOpacity <= 0.0))
            continue;
        auto *to = static_cast<MTextureTile *>(below->addTile(cell));
        if (!to || done.contains(to) || !to->ensureTexture())
            continue;
        done.insert(to);
        if (lowerOpacity == 1.0) {
            // The lower pixels stay as they are: the upper tile is drawn over
            // them at its opacity, in one pass. The whole tile is backed up.
            from->resetUndoLayer();
            m_parts.history->push(new MCommandUpdateTile(m_parts, lower, to, from, upperOpacity, false, false));
            continue;
        }
        auto *merged = static_cast<MTextureTile *>(strokeLayer()->addTile(cell));
        if (!merged || !merged->ensureTexture())
            continue;
        // The stamps were drawn as the merge began: the context alone.
        m_parts.device->makeCurrent();
        m_parts.device->blitTile(merged, to, GL_ONE, GL_ZERO, QStringLiteral("blit"), lowerOpacity);
        if (from && from->ensureTexture() && upperOpacity > 0.0) {
            m_parts.device->makeCurrent();
            m_parts.device->blitTile(merged, from, GL_ONE, GL_ONE_MINUS_SRC_ALPHA, QStringLiteral("blit"),
                                     upperOpacity, QRect());
        }
        // The whole tile changes, so the whole tile is backed up.
        merged->resetUndoLayer();
        m_parts.history->push(new MCommandUpdateTile(m_parts, lower, to, merged, 1.0, false, true));
    }
    clearStrokeLayer();
    const QHash<QByteArray, QVariant> before{{"opacity", below->opacity()}, {"visible", below->visible()}};
    const QHash<QByteArray, QVariant> after{{"opacity", 1.0}, {"visible", !bothHidden}};
    if (before != after)
        updateLayerProperties(lower, before, after);
    if (at(upper))
        m_parts.history->push(new MCommandRemoveLayer(m_parts, upper));
    m_parts.history->endMacro();
    updateThumbnail(m_parts.layers->indexOf(below));
    refresh();
}

void MLayerEdits::nextLayer()
{
    if (count() == 0)
        return;
    const int row = m_parts.layers->currentRow();
    m_parts.layers->setCurrentRow(row + 1 < count() ? row + 1 : 0);
}

void MLayerEdits::previousLayer()
{
    if (count() == 0)
        return;
    const int row = m_parts.layers->currentRow();
    m_parts.layers->setCurrentRow(row > 0 ? row - 1 : count() - 1);
}

bool MLayerEdits::bakeEffect(int row)
{
    MTextureLayer *layer = at(row);
    clearStrokeLayer();
    int recorded = 0;
    for (int i = 0; i < layer->tileCount(); ++i) {
        MTextureTile *tile = layer->tileAt(i);
        if (!tile || !tile->ensureTexture())
            continue;
        const QRect textureRect = tile->rectWithBorder();
        auto *strokeTile = static_cast<MTextureTile *>(strokeLayer()->addTile(QRectF(textureRect).center()));
        if (!strokeTile || !strokeTile->ensureTexture())
            continue;
        strokeTile->markSubTiles(QRectF(textureRect));
        m_parts.device->renderEffectToTexture(tile, layer, at(row - 1), strokeTile->texture(), GL_ONE, GL_ZERO,
                                              layer->shaderId(), 1.0, 1.0);
        if (m_parts.history->push(new MCommandUpdateTile(m_parts, row, tile, strokeTile, 1.0, false, true)))
            ++recorded;
        strokeTile->resetUndoLayer();
    }
    updateThumbnail(row);
    // The effect is in the pixels now; undo brings it back with them, and
    // with the values it was applied with.
    const MShaderObject::ShaderState before = layer->shaderState();
    updateLayerShader(row, before, {QString(), {}, before.active});
    clearStrokeLayer();
    return recorded > 0;
}

bool MLayerEdits::pasteImage(const QPointF &centre, const QImage &image, bool clip, const QString &text, int row,
                             const QRectF &sourceRect, int mode)
{
    if (!m_parts.finishLoading())
        return false;
    if (count() == 0)
        return false;
    if (row == -1)
        row = m_parts.layers->currentRow();
    MTextureLayer *layer = at(row);
    if (!layer || !layer->visible() || layer->locked() || image.isNull())
        return false;
    const QRect target(qRound(centre.x() - image.width() / 2), qRound(centre.y() - image.height() / 2),
                       image.width(), image.height());
    flushStrokesAndMakeCurrent();
    m_parts.selection->setClipStrokeSilently(clip);
    m_parts.history->beginMacro(text.isEmpty() ? QCoreApplication::translate("MCanvas", "Paste an image") : text);
    const QRectF area = sourceRect.isEmpty() ? QRectF(target) : sourceRect.translated(target.topLeft());
    clearStrokeLayer();
    MGpuDevice::forEachTileUnder(layer, image, target, area, [&](MTextureTile *layerTile, const QImage &piece) {
        auto *strokeTile = static_cast<MTextureTile *>(strokeLayer()->addTile(QRectF(layerTile->rect()).center()));
        if (!strokeTile || !layerTile->ensureTexture() || !strokeTile->ensureTexture() || !strokeTile->setImage(piece))
            return;
        // A copy replaces the whole tile, so the whole tile is backed up;
        // laid over it, only the blocks under the image change.
        const bool copyOnly = mode != 0;
        if (!copyOnly)
            strokeTile->markSubTiles(QRectF(target));
        m_parts.history->push(new MCommandUpdateTile(m_parts, row, layerTile, strokeTile, 1.0, false, copyOnly));
        strokeTile->resetUndoLayer();
    });
    updateThumbnail(row);
    m_parts.history->endMacro();
    m_parts.selection->setClipStrokeSilently(false);
    clearStrokeLayer();
    refresh();
    return true;
}

bool MLayerEdits::appendImage(const QPointF &centre, const QImage &image)
{
    if (!m_parts.finishLoading() || !m_parts.layers->roomForLayer())
        return false;
    m_parts.history->beginMacro(QCoreApplication::translate("MCanvas", "Append an image"));
    m_parts.history->push(MCommandInsertLayer::append(m_parts));
    const bool pasted = pasteImage(centre, image, false, QCoreApplication::translate("MCanvas", "Paste an image"),
                                   m_parts.layers->currentRow(), QRectF(), 0);
    m_parts.history->endMacro();
    refresh();
    return pasted;
}

bool MLayerEdits::pasteBuffer(MBufferLayer *buffer, int row, const QString &text)
{
    if (!m_parts.finishLoading())
        return false;
    MTextureLayer *layer = at(row);
    if (!buffer || !layer)
        return false;
    if (!flushStrokesAndMakeCurrent()) {
        MLogger::instance()->systemError(QStringLiteral("Unable to make current context"));
        return false;
    }
    m_parts.history->beginMacro(text);
    const QList<MBufferTile *> tiles = buffer->tiles();
    for (MBufferTile *bufferTile : tiles) {
        auto *tile = static_cast<MTextureTile *>(layer->addTile(QRectF(bufferTile->rect()).center()));
        if (!tile || !tile->ensureTexture()) {
            m_parts.history->endMacro();
            return false;
        }
        m_parts.history->push(new MCommandQuickFillTile(m_parts, row, tile, bufferTile));
        // The history holds the pixels now: a fill over a whole layer would
        // otherwise keep its copy beside them until the end.
        buffer->removeTile(bufferTile);
    }
    m_parts.history->endMacro();
    return true;
}

bool MLayerEdits::applyEffect()
{
    if (!m_parts.finishLoading())
        return false;
    MTextureLayer *layer = m_parts.layers->current();
    if (!layer || !layer->hasShader())
        return false;
    const int row = m_parts.layers->currentRow();
    flushStrokesAndMakeCurrent();
    MShader *effect = MShaderList::instance()->find(layer->shaderId());
    if (!effect)
        return false;
    m_parts.history->beginMacro(QCoreApplication::translate("MCanvas", "Apply effect %1").arg(effect->description()));
    const bool recorded = bakeEffect(row);
    m_parts.history->endMacro();
    refresh();
    return recorded;
}

namespace {
// Where a fill can change pixels: the selection's bounds, or the painted
// rectangle without a selection.
QRectF fillBounds(const MDocumentParts &parts)
{
    if (!parts.selection->hasSelection())
        return parts.paper->paintedRect();
    if (!parts.selection->path().isEmpty())
        return parts.selection->path().boundingRect();
    // A pixel selection (the magic wand) lives only in the selection layer.
    QRectF bounds;
    MTextureLayer *selection = parts.selection->layer();
    for (int i = 0; i < selection->tileCount(); ++i)
        bounds |= QRectF(selection->tile(i)->rect());
    return bounds;
}
} // namespace

void MLayerEdits::erase()
{
    fill(Qt::transparent);
}

void MLayerEdits::fill(const QColor &color)
{
    if (!m_parts.finishLoading())
        return;
    if (!m_parts.device->isGlReady() || count() == 0 || !m_parts.layers->currentLayerEditable())
        return;
    fillLayer(m_parts.layers->currentRow(), color);
}

void MLayerEdits::fillLayer(int row, const QColor &color)
{
    // The fill's passes are the device's: the stroke engine need not be up.
    if (!m_parts.device->isReady())
        return;
    MTextureLayer *layer = at(row);
    if (!layer)
        return;
    if (color.alpha() > 0) {
        flushStrokesAndMakeCurrent();
        QSet<MTile *> created;
        layer->tilesInRect(fillBounds(m_parts), created);
    }
    if (layer->tileCount() == 0)
        return;
    m_parts.history->beginMacro(QStringLiteral("Clear"));
    // The list is taken first: the commands must not see tiles come and go.
    QList<MTextureTile *> tiles;
    for (int i = 0; i < layer->tileCount(); ++i)
        tiles.append(layer->tileAt(i));
    for (MTextureTile *tile : qAsConst(tiles))
        m_parts.history->push(new MCommandFillTile(m_parts, row, tile, color));
    updateThumbnail(row);
    m_parts.history->endMacro();
    refresh();
}

bool MLayerEdits::fillPath(const QPainterPath &path, const QColor &color, int row)
{
    if (!m_parts.finishLoading())
        return false;
    QPainterPath filled = path;
    if (filled.isEmpty())
        filled.addRect(m_parts.paper->paintedRect());
    return pasteImage(filled.boundingRect().center(), MCanvasFill::renderPath(filled, color), false,
                      QCoreApplication::translate("MCanvas", "Fill path"), row, QRectF(), 0);
}
