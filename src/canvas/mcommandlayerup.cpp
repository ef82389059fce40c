#include "mcommandlayerup.h"

#include "mcanvas.h"

#include <QApplication>

MCommandLayerUp::MCommandLayerUp(MCanvas *canvas, int row, QUndoCommand *parent)
    : MCommand(canvas, parent)
    , m_row(row)
{
    setText(QApplication::translate("QApplication", "Layer up"));
    push();
}

// The list model's moves are in row order: the current row follows the layer.
void MCommandLayerUp::redoStep()
{
    makeCurrent();
    m_canvas->moveDown(m_row);
}

void MCommandLayerUp::undoStep()
{
    makeCurrent();
    if (m_row >= 0 && m_row + 1 < m_canvas->count())
        m_canvas->moveUp(m_row + 1);
}
