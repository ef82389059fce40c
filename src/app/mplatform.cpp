#include "mplatform.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

void MPlatform::createStartupMutex(const QString &name)
{
    QString safeName = name;
    safeName.remove(QLatin1Char('{')).remove(QLatin1Char('}'));
    const QByteArray path = QFile::encodeName(QDir::tempPath() + QStringLiteral("/kalmidraw-") + safeName + QStringLiteral(".lock"));
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd >= 0)
        ::flock(fd, LOCK_SH | LOCK_NB); // the descriptor stays open until the process ends
}

bool MPlatform::showInFileManager(const QString &path)
{
    const QFileInfo info(path);
    const QString folder = info.isDir() ? info.absoluteFilePath() : info.absolutePath();
    return QProcess::startDetached(QStringLiteral("xdg-open"), {QUrl::fromLocalFile(folder).toString()});
}
