#include "mlayerlistmodel.h"

#include "mlayerstack.h"
#include "mtablemodel.h"
#include "mtexturelayer.h"

MLayerListModel::MLayerListModel(MLayerStack *stack, QObject *parent)
    : MListModelBase(MTextureLayer::staticMetaObject, parent)
    , m_stack(stack)
{
    m_currentRow = stack->currentRow();
    connectLayers(0, stack->count() - 1, true);
    connect(stack, &MLayerStack::layerAboutToBeInserted, this,
            [this](int row) { beginInsertRows(QModelIndex(), row, row); });
    connect(stack, &MLayerStack::layerInserted, this, [this](int row) {
        connectLayers(row, row, true);
        endInsertRows();
    });
    connect(stack, &MLayerStack::layersAboutToBeRemoved, this, [this](int first, int last) {
        beginRemoveRows(QModelIndex(), first, last);
        connectLayers(first, last, false);
    });
    connect(stack, &MLayerStack::layersRemoved, this, [this] { endRemoveRows(); });
    connect(stack, &MLayerStack::layerAboutToMoveDownward, this,
            [this](int row) { beginMoveRows(QModelIndex(), row, row, QModelIndex(), row - 1); });
    connect(stack, &MLayerStack::layerMovedDownward, this, [this] { endMoveRows(); });
    connect(stack, &MLayerStack::aboutToBeReset, this, [this] { beginResetModel(); });
    // Layers that went during the reset were disconnected as they were
    // deleted; the ones there now may be new.
    connect(stack, &MLayerStack::wasReset, this, [this] {
        connectLayers(0, m_stack->count() - 1, true);
        endResetModel();
    });
    connect(stack, &MLayerStack::currentRowChanged, this, [this](int row) {
        m_previousRow = m_currentRow;
        m_currentRow = row;
        emit currentRowChanged(row);
    });
    connect(stack, &MLayerStack::countChanged, this, &MListModelBase::countChanged);
}

int MLayerListModel::count() const
{
    return m_stack->count();
}

void MLayerListModel::setCurrentRow(int row)
{
    m_stack->setCurrentRow(row);
}

QObject *MLayerListModel::objectAt(int row) const
{
    return m_stack->at(row);
}

int MLayerListModel::rowOfObject(const QObject *object) const
{
    return m_stack->indexOf(qobject_cast<MTextureLayer *>(const_cast<QObject *>(object)));
}

void MLayerListModel::connectLayers(int first, int last, bool connected)
{
    for (int row = first; row <= last; ++row)
        setNotifySignalsConnected(m_stack->at(row), this, m_onItemPropertyChanged, connected);
}
