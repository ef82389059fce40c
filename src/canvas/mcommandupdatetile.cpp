#include "mcommandupdatetile.h"

#include "mgpudevice.h"
#include "mlayerstack.h"
#include "mtexturetile.h"
#include "mundohistory.h"

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

MCommandUpdateTile::MCommandUpdateTile(const MDocumentParts &parts, int row, MTextureTile *target,
                                       MTextureTile *source, double opacity, bool strokeBlend, bool copyOnly,
                                       QUndoCommand *parent)
    : MCommandTile(parts, row, target, parent)
    , m_source(source)
    , m_opacity(opacity)
    , m_strokeBlend(strokeBlend)
    , m_copyOnly(copyOnly)
{
    setText(QApplication::translate("QApplication", "Update tile"));
}

bool MCommandUpdateTile::change(MTextureTile *target)
{
    MTextureTile *source = m_source;
    m_source = nullptr;
    const QSet<MTile *> blocks = source ? source->touchedBlocks() : QSet<MTile *>();
    // Neither backup is needed before an undo: their read-backs are queued
    // behind the merge instead of waited for one by one.
    bool recorded = target && backup(target, blocks, m_beforeId, true);
    if (recorded) {
        const QString program = QStringLiteral("blit");
        m_history->prepareRun();
        if (m_strokeBlend)
            m_device->blendStrokeTile(target, m_layers->at(row()), m_layers->at(row() - 1));
        else if (m_copyOnly)
            m_device->blitTile(target, source, GL_ONE, GL_ZERO, program, m_opacity);
        else
            m_device->blitTile(target, source, GL_ONE, GL_ONE_MINUS_SRC_ALPHA, program, m_opacity,
                               blockArea(blocks, target->tileSize()));
        recorded = backup(target, blocks, m_afterId, true);
    }
    if (source)
        source->resetUndoLayer();
    return recorded;
}
