#pragma once

#include <QUndoCommand>

class MCanvas;

// One undoable change of a document. Every command pushes itself on the
// document's undo stack as the last step of its constructor; commands never
// merge.
class MCommand : public QUndoCommand
{
public:
    MCommand(MCanvas *canvas, QUndoCommand *parent = nullptr);
    ~MCommand() override;

    void undo() override;
    void redo() override;

protected:
    // Makes the document's context current, logging when it cannot.
    void makeCurrent();
    void push();

    MCanvas *m_canvas;
    bool m_firstRedo = true;
};
