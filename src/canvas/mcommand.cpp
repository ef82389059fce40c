#include "mcommand.h"

#include "mcanvas.h"
#include "mlogger.h"

#include <QUndoStack>

MCommand::MCommand(MCanvas *canvas, QUndoCommand *parent)
    : QUndoCommand(parent)
    , m_canvas(canvas)
    , m_hasParent(parent != nullptr)
{
}

MCommand::~MCommand() = default;

void MCommand::undo()
{
}

void MCommand::redo()
{
}

void MCommand::makeCurrent()
{
    if (!m_canvas->makeCurrent())
        MLogger::instance()->systemError(QStringLiteral("Unable to make current context"));
}

void MCommand::push()
{
    // The parent owns a child command already: the stack must not own it too.
    if (!m_hasParent)
        m_canvas->undoStack()->push(this);
}

void MCommand::discard()
{
    m_discarded = true;
    if (!m_hasParent)
        m_canvas->disposeCommand(this);
}
