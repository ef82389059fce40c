#pragma once

#include "mcommand.h"

#include <QByteArray>
#include <QHash>
#include <QVariant>

class MLayerStack;
struct MDocumentParts;

// Sets properties of the layer at row by name: redo the values after the
// change, undo those before it. The keys of the values before name the
// properties; one missing from the values after is set to an invalid value.
class MCommandUpdateLayerProperties : public MCommand
{
public:
    using Values = QHash<QByteArray, QVariant>;

    MCommandUpdateLayerProperties(const MDocumentParts &parts, int row, const Values &before, const Values &after,
                                  QUndoCommand *parent = nullptr);

    void undoStep() override;
    void redoStep() override;

private:
    void apply(const Values &values);

    MLayerStack *m_layers;
    int m_row;
    Values m_beforeValues;
    Values m_afterValues;
};
