#include "mparamlist.h"

#include "mfolders.h"
#include "mlogger.h"
#include "mregularfile.h"
#include "mutility.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QUuid>

#include <algorithm>

namespace {
const char kItemFileProperty[] = "mParamFile";

int locationIndex(int location)
{
    return location == MFolders::UserPath ? MFolders::UserPath : MFolders::SystemPath;
}

QString textProperty(const QObject *object, const char *name)
{
    return object->property(name).toString().trimmed();
}
} // namespace

MParamList::MParamList(int kind, const QString &extension, QObject *parent)
    : MParamList(kind, extension, MFolders::dataDirectory(MFolders::SystemPath, kind),
                 MFolders::dataDirectory(MFolders::UserPath, kind), parent)
{
}

MParamList::MParamList(int kind, const QString &extension, const QString &systemFolder, const QString &userFolder,
                       QObject *parent)
    : MTableModel(parent)
    , m_kind(kind)
    , m_extension(extension)
{
    m_folders[MFolders::SystemPath] = MFolders::folderPath(systemFolder);
    m_folders[MFolders::UserPath] = MFolders::folderPath(userFolder);
    scanDirectories(m_systemFiles, MFolders::SystemPath);
    scanDirectories(m_userFiles, MFolders::UserPath);
    *MLogger::instance() << QStringLiteral("directory: %3, users: %1, system: %2")
                                .arg(m_userFiles.size())
                                .arg(m_systemFiles.size())
                                .arg(MFolders::directoryName(kind));
}

// ---------------------------------------------------------------- loading

void MParamList::load()
{
    // User files first, then the system files the user has not replaced.
    Files merged = m_userFiles;
    QStringList fileOrder = m_userFiles.keys();
    for (auto it = m_systemFiles.cbegin(); it != m_systemFiles.cend(); ++it) {
        if (!merged.contains(it.key())) {
            merged.insert(it.key(), it.value());
            fileOrder.append(it.key());
        }
    }
    m_order = readIndex(MFolders::UserPath);
    if (m_order.isEmpty())
        m_order = readIndex(MFolders::SystemPath);
    if (m_order.isEmpty())
        m_order = fileOrder;
    loadItems(m_order, merged);
}

void MParamList::loadItems(const QStringList &, const Files &)
{
}

bool MParamList::readItem(QObject *, const QString &)
{
    return false;
}

QObject *MParamList::readItemFile(const MParamFile &file)
{
    QObject *object = createItem();
    if (!object)
        return nullptr;
    const QByteArray idName = idProperty();
    const bool hasId = !idName.isEmpty() && object->metaObject()->indexOfProperty(idName.constData()) >= 0;
    if (hasId)
        object->setProperty(idName.constData(), file.id);
    if (!readItem(object, file.path)) {
        delete object;
        return nullptr;
    }
    if (hasId) {
        const QString readId = object->property(idName.constData()).toString();
        const QString id = acceptedItemId(readId, file.id);
        if (id != readId.trimmed().toUpper())
            MLogger::instance()->systemError(QStringLiteral("Invalid id \"%1\" in %2, using %3").arg(readId, file.path, id));
        object->setProperty(idName.constData(), id);
    }
    setItemFile(object, file);
    return object;
}

QList<QObject *> MParamList::readItems(const QStringList &order, const Files &files, const QString &failure)
{
    QList<QObject *> items;
    QSet<QString> taken;
    for (const QString &id : order) {
        const QString key = id.trimmed().toUpper();
        const auto found = files.constFind(key);
        if (found == files.constEnd() || taken.contains(key))
            continue;
        taken.insert(key);
        if (QObject *object = readItemFile(found.value()))
            items.append(object);
        else
            MLogger::instance()->systemError(failure + found.value().path);
    }
    return items;
}

void MParamList::setRows(const QList<QObject *> &items)
{
    clear();
    if (!items.isEmpty()) {
        beginInsertRows(QModelIndex(), 0, items.size() - 1);
        for (QObject *object : items)
            addItem(object);
        endInsertRows();
    }
    setCurrentRow(0);
    emit countChanged(count());
}

// ---------------------------------------------------------------- rows

void MParamList::append(QObject *item)
{
    MTableModel::append(item);
    if (item)
        addId(item->property(idProperty().constData()).toString());
}

void MParamList::removeAt(int row)
{
    if (!isValidRow(row))
        return;
    QObject *object = item(row);
    if (object && object != defaultItem()) {
        removeId(object->property(idProperty().constData()).toString());
        const QString path = userFilePath(object);
        if (!path.isEmpty() && QFileInfo::exists(path)) {
            if (QFile::remove(path)) {
                for (auto it = m_userFiles.begin(); it != m_userFiles.end();) {
                    if (it.value().path == path)
                        it = m_userFiles.erase(it);
                    else
                        ++it;
                }
            } else {
                MLogger::instance()->systemError(QStringLiteral("Unable to delete %1").arg(path));
            }
        }
    }
    MTableModel::removeAt(row);
}

int MParamList::rowOfId(const QString &id) const
{
    const QString key = id.toLower();
    for (int row = 0; row < count(); ++row) {
        const QObject *object = item(row);
        if (object && object->property(idProperty().constData()).toString().toLower() == key)
            return row;
    }
    return -1;
}

bool MParamList::removeById(const QString &id)
{
    const int row = rowOfId(id);
    if (row < 0)
        return false;
    removeAt(row);
    return true;
}

void MParamList::reorder()
{
    if (m_orderMode == SortedOrder)
        sortItems();
    else if (m_orderMode == IndexOrder)
        applyIndexOrder();
}

void MParamList::sortItems()
{
    if (count() == 0)
        return;
    const QMetaObject *meta = item(0)->metaObject();
    const bool byGroup = meta->indexOfProperty("group") >= 0;
    if (meta->indexOfProperty("description") < 0)
        return;
    struct Row
    {
        QString group;
        QString description;
        QObject *item;
    };
    QVector<Row> rows;
    rows.reserve(count());
    for (int row = 0; row < count(); ++row) {
        QObject *object = item(row);
        rows.append({byGroup ? object->property("group").toString() : QString(), object->property("description").toString(),
                     object});
    }
    std::stable_sort(rows.begin(), rows.end(), [](const Row &a, const Row &b) {
        if (a.group != b.group)
            return a.group < b.group;
        return a.description < b.description;
    });
    QList<QObject *> items;
    for (const Row &row : qAsConst(rows))
        items.append(row.item);
    arrangeItems(items);
}

void MParamList::applyIndexOrder()
{
    QList<QObject *> kept;
    QSet<QObject *> taken;
    for (const QString &id : qAsConst(m_order)) {
        QObject *found = rowById(id);
        if (!found) {
            MLogger::instance()->systemError(QStringLiteral("Object id not found in list: %1").arg(id));
            continue;
        }
        if (!taken.contains(found)) {
            taken.insert(found);
            kept.append(found);
        }
    }
    // Rows the order leaves out go for good, so that no lookup by id can still
    // reach them; their files stay.
    for (int row = count() - 1; row >= 0; --row) {
        if (!taken.contains(item(row)))
            MTableModel::removeAt(row);
    }
    arrangeItems(kept);
}

// ---------------------------------------------------------------- order

QObject *MParamList::rowById(const QString &id) const
{
    QObject *found = findById(id);
    return found == defaultItem() ? nullptr : found;
}

bool MParamList::addId(const QString &id)
{
    const QString key = id.trimmed().toUpper();
    if (key.isEmpty())
        return false;
    for (const QString &entry : qAsConst(m_order)) {
        if (entry.trimmed().toUpper() == key)
            return false;
    }
    m_order.append(key);
    return writeIndex(m_order);
}

bool MParamList::removeId(const QString &id)
{
    const QString key = id.trimmed().toUpper();
    for (int i = 0; i < m_order.size(); ++i) {
        if (m_order.at(i).trimmed().toUpper() == key) {
            m_order.removeAt(i);
            return writeIndex(m_order);
        }
    }
    return false;
}

bool MParamList::setOrder(const QStringList &ids)
{
    m_order = ids;
    return writeIndex(m_order);
}

bool MParamList::isSystemId(const QString &id) const
{
    return m_systemFiles.contains(id.toUpper());
}

QStringList MParamList::readIndex(int location) const
{
    MRegularFile file(indexFileName(location));
    if (!file.exists())
        return {};
    if (!file.openForReading()) {
        // Another order is taken instead.
        MLogger::instance()->systemError(
            QStringLiteral("Unable to read %1: %2").arg(file.fileName(), file.errorString()));
        return {};
    }
    return indexIds(file.readAll());
}

QStringList MParamList::indexIds(const QByteArray &bytes)
{
    QStringList ids;
    for (const QString &line : MUtility::textLines(bytes, true, false)) {
        QString id = line.trimmed();
        const int comment = id.indexOf(QLatin1Char('#'));
        if (comment >= 0)
            id = id.left(comment).trimmed();
        if (!id.isEmpty())
            ids.append(id);
    }
    return ids;
}

bool MParamList::writeIndex(const QStringList &ids) const
{
    QStringList lines;
    for (const QString &entry : ids) {
        const QString id = entry.trimmed();
        if (id.isEmpty())
            continue;
        const QObject *found = rowById(id);
        if (!found) {
            lines.append(id);
            continue;
        }
        const QString group = textProperty(found, "group");
        const QString description = textProperty(found, "description");
        lines.append(id + QStringLiteral(" # ") + (group.isEmpty() ? QString() : group + QLatin1Char('/')) + description);
    }
    const QString path = indexFileName(MFolders::UserPath);
    if (MUtility::writeLines(lines, path))
        return true;
    MLogger::instance()->systemError(QStringLiteral("Unable to write %1").arg(path));
    return false;
}

// ---------------------------------------------------------------- folders and files

QString MParamList::folder(int location) const
{
    return MFolders::ensureDirectory(m_folders[locationIndex(location)]);
}

QString MParamList::fileName(int location, const QString &id) const
{
    if (!isFileId(id))
        return QString();
    return folder(location) + id.trimmed().toLower() + QLatin1Char('.') + m_extension;
}

QString MParamList::itemFileName(const QString &id) const
{
    return fileName(MFolders::SystemPath, id);
}

QString MParamList::userItemFileName(const QString &id) const
{
    return fileName(MFolders::UserPath, id);
}

QString MParamList::systemFilePath(const QString &id) const
{
    const auto found = m_systemFiles.constFind(id.trimmed().toUpper());
    return found != m_systemFiles.constEnd() ? found.value().path : itemFileName(id);
}

QString MParamList::userFilePath(const QObject *item) const
{
    if (!item)
        return QString();
    const MParamFile file = itemFile(item);
    if (file.isValid() && file.location == MFolders::UserPath)
        return file.path;
    const QString id = item->property(idProperty().constData()).toString();
    const auto found = m_userFiles.constFind(id.trimmed().toUpper());
    return found != m_userFiles.constEnd() ? found.value().path : userItemFileName(id);
}

QString MParamList::indexFileName(int location) const
{
    return folder(location) + QStringLiteral("index.kxl");
}

void MParamList::scanDirectories(Files &table, int location) const
{
    table.clear();
    const QFileInfoList entries = QDir(folder(location))
                                      .entryInfoList({QStringLiteral("*.%1").arg(m_extension)},
                                                     QDir::Files | QDir::Readable, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo &entry : entries) {
        const QString id = entry.baseName().trimmed();
        if (id.isEmpty())
            continue;
        const QString key = id.toUpper();
        table.insert(key, MParamFile{locationIndex(location), entry.absoluteFilePath(), key});
    }
}

MParamFile MParamList::itemFile(const QObject *item)
{
    return item ? item->property(kItemFileProperty).value<MParamFile>() : MParamFile();
}

void MParamList::setItemFile(QObject *item, const MParamFile &file)
{
    if (item)
        item->setProperty(kItemFileProperty, QVariant::fromValue(file));
}

// ---------------------------------------------------------------- ids

bool MParamList::isItemId(const QString &id)
{
    const QString text = id.trimmed();
    if (text.size() != 38 || !text.startsWith(QLatin1Char('{')) || !text.endsWith(QLatin1Char('}')))
        return false;
    return QUuid(text).toString().compare(text, Qt::CaseInsensitive) == 0;
}

bool MParamList::isFileId(const QString &id)
{
    const QString text = id.trimmed();
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char(':')
            || c == QLatin1Char('.'))
            return false;
    }
    return true;
}

QString MParamList::newItemId()
{
    return QUuid::createUuid().toString().toUpper();
}

QString MParamList::acceptedItemId(const QString &readId, const QString &fileId)
{
    if (isItemId(readId))
        return readId.trimmed().toUpper();
    if (isFileId(fileId))
        return fileId.trimmed().toUpper();
    return newItemId();
}
