#pragma once

#include "mcommand.h"

// Exchanges the layers at row - 1 and row; doing it again undoes it.
class MCommandLayerUp : public MCommand
{
public:
    MCommandLayerUp(MCanvas *canvas, int row, QUndoCommand *parent = nullptr);

    void undoStep() override;
    void redoStep() override;

private:
    int m_row;
};
