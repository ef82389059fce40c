#include "mlistmodelbase.h"

#include "mtablemodel.h"

#include <QMimeData>

MListModelBase::MListModelBase(QObject *parent)
    : QAbstractListModel(parent)
    , m_mimeType(QStringLiteral("application/vnd.vantorel"))
{
    const QMetaObject *self = &MListModelBase::staticMetaObject;
    m_onItemPropertyChanged = self->method(self->indexOfSlot("onItemPropertyChanged()"));
}

int MListModelBase::rowCount(const QModelIndex &) const
{
    return count();
}

QStringList MListModelBase::mimeTypes() const
{
    return {m_mimeType};
}

QMimeData *MListModelBase::mimeData(const QModelIndexList &indexes) const
{
    if (indexes.isEmpty())
        return nullptr;
    return rowMimeData(m_mimeType, indexes.first().row());
}

Qt::ItemFlags MListModelBase::flags(const QModelIndex &index) const
{
    return rowFlags(index);
}

void MListModelBase::setCurrentRow(int row)
{
    m_previousRow = m_currentRow;
    m_currentRow = isValidRow(row) ? row : -1;
    emit currentRowChanged(m_currentRow);
}
