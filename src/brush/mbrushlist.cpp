#include "mbrushlist.h"

#include "mbrush.h"
#include "mbrushsettinginfolist.h"
#include "mbrushstream.h"
#include "menum.h"
#include "mfolders.h"
#include "mlogger.h"
#include "mregularfile.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

MBrushList::MBrushList(QObject *parent)
    : MParamList(MFolders::BrushDir, QStringLiteral("kxb"), parent)
{
    setUp();
}

MBrushList::MBrushList(const QString &systemFolder, const QString &userFolder, QObject *parent)
    : MParamList(MFolders::BrushDir, QStringLiteral("kxb"), systemFolder, userFolder, parent)
{
    setUp();
}

MBrushList::~MBrushList()
{
    clear();
    delete defaultItem();
}

void MBrushList::setUp()
{
    setMetaObject(MBrush::staticMetaObject);
    setDefaultItem(newDefaultBrush());
    setOrderMode(IndexOrder);
    load();
    *MLogger::instance() << QStringLiteral("Brushes loaded: %1 brushes").arg(count());
}

MBrush *MBrushList::newDefaultBrush()
{
    auto *brush = new MBrush();
    brush->setDescription(tr("Default brush"));
    brush->setGroup(tr("basic"));
    return brush;
}

QObject *MBrushList::createItem()
{
    return new MBrush(this);
}

bool MBrushList::readItem(QObject *item, const QString &path)
{
    return MBrushStream(qobject_cast<MBrush *>(item)).loadFromJsonFile(path);
}

void MBrushList::loadItems(const QStringList &order, const Files &files)
{
    loadBrushes(order, files);
}

void MBrushList::loadBrushes(const QStringList &order, const Files &files)
{
    QList<QObject *> brushes = readItems(order, files, QStringLiteral("Unable to load brush "));
    // Also when the order names only missing or broken files: the library
    // must always offer a brush to paint with.
    if (brushes.isEmpty()) {
        MLogger::instance()->systemError(
            QStringLiteral("Brush system and user directories are empty. Adding a default brush"));
        MBrush *brush = newDefaultBrush();
        brush->setParent(this);
        brushes.append(brush);
    }
    setRows(brushes);
}

MBrush *MBrushList::brush(int row) const
{
    return qobject_cast<MBrush *>(item(row));
}

MBrush *MBrushList::currentBrush() const
{
    return brush(currentRow());
}

double MBrushList::brushValue(int setting) const
{
    const MBrush *current = currentBrush();
    return current ? current->value(setting) : 0.0;
}

MBrush *MBrushList::createBrushNamed(const QString &group, const QString &description, QString *why)
{
    return createBrush(nullptr, group, description, why);
}

MBrush *MBrushList::createBrush(const MBrush *source, const QString &group, const QString &description, QString *why)
{
    auto *brush = new MBrush(this);
    if (source)
        brush->copyFrom(source);
    brush->setGroup(group);
    brush->setDescription(description);
    // A brush without its file would vanish at the next start.
    if (!brush->save(why)) {
        delete brush;
        return nullptr;
    }
    append(brush);
    return brush;
}

bool MBrushList::isBrushFile(const QString &path)
{
    MRegularFile file(path);
    if (!file.openForReading() || file.size() > MBrushStream::kMaximumFileSize)
        return false;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll());
    if (!document.isObject())
        return false;
    // Reading is lenient, so any JSON object would pass for a default brush:
    // other libraries' JSON files must not.
    const QJsonObject json = document.object();
    if (!json.value(QStringLiteral("version")).isDouble())
        return false;
    for (int setting = 0; setting < MEnum::bsCount; ++setting) {
        const QByteArray name = MBrushSettingInfoList::instance()->name(setting);
        if (!name.isEmpty() && json.value(QString::fromLatin1(name)).isObject())
            return true;
    }
    return false;
}

MBrush *MBrushList::importBrush(const QString &path)
{
    if (!isBrushFile(path))
        return nullptr;
    auto *brush = new MBrush(this);
    if (!brush->loadFromFile(path)) {
        delete brush;
        return nullptr;
    }
    const QString id = brush->id();
    const QString userFile = userItemFileName(id);
    if (indexOfBrushId(id) >= 0 || userFiles().contains(id) || systemFiles().contains(id) || order().contains(id)
        || (!userFile.isEmpty() && QFileInfo::exists(userFile)) || QFileInfo::exists(systemFilePath(id)))
        brush->setId(newItemId());
    if (!brush->save()) {
        delete brush;
        return nullptr;
    }
    append(brush);
    return brush;
}
