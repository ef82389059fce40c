#include "mfilelock.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

MFileLock::MFileLock(const QString &path)
    : m_path(path)
{
}

MFileLock::~MFileLock()
{
    unlock();
}

bool MFileLock::tryLock()
{
    if (m_fd >= 0)
        return true;
    m_error.clear();
    // O_NOFOLLOW: a link put in the lock's place is not followed to a file elsewhere.
    const int fd = ::open(QFile::encodeName(m_path).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        m_error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK)
            m_error = QString::fromLocal8Bit(std::strerror(errno));
        ::close(fd);
        return false;
    }
    m_fd = fd;
    return true;
}

void MFileLock::unlock()
{
    if (m_fd < 0)
        return;
    ::close(m_fd);
    m_fd = -1;
}
