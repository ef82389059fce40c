#include "mcommandlayershader.h"

#include "mdocumentparts.h"
#include "mlayerstack.h"
#include "mtexturelayer.h"

#include <QApplication>

MCommandLayerShader::MCommandLayerShader(const MDocumentParts &parts, int row, const MShaderObject::ShaderState &before,
                                         const MShaderObject::ShaderState &after, QUndoCommand *parent)
    : MCommand(parts.history, parent)
    , m_layers(parts.layers)
    , m_row(row)
    , m_before(before)
    , m_after(after)
{
    setText(QApplication::translate("QApplication", "Layer property change"));
}

void MCommandLayerShader::redoStep()
{
    apply(m_after);
}

void MCommandLayerShader::undoStep()
{
    apply(m_before);
}

void MCommandLayerShader::apply(const MShaderObject::ShaderState &state)
{
    MTextureLayer *layer = m_layers->at(m_row);
    if (!layer)
        return;
    layer->setShaderState(state);
    emit m_layers->pixelsChanged();
}
