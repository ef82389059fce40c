#include "msavefile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

MSaveFile::MSaveFile(const QString &target, QObject *parent)
    : MSaveFile(target, FollowLink, parent)
{
}

MSaveFile::MSaveFile(const QString &target, LinkMode mode, QObject *parent)
    : QIODevice(parent)
    , m_target(target)
    , m_linkMode(mode)
{
    // Followed, a link keeps pointing at the file it names: that file is
    // replaced. Else the rename replaces the link itself.
    const QFileInfo info(target);
    if (mode == FollowLink && info.isSymLink())
        m_target = info.symLinkTarget();
    m_temporary = temporaryPath(m_target);
}

MSaveFile::~MSaveFile()
{
    if (m_fd >= 0)
        cancelWriting();
}

QString MSaveFile::temporaryPath(const QString &target)
{
    return target + QStringLiteral(".kalmisave");
}

bool MSaveFile::open(OpenMode mode)
{
    if (m_fd >= 0 || (mode & ReadOnly) || !(mode & WriteOnly)) {
        setErrorString(QStringLiteral("The file can only be opened once, for writing"));
        return false;
    }
    m_failed = false;
    // Renaming over a folder would only fail once everything was written.
    struct stat target;
    const QByteArray targetPath = QFile::encodeName(m_target);
    bool exists = (m_linkMode == ReplaceLink ? ::lstat(targetPath.constData(), &target)
                                             : ::stat(targetPath.constData(), &target))
                  == 0;
    // A link to be replaced lends the new file nothing.
    if (exists && S_ISLNK(target.st_mode))
        exists = false;
    if (exists && S_ISDIR(target.st_mode)) {
        fail(EISDIR);
        return false;
    }
    const QByteArray path = QFile::encodeName(m_temporary);
    if (::unlink(path.constData()) != 0 && errno != ENOENT) {
        fail(errno);
        return false;
    }
    do {
        m_fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    } while (m_fd < 0 && errno == EINTR);
    if (m_fd < 0) {
        fail(errno);
        return false;
    }
    // The file replaced keeps who may read it.
    if (exists)
        ::fchmod(m_fd, target.st_mode & 07777);
    // Writes go straight to the descriptor, where their errors are seen.
    return QIODevice::open(mode | Unbuffered);
}

void MSaveFile::close()
{
    if (m_fd >= 0)
        cancelWriting();
    QIODevice::close();
}

void MSaveFile::closeHandle()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

void MSaveFile::fail(int error)
{
    m_failed = true;
    setErrorString(qt_error_string(error));
}

qint64 MSaveFile::readData(char *, qint64)
{
    return -1;
}

qint64 MSaveFile::writeData(const char *data, qint64 size)
{
    if (m_fd < 0 || m_failed)
        return -1;
    qint64 done = 0;
    // A short write only says that the next one fails; that one gives the reason.
    while (done < size) {
        const ssize_t written = ::write(m_fd, data + done, size_t(size - done));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            fail(errno);
            return -1;
        }
        done += written;
    }
    return done;
}

bool MSaveFile::commit()
{
    if (m_fd < 0)
        return false;
    if (!m_failed && ::fsync(m_fd) != 0)
        fail(errno);
    if (!m_failed && ::close(m_fd) != 0)
        fail(errno);
    else if (m_failed)
        ::close(m_fd);
    m_fd = -1;
    if (!m_failed
        && ::rename(QFile::encodeName(m_temporary).constData(), QFile::encodeName(m_target).constData()) != 0)
        fail(errno);
    QIODevice::close();
    if (m_failed) {
        ::unlink(QFile::encodeName(m_temporary).constData());
        return false;
    }
    return true;
}

void MSaveFile::cancelWriting()
{
    closeHandle();
    ::unlink(QFile::encodeName(m_temporary).constData());
    if (isOpen())
        QIODevice::close();
}
