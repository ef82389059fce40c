#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <functional>

class MCommand;
class MUndoStream;
class QUndoCommand;
class QUndoStack;

// A document's undo history: the stack of steps and the stream holding the
// pixels they refer to. A command is built (recording only what it needs),
// then pushed: the history runs it once and keeps it when the change could
// be recorded; a command that could not changes nothing and leaves the
// history as it was, its redo steps and clean state included.
class MUndoHistory : public QObject
{
    Q_OBJECT
public:
    explicit MUndoHistory(QObject *parent = nullptr);
    // The commands go before the stream: they release the ids it holds.
    ~MUndoHistory() override;

    QUndoStack *stack() const { return m_stack; }
    MUndoStream *stream() const { return m_stream; }

    // What must hold before any command runs, undoes or redoes (the
    // document's context current, its queued stamps drawn); false when it
    // cannot.
    void setBeforeRun(const std::function<bool()> &hook) { m_beforeRun = hook; }
    bool prepareRun();

    // Runs the command and keeps it as a step (or as part of the open
    // macro); true when it was recorded. One that was not is disposed of.
    // A child command runs with its parent instead.
    bool push(MCommand *command);
    // Keeps a command that is recorded whatever its parts do, in the order
    // a macro of its parts kept: the redo steps, and the records they hold,
    // go before it runs; a step past the undo limit goes after.
    void pushRecorded(MCommand *command);
    void beginMacro(const QString &text);
    void endMacro();
    void undo();
    void redo();
    void clear();
    bool isClean() const;
    void setClean();

    // Takes a command that is on no stack: it goes once control is back in
    // the event loop, or with the history if that is first.
    void dispose(QUndoCommand *command);

signals:
    // A failure of the history the painter must hear of (see MUndoStream::tellPainter).
    void messageForPainter(const QString &title, const QString &text);

private:
    QUndoStack *m_stack;
    MUndoStream *m_stream;
    QList<QUndoCommand *> m_disposed;
    std::function<bool()> m_beforeRun;
};
