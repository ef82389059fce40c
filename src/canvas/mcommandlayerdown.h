#pragma once

#include "mcommand.h"

class MLayerStack;
struct MDocumentParts;

// Moves the layer at row one place down the stack, under the layer at
// row - 1; nothing for the bottom layer (row 0).
class MCommandLayerDown : public MCommand
{
public:
    MCommandLayerDown(const MDocumentParts &parts, int row, QUndoCommand *parent = nullptr);

    void undoStep() override;
    void redoStep() override;

private:
    MLayerStack *m_layers;
    int m_row;
};
