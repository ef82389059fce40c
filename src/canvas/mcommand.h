#pragma once

#include <QUndoCommand>

class MCanvas;

// One undoable change of a document. Every command pushes itself on the
// document's undo stack as the last step of its constructor; commands never
// merge. A command built with a parent is that parent's child and runs with
// it instead. Commands hold backup ids of the document's undo stream, never
// pixels.
//
// The history never restores wrong pixels: before any part of a step (a
// top-level command with everything under it) is undone or redone, every
// part checks that what it restores can be read back. When one cannot, the
// step changes nothing and the history is cut there: the step and all those
// beyond it in that direction leave the stack unplayed, the painter is told,
// and the steps on the other side stay usable.
class MCommand : public QUndoCommand
{
public:
    MCommand(MCanvas *canvas, QUndoCommand *parent = nullptr);
    ~MCommand() override;

    void undo() final;
    void redo() final;

    // False for a command that could not be built: it changes nothing and
    // was never put on the stack.
    bool isRecorded() const { return !m_discarded; }

protected:
    virtual void undoStep() {}
    virtual void redoStep() {}
    // Whether undoStep (or redoStep) finds what it restores; logs what is
    // missing otherwise.
    virtual bool canRestore(bool undoing) const;
    // A restore found broken only while it ran: the step is cut from the
    // history as when the check fails.
    void restoreFailed(bool undoing);

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

private:
    // Whether the step this command belongs to may run; checks the whole
    // step when this is the part that runs first.
    bool stepIsWhole(bool undoing);
    // The top-level command holding this one on the stack, or null while
    // it is not on the stack (being pushed, or in a macro not ended yet).
    QUndoCommand *step() const;
    void breakHistory(QUndoCommand *step, bool undoing);

    bool m_pushing = false;
    mutable QUndoCommand *m_step = nullptr;
};
