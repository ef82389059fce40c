#include "mcommandinsertlayer.h"

#include "mdocumentparts.h"
#include "mlayerstack.h"
#include "mtexturelayer.h"

#include <QApplication>

MCommandInsertLayer::MCommandInsertLayer(const MDocumentParts &parts, int row, const QString &text,
                                         QUndoCommand *parent)
    : MCommand(parts.history, parent)
    , m_layers(parts.layers)
    , m_row(row)
{
    setText(text);
}

MCommandInsertLayer *MCommandInsertLayer::append(const MDocumentParts &parts, QUndoCommand *parent)
{
    return new MCommandInsertLayer(parts, parts.layers->count(),
                                   QApplication::translate("QApplication", "Append a layer"), parent);
}

MCommandInsertLayer *MCommandInsertLayer::prepend(const MDocumentParts &parts, QUndoCommand *parent)
{
    return new MCommandInsertLayer(parts, 0, QApplication::translate("QApplication", "Prepend a layer"), parent);
}

void MCommandInsertLayer::redoStep()
{
    makeCurrent();
    auto *layer = new MTextureLayer;
    m_layers->insertAt(m_row, layer);
    // Named once in the stack, after the layers it counts.
    layer->setName(m_layers->newLayerName());
}

void MCommandInsertLayer::undoStep()
{
    makeCurrent();
    m_layers->removeAt(m_row);
}
