#pragma once

#include "mcommandtile.h"

class MBufferTile;

// Replaces the pixels of a tile by those of a CPU buffer tile of the same
// size (a flood fill computed on the CPU). The before backup is read back
// without waiting for it; the after backup is taken from the buffer, not
// read back from the GPU. The buffer is read when the command first runs.
class MCommandQuickFillTile : public MCommandTile
{
public:
    MCommandQuickFillTile(const MDocumentParts &parts, int row, MTextureTile *tile, MBufferTile *buffer,
                          QUndoCommand *parent = nullptr);

protected:
    bool change(MTextureTile *tile) override;

private:
    MBufferTile *m_buffer;   // until the first run
};
