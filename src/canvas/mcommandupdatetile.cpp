#include "mcommandupdatetile.h"

#include "mcanvas.h"
#include "mtexturetile.h"

#include <QApplication>

namespace {
// The part of the texture the touched blocks cover; none means all of it.
QRect blockArea(const QSet<MTile *> &blocks, int tileSize)
{
    QRect area;
    for (MTile *block : blocks) {
        if (block)
            area |= block->rectWithBorder();
    }
    return area & QRect(0, 0, tileSize, tileSize);
}
} // namespace

MCommandUpdateTile::MCommandUpdateTile(MCanvas *canvas, int row, MTextureTile *target, MTextureTile *source,
                                       double opacity, bool strokeBlend, bool copyOnly, QUndoCommand *parent)
    : MCommandTile(canvas, row, target, parent)
{
    setText(QApplication::translate("QApplication", "Update tile"));
    const QSet<MTile *> blocks = source ? source->touchedBlocks() : QSet<MTile *>();
    // Neither backup is needed before an undo: their read-backs are queued
    // behind the merge instead of waited for one by one.
    bool recorded = target && backup(target, blocks, m_beforeId, true);
    if (recorded) {
        const QString program = QStringLiteral("blit");
        if (strokeBlend)
            canvas->blendStrokeTile(target, row);
        else if (copyOnly)
            canvas->copyTile(target, source, program, opacity);
        else
            canvas->blitTile(target, source, program, opacity, blockArea(blocks, target->tileSize()));
        recorded = backup(target, blocks, m_afterId, true);
    }
    if (source)
        source->resetUndoLayer();
    finish(target, recorded);
}
