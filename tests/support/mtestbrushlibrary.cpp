#include "mtestbrushlibrary.h"

#include "mbrush.h"
#include "mbrushlist.h"
#include "mbrushstream.h"

#include <QDir>

MTestBrushLibrary::MTestBrushLibrary(const QStringList &entries, bool withPreviews)
{
    QDir().mkpath(systemFolder());
    QDir().mkpath(userFolder());
    QImage preview;
    if (withPreviews) {
        preview = QImage(150, 60, QImage::Format_ARGB32_Premultiplied);
        preview.fill(Qt::yellow);
    }
    QByteArray index;
    for (int i = 0; i < entries.size(); ++i) {
        const QString entry = entries.at(i);
        const QString folder = entry.startsWith(QLatin1String("s:")) ? systemFolder() : userFolder();
        const QString name = entry.mid(2);
        writeBrushFile(folder + id(i).toLower() + QStringLiteral(".kxb"), id(i), name.section(QLatin1Char('/'), 0, 0),
                       name.section(QLatin1Char('/'), 1), 4, preview);
        index += id(i).toUtf8() + " # " + name.toUtf8() + "\n";
    }
    m_root.writeFile(QStringLiteral("user/index.kxl"), index);
    MBrushList::destroyInstance();
    m_library = new MBrushList(systemFolder(), userFolder());
    MBrushList::setInstance(m_library);
}

MTestBrushLibrary::~MTestBrushLibrary()
{
    if (MBrushList::existingInstance() == m_library.data())
        MBrushList::destroyInstance();
    else
        delete m_library.data();
}

QString MTestBrushLibrary::systemFolder() const
{
    return m_root.filePath(QStringLiteral("system/"));
}

QString MTestBrushLibrary::userFolder() const
{
    return m_root.filePath(QStringLiteral("user/"));
}

QString MTestBrushLibrary::id(int i)
{
    return QStringLiteral("{7A3B2C10-0000-4000-8000-%1}").arg(i, 12, 10, QLatin1Char('0'));
}

bool MTestBrushLibrary::writeBrushFile(const QString &path, const QString &id, const QString &group,
                                       const QString &description, double radius, const QImage &preview)
{
    MBrush brush;
    brush.setId(id);
    brush.setGroup(group);
    brush.setDescription(description);
    brush.setRadius(radius);
    brush.setPreview(preview);
    return MBrushStream(&brush).saveToJsonFile(path);
}

QStringList MTestBrushLibrary::reloaded() const
{
    MBrushList fresh(systemFolder(), userFolder());
    QStringList names;
    for (int row = 0; row < fresh.rowCount(); ++row)
        names.append(fresh.brush(row)->group() + QLatin1Char('/') + fresh.brush(row)->description());
    return names;
}

QStringList MTestBrushLibrary::userFiles() const
{
    return QDir(userFolder()).entryList({QStringLiteral("*.kxb")}, QDir::Files, QDir::Name);
}
