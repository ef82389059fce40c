#pragma once

#include "mcommand.h"

class MLayerStack;
struct MDocumentParts;

// Moves the layer at row one place up the stack, over the layer at row + 1
// (the last row is drawn over all the others); nothing for the top layer.
class MCommandLayerUp : public MCommand
{
public:
    MCommandLayerUp(const MDocumentParts &parts, int row, QUndoCommand *parent = nullptr);

    void undoStep() override;
    void redoStep() override;

private:
    MLayerStack *m_layers;
    int m_row;
};
