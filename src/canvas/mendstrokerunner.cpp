#include "mendstrokerunner.h"

#include "mbrush.h"
#include "mcanvas.h"
#include "mcommandsetpaintedrect.h"
#include "mcommandupdatetile.h"
#include "mshareddata.h"
#include "mtexturelayer.h"
#include "mtexturetile.h"
#include "mundohistory.h"

namespace {
// The stroke layer's tiles kept for the next stroke: a stroke over the same
// few tiles does not make them again.
constexpr int kStrokeTilesKept = 16;
} // namespace

MEndStrokeRunner::MEndStrokeRunner(MSharedData *sharedData, int slot, const MEvent &event)
    : MRunner(sharedData)
    , m_slot(slot)
    , m_event(event)
{
}

void MEndStrokeRunner::run()
{
    if (!prepareContext())
        return;
    MCanvas *canvas = m_sharedData->canvas();
    const int index = m_sharedData->currentLayerIndex();
    MTextureLayer *layer = m_sharedData->currentLayer();
    if (!layer)
        return;
    MTextureLayer *strokeLayer = canvas->strokeLayer();
    MBrush *brush = m_sharedData->brush();
    canvas->beginMacro(tr("Brush stroke: %1, %2").arg(brush->description(), m_sharedData->foregroundColor().name()));
    const QSet<MTile *> touched = strokeLayer->touchedTiles();
    for (MTile *t : touched) {
        auto *tile = static_cast<MTextureTile *>(t);
        if (!tile->ensureTexture())
            continue;
        auto *target = static_cast<MTextureTile *>(layer->addTile(QRectF(tile->rectWithBorder()).center()));
        if (!target || !target->ensureTexture())
            continue;
        canvas->history()->push(new MCommandUpdateTile(canvas->parts(), index, target, tile, brush->opacity(),
                                                       strokeLayer->eraserMode(), false, nullptr));
        canvas->clearTile(tile);
    }
    canvas->history()->push(
        new MCommandSetPaintedRect(canvas->parts(), m_sharedData->startPaintedRect(), canvas->paintedRect()));
    canvas->endMacro();
    canvas->updateLayerThumbnail(index);
    strokeLayer->touchedTiles().clear();
    // Each stroke's tiles stayed after it: strokes all over a document came
    // to hold one more layer's worth of transparent textures.
    strokeLayer->releaseTilesPast(kStrokeTilesKept);
    canvas->refresh();
    emit finished(this);
}
