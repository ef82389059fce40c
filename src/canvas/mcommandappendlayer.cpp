#include "mcommandappendlayer.h"

#include "mdocumentparts.h"
#include "mlayerstack.h"
#include "mtexturelayer.h"

#include <QApplication>

MCommandAppendLayer::MCommandAppendLayer(const MDocumentParts &parts, QUndoCommand *parent)
    : MCommand(parts.history, parent)
    , m_layers(parts.layers)
{
    setText(QApplication::translate("QApplication", "Append a layer"));
}

void MCommandAppendLayer::redoStep()
{
    makeCurrent();
    auto *layer = new MTextureLayer;
    m_layers->insertAt(m_layers->count(), layer);
    layer->setName(m_layers->newLayerName());
}

void MCommandAppendLayer::undoStep()
{
    makeCurrent();
    m_layers->removeAt(m_layers->count() - 1);
}
