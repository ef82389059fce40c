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

void MCommandLayerDown::redoStep()
{
    makeCurrent();
    m_canvas->moveDown(m_row);
}

void MCommandLayerDown::undoStep()
{
    redo();
}
