#include "mcommandtile.h"

#include "mcanvas.h"
#include "mlogger.h"
#include "mtexturetile.h"
#include "mundostream.h"

MCommandTile::MCommandTile(MCanvas *canvas, int row, MTextureTile *tile, QUndoCommand *parent)
    : MCommand(canvas, parent)
    , m_row(row)
    , m_tileRect(tile ? QRectF(tile->rect()) : QRectF())
{
    makeCurrent();
    if (tile)
        tile->ensureTexture();
}

MCommandTile::~MCommandTile()
{
    release(m_beforeId);
    release(m_afterId);
}

void MCommandTile::undoStep()
{
    if (!m_discarded)
        restoreBackup(m_beforeId, true);
}

void MCommandTile::redoStep()
{
    if (m_discarded)
        return;
    if (m_firstRedo) {
        m_firstRedo = false;
        return;
    }
    restoreBackup(m_afterId, false);
}

bool MCommandTile::canRestore(bool undoing) const
{
    if (m_discarded || (!undoing && m_firstRedo))
        return true;
    const QString &id = undoing ? m_beforeId : m_afterId;
    if (m_canvas->undoStream()->canRead(id, m_canvas->at(m_row)))
        return true;
    MLogger::instance()->systemError(QStringLiteral("Unable to restore backup %1").arg(id));
    return false;
}

bool MCommandTile::backup(MTextureTile *tile, const QSet<MTile *> &blocks, QString &id, bool queued)
{
    MUndoStream *stream = m_canvas->undoStream();
    if (!(queued ? stream->saveTilesLater(tile, blocks) : stream->saveTiles(tile, blocks)))
        return false;
    hold(tile, id);
    return true;
}

void MCommandTile::hold(MTextureTile *tile, QString &id)
{
    id = tile->backupId();
    m_canvas->undoStream()->registerId(id);
}

void MCommandTile::finish(MTextureTile *tile, bool recorded)
{
    if (recorded) {
        push();
        return;
    }
    const QPointF cell = m_tileRect.topLeft();
    MLogger::instance()->systemError(QStringLiteral("Unable to back up the tile at %1, %2: \"%3\" is not recorded")
                                         .arg(cell.x())
                                         .arg(cell.y())
                                         .arg(text()));
    // Once the first backup exists the tile may have changed.
    if (!m_beforeId.isEmpty()) {
        if (m_canvas->undoStream()->readBuffer(tile, m_beforeId))
            m_canvas->refresh();
        else
            MLogger::instance()->systemError(QStringLiteral("Unable to restore backup %1").arg(m_beforeId));
    }
    release(m_beforeId);
    release(m_afterId);
    discard();
}

void MCommandTile::restoreBackup(const QString &id, bool undoing)
{
    makeCurrent();
    MTextureLayer *layer = m_canvas->at(m_row);
    auto *tile = layer ? static_cast<MTextureTile *>(layer->addTile(m_tileRect.center())) : nullptr;
    if (!tile || !tile->ensureTexture() || !m_canvas->undoStream()->readBuffer(tile, id)) {
        MLogger::instance()->systemError(QStringLiteral("Unable to restore backup %1").arg(id));
        restoreFailed(undoing);
        return;
    }
    m_canvas->refresh();
}

void MCommandTile::release(QString &id)
{
    if (id.isEmpty())
        return;
    m_canvas->undoStream()->unregisterId(id);
    id.clear();
}
