#include "mfillcanvasrunner.h"

#include "mcanvas.h"
#include "mcommandfilltile.h"
#include "mshareddata.h"
#include "mtexturetile.h"
#include "mundohistory.h"

#include <QSet>

namespace {
// Where a fill can change pixels: the selection's bounds, or the painted
// rectangle without a selection.
QRectF fillBounds(MCanvas *canvas)
{
    if (!canvas->hasSelection())
        return canvas->paintedRect();
    if (!canvas->selectionPath().isEmpty())
        return canvas->selectionPath().boundingRect();
    // A pixel selection (the magic wand) lives only in the selection layer.
    QRectF bounds;
    MTextureLayer *selection = canvas->selectionLayer();
    for (int i = 0; i < selection->tileCount(); ++i)
        bounds |= QRectF(selection->tile(i)->rect());
    return bounds;
}
} // namespace

MFillCanvasRunner::MFillCanvasRunner(MSharedData *sharedData, int row, const QColor &color)
    : MRunner(sharedData)
    , m_row(row)
    , m_color(color)
{
}

void MFillCanvasRunner::run()
{
    if (!prepare())
        return;
    MCanvas *canvas = m_sharedData->canvas();
    MTextureLayer *layer = canvas ? canvas->at(m_row) : nullptr;
    if (!layer)
        return;
    if (m_color.alpha() > 0) {
        canvas->makeCurrent();
        QSet<MTile *> created;
        layer->tilesInRect(fillBounds(canvas), created);
    }
    if (layer->tileCount() == 0)
        return;
    canvas->beginMacro(QStringLiteral("Clear"));
    // The list is taken first: the commands must not see tiles come and go.
    QList<MTextureTile *> tiles;
    for (int i = 0; i < layer->tileCount(); ++i)
        tiles.append(layer->tileAt(i));
    for (MTextureTile *tile : qAsConst(tiles))
        canvas->history()->push(new MCommandFillTile(canvas->parts(), m_row, tile, m_color));
    canvas->updateLayerThumbnail(m_row);
    canvas->endMacro();
    emit canvas->refresh(false, QRectF());
}
