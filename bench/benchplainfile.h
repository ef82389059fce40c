#pragma once

// The baselines the document benchmarks set our saves and loads beside: the
// same bytes written as a save writes them (a tile a write, beside the
// target, synced, renamed over it) and read as a load reads them (one tile's
// pixels a read).

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QString>

#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace BenchPlainFile {

// Milliseconds, or -1 when a step failed; the target is left in place. The
// bytes go in writes of chunk bytes, as the save writes one tile a time (one
// write of everything costs the kernel several times more).
inline double write(const QByteArray &bytes, const QString &target, qint64 chunk)
{
    QElapsedTimer timer;
    timer.start();
    const QByteArray temporary = QFile::encodeName(target + QStringLiteral(".tmp"));
    const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        return -1;
    qint64 done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.constData() + done, size_t(qMin(chunk, bytes.size() - done)));
        if (written <= 0) {
            ::close(fd);
            return -1;
        }
        done += written;
    }
    const bool ok = ::fsync(fd) == 0 && ::close(fd) == 0
                    && ::rename(temporary.constData(), QFile::encodeName(target).constData()) == 0;
    return ok ? timer.nsecsElapsed() / 1e6 : -1;
}

// Drops the file's pages from the page cache (they must be clean: written
// and synced), so that the next read comes from the disk; false when that
// could not be asked for.
inline bool forget(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool dropped = ::fdatasync(fd) == 0 && ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED) == 0;
    ::close(fd);
    return dropped;
}

// Milliseconds to read the whole file in reads of chunk bytes, or -1.
inline double read(const QString &path, qint64 chunk)
{
    QElapsedTimer timer;
    timer.start();
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    std::vector<char> buffer(static_cast<size_t>(chunk));
    ssize_t got = 0;
    while ((got = ::read(fd, buffer.data(), buffer.size())) > 0) {
    }
    ::close(fd);
    return got == 0 ? timer.nsecsElapsed() / 1e6 : -1;
}

} // namespace BenchPlainFile
