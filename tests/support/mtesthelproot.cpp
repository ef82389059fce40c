#include "mtesthelproot.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

namespace MTestHelpRoot {

bool copyTo(const QString &folder)
{
    const QString source = QStringLiteral(KALMI_TEST_DATA_DIR "/help/root");
    QDirIterator it(source, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        const QString target = QDir(folder).filePath(QDir(source).relativeFilePath(file));
        QDir().mkpath(QFileInfo(target).path());
        QFile::remove(target);
        if (!QFile::copy(file, target))
            return false;
    }
    return true;
}

QString goldenPath(const QString &name)
{
    return QStringLiteral(KALMI_TEST_DATA_DIR "/help/golden/") + name;
}

} // namespace MTestHelpRoot
