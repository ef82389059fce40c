#include "mtablemodel.h"

#include "mfield.h"
#include "mlogger.h"
#include "mregularfile.h"
#include "mutility.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QFile>
#include <QHeaderView>
#include <QJsonDocument>
#include <QMetaProperty>
#include <QMimeData>
#include <QTableView>

#include <cmath>

namespace {
void logSystemError(const QString &message)
{
    *MLogger::instance() << QStringLiteral("System error: %1").arg(message);
}
} // namespace

MTableModel::MTableModel(QObject *parent)
    : QAbstractTableModel(parent)
    , m_mimeType(QStringLiteral("application/vnd.vantorel"))
    , m_itemMetaObject(QObject::staticMetaObject)
    , m_idProperty("id")
{
    const QMetaObject *self = metaObject();
    m_onItemPropertyChanged = self->method(self->indexOfSlot("onItemPropertyChanged()"));
}

MTableModel::~MTableModel()
{
    qDeleteAll(m_items);
    qDeleteAll(m_columns);
}

void MTableModel::setMetaObject(const QMetaObject &metaObject)
{
    m_itemMetaObject = metaObject;
    qDeleteAll(m_columns);
    m_columns.clear();
    m_columnsByName.clear();
    m_roleNames.clear();
    for (int i = 0; i < metaObject.propertyCount(); ++i) {
        const QMetaProperty property = metaObject.property(i);
        const QByteArray name = property.name();
        m_roleNames.insert(Qt::UserRole + i, name);
        auto *field = new MField;
        field->setName(name);
        field->setType(property.userType());
        field->setIndex(i);
        field->setLabel(QCoreApplication::translate("Property", name.constData()));
        m_columns.append(field);
        m_columnsByName.insert(name, field);
    }
}

int MTableModel::rowCount(const QModelIndex &) const
{
    return m_items.size();
}

int MTableModel::columnCount(const QModelIndex &) const
{
    return m_roleNames.size();
}

QVariant MTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return QVariant();
    const QObject *object = item(index.row());
    const MField *field = m_columns.value(index.column());
    if (!object || !field)
        return QVariant();
    return field->valueText(object->property(field->name().constData()), role);
}

bool MTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || !isValidRow(index.row()))
        return false;
    QObject *object = m_items.at(index.row());
    const MField *field = m_columns.value(index.column());
    if (!object || !field)
        return false;
    // A value the property cannot take is refused, not reported as written.
    if (!object->setProperty(field->name().constData(), value))
        return false;
    emit propertyChanged(index.row(), object, field->name(), value);
    emit dataChanged(index, index);
    return true;
}

QVariant MTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < m_columns.size())
        return m_columns.at(section)->label();
    return QVariant();
}

Qt::ItemFlags MTableModel::flags(const QModelIndex &index) const
{
    return rowFlags(index);
}

QStringList MTableModel::mimeTypes() const
{
    return {m_mimeType};
}

QMimeData *MTableModel::mimeData(const QModelIndexList &indexes) const
{
    if (indexes.isEmpty())
        return nullptr;
    return rowMimeData(m_mimeType, indexes.first().row());
}

QHash<int, QByteArray> MTableModel::roleNames() const
{
    return m_roleNames;
}

void MTableModel::insertRow(int row, QObject *item)
{
    row = qBound(0, row, m_items.size());
    beginInsertRows(QModelIndex(), row, row);
    m_items.insert(row, item);
    registerItem(item);
    endInsertRows();
    m_previousRow = m_currentRow;
    m_currentRow = row;
    emit currentRowChanged(row);
    itemAdded(item);
    emit countChanged(m_items.size());
}

void MTableModel::insert(int row, QObject *item)
{
    insertRow(row, item);
}

void MTableModel::append(QObject *item)
{
    insertRow(m_items.size(), item);
}

void MTableModel::prepend(QObject *item)
{
    insert(0, item);
}

void MTableModel::addItem(QObject *item)
{
    m_items.append(item);
    registerItem(item);
    itemAdded(item);
}

void MTableModel::itemAdded(QObject *)
{
}

void MTableModel::itemRemoved(QObject *)
{
}

void MTableModel::removeAt(int row)
{
    if (!isValidRow(row))
        return;
    beginRemoveRows(QModelIndex(), row, row);
    QObject *object = m_items.at(row);
    unregisterItem(object);
    itemRemoved(object);
    m_items.removeAt(row);
    endRemoveRows();
    const int newRow = m_items.isEmpty() ? -1 : qMin(m_currentRow, m_items.size() - 1);
    m_previousRow = m_currentRow;
    m_currentRow = newRow;
    emit currentRowChanged(newRow);
    emit countChanged(m_items.size());
    if (object)
        object->deleteLater();
}

void MTableModel::clear()
{
    if (!m_items.isEmpty()) {
        beginRemoveRows(QModelIndex(), 0, m_items.size() - 1);
        for (QObject *object : qAsConst(m_items))
            setNotifySignalsConnected(object, this, m_onItemPropertyChanged, false);
        qDeleteAll(m_items);
        m_items.clear();
        m_idIndex.clear();
        m_keyOfItem.clear();
        endRemoveRows();
    }
    m_previousRow = m_currentRow;
    m_currentRow = -1;
    emit currentRowChanged(-1);
    emit countChanged(0);
}

void MTableModel::setCurrentRow(int row)
{
    if (!isValidRow(row))
        row = -1;
    m_previousRow = m_currentRow;
    m_currentRow = row;
    emit currentRowChanged(row);
}

QObject *MTableModel::currentItem() const
{
    return item(m_currentRow);
}

QObject *MTableModel::item(int row) const
{
    QObject *object = isValidRow(row) ? m_items.at(row) : nullptr;
    return object ? object : m_defaultItem;
}

QObject *MTableModel::findById(const QString &id) const
{
    return m_idIndex.value(id.trimmed().toUpper(), m_defaultItem);
}

bool MTableModel::loadJson(const QString &path)
{
    QJsonArray array;
    return readJsonArrayFile(path, array) && loadArray(array);
}

bool MTableModel::loadJsonData(const QByteArray &bytes, const QString &origin)
{
    QJsonArray array;
    return readJsonArray(bytes, origin, array) && loadArray(array);
}

bool MTableModel::loadArray(const QJsonArray &array)
{
    QList<QObject *> loaded;
    for (const QJsonValue &value : qAsConst(array)) {
        QObject *object = createItem();
        if (!object)
            continue;
        jsonToObject(value.toObject(), object);
        loaded.append(object);
    }
    if (loaded.isEmpty())
        return false;
    clear();
    beginInsertRows(QModelIndex(), 0, loaded.size() - 1);
    for (QObject *object : qAsConst(loaded))
        addItem(object);
    endInsertRows();
    m_previousRow = m_currentRow;
    m_currentRow = 0;
    emit currentRowChanged(0);
    emit countChanged(m_items.size());
    return true;
}

bool MTableModel::arrangeItems(const QList<QObject *> &items)
{
    if (items.size() != m_items.size())
        return false;
    QHash<QObject *, int> newRows;
    for (int row = 0; row < items.size(); ++row)
        newRows.insert(items.at(row), row);
    if (newRows.size() != items.size())
        return false;
    for (QObject *object : qAsConst(m_items)) {
        if (!newRows.contains(object))
            return false;
    }
    emit layoutAboutToBeChanged();
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex &old : before)
        after.append(index(newRows.value(m_items.value(old.row()), -1), old.column()));
    m_items = items;
    changePersistentIndexList(before, after);
    emit layoutChanged();
    return true;
}

// ---------------------------------------------------------------- item registration

QString MTableModel::idKey(QObject *item) const
{
    return item->property(m_idProperty.constData()).toString().trimmed().toUpper();
}

void MTableModel::indexId(QObject *item)
{
    if (m_idProperty.isEmpty() || item->metaObject()->indexOfProperty(m_idProperty.constData()) < 0)
        return;
    const QString key = idKey(item);
    m_keyOfItem.insert(item, key);
    if (!m_idIndex.contains(key))
        m_idIndex.insert(key, item);
}

// The key leaves the index only when it points to this item, and passes to the
// next row that has the same id, so that every item still held stays findable.
// The key recorded at registration is used: the id may have changed since.
void MTableModel::unindexId(QObject *item)
{
    const auto found = m_keyOfItem.constFind(item);
    if (found == m_keyOfItem.constEnd())
        return;
    const QString key = found.value();
    m_keyOfItem.erase(found);
    if (m_idIndex.value(key) != item)
        return;
    m_idIndex.remove(key);
    for (QObject *other : qAsConst(m_items)) {
        if (other && other != item && m_keyOfItem.contains(other) && m_keyOfItem.value(other) == key) {
            m_idIndex.insert(key, other);
            break;
        }
    }
}

void MTableModel::registerItem(QObject *item)
{
    if (!item)
        return;
    indexId(item);
    setNotifySignalsConnected(item, this, m_onItemPropertyChanged, true);
}

void MTableModel::unregisterItem(QObject *item)
{
    if (!item)
        return;
    unindexId(item);
    setNotifySignalsConnected(item, this, m_onItemPropertyChanged, false);
}

void MTableModel::onItemPropertyChanged()
{
    QObject *object = sender();
    const int row = m_items.indexOf(object);
    const int signalIndex = senderSignalIndex();
    if (!object || row < 0 || signalIndex < 0)
        return;
    const QMetaObject *meta = object->metaObject();
    const QByteArray signalName = meta->method(signalIndex).name();
    int column = -1;
    for (int i = 0; i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        if (property.hasNotifySignal() && property.notifySignal().name() == signalName) {
            column = i;
            break;
        }
    }
    if (column < 0 || column >= m_columns.size())
        return;
    if (m_columns.at(column)->name() == m_idProperty) {
        unindexId(object);
        indexId(object);
    }
    const QModelIndex changed = index(row, column);
    emit propertyChanged(row, object, m_columns.at(column)->name(), data(changed, Qt::EditRole));
    emit dataChanged(changed, changed);
}

// ---------------------------------------------------------------- views

void MTableModel::setupView(QTableView *view, const QList<QByteArray> &names)
{
    if (!view)
        return;
    view->resizeColumnsToContents();
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSortingEnabled(true);
    view->setAlternatingRowColors(true);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    QHeaderView *header = view->horizontalHeader();
    header->setSectionsMovable(true);
    for (int column = 0; column < m_itemMetaObject.propertyCount(); ++column)
        view->setColumnHidden(column, true);
    int position = 0;
    for (const QByteArray &name : names) {
        const int column = m_itemMetaObject.indexOfProperty(name.constData());
        if (column < 0)
            continue;
        view->setColumnHidden(column, false);
        header->swapSections(header->visualIndex(column), position++);
    }
}

void MTableModel::setColumnWidth(QTableView *view, const QByteArray &name, int width)
{
    if (!view)
        return;
    for (int column = 0; column < m_columns.size(); ++column) {
        if (m_columns.at(column)->name() == name)
            view->setColumnWidth(column, width);
    }
}

void MTableModel::setRowHeight(QTableView *view, int height)
{
    if (!view)
        return;
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(height);
}

// ---------------------------------------------------------------- JSON and helpers

void jsonToObject(const QJsonObject &json, QObject *object)
{
    if (!object)
        return;
    const QMetaObject *meta = object->metaObject();
    const QVariantMap map = json.toVariantMap();
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        const int propertyIndex = meta->indexOfProperty(it.key().toUtf8().constData());
        if (propertyIndex < 0)
            continue;
        const QMetaProperty property = meta->property(propertyIndex);
        if (property.userType() == QMetaType::QVector3D) {
            property.write(object, QVariant::fromValue(stringToVector3D(it.value().toString())));
        } else if (property.userType() == QMetaType::Int) {
            const QJsonValue number = json.value(it.key());
            if (number.isDouble()) {
                // The framework wraps a number beyond an int into another one
                // (8888888888 into 298954296): the item keeps its own value.
                const int own = property.read(object).toInt();
                const double rounded = std::round(number.toDouble());
                const int value = MUtility::jsonWholeNumber(QJsonValue(rounded), own);
                if (value == own && rounded != own)
                    logSystemError(QStringLiteral("%1 %2 out of range, %3 kept").arg(it.key()).arg(number.toDouble()).arg(own));
                property.write(object, value);
                continue;
            }
            bool ok = false;
            const int value = it.value().toInt(&ok);
            if (ok)
                property.write(object, value);
        } else {
            property.write(object, it.value());
        }
    }
}

void objectToJson(QJsonObject &json, const QObject *object)
{
    QVariantMap map;
    if (object) {
        const QMetaObject *meta = object->metaObject();
        for (int i = 0; i < meta->propertyCount(); ++i) {
            const QMetaProperty property = meta->property(i);
            const QByteArray name = property.name();
            if (name == "objectName" || !property.isReadable())
                continue;
            const QVariant value = property.read(object);
            if (property.userType() == QMetaType::QVector3D)
                map.insert(QString::fromLatin1(name), vector3DToString(value.value<QVector3D>()));
            else
                map.insert(QString::fromLatin1(name), value);
        }
    }
    json = QJsonObject::fromVariantMap(map);
}

bool readJsonArrayFile(const QString &path, QJsonArray &array)
{
    MRegularFile file(path);
    if (!file.openForReading()) {
        logSystemError(QStringLiteral("Unable to open file %1: %2").arg(path, file.errorString()));
        return false;
    }
    return readJsonArray(file.readAll(), path, array);
}

bool readJsonArray(const QByteArray &bytes, const QString &origin, QJsonArray &array)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError) {
        logSystemError(QStringLiteral("Invalid JSON in %1 at offset %2: %3").arg(origin).arg(error.offset).arg(error.errorString()));
        return false;
    }
    if (!document.isArray()) {
        logSystemError(QStringLiteral("The file %1 does not hold a JSON array").arg(origin));
        return false;
    }
    array = document.array();
    return !array.isEmpty();
}

void setNotifySignalsConnected(QObject *item, QObject *receiver, const QMetaMethod &slot, bool connected)
{
    if (!item)
        return;
    const QMetaObject *meta = item->metaObject();
    for (int i = 0; i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        if (!property.hasNotifySignal())
            continue;
        if (connected)
            QObject::connect(item, property.notifySignal(), receiver, slot, Qt::UniqueConnection);
        else
            QObject::disconnect(item, property.notifySignal(), receiver, slot);
    }
}

QMimeData *rowMimeData(const QString &mimeType, int row)
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream << qint32(row);
    auto *mime = new QMimeData;
    mime->setData(mimeType, bytes);
    return mime;
}

Qt::ItemFlags rowFlags(const QModelIndex &index)
{
    if (!index.isValid())
        return Qt::ItemIsEnabled;
    return Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled
           | Qt::ItemIsUserCheckable | Qt::ItemIsEnabled;
}

QString vector3DToString(const QVector3D &v)
{
    return QStringLiteral("%1;%2;%3")
        .arg(QString::number(v.x(), 'g', 6), QString::number(v.y(), 'g', 6), QString::number(v.z(), 'g', 6));
}

QVector3D stringToVector3D(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char(';'), Qt::KeepEmptyParts);
    if (parts.size() != 3)
        return QVector3D();
    return QVector3D(float(parts.at(0).toDouble()), float(parts.at(1).toDouble()), float(parts.at(2).toDouble()));
}

QVector3D variantToVector3D(const QVariant &value)
{
    return value.value<QVector3D>();
}
