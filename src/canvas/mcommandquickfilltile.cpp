#include "mcommandquickfilltile.h"

#include "mbuffertile.h"
#include "mlogger.h"
#include "mtexturetile.h"
#include "mundohistory.h"
#include "mundostream.h"

#include <QApplication>

MCommandQuickFillTile::MCommandQuickFillTile(const MDocumentParts &parts, int row, MTextureTile *tile,
                                             MBufferTile *buffer, QUndoCommand *parent)
    : MCommandTile(parts, row, tile, parent)
    , m_buffer(buffer)
{
    setText(QApplication::translate("QApplication", "Fill tile"));
}

bool MCommandQuickFillTile::change(MTextureTile *tile)
{
    MBufferTile *buffer = m_buffer;
    m_buffer = nullptr;
    // The before backup's read-back is only queued: the upload below goes
    // to the same context after it, so the read still sees the old pixels.
    if (!tile || !backup(tile, {}, m_beforeId, true))
        return false;
    // The upload and the backup read a whole tile from the buffer.
    const uchar *pixels = buffer && buffer->isAllocated() ? buffer->data() : nullptr;
    if (pixels && buffer->byteSize() != tile->byteSize()) {
        MLogger::instance()->systemError(QStringLiteral("A buffer tile of %1 bytes cannot fill a tile of %2 bytes")
                                             .arg(buffer->byteSize())
                                             .arg(tile->byteSize()));
        pixels = nullptr;
    }
    const bool recorded = pixels && tile->setData(pixels) && m_history->stream()->saveTexture(tile, pixels);
    if (recorded)
        hold(tile, m_afterId);
    else if (!pixels)
        MLogger::instance()->systemError(QStringLiteral("Cannot fill a tile from an empty buffer tile"));
    return recorded;
}
