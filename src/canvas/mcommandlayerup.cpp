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

void MCommandLayerUp::redoStep()
{
    makeCurrent();
    m_canvas->moveUp(m_row);
}

void MCommandLayerUp::undoStep()
{
    redo();
}
