#pragma once

#include "mcommand.h"
#include "mdocumentparts.h"

#include <QRectF>
#include <QVector>

class MCommandSetPaintedRect;
class MCommandTile;
class MTextureTile;

// A brush stroke's end as one step: each tile of the stroke layer the stroke
// touched merged into its layer's tile, then the painted rectangle grown as
// far as the stroke reached. Each tile is a child record of its own, merged
// between its two backups as the step first runs, in the order the tiles
// were added; undo takes them back last to first, redo first to last, and
// the step is restorable only when every one of them is. A tile whose
// backups cannot be made is left as it was and has no part in the step; the
// step itself is always recorded.
class MCommandStroke : public MCommand
{
public:
    MCommandStroke(const MDocumentParts &parts, const QString &text, const QRectF &oldPaintedRect,
                   const QRectF &newPaintedRect);

    // Notes the stroke layer's tile source to be merged into target, the
    // tile at the same place in the layer at row; nothing is read before
    // the step runs.
    void addTile(int row, MTextureTile *target, MTextureTile *source, double opacity, bool strokeBlend);

    // The tiles the step holds, once it ran: those whose merge was recorded.
    const QVector<MCommandTile *> &tiles() const { return m_tiles; }

protected:
    bool firstStep() override;
    void undoStep() override;
    void redoStep() override;
    bool canRestore(bool undoing) const override;

private:
    MDocumentParts m_parts;
    QRectF m_oldPaintedRect;
    QRectF m_newPaintedRect;
    // Until the first run: every tile noted, in the order they merge.
    QVector<MCommandTile *> m_noted;
    QVector<MCommandTile *> m_tiles;
    MCommandSetPaintedRect *m_paintedRect = nullptr;
};
