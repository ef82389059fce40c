#include "mcommandlayerup.h"

#include "mdocumentparts.h"
#include "mlayerstack.h"

#include <QApplication>

MCommandLayerUp::MCommandLayerUp(const MDocumentParts &parts, int row, QUndoCommand *parent)
    : MCommand(parts.history, parent)
    , m_layers(parts.layers)
    , m_row(row)
{
    setText(QApplication::translate("QApplication", "Layer up"));
}

// The list model's moves are in row order: the current row follows the layer.
void MCommandLayerUp::redoStep()
{
    makeCurrent();
    m_layers->moveDown(m_row);
}

void MCommandLayerUp::undoStep()
{
    makeCurrent();
    if (m_row >= 0 && m_row + 1 < m_layers->count())
        m_layers->moveUp(m_row + 1);
}
