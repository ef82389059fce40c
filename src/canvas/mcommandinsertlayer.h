#pragma once

#include "mcommand.h"

#include <QString>

class MLayerStack;
struct MDocumentParts;

// Puts a new layer with a fresh default name at row; undo removes it.
class MCommandInsertLayer : public MCommand
{
public:
    MCommandInsertLayer(const MDocumentParts &parts, int row, const QString &text, QUndoCommand *parent = nullptr);

    // Over every other layer, as "Append a layer".
    static MCommandInsertLayer *append(const MDocumentParts &parts, QUndoCommand *parent = nullptr);
    // Under every other layer, as "Prepend a layer".
    static MCommandInsertLayer *prepend(const MDocumentParts &parts, QUndoCommand *parent = nullptr);

    void undoStep() override;
    void redoStep() override;

private:
    MLayerStack *m_layers;
    int m_row;
};
