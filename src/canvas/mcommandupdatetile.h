#pragma once

#include "mcommandtile.h"

// Draws a source tile onto a tile of a layer: laid over it, copied onto it,
// or, for the end of a stroke, the stroke layer merged into it. Only the
// 64-pixel blocks the source was touched in are backed up (the whole tile
// when it names none); the source's record of touched blocks starts afresh.
// The source is read when the command first runs.
class MCommandUpdateTile : public MCommandTile
{
public:
    MCommandUpdateTile(const MDocumentParts &parts, int row, MTextureTile *target, MTextureTile *source,
                       double opacity, bool strokeBlend, bool copyOnly, QUndoCommand *parent = nullptr);

protected:
    bool change(MTextureTile *target) override;

private:
    MTextureTile *m_source;   // until the first run
    double m_opacity;
    bool m_strokeBlend;
    bool m_copyOnly;
};
