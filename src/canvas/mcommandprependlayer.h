#pragma once

#include "mcommand.h"

class MLayerStack;
struct MDocumentParts;

// Puts a new layer with a fresh default name at row 0; undo removes row 0.
class MCommandPrependLayer : public MCommand
{
public:
    MCommandPrependLayer(const MDocumentParts &parts, QUndoCommand *parent = nullptr);

    void undoStep() override;
    void redoStep() override;

private:
    MLayerStack *m_layers;
};
