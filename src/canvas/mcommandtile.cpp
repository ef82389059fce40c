#include "mcommandtile.h"

#include "mdocumentparts.h"
#include "mlayerstack.h"
#include "mlogger.h"
#include "mtexturelayer.h"
#include "mtexturetile.h"
#include "mundohistory.h"
#include "mundostream.h"

MCommandTile::MCommandTile(const MDocumentParts &parts, int row, MTextureTile *tile, QUndoCommand *parent)
    : MCommand(parts.history, parent)
    , m_layers(parts.layers)
    , m_device(parts.device)
    , m_row(row)
    , m_tileRect(tile ? QRectF(tile->rect()) : QRectF())
    , m_tile(tile)
{
}

MCommandTile::~MCommandTile()
{
    release(m_beforeId);
    release(m_afterId);
}

bool MCommandTile::firstStep()
{
    MTextureTile *tile = m_tile;
    m_tile = nullptr;
    makeCurrent();
    if (tile)
        tile->ensureTexture();
    const bool recorded = change(tile);
    if (!recorded)
        abandon(tile);
    return recorded;
}

void MCommandTile::undoStep()
{
    restoreBackup(m_beforeId, true);
}

void MCommandTile::redoStep()
{
    restoreBackup(m_afterId, false);
}

bool MCommandTile::canRestore(bool undoing) const
{
    if (m_discarded || (!undoing && !hasRun()))
        return true;
    const QString &id = undoing ? m_beforeId : m_afterId;
    if (m_history->stream()->canRead(id, m_layers->at(m_row)))
        return true;
    MLogger::instance()->systemError(QStringLiteral("Unable to restore backup %1").arg(id));
    return false;
}

bool MCommandTile::backup(MTextureTile *tile, const QSet<MTile *> &blocks, QString &id, bool queued)
{
    MUndoStream *stream = m_history->stream();
    if (!(queued ? stream->saveTilesLater(tile, blocks) : stream->saveTiles(tile, blocks)))
        return false;
    hold(tile, id);
    return true;
}

void MCommandTile::hold(MTextureTile *tile, QString &id)
{
    id = tile->backupId();
    m_history->stream()->registerId(id);
}

void MCommandTile::abandon(MTextureTile *tile)
{
    const QPointF cell = m_tileRect.topLeft();
    MLogger::instance()->systemError(QStringLiteral("Unable to back up the tile at %1, %2: \"%3\" is not recorded")
                                         .arg(cell.x())
                                         .arg(cell.y())
                                         .arg(text()));
    // Once the first backup exists the tile may have changed.
    if (!m_beforeId.isEmpty()) {
        if (m_history->stream()->readBuffer(tile, m_beforeId))
            emit m_layers->pixelsChanged();
        else
            MLogger::instance()->systemError(QStringLiteral("Unable to restore backup %1").arg(m_beforeId));
    }
    release(m_beforeId);
    release(m_afterId);
}

void MCommandTile::restoreBackup(const QString &id, bool undoing)
{
    makeCurrent();
    MTextureLayer *layer = m_layers->at(m_row);
    auto *tile = layer ? static_cast<MTextureTile *>(layer->addTile(m_tileRect.center())) : nullptr;
    if (!tile || !tile->ensureTexture() || !m_history->stream()->readBuffer(tile, id)) {
        MLogger::instance()->systemError(QStringLiteral("Unable to restore backup %1").arg(id));
        restoreFailed(undoing);
        return;
    }
    emit m_layers->pixelsChanged();
}

void MCommandTile::release(QString &id)
{
    if (id.isEmpty())
        return;
    m_history->stream()->unregisterId(id);
    id.clear();
}
