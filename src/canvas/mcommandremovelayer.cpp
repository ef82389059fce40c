#include "mcommandremovelayer.h"

#include "mcanvas.h"
#include "mlayer.h"
#include "mlayerfile.h"
#include "mlogger.h"
#include "mundostream.h"

#include <QApplication>
#include <QFileInfo>

MCommandRemoveLayer::MCommandRemoveLayer(MCanvas *canvas, int row, QUndoCommand *parent)
    : MCommand(canvas, parent)
    , m_row(row)
{
    setText(QApplication::translate("QApplication", "Remove layer"));
    MTextureLayer *layer = canvas->at(row);
    if (!layer) {
        MLogger::instance()->systemError(QStringLiteral("Unable to remove layer: no layer at row %1").arg(row));
        discard();
        return;
    }
    makeCurrent();
    m_storedId = MLayerFile::park(layer);
    if (!m_storedId.isEmpty()) {
        m_properties.reset(new MLayer());
        m_properties->copyProperties(layer);
        canvas->undoStream()->registerId(m_storedId);
    } else {
        m_keepInMemory = true;
        MLogger::instance()->systemError(
            QStringLiteral("Unable to park layer \"%1\" on disk: it is kept in memory").arg(layer->name()));
    }
    push();
}

MCommandRemoveLayer::~MCommandRemoveLayer()
{
    if (m_heldLayer) {
        // Its textures belong to the document's context.
        m_canvas->makeCurrent();
        m_heldLayer->clear();
        delete m_heldLayer;
    }
    if (!m_storedId.isEmpty())
        m_canvas->undoStream()->unregisterId(m_storedId);
}

void MCommandRemoveLayer::redoStep()
{
    if (m_discarded || m_removed || !m_canvas->at(m_row))
        return;
    makeCurrent();
    if (m_keepInMemory)
        m_heldLayer = m_canvas->takeAt(m_row);
    else
        m_canvas->removeAt(m_row);
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
        layer = m_canvas->createLayer();
        if (!MLayerFile::unpark(m_storedId, layer)) {
            MLogger::instance()->systemError(QStringLiteral("Unable to restore layer %1").arg(m_storedId));
            layer->clear();
            delete layer;
            restoreFailed(true);
            return;
        }
        layer->copyProperties(m_properties.get());
    }
    m_canvas->insertAt(m_row, layer);
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
