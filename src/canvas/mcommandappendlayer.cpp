#include "mcommandappendlayer.h"

#include "mcanvas.h"

#include <QApplication>

MCommandAppendLayer::MCommandAppendLayer(MCanvas *canvas, QUndoCommand *parent)
    : MCommand(canvas, parent)
{
    setText(QApplication::translate("QApplication", "Append a layer"));
    push();
}

void MCommandAppendLayer::redoStep()
{
    makeCurrent();
    MTextureLayer *layer = m_canvas->appendNew();
    layer->setName(m_canvas->newLayerName());
}

void MCommandAppendLayer::undoStep()
{
    makeCurrent();
    m_canvas->removeAt(m_canvas->count() - 1);
}
