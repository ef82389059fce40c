#include "mfolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
const QString kVendorFolder = QStringLiteral("/Vantorel/KalmiDraw");
} // namespace

QString MFolders::standardFolder(QStandardPaths::StandardLocation location)
{
    return QStandardPaths::writableLocation(location);
}

QString MFolders::folderPath(const QString &path)
{
    QString result = path.trimmed();
    if (!result.endsWith(QLatin1Char('/')))
        result += QLatin1Char('/');
    return result;
}

QString MFolders::ensureDirectory(const QString &path)
{
    QDir dir(path);
    if (!dir.exists())
        QDir().mkpath(path);
    return path;
}

QString MFolders::userDataPath()
{
    return folderPath(ensureDirectory(standardFolder(QStandardPaths::GenericDataLocation) + kVendorFolder));
}

QString MFolders::applicationDirectory()
{
    return folderPath(QCoreApplication::applicationDirPath());
}

QString MFolders::userDocumentsPath()
{
    return folderPath(ensureDirectory(standardFolder(QStandardPaths::DocumentsLocation) + kVendorFolder));
}

QString MFolders::directoryName(int kind)
{
    static const char *const names[] = {"brushes", "cache",    "models",    "papers",    "shaders",
                                        "shapes",  "snippets", "swatches", "templates", "textures"};
    if (kind < 0 || kind >= int(sizeof(names) / sizeof(names[0])))
        return QString();
    return QString::fromLatin1(names[kind]);
}

QString MFolders::dataDirectory(int location, int kind)
{
    const QString path = (location == UserPath ? userDataPath() : applicationDirectory()) + QStringLiteral("datas/")
                         + directoryName(kind);
    ensureDirectory(path);
    return folderPath(path);
}

QString MFolders::brushesDirectory(int location) { return dataDirectory(location, BrushDir); }
QString MFolders::papersDirectory(int location) { return dataDirectory(location, PaperDir); }
QString MFolders::shadersDirectory(int location) { return dataDirectory(location, ShaderDir); }
QString MFolders::snippetsDirectory(int location) { return dataDirectory(location, SnippetDir); }
QString MFolders::swatchesDirectory(int location) { return dataDirectory(location, SwatchDir); }
QString MFolders::templatesDirectory(int location) { return dataDirectory(location, TemplateDir); }

bool MFolders::removeDirectory(const QString &path, bool removeSelf, bool recursive)
{
    // A link is never followed, to be emptied where it leads: it is removed as a link.
    const QFileInfo self(QDir::cleanPath(path));
    if (self.isSymLink())
        return removeSelf && QFile::remove(self.filePath());
    QDir dir(path);
    if (!dir.exists())
        return true;
    const QFileInfoList entries = dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                                    QDir::DirsFirst);
    for (const QFileInfo &entry : entries) {
        if (entry.isDir() && !entry.isSymLink()) {
            if (recursive && !removeDirectory(entry.absoluteFilePath(), recursive, true))
                return false;
        } else if (!QFile::remove(entry.absoluteFilePath())) {
            return false;
        }
    }
    if (removeSelf)
        return QDir().rmdir(dir.absolutePath());
    return true;
}

void MFolders::copyDirectory(const QString &source, const QString &target, bool overwrite)
{
    const QDir sourceDir(source);
    const QDir targetDir(target);
    if (sourceDir.absolutePath() == targetDir.absolutePath()
        || (sourceDir.exists() && sourceDir.canonicalPath() == targetDir.canonicalPath()))
        return;
    const QFileInfoList files = sourceDir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo &file : files) {
        const QString targetFile = targetDir.absolutePath() + QLatin1Char('/') + file.fileName();
        if (overwrite || !QFile::exists(targetFile)) {
            QFile::remove(targetFile);
            QFile::copy(file.absoluteFilePath(), targetFile);
        }
    }
}
