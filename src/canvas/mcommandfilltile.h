#pragma once

#include "mcommandtile.h"

#include <QColor>

// Paints a whole tile with a colour (inside the selection when there is one).
class MCommandFillTile : public MCommandTile
{
public:
    MCommandFillTile(const MDocumentParts &parts, int row, MTextureTile *tile, const QColor &color,
                     QUndoCommand *parent = nullptr);

protected:
    bool change(MTextureTile *tile) override;

private:
    QColor m_color;
};
