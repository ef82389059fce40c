#include "mcachefolder.h"

#include "mfolders.h"
#include "mlogger.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <signal.h>

namespace {

// A folder path as lstat must see it: with a final "/" a link to a folder
// would be followed and look like the folder itself.
QString withoutSlash(const QString &path)
{
    QString result = path;
    while (result.size() > 1 && result.endsWith(QLatin1Char('/')))
        result.chop(1);
    return result;
}

// A link where one of the system's own folders belongs leads elsewhere:
// it goes (as a link) and a folder of its own is made.
QString ownFolder(const QString &path)
{
    const QString plain = withoutSlash(path);
    const QFileInfo info(plain);
    if (info.isSymLink()) {
        MLogger::instance()->log(QStringLiteral("%1 was a link to %2: a folder of its own replaces it")
                                     .arg(plain, info.symLinkTarget()));
        QFile::remove(plain);
    }
    return MFolders::folderPath(MFolders::ensureDirectory(plain));
}

// The moment the process started, in clock ticks since boot ("starttime",
// the 22nd field of its stat line); empty when it is not known.
QString startTime(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return QString();
    const QByteArray line = stat.readAll();
    // The command name in brackets may hold spaces and brackets itself.
    const int end = line.lastIndexOf(')');
    if (end < 0)
        return QString();
    const QList<QByteArray> fields = line.mid(end + 1).simplified().split(' ');
    // After the name come the state (field 3) and the rest: field 22 is at 19.
    return fields.size() > 19 ? QString::fromLatin1(fields.at(19)) : QString();
}

} // namespace

QString MCacheFolder::root()
{
    return ownFolder(MFolders::userDataPath() + MFolders::directoryName(MFolders::CacheDir));
}

QString MCacheFolder::own()
{
    return ownFolder(root() + folderName(QCoreApplication::applicationPid()));
}

QString MCacheFolder::folderName(qint64 pid)
{
    if (pid <= 0)
        return QString();
    const QString started = startTime(pid);
    if (!started.isEmpty())
        return QStringLiteral("%1-%2").arg(pid).arg(started);
    if (QDir(QStringLiteral("/proc/self")).exists())
        return QString(); // the system tells of every process there: this one is gone
    // Without it, the id alone (a process of it may be another one).
    if (::kill(pid_t(pid), 0) == 0 || errno == EPERM)
        return QString::number(pid);
    return QString();
}

bool MCacheFolder::isOwnerRunning(const QString &name)
{
    bool ok = false;
    const qint64 pid = name.section(QLatin1Char('-'), 0, 0).toLongLong(&ok);
    return ok && pid > 0 && folderName(pid) == name;
}

void MCacheFolder::clear(bool removeOwn)
{
    const QString shared = root();
    const QString mine = folderName(QCoreApplication::applicationPid());
    const QFileInfoList entries =
        QDir(shared).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo &entry : entries) {
        const QString path = entry.absoluteFilePath();
        if (entry.isSymLink()) {
            QFile::remove(path);
        } else if (entry.fileName() == mine) {
            MFolders::removeDirectory(path, removeOwn, true);
        } else if (!entry.isDir()) {
            QFile::remove(path);
        } else if (!isOwnerRunning(entry.fileName())) {
            if (MFolders::removeDirectory(path, true, true))
                MLogger::instance()->log(QStringLiteral("Removed %1, left by a run that ended").arg(path));
        }
    }
}
