#include "mcommandremovelayer.h"

#include "mdocumentparts.h"
#include "mlayer.h"
#include "mlayerfile.h"
#include "mlayerstack.h"
#include "mlogger.h"
#include "mtexturelayer.h"
#include "mundohistory.h"
#include "mundostream.h"

#include <QApplication>
#include <QFileInfo>

MCommandRemoveLayer::MCommandRemoveLayer(const MDocumentParts &parts, int row, QUndoCommand *parent)
    : MCommand(parts.history, parent)
    , m_layers(parts.layers)
    , m_row(row)
{
    setText(QApplication::translate("QApplication", "Remove layer"));
}

bool MCommandRemoveLayer::firstStep()
{
    MTextureLayer *layer = m_layers->at(m_row);
    if (!layer) {
        MLogger::instance()->systemError(QStringLiteral("Unable to remove layer: no layer at row %1").arg(m_row));
        return false;
    }
    makeCurrent();
    m_storedId = MLayerFile::park(layer);
    if (!m_storedId.isEmpty()) {
        m_properties.reset(new MLayer());
        m_properties->copyProperties(layer);
        m_history->stream()->registerId(m_storedId);
    } else {
        m_keepInMemory = true;
        MLogger::instance()->systemError(
            QStringLiteral("Unable to park layer \"%1\" on disk: it is kept in memory").arg(layer->name()));
    }
    redoStep();
    return true;
}

MCommandRemoveLayer::~MCommandRemoveLayer()
{
    if (m_heldLayer) {
        // Its textures belong to the document's context.
        m_history->prepareRun();
        m_heldLayer->clear();
        delete m_heldLayer;
    }
    if (!m_storedId.isEmpty())
        m_history->stream()->unregisterId(m_storedId);
}

void MCommandRemoveLayer::redoStep()
{
    if (m_removed || !m_layers->at(m_row))
        return;
    makeCurrent();
    if (m_keepInMemory)
        m_heldLayer = m_layers->takeAt(m_row);
    else
        m_layers->removeAt(m_row);
    m_removed = true;
}

void MCommandRemoveLayer::undoStep()
{
    if (!m_removed)
        return;
    makeCurrent();
    MTextureLayer *layer = m_heldLayer;
    m_heldLayer = nullptr;
    if (!layer) {
        layer = new MTextureLayer;
        if (!MLayerFile::unpark(m_storedId, layer)) {
            MLogger::instance()->systemError(QStringLiteral("Unable to restore layer %1").arg(m_storedId));
            layer->clear();
            delete layer;
            restoreFailed(true);
            return;
        }
        layer->copyProperties(m_properties.get());
    }
    m_layers->insertAt(m_row, layer);
    m_removed = false;
}

bool MCommandRemoveLayer::canRestore(bool undoing) const
{
    if (!undoing || !m_removed || m_keepInMemory)
        return true;
    const QFileInfo parked(MUndoStream::fileName(m_storedId));
    if (!m_storedId.isEmpty() && parked.isFile() && parked.size() > 0)
        return true;
    MLogger::instance()->systemError(
        QStringLiteral("Unable to restore layer %1: its parked file %2 is gone").arg(m_storedId, parked.filePath()));
    return false;
}
