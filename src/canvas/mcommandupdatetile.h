#pragma once

#include "mcommandtile.h"

// Draws a source tile onto a tile of a layer: laid over it, copied onto it,
// or, for the end of a stroke, the stroke layer merged into it. Only the
// 64-pixel blocks the source was touched in are backed up (the whole tile
// when it names none); the source's record of touched blocks starts afresh.
class MCommandUpdateTile : public MCommandTile
{
public:
    MCommandUpdateTile(MCanvas *canvas, int row, MTextureTile *target, MTextureTile *source, double opacity,
                       bool strokeBlend, bool copyOnly, QUndoCommand *parent = nullptr);
};
