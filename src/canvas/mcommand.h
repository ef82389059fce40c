#pragma once

#include <QUndoCommand>

class MUndoHistory;

// One undoable change of a document. A command is built recording only what
// it needs, then pushed on the document's history, which runs it once (the
// change) and keeps it when it could be recorded; commands never merge. A
// command built with a parent is that parent's child and runs with it
// instead. Commands hold backup ids of the history's undo stream, never
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
    MCommand(MUndoHistory *history, QUndoCommand *parent = nullptr);
    ~MCommand() override;

    void undo() final;
    void redo() final;

    // Makes the change, once; false when it could not be recorded: the
    // command then changed nothing and does nothing from now on.
    bool runFirst();

    // False for a command that could not be recorded: it changes nothing
    // and was never put on the stack.
    bool isRecorded() const { return !m_discarded; }
    MUndoHistory *history() const { return m_history; }

protected:
    // The change as the command is first run; true when it was recorded.
    // By default the same as a redo.
    virtual bool firstStep();
    virtual void undoStep() {}
    virtual void redoStep() {}
    // Whether undoStep (or redoStep) finds what it restores; logs what is
    // missing otherwise.
    virtual bool canRestore(bool undoing) const;
    // A restore found broken only while it ran: the step is cut from the
    // history as when the check fails.
    void restoreFailed(bool undoing);

    // Makes the document's context current with its queued stamps drawn,
    // logging when it cannot.
    void makeCurrent();
    bool hasRun() const { return m_ran; }

    MUndoHistory *m_history;
    bool m_discarded = false;

private:
    // Whether the step this command belongs to may run; checks the whole
    // step when this is the part that runs first.
    bool stepIsWhole(bool undoing);
    // The top-level command holding this one on the stack, or null while
    // it is not on the stack (being pushed, or in a macro not ended yet).
    QUndoCommand *step() const;
    void breakHistory(QUndoCommand *step, bool undoing);

    // The history hands a command that ran to the stack, whose redo as it
    // takes it must change nothing.
    friend class MUndoHistory;

    bool m_hasParent;
    bool m_ran = false;
    bool m_taken = false;
    mutable QUndoCommand *m_step = nullptr;
};
