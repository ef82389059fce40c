#include "mcommandquickfilltile.h"

#include "mbuffertile.h"
#include "mcanvas.h"
#include "mlogger.h"
#include "mtexturetile.h"
#include "mundostream.h"

#include <QApplication>

MCommandQuickFillTile::MCommandQuickFillTile(MCanvas *canvas, int row, MTextureTile *tile, MBufferTile *buffer,
                                             QUndoCommand *parent)
    : MCommandTile(canvas, row, tile, parent)
{
    setText(QApplication::translate("QApplication", "Fill tile"));
    // The before backup's read-back is only queued: the upload below goes
    // to the same context after it, so the read still sees the old pixels.
    bool recorded = tile && backup(tile, {}, m_beforeId, true);
    if (recorded) {
        // The upload and the backup read a whole tile from the buffer.
        const uchar *pixels = buffer && buffer->isAllocated() ? buffer->data() : nullptr;
        if (pixels && buffer->byteSize() != tile->byteSize()) {
            MLogger::instance()->systemError(QStringLiteral("A buffer tile of %1 bytes cannot fill a tile of %2 bytes")
                                                 .arg(buffer->byteSize())
                                                 .arg(tile->byteSize()));
            pixels = nullptr;
        }
        recorded = pixels && tile->setData(pixels) && canvas->undoStream()->saveTexture(tile, pixels);
        if (recorded)
            hold(tile, m_afterId);
        else if (!pixels)
            MLogger::instance()->systemError(QStringLiteral("Cannot fill a tile from an empty buffer tile"));
    }
    finish(tile, recorded);
}
