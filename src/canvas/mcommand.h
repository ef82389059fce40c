#pragma once

#include <QUndoCommand>

class MCanvas;

// One undoable change of a document. Every command pushes itself on the
// document's undo stack as the last step of its constructor; commands never
// merge. A command built with a parent is that parent's child and runs with
// it instead. Commands hold backup ids of the document's undo stream, never
// pixels.
class MCommand : public QUndoCommand
{
public:
    MCommand(MCanvas *canvas, QUndoCommand *parent = nullptr);
    ~MCommand() override;

    void undo() override;
    void redo() override;

    // False for a command that could not be built: it changes nothing and
    // was never put on the stack.
    bool isRecorded() const { return !m_discarded; }

protected:
    // Makes the document's context current, logging when it cannot.
    void makeCurrent();
    void push();
    // Ends a constructor that failed: the command stays off the stack, does
    // nothing, and the document owns a top-level one until control is back in
    // the event loop (or until the document goes, if that is first).
    void discard();

    MCanvas *m_canvas;
    bool m_firstRedo = true;
    bool m_hasParent;
    bool m_discarded = false;
};
