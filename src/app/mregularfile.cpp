#include "mregularfile.h"

#include <QCoreApplication>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
QString kindOf(mode_t mode)
{
    if (S_ISFIFO(mode))
        return QCoreApplication::translate("MRegularFile", "It is a named pipe, not a file.");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QCoreApplication::translate("MRegularFile", "It is a device, not a file.");
    if (S_ISDIR(mode))
        return QCoreApplication::translate("MRegularFile", "It is a folder, not a file.");
    if (S_ISSOCK(mode))
        return QCoreApplication::translate("MRegularFile", "It is a socket, not a file.");
    return QCoreApplication::translate("MRegularFile", "It is not a regular file.");
}

// A name decoded from bytes that are not text in the system's encoding holds
// replacement characters and no longer names the file on disk.
bool lostInDecoding(const QString &path)
{
    return path.contains(QChar::ReplacementCharacter);
}
} // namespace

MRegularFile::MRegularFile(const QString &path) : QFile(path), m_path(path) {}

QString MRegularFile::fileName() const
{
    return m_path;
}

bool MRegularFile::openForReading()
{
    return openChecked(O_RDONLY, QIODevice::ReadOnly);
}

bool MRegularFile::openForAppending(bool truncate)
{
    return openChecked(O_WRONLY | O_CREAT | O_APPEND | (truncate ? O_TRUNC : 0), QIODevice::WriteOnly | QIODevice::Append);
}

bool MRegularFile::openChecked(int flags, QIODevice::OpenMode mode)
{
    const QString path = fileName();
    if (path.isEmpty()) {
        setErrorString(QCoreApplication::translate("MRegularFile", "No file name."));
        return false;
    }
    // Resources built into the program are no pipes or devices.
    if (path.startsWith(QLatin1Char(':')))
        return QFile::open(mode);
    // Without O_NONBLOCK, opening a named pipe waits for its other end
    // (truncation leaves pipes and devices as they are).
    const int descriptor = ::open(QFile::encodeName(path).constData(), flags | O_NONBLOCK | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        const int error = errno;
        if (error == ENOENT && lostInDecoding(path))
            setErrorString(QCoreApplication::translate(
                "MRegularFile", "Its name holds bytes that are not UTF-8 text: rename the file to open it."));
        else
            setErrorString(qt_error_string(error));
        return false;
    }
    struct stat status;
    const bool known = ::fstat(descriptor, &status) == 0;
    if (!known || !S_ISREG(status.st_mode)) {
        const int error = errno;
        ::close(descriptor);
        setErrorString(known ? kindOf(status.st_mode) : qt_error_string(error));
        return false;
    }
    // Reads and writes of a regular file never wait on O_NONBLOCK anyway;
    // the flag goes so that the descriptor behaves as any other.
    const int modes = ::fcntl(descriptor, F_GETFL);
    if (modes >= 0)
        ::fcntl(descriptor, F_SETFL, modes & ~O_NONBLOCK);
    return QFile::open(descriptor, mode, QFileDevice::AutoCloseHandle);
}

QString MRegularFile::refusal(const QString &path)
{
    MRegularFile file(path);
    return file.openForReading() ? QString() : file.errorString();
}

QByteArray MRegularFile::readAtMost(qint64 limit)
{
    return read(qBound<qint64>(0, size(), limit + 1));
}
