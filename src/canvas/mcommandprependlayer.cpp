#include "mcommandprependlayer.h"

#include "mcanvas.h"

#include <QApplication>

MCommandPrependLayer::MCommandPrependLayer(MCanvas *canvas, QUndoCommand *parent)
    : MCommand(canvas, parent)
{
    setText(QApplication::translate("QApplication", "Prepend a layer"));
    push();
}

void MCommandPrependLayer::redoStep()
{
    makeCurrent();
    MTextureLayer *layer = m_canvas->prependNew();
    layer->setName(m_canvas->newLayerName());
}

void MCommandPrependLayer::undoStep()
{
    makeCurrent();
    m_canvas->removeAt(0);
}
