#pragma once

#include "mcommand.h"

#include <QRectF>
#include <QSet>
#include <QString>

class MTile;
class MTextureTile;

// A change of the pixels of one tile of one layer. The change is made while
// the command is built, between a backup of the tile before it and one after
// it, so the first redo of the stack has nothing to do; undo and redo then
// write a backup back into the tile, recreating the tile when the layer lost
// it. A command whose backups cannot both be made leaves the tile as it was
// and is not recorded: a backup that does not match the tile would restore
// wrong pixels later.
class MCommandTile : public MCommand
{
public:
    ~MCommandTile() override;

    void undoStep() override;
    void redoStep() override;

    int row() const { return m_row; }
    QRectF tileRect() const { return m_tileRect; }
    QString beforeId() const { return m_beforeId; }
    QString afterId() const { return m_afterId; }

protected:
    // Makes the context current and the tile's texture ready for the backups.
    MCommandTile(MCanvas *canvas, int row, MTextureTile *tile, QUndoCommand *parent);

    // Backs up the given 64-pixel blocks of the tile, or the whole tile when
    // the set is empty, and holds the backup's id in id. A queued backup's
    // read-back is not waited for (see MUndoStream::saveTilesLater).
    bool backup(MTextureTile *tile, const QSet<MTile *> &blocks, QString &id, bool queued = false);
    // Holds the backup the tile names now (one the caller just made).
    void hold(MTextureTile *tile, QString &id);
    // The last step of a constructor: pushes a recorded command; otherwise
    // puts the tile back as it was before and drops the command.
    void finish(MTextureTile *tile, bool recorded);
    bool canRestore(bool undoing) const override;

    QString m_beforeId;
    QString m_afterId;

private:
    void restoreBackup(const QString &id, bool undoing);
    void release(QString &id);

    int m_row;
    QRectF m_tileRect;
};
