#pragma once

#include "mcommand.h"

#include <QString>

#include <memory>

class MLayer;
class MLayerStack;
class MTextureLayer;
struct MDocumentParts;

// Removes the layer at row. The layer is parked in the cache folder when the
// command first runs, so that redo can delete it and undo read it back at the
// same row; the properties the file does not hold (mask, colour, eraser
// mode, effect values) are kept aside. When it cannot be parked (a full disk) the command keeps the
// layer object itself while it is out of the document instead. A parked file
// that is gone or cannot be read brings nothing back: the undo is refused
// rather than giving back an empty layer.
class MCommandRemoveLayer : public MCommand
{
public:
    MCommandRemoveLayer(const MDocumentParts &parts, int row, QUndoCommand *parent = nullptr);
    ~MCommandRemoveLayer() override;

    void undoStep() override;
    void redoStep() override;

    QString storedId() const { return m_storedId; }
    bool keepsLayerInMemory() const { return m_keepInMemory; }

protected:
    bool firstStep() override;
    bool canRestore(bool undoing) const override;

private:
    MLayerStack *m_layers;
    int m_row;
    QString m_storedId;
    bool m_keepInMemory = false;
    bool m_removed = false;
    MTextureLayer *m_heldLayer = nullptr;   // owned while out of the document
    std::unique_ptr<MLayer> m_properties;
};
