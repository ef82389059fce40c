#pragma once

#include "mcommandtile.h"

class MBufferTile;

// Replaces the pixels of a tile by those of a CPU buffer tile of the same
// size (a flood fill computed on the CPU). The before backup is read back
// without waiting for it; the after backup is taken from the buffer, not
// read back from the GPU.
class MCommandQuickFillTile : public MCommandTile
{
public:
    MCommandQuickFillTile(MCanvas *canvas, int row, MTextureTile *tile, MBufferTile *buffer,
                          QUndoCommand *parent = nullptr);
};
