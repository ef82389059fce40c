#include "mcommandfilltile.h"

#include "mgpudevice.h"
#include "mtexturetile.h"
#include "mundohistory.h"

#include <QApplication>

MCommandFillTile::MCommandFillTile(const MDocumentParts &parts, int row, MTextureTile *tile, const QColor &color,
                                   QUndoCommand *parent)
    : MCommandTile(parts, row, tile, parent)
    , m_color(color)
{
    setText(QApplication::translate("QApplication", "Fill tile with color"));
}

bool MCommandFillTile::change(MTextureTile *tile)
{
    // Both read-backs queued behind the fill, as for a tile update.
    if (!tile || !backup(tile, {}, m_beforeId, true))
        return false;
    m_history->prepareRun();
    m_device->fillTile(tile, m_color);
    return backup(tile, {}, m_afterId, true);
}
