#pragma once

#include "mcommand.h"

// Appends a new layer with a fresh default name; undo removes the last row.
class MCommandAppendLayer : public MCommand
{
public:
    MCommandAppendLayer(MCanvas *canvas, QUndoCommand *parent = nullptr);

    void undoStep() override;
    void redoStep() override;
};
