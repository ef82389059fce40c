#include "mtestlibraries.h"

#include "mbrush.h"
#include "mbrushlist.h"
#include "mbrushstream.h"
#include "mshaderlist.h"
#include "mtestfolder.h"
#include "mutility.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUuid>

namespace MTestLibraries {

namespace {
QString writeBrush(const QString &folder, const QString &name, bool withPreview)
{
    MBrush brush;
    const QString id = QUuid::createUuid().toString().toUpper();
    brush.setId(id);
    brush.setGroup(name.section(QLatin1Char('/'), 0, 0));
    brush.setDescription(name.section(QLatin1Char('/'), 1));
    brush.setRadius(4);
    QImage preview(150, 60, QImage::Format_ARGB32_Premultiplied);
    preview.fill(Qt::yellow);
    brush.setPreview(preview);
    const QString path = folder + id.toLower() + ".kxb";
    MBrushStream(&brush).saveToJsonFile(path);
    if (!withPreview) {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        QJsonObject json = QJsonDocument::fromJson(file.readAll()).object();
        file.close();
        json.remove(QStringLiteral("preview"));
        file.open(QIODevice::WriteOnly);
        file.write(QJsonDocument(json).toJson());
    }
    return id;
}
} // namespace

MBrushList *make(const MTestFolder &root, const QStringList &userBrushes, const QStringList &systemBrushes,
                 bool withPreviews)
{
    const QString system = root.filePath(QStringLiteral("system/"));
    const QString user = root.filePath(QStringLiteral("user/"));
    QDir().mkpath(system);
    QDir().mkpath(user);
    QStringList ids;
    for (const QString &name : userBrushes)
        ids << writeBrush(user, name, withPreviews);
    for (const QString &name : systemBrushes)
        ids << writeBrush(system, name, withPreviews);
    MUtility::writeLines(ids, user + QStringLiteral("index.kxl"));
    MBrushList::destroyInstance();
    auto *library = new MBrushList(system, user);
    MBrushList::setInstance(library);
    return library;
}

MShaderList *makeEffects(const MTestFolder &root)
{
    const QString system = root.filePath(QStringLiteral("effects-system/"));
    const QString user = root.filePath(QStringLiteral("effects-user/"));
    QDir().mkpath(system);
    QDir().mkpath(user);
    MShaderList::destroyInstance();
    auto *library = new MShaderList(system, user);
    MShaderList::setInstance(library);
    return library;
}

} // namespace MTestLibraries
