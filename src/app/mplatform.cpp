#include "mplatform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

void MPlatform::createStartupMutex(const QString &name)
{
    QString safeName = name;
    safeName.remove(QLatin1Char('{')).remove(QLatin1Char('}'));
    // In the user's runtime folder: another user's lock must not be in the way.
    const QByteArray path = QFile::encodeName(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation)
                                              + QStringLiteral("/kalmidraw-") + safeName + QStringLiteral(".lock"));
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

qint64 MPlatform::availableMemory()
{
    QFile file(QStringLiteral("/proc/meminfo"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1;
    // Read to its end, not by its size or atEnd(): the kernel gives the
    // file a size of 0. One "MemAvailable:   123456 kB" line among others.
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (const QByteArray &text : lines) {
        const QByteArray line = text.simplified();
        if (!line.startsWith("MemAvailable:"))
            continue;
        const QList<QByteArray> fields = line.split(' ');
        bool ok = false;
        const qint64 kilobytes = fields.value(1).toLongLong(&ok);
        return (ok && kilobytes >= 0) ? kilobytes * 1024 : -1;
    }
    return -1;
}
