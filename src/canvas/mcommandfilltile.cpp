#include "mcommandfilltile.h"

#include "mcanvas.h"
#include "mtexturetile.h"

#include <QApplication>

MCommandFillTile::MCommandFillTile(MCanvas *canvas, int row, MTextureTile *tile, const QColor &color,
                                   QUndoCommand *parent)
    : MCommandTile(canvas, row, tile, parent)
{
    setText(QApplication::translate("QApplication", "Fill tile with color"));
    bool recorded = tile && backup(tile, {}, m_beforeId);
    if (recorded) {
        canvas->fillTile(tile, color);
        recorded = backup(tile, {}, m_afterId);
    }
    finish(tile, recorded);
}
