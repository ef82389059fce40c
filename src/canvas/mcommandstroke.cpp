#include "mcommandstroke.h"

#include "mcommandsetpaintedrect.h"
#include "mcommandupdatetile.h"

#include <algorithm>

MCommandStroke::MCommandStroke(const MDocumentParts &parts, const QString &text, const QRectF &oldPaintedRect,
                               const QRectF &newPaintedRect)
    : MCommand(parts.history)
    , m_parts(parts)
    , m_oldPaintedRect(oldPaintedRect)
    , m_newPaintedRect(newPaintedRect)
{
    setText(text);
}

void MCommandStroke::addTile(int row, MTextureTile *target, MTextureTile *source, double opacity, bool strokeBlend)
{
    // A child: owned by this step, run by it.
    m_noted << new MCommandUpdateTile(m_parts, row, target, source, opacity, strokeBlend, false, this);
}

bool MCommandStroke::firstStep()
{
    for (MCommandTile *tile : qAsConst(m_noted)) {
        // One not recorded stays a child, inert: its backups are already let go.
        if (tile->runFirst())
            m_tiles << tile;
    }
    m_noted.clear();
    m_paintedRect = new MCommandSetPaintedRect(m_parts, m_oldPaintedRect, m_newPaintedRect, this);
    m_paintedRect->runFirst();
    return true;
}

void MCommandStroke::undoStep()
{
    // As it was made, backwards: the painted rectangle first.
    m_paintedRect->undo();
    for (auto tile = m_tiles.crbegin(); tile != m_tiles.crend(); ++tile)
        (*tile)->undo();
}

void MCommandStroke::redoStep()
{
    for (MCommandTile *tile : qAsConst(m_tiles))
        tile->redo();
    m_paintedRect->redo();
}

bool MCommandStroke::canRestore(bool undoing) const
{
    return std::all_of(m_tiles.cbegin(), m_tiles.cend(),
                       [undoing](const MCommandTile *tile) { return tile->canRestore(undoing); });
}
