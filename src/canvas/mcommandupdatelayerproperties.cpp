#include "mcommandupdatelayerproperties.h"

#include "mdocumentparts.h"
#include "mlayerstack.h"
#include "mtexturelayer.h"

#include <QApplication>

MCommandUpdateLayerProperties::MCommandUpdateLayerProperties(const MDocumentParts &parts, int row,
                                                             const Values &before, const Values &after,
                                                             QUndoCommand *parent)
    : MCommand(parts.history, parent)
    , m_layers(parts.layers)
    , m_row(row)
    , m_beforeValues(before)
    , m_afterValues(after)
{
    setText(QApplication::translate("QApplication", "Layer property change"));
}

void MCommandUpdateLayerProperties::redoStep()
{
    apply(m_afterValues);
}

void MCommandUpdateLayerProperties::undoStep()
{
    apply(m_beforeValues);
}

void MCommandUpdateLayerProperties::apply(const Values &values)
{
    MTextureLayer *layer = m_layers->at(m_row);
    if (!layer)
        return;
    for (auto it = m_beforeValues.cbegin(); it != m_beforeValues.cend(); ++it)
        layer->setProperty(it.key().constData(), values.value(it.key()));
    emit m_layers->pixelsChanged();
}
