#include "mcommand.h"

#include "mcanvas.h"
#include "mlogger.h"

#include <QUndoStack>

MCommand::MCommand(MCanvas *canvas, QUndoCommand *parent)
    : QUndoCommand(parent)
    , m_canvas(canvas)
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
    m_canvas->undoStack()->push(this);
}
