#pragma once

#include "mcommand.h"

#include <QRectF>
#include <QSet>
#include <QString>

class MGpuDevice;
class MLayerStack;
class MTile;
class MTextureTile;
struct MDocumentParts;

// A change of the pixels of one tile of one layer. The change is made as
// the command first runs, between a backup of the tile before it and one
// after it; undo and redo then write a backup back into the tile, recreating
// the tile when the layer lost it. A command whose backups cannot both be
// made leaves the tile as it was and is not recorded: a backup that does not
// match the tile would restore wrong pixels later.
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
    // Public for a step holding tiles as its parts, which is restorable
    // only when each of them is.
    bool canRestore(bool undoing) const override;

protected:
    // The tile is only noted: it is read and changed when the command runs.
    MCommandTile(const MDocumentParts &parts, int row, MTextureTile *tile, QUndoCommand *parent);

    // The change between the two backups, on the tile made ready for them
    // (null when there is none); true when both backups were made.
    virtual bool change(MTextureTile *tile) = 0;
    // Backs up the given 64-pixel blocks of the tile, or the whole tile when
    // the set is empty, and holds the backup's id in id. A queued backup's
    // read-back is not waited for (see MUndoStream::saveTilesLater).
    bool backup(MTextureTile *tile, const QSet<MTile *> &blocks, QString &id, bool queued = false);
    // Holds the backup the tile names now (one the caller just made).
    void hold(MTextureTile *tile, QString &id);

    MLayerStack *m_layers;
    MGpuDevice *m_device;
    QString m_beforeId;
    QString m_afterId;

private:
    bool firstStep() final;
    // A change that was not recorded: the tile is put back as it was before.
    void abandon(MTextureTile *tile);
    void restoreBackup(const QString &id, bool undoing);
    void release(QString &id);

    int m_row;
    QRectF m_tileRect;
    MTextureTile *m_tile;   // until the first run: the tile may go after it
};
