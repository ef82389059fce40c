#pragma once

#include "mcommand.h"

// Exchanges the layers at row and row + 1; doing it again undoes it.
class MCommandLayerDown : public MCommand
{
public:
    MCommandLayerDown(MCanvas *canvas, int row, QUndoCommand *parent = nullptr);

    void undoStep() override;
    void redoStep() override;

private:
    int m_row;
};
