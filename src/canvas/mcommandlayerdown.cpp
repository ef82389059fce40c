#include "mcommandlayerdown.h"

#include "mdocumentparts.h"
#include "mlayerstack.h"

#include <QApplication>

MCommandLayerDown::MCommandLayerDown(const MDocumentParts &parts, int row, QUndoCommand *parent)
    : MCommand(parts.history, parent)
    , m_layers(parts.layers)
    , m_row(row)
{
    setText(QApplication::translate("QApplication", "Layer down"));
}

// The list model's moves are in row order: the current row follows the layer.
void MCommandLayerDown::redoStep()
{
    makeCurrent();
    m_layers->moveUp(m_row);
}

void MCommandLayerDown::undoStep()
{
    makeCurrent();
    if (m_row > 0 && m_row < m_layers->count())
        m_layers->moveDown(m_row - 1);
}
