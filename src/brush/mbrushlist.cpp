#include "mbrushlist.h"

#include "mbrush.h"
#include "mbrushstream.h"
#include "mlogger.h"
#include "mutility.h"

MBrushList::MBrushList(QObject *parent)
    : MParamList(MUtility::BrushDir, QStringLiteral("kxb"), parent)
{
    setUp();
}

MBrushList::MBrushList(const QString &systemFolder, const QString &userFolder, QObject *parent)
    : MParamList(MUtility::BrushDir, QStringLiteral("kxb"), systemFolder, userFolder, parent)
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

MBrush *MBrushList::createBrushNamed(const QString &group, const QString &description)
{
    return createBrush(nullptr, group, description);
}

MBrush *MBrushList::createBrush(const MBrush *source, const QString &group, const QString &description)
{
    auto *brush = new MBrush(this);
    if (source)
        brush->copyFrom(source);
    brush->setGroup(group);
    brush->setDescription(description);
    brush->save();
    append(brush);
    return brush;
}
