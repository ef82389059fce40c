#include "mcommandlayershader.h"

#include "mcanvas.h"
#include "mtexturelayer.h"

#include <QApplication>

MCommandLayerShader::MCommandLayerShader(MCanvas *canvas, int row, const MShaderObject::ShaderState &before,
                                         const MShaderObject::ShaderState &after, QUndoCommand *parent)
    : MCommand(canvas, parent)
    , m_row(row)
    , m_before(before)
    , m_after(after)
{
    setText(QApplication::translate("QApplication", "Layer property change"));
    push();
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
    MTextureLayer *layer = m_canvas->at(m_row);
    if (!layer)
        return;
    layer->setShaderState(state);
    m_canvas->refresh();
}
