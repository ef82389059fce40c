// Writes the system effects and brush engines from their sources, through the
// effect file writer and the library's order file, and paints the default
// effect preview.
//
//   kalmishaders effects <sources folder> <output folder>
//   kalmishaders icon <file.jpg>
//
// The sources folder holds "effects.json" (an array of objects with "id",
// "type", "group", "description" and "source", the name of a file holding the
// sectioned source text).

#include "mshader.h"
#include "mshaderlist.h"
#include "mshaderstream.h"
#include "mutility.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QRadialGradient>
#include <QTemporaryDir>
#include <QTextStream>

namespace {
int fail(const QString &message)
{
    QTextStream(stderr) << message << '\n';
    return 1;
}

int paintIcon(const QString &path)
{
    QImage image(64, 64, QImage::Format_RGB32);
    image.fill(QColor(0x2b, 0x30, 0x3a));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QRadialGradient sphere(QPointF(25, 23), 36, QPointF(21, 19));
    sphere.setColorAt(0.0, QColor(0xff, 0xf4, 0xd6));
    sphere.setColorAt(0.35, QColor(0xf0, 0x8a, 0x3c));
    sphere.setColorAt(0.75, QColor(0x8e, 0x2f, 0x74));
    sphere.setColorAt(1.0, QColor(0x2a, 0x1e, 0x55));
    painter.setPen(Qt::NoPen);
    painter.setBrush(sphere);
    painter.drawEllipse(QPointF(32, 32), 25, 25);
    painter.end();
    if (!image.save(path, "JPG", 92))
        return fail(QStringLiteral("cannot write %1").arg(path));
    return 0;
}

int writeEffects(const QString &sources, const QString &output)
{
    QFile manifest(QDir(sources).filePath(QStringLiteral("effects.json")));
    if (!manifest.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read %1").arg(manifest.fileName()));
    const QJsonArray entries = QJsonDocument::fromJson(manifest.readAll()).array();
    if (entries.isEmpty())
        return fail(QStringLiteral("no effect in %1").arg(manifest.fileName()));

    QDir outputDir(output);
    if (!outputDir.mkpath(QStringLiteral(".")))
        return fail(QStringLiteral("cannot make %1").arg(output));
    const QStringList stale = outputDir.entryList({QStringLiteral("*.kxs"), QStringLiteral("index.kxl")}, QDir::Files);
    for (const QString &name : stale)
        outputDir.remove(name);

    // The output folder stands as the user folder of a library over an empty
    // system folder, so that appending writes the order file as users get it.
    QTemporaryDir empty;
    MShaderList library(empty.path(), output);
    for (const QJsonValue &value : entries) {
        const QJsonObject entry = value.toObject();
        QString source;
        const QString sourcePath = QDir(sources).filePath(entry.value(QStringLiteral("source")).toString());
        if (!MUtility::readTextFile(source, sourcePath))
            return fail(QStringLiteral("cannot read %1").arg(sourcePath));
        auto *shader = new MShader();
        shader->set_id(entry.value(QStringLiteral("id")).toString());
        shader->set_type(entry.value(QStringLiteral("type")).toInt());
        shader->set_group(entry.value(QStringLiteral("group")).toString());
        shader->set_description(entry.value(QStringLiteral("description")).toString());
        shader->set_source(source);
        if (!MParamList::isItemId(shader->id()) || !shader->parseParams()) {
            const QString error = shader->errorText();
            delete shader;
            return fail(QStringLiteral("%1: %2").arg(sourcePath, error));
        }
        const QString path = library.userItemFileName(shader->id());
        if (!MShaderStream(shader).saveToJsonFile(path)) {
            delete shader;
            return fail(QStringLiteral("cannot write %1").arg(path));
        }
        library.append(shader);
    }
    return 0;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() == 4 && arguments.at(1) == QLatin1String("effects"))
        return writeEffects(arguments.at(2), arguments.at(3));
    if (arguments.size() == 3 && arguments.at(1) == QLatin1String("icon"))
        return paintIcon(arguments.at(2));
    return fail(QStringLiteral("usage: kalmishaders effects <sources> <output> | icon <file.jpg>"));
}
