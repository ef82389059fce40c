#pragma once

#include "mcommand.h"

// Moves the layer at row one place up the stack, over the layer at row + 1
// (the last row is drawn over all the others); nothing for the top layer.
class MCommandLayerUp : public MCommand
{
public:
    MCommandLayerUp(MCanvas *canvas, int row, QUndoCommand *parent = nullptr);

    void undoStep() override;
    void redoStep() override;

private:
    int m_row;
};
