#include "mcommandupdatetile.h"

#include "mcanvas.h"
#include "mtexturetile.h"

#include <QApplication>

MCommandUpdateTile::MCommandUpdateTile(MCanvas *canvas, int row, MTextureTile *target, MTextureTile *source,
                                       double opacity, bool strokeBlend, bool copyOnly, QUndoCommand *parent)
    : MCommandTile(canvas, row, target, parent)
{
    setText(QApplication::translate("QApplication", "Update tile"));
    const QSet<MTile *> blocks = source ? source->touchedBlocks() : QSet<MTile *>();
    bool recorded = target && backup(target, blocks, m_beforeId);
    if (recorded) {
        const QString program = QStringLiteral("blit");
        if (strokeBlend)
            canvas->blendStrokeTile(target, row);
        else if (copyOnly)
            canvas->copyTile(target, source, program, opacity);
        else
            canvas->blitTile(target, source, program, opacity);
        recorded = backup(target, blocks, m_afterId);
    }
    if (source)
        source->resetUndoLayer();
    finish(target, recorded);
}
