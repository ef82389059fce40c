#pragma once

#include "mcommand.h"

class MLayerStack;
struct MDocumentParts;

// Appends a new layer with a fresh default name; undo removes the last row.
class MCommandAppendLayer : public MCommand
{
public:
    MCommandAppendLayer(const MDocumentParts &parts, QUndoCommand *parent = nullptr);

    void undoStep() override;
    void redoStep() override;

private:
    MLayerStack *m_layers;
};
