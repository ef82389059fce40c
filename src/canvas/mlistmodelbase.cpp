#include "mlistmodelbase.h"

#include "mtablemodel.h"

#include <QMetaProperty>
#include <QMimeData>

MListModelBase::MListModelBase(const QMetaObject &itemMetaObject, QObject *parent)
    : QAbstractListModel(parent)
    , m_mimeType(QStringLiteral("application/vnd.vantorel"))
    , m_itemMetaObject(itemMetaObject)
{
    const QMetaObject *self = &MListModelBase::staticMetaObject;
    m_onItemPropertyChanged = self->method(self->indexOfSlot("onItemPropertyChanged()"));
    for (int i = 0; i < m_itemMetaObject.propertyCount(); ++i) {
        const QMetaProperty property = m_itemMetaObject.property(i);
        const int role = roleOfPropertyIndex(i);
        m_roleNames.insert(role, property.name());
        // Properties sharing one notify signal: the first one is announced.
        if (property.hasNotifySignal() && !m_notifyRoles.contains(property.notifySignalIndex()))
            m_notifyRoles.insert(property.notifySignalIndex(), role);
    }
}

int MListModelBase::roleOfProperty(const QByteArray &name) const
{
    const int index = m_itemMetaObject.indexOfProperty(name.constData());
    return index < 0 ? -1 : roleOfPropertyIndex(index);
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

QVariant MListModelBase::data(const QModelIndex &index, int role) const
{
    const QByteArray name = m_roleNames.value(role);
    const QObject *item = index.isValid() ? objectAt(index.row()) : nullptr;
    if (name.isEmpty() || !item)
        return QVariant();
    return item->property(name.constData());
}

bool MListModelBase::setData(const QModelIndex &index, const QVariant &value, int role)
{
    const QByteArray name = m_roleNames.value(role);
    QObject *item = index.isValid() ? objectAt(index.row()) : nullptr;
    if (name.isEmpty() || !item)
        return false;
    return item->setProperty(name.constData(), value);
}

void MListModelBase::setCurrentRow(int row)
{
    m_previousRow = m_currentRow;
    m_currentRow = isValidRow(row) ? row : -1;
    emit currentRowChanged(m_currentRow);
}

void MListModelBase::onItemPropertyChanged()
{
    const QObject *item = sender();
    const int row = item ? rowOfObject(item) : -1;
    const int role = m_notifyRoles.value(senderSignalIndex(), -1);
    if (row < 0 || role < 0)
        return;
    const QModelIndex changed = index(row);
    emit dataChanged(changed, changed, {role});
}
