#include "mcommandstates.h"

#include "mcanvas.h"
#include "mlayerlistmodel.h"

#include <QUndoStack>

MCommandStates::MCommandStates(MCanvas *canvas, const Commands &commands, QObject *parent)
    : QObject(parent)
    , m_canvas(canvas)
    , m_undo(commands.undo)
    , m_redo(commands.redo)
    , m_moveUp(commands.moveUp)
    , m_moveDown(commands.moveDown)
    , m_mergeWithUpper(commands.mergeWithUpper)
    , m_mergeWithLower(commands.mergeWithLower)
{
    QUndoStack *stack = canvas->undoStack();
    connect(stack, &QUndoStack::canUndoChanged, this, &MCommandStates::update);
    connect(stack, &QUndoStack::canRedoChanged, this, &MCommandStates::update);
    connect(canvas, &MCanvas::currentRowChanged, this, &MCommandStates::update);
    connect(canvas, &MCanvas::countChanged, this, &MCommandStates::update);
    connect(canvas, &MCanvas::layerListReset, this, &MCommandStates::update);
    connect(canvas->layerModel(), &QAbstractItemModel::rowsMoved, this, &MCommandStates::update);
    connect(canvas->layerModel(), &QAbstractItemModel::modelReset, this, &MCommandStates::update);
    update();
}

void MCommandStates::update()
{
    if (!m_canvas || !m_undo || !m_redo || !m_moveUp || !m_moveDown || !m_mergeWithUpper || !m_mergeWithLower)
        return;
    QUndoStack *stack = m_canvas->undoStack();
    m_undo->setEnabled(stack->canUndo());
    m_redo->setEnabled(stack->canRedo());
    // Without a current layer the commands stay on, to say why they cannot act.
    const int row = m_canvas->currentRow();
    const bool known = row >= 0 && row < m_canvas->count();
    const bool top = known && row == m_canvas->count() - 1;
    const bool bottom = known && row == 0;
    m_moveUp->setEnabled(!top);
    m_mergeWithUpper->setEnabled(!top);
    m_moveDown->setEnabled(!bottom);
    m_mergeWithLower->setEnabled(!bottom);
}
