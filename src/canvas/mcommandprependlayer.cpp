#include "mcommandprependlayer.h"

#include "mdocumentparts.h"
#include "mlayerstack.h"
#include "mtexturelayer.h"

#include <QApplication>

MCommandPrependLayer::MCommandPrependLayer(const MDocumentParts &parts, QUndoCommand *parent)
    : MCommand(parts.history, parent)
    , m_layers(parts.layers)
{
    setText(QApplication::translate("QApplication", "Prepend a layer"));
}

void MCommandPrependLayer::redoStep()
{
    makeCurrent();
    auto *layer = new MTextureLayer;
    m_layers->insertAt(0, layer);
    layer->setName(m_layers->newLayerName());
}

void MCommandPrependLayer::undoStep()
{
    makeCurrent();
    m_layers->removeAt(0);
}
