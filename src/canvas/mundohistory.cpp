#include "mundohistory.h"

#include "mcommand.h"
#include "mundostream.h"

#include <QUndoStack>

MUndoHistory::MUndoHistory(QObject *parent)
    : QObject(parent)
    , m_stack(new QUndoStack(this))
    , m_stream(new MUndoStream(this))
{
    connect(m_stream, &MUndoStream::messageForPainter, this, &MUndoHistory::messageForPainter);
}

MUndoHistory::~MUndoHistory()
{
    qDeleteAll(m_disposed);
    m_disposed.clear();
    m_stack->clear();
    delete m_stack;
    m_stack = nullptr;
    delete m_stream;
    m_stream = nullptr;
}

bool MUndoHistory::prepareRun()
{
    return !m_beforeRun || m_beforeRun();
}

bool MUndoHistory::push(MCommand *command)
{
    if (!command)
        return false;
    // Its parent owns it and runs it.
    if (command->m_hasParent)
        return command->isRecorded();
    prepareRun();
    // Not on the stack before it is known to be recorded: taking a command
    // drops the redo steps and may drop the clean state.
    if (!command->runFirst()) {
        dispose(command);
        return false;
    }
    command->m_taken = true;
    m_stack->push(command);
    command->m_taken = false;
    return true;
}

void MUndoHistory::pushRecorded(MCommand *command)
{
    // With no redo step to drop (or a macro open) the stack only appends,
    // trimming to the limit afterwards: an ordinary push.
    if (!command || command->m_hasParent || !m_stack->canRedo()) {
        push(command);
        return;
    }
    // The step goes on the stack before it runs: the redo steps go then.
    // The stack held no more than its limit with them, so none is trimmed.
    prepareRun();
    command->m_taken = true;
    m_stack->push(command);
    command->m_taken = false;
    command->runFirst();
}

void MUndoHistory::beginMacro(const QString &text)
{
    m_stack->beginMacro(text);
}

void MUndoHistory::endMacro()
{
    m_stack->endMacro();
}

void MUndoHistory::undo()
{
    prepareRun();
    m_stack->undo();
}

void MUndoHistory::redo()
{
    prepareRun();
    m_stack->redo();
}

void MUndoHistory::clear()
{
    m_stack->clear();
}

bool MUndoHistory::isClean() const
{
    return m_stack->isClean();
}

void MUndoHistory::setClean()
{
    m_stack->setClean();
}

void MUndoHistory::dispose(QUndoCommand *command)
{
    if (!command || m_disposed.contains(command))
        return;
    m_disposed.append(command);
    QMetaObject::invokeMethod(
        this,
        [this, command] {
            if (m_disposed.removeOne(command))
                delete command;
        },
        Qt::QueuedConnection);
}
