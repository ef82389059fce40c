#include "mcommandmovelayer.h"

#include "mdocumentparts.h"
#include "mlayerstack.h"

#include <QApplication>

MCommandMoveLayer::MCommandMoveLayer(const MDocumentParts &parts, int from, int to, const QString &text,
                                     QUndoCommand *parent)
    : MCommand(parts.history, parent)
    , m_layers(parts.layers)
    , m_from(from)
    , m_to(to)
{
    setText(text);
}

MCommandMoveLayer *MCommandMoveLayer::up(const MDocumentParts &parts, int row, QUndoCommand *parent)
{
    return new MCommandMoveLayer(parts, row, row + 1, QApplication::translate("QApplication", "Layer up"), parent);
}

MCommandMoveLayer *MCommandMoveLayer::down(const MDocumentParts &parts, int row, QUndoCommand *parent)
{
    return new MCommandMoveLayer(parts, row, row - 1, QApplication::translate("QApplication", "Layer down"), parent);
}

void MCommandMoveLayer::redoStep()
{
    makeCurrent();
    move(m_from, m_to);
}

void MCommandMoveLayer::undoStep()
{
    makeCurrent();
    move(m_to, m_from);
}

// The stack's moves are in row order: the current row follows the layer.
void MCommandMoveLayer::move(int from, int to)
{
    if (!m_layers->isValidRow(from) || !m_layers->isValidRow(to))
        return;
    if (to == from + 1)
        m_layers->moveDown(from);
    else if (to == from - 1)
        m_layers->moveUp(from);
}
