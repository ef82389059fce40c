#include "mcommandupdatelayerproperties.h"

#include "mcanvas.h"

#include <QApplication>

MCommandUpdateLayerProperties::MCommandUpdateLayerProperties(MCanvas *canvas, int row, const Values &before,
                                                             const Values &after, QUndoCommand *parent)
    : MCommand(canvas, parent)
    , m_row(row)
    , m_beforeValues(before)
    , m_afterValues(after)
{
    setText(QApplication::translate("QApplication", "Layer property change"));
    push();
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
    MTextureLayer *layer = m_canvas->at(m_row);
    if (!layer)
        return;
    for (auto it = m_beforeValues.cbegin(); it != m_beforeValues.cend(); ++it)
        layer->setProperty(it.key().constData(), values.value(it.key()));
    m_canvas->refresh();
}
