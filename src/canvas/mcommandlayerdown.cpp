#include "mcommandlayerdown.h"

#include "mcanvas.h"

#include <QApplication>

MCommandLayerDown::MCommandLayerDown(MCanvas *canvas, int row, QUndoCommand *parent)
    : MCommand(canvas, parent)
    , m_row(row)
{
    setText(QApplication::translate("QApplication", "Layer down"));
    push();
}

// The list model's moves are in row order: the current row follows the layer.
void MCommandLayerDown::redoStep()
{
    makeCurrent();
    m_canvas->moveUp(m_row);
}

void MCommandLayerDown::undoStep()
{
    makeCurrent();
    if (m_row > 0 && m_row < m_canvas->count())
        m_canvas->moveDown(m_row - 1);
}
