#include "mcommandfilltile.h"

#include "mcanvas.h"
#include "mtexturetile.h"

#include <QApplication>

MCommandFillTile::MCommandFillTile(MCanvas *canvas, int row, MTextureTile *tile, const QColor &color,
                                   QUndoCommand *parent)
    : MCommandTile(canvas, row, tile, parent)
{
    setText(QApplication::translate("QApplication", "Fill tile with color"));
    // Both read-backs queued behind the fill, as for a tile update.
    bool recorded = tile && backup(tile, {}, m_beforeId, true);
    if (recorded) {
        canvas->fillTile(tile, color);
        recorded = backup(tile, {}, m_afterId, true);
    }
    finish(tile, recorded);
}
