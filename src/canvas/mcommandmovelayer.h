#pragma once

#include "mcommand.h"

#include <QString>

class MLayerStack;
struct MDocumentParts;

// Moves the layer at one row to the next row up (over the layer there; the
// last row is drawn over all the others) or down; nothing when either row
// is not in the stack.
class MCommandMoveLayer : public MCommand
{
public:
    MCommandMoveLayer(const MDocumentParts &parts, int from, int to, const QString &text,
                      QUndoCommand *parent = nullptr);

    // One place up, as "Layer up".
    static MCommandMoveLayer *up(const MDocumentParts &parts, int row, QUndoCommand *parent = nullptr);
    // One place down, as "Layer down".
    static MCommandMoveLayer *down(const MDocumentParts &parts, int row, QUndoCommand *parent = nullptr);

    void undoStep() override;
    void redoStep() override;

private:
    void move(int from, int to);

    MLayerStack *m_layers;
    int m_from;
    int m_to;
};
