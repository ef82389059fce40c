#include "mcommand.h"

#include "mlogger.h"
#include "mundohistory.h"
#include "mundostream.h"

#include <QApplication>
#include <QUndoStack>

namespace {

bool holds(const QUndoCommand *command, const QUndoCommand *part)
{
    if (command == part)
        return true;
    for (int i = 0; i < command->childCount(); ++i)
        if (holds(command->child(i), part))
            return true;
    return false;
}

template <class Visit>
void forEachCommand(const QUndoCommand *command, Visit visit)
{
    if (const auto *own = dynamic_cast<const MCommand *>(command)) {
        visit(own);
        return;
    }
    for (int i = 0; i < command->childCount(); ++i)
        forEachCommand(command->child(i), visit);
}

// The part of a step that runs first: a macro undoes its children last to
// first and redoes them first to last.
const MCommand *firstToRun(const QUndoCommand *step, bool undoing)
{
    const MCommand *first = nullptr;
    forEachCommand(step, [&first, undoing](const MCommand *part) {
        if (undoing || !first)
            first = part;
    });
    return first;
}

} // namespace

MCommand::MCommand(MUndoHistory *history, QUndoCommand *parent)
    : QUndoCommand(parent)
    , m_history(history)
    , m_hasParent(parent != nullptr)
{
}

MCommand::~MCommand() = default;

bool MCommand::runFirst()
{
    if (!m_ran) {
        m_ran = true;
        m_discarded = !firstStep();
    }
    return !m_discarded;
}

bool MCommand::firstStep()
{
    redoStep();
    return true;
}

void MCommand::undo()
{
    if (!m_discarded && stepIsWhole(true))
        undoStep();
}

void MCommand::redo()
{
    if (m_taken) {
        m_taken = false;
        return;
    }
    // A child runs first with its parent.
    if (!m_ran) {
        runFirst();
        return;
    }
    if (!m_discarded && stepIsWhole(false))
        redoStep();
}

bool MCommand::canRestore(bool) const
{
    return true;
}

void MCommand::makeCurrent()
{
    if (!m_history->prepareRun())
        MLogger::instance()->systemError(QStringLiteral("Unable to make current context"));
}

QUndoCommand *MCommand::step() const
{
    if (m_step)
        return m_step;
    const QUndoStack *stack = m_history->stack();
    // Undo and redo run next to the index: look there first.
    const int index = stack->index(), count = stack->count();
    for (int distance = 0; distance <= count; ++distance) {
        for (const int at : {index - 1 - distance, index + distance}) {
            if (at < 0 || at >= count)
                continue;
            const QUndoCommand *command = stack->command(at);
            if (holds(command, this)) {
                // The stack owns its commands; it hands them out read-only.
                m_step = const_cast<QUndoCommand *>(command);
                return m_step;
            }
        }
    }
    return nullptr;
}

bool MCommand::stepIsWhole(bool undoing)
{
    QUndoCommand *whole = step();
    if (!whole)
        return true;
    if (whole->isObsolete())
        return false;
    if (firstToRun(whole, undoing) != this)
        return true;
    bool readable = true;
    forEachCommand(whole, [&readable, undoing](const MCommand *part) {
        readable = readable && part->canRestore(undoing);
    });
    if (!readable)
        breakHistory(whole, undoing);
    return readable;
}

void MCommand::restoreFailed(bool undoing)
{
    if (QUndoCommand *whole = step())
        if (!whole->isObsolete())
            breakHistory(whole, undoing);
}

void MCommand::breakHistory(QUndoCommand *whole, bool undoing)
{
    QUndoStack *stack = m_history->stack();
    // An obsolete command is dropped by the stack when it passes it, without
    // being run; the parts of an obsolete step skip themselves when run.
    whole->setObsolete(true);
    int at = 0;
    while (at < stack->count() && stack->command(at) != whole)
        ++at;
    for (int i = undoing ? 0 : at + 1; i < (undoing ? at : stack->count()); ++i)
        const_cast<QUndoCommand *>(stack->command(i))->setObsolete(true);
    MLogger::instance()->systemError(QStringLiteral("Undo history broken at \"%1\": the steps %2 it are dropped")
                                         .arg(whole->text(), undoing ? QStringLiteral("before") : QStringLiteral("after")));
    m_history->stream()->tellPainter(
        QApplication::translate("QApplication", "Undo history"),
        (undoing ? QApplication::translate("QApplication",
                                           "\"%1\" cannot be undone: the saved pixels it needs are lost (the cache "
                                           "folder was emptied or the disk failed). The picture is left as it is, and "
                                           "the steps before it can no longer be undone.")
                 : QApplication::translate("QApplication",
                                           "\"%1\" cannot be redone: the saved pixels it needs are lost (the cache "
                                           "folder was emptied or the disk failed). The picture is left as it is, and "
                                           "the steps after it can no longer be redone."))
            .arg(whole->text()));
    // Once the stack is done with the step in hand, the steps cut off leave
    // it. In a macro still open the stack refuses to move: they are then
    // dropped as the painter passes them.
    QMetaObject::invokeMethod(
        stack,
        [stack] {
            for (int before = -1; stack->index() > 0 && stack->index() != before
                                  && stack->command(stack->index() - 1)->isObsolete();) {
                before = stack->index();
                stack->undo();
            }
            for (int after = -1; stack->index() < stack->count() && stack->count() != after
                                 && stack->command(stack->index())->isObsolete();) {
                after = stack->count();
                stack->redo();
            }
        },
        Qt::QueuedConnection);
}
