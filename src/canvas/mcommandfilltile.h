#pragma once

#include "mcommandtile.h"

#include <QColor>

// Paints a whole tile with a colour (inside the selection when there is one).
class MCommandFillTile : public MCommandTile
{
public:
    MCommandFillTile(MCanvas *canvas, int row, MTextureTile *tile, const QColor &color,
                     QUndoCommand *parent = nullptr);
};
