#pragma once

#include "mcommand.h"

// Puts a new layer with a fresh default name at row 0; undo removes row 0.
class MCommandPrependLayer : public MCommand
{
public:
    MCommandPrependLayer(MCanvas *canvas, QUndoCommand *parent = nullptr);

    void undoStep() override;
    void redoStep() override;
};
