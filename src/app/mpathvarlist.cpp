#include "mpathvarlist.h"

#include <QCoreApplication>
#include <QStandardPaths>

namespace {
const QString kDocumentsPath = QStringLiteral("$DocumentsPath$");
const QString kImagesPath = QStringLiteral("$ImagesPath$");
const QString kInstallationPath = QStringLiteral("$InstallationPath$");
} // namespace

MPathVarList::MPathVarList(QObject *parent)
    : QObject(parent)
{
    addVariable(tr("Documents path"), kDocumentsPath);
    addVariable(tr("Images path"), kImagesPath);
    addVariable(tr("Installation path"), kInstallationPath);
}

void MPathVarList::addVariable(const QString &description, const QString &variable)
{
    auto *pathVar = new MPathVar;
    pathVar->set_description(description);
    pathVar->set_variable(variable);
    append(pathVar);
}

QString MPathVarList::expand(const QString &path)
{
    QString result = path;
    result.replace(kDocumentsPath, QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation), Qt::CaseInsensitive);
    result.replace(kImagesPath, QStandardPaths::writableLocation(QStandardPaths::PicturesLocation), Qt::CaseInsensitive);
    result.replace(kInstallationPath, QCoreApplication::applicationDirPath(), Qt::CaseInsensitive);
    return result;
}
