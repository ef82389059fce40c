#pragma once

#include "mcommand.h"
#include "mshaderobject.h"

class MLayerStack;
struct MDocumentParts;

// The effect of the layer at row, with its values and shown state: redo
// sets the state after the edit, undo the state before it.
class MCommandLayerShader : public MCommand
{
public:
    MCommandLayerShader(const MDocumentParts &parts, int row, const MShaderObject::ShaderState &before,
                        const MShaderObject::ShaderState &after, QUndoCommand *parent = nullptr);

    void undoStep() override;
    void redoStep() override;

private:
    void apply(const MShaderObject::ShaderState &state);

    MLayerStack *m_layers;
    int m_row;
    MShaderObject::ShaderState m_before;
    MShaderObject::ShaderState m_after;
};
