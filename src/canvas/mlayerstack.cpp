#include "mlayerstack.h"

#include "mdocumentdescription.h"
#include "mtexturelayer.h"

MLayerStack::MLayerStack(QObject *parent)
    : QObject(parent)
{
}

MLayerStack::~MLayerStack()
{
    qDeleteAll(m_layers);
    m_layers.clear();
}

void MLayerStack::insertAt(int row, MTextureLayer *layer)
{
    if (!layer || m_layers.contains(layer))
        return;
    row = qBound(0, row, m_layers.size());
    emit layerAboutToBeInserted(row);
    m_layers.insert(row, layer);
    emit layerInserted(row);
    setCurrentRow(row);
    emit countChanged(m_layers.size());
}

void MLayerStack::removeAt(int row)
{
    detachAt(row, true);
}

MTextureLayer *MLayerStack::takeAt(int row)
{
    return detachAt(row, false);
}

MTextureLayer *MLayerStack::detachAt(int row, bool destroy)
{
    if (!isValidRow(row))
        return nullptr;
    emit layersAboutToBeRemoved(row, row);
    MTextureLayer *layer = m_layers.takeAt(row);
    if (destroy) {
        layer->clear();
        delete layer;
        layer = nullptr;
    }
    emit layersRemoved(row, row);
    if (m_layers.isEmpty()) {
        setCurrentRow(-1);
    } else {
        const int remembered = m_currentRow;
        setCurrentRow(-1);
        setCurrentRow(qMin(remembered, m_layers.size() - 1));
    }
    emit countChanged(m_layers.size());
    return layer;
}

void MLayerStack::moveUp(int row)
{
    if (row < 1 || row >= m_layers.size())
        return;
    emit layerAboutToMoveDownward(row);
    m_layers.swapItemsAt(row - 1, row);
    emit layerMovedDownward(row);
    setCurrentRow(row - 1);
}

void MLayerStack::moveDown(int row)
{
    if (row < 0 || row >= m_layers.size() - 1)
        return;
    moveUp(row + 1);
    setCurrentRow(row + 1);
}

void MLayerStack::clear()
{
    if (!m_layers.isEmpty()) {
        emit layersAboutToBeRemoved(0, m_layers.size() - 1);
        const QList<MTextureLayer *> layers = m_layers;
        m_layers.clear();
        for (MTextureLayer *layer : layers)
            layer->clear();
        qDeleteAll(layers);
        emit layersRemoved(0, layers.size() - 1);
    }
    setCurrentRow(-1);
    emit countChanged(0);
}

void MLayerStack::beginReset()
{
    emit aboutToBeReset();
    m_wasBlocked = blockSignals(true);
}

void MLayerStack::endReset()
{
    blockSignals(m_wasBlocked);
    emit wasReset();
    emit currentRowChanged(m_currentRow);
}

QString MLayerStack::newLayerName() const
{
    return tr("Layer %1").arg(count());
}

bool MLayerStack::roomForLayer()
{
    // More would make a file no one could open again.
    if (count() < MDocumentDescription::MaximumLayers)
        return true;
    emit layerLimitReached();
    return false;
}

bool MLayerStack::currentLayerEditable() const
{
    const MTextureLayer *layer = current();
    return layer && layer->visible() && !layer->locked();
}

void MLayerStack::setCurrentRow(int row)
{
    m_previousRow = m_currentRow;
    m_currentRow = isValidRow(row) ? row : -1;
    emit currentRowChanged(m_currentRow);
}
