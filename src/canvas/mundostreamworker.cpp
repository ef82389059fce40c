#include "mundostreamworker.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <system_error>
#include <unistd.h>

MUndoStreamWorker::~MUndoStreamWorker()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
        m_jobs.clear();
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

bool MUndoStreamWorker::enqueue(const QString &fileName, const QByteArray &bytes)
{
    if (!m_thread.joinable()) {
        try {
            m_thread = std::thread(&MUndoStreamWorker::run, this);
        } catch (const std::system_error &) {
            return false;
        }
        ++m_threadsStarted;
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_jobs.push_back({fileName, bytes});
    }
    m_wake.notify_one();
    return true;
}

std::vector<MUndoStreamWorker::Report> MUndoStreamWorker::takeReports()
{
    std::vector<Report> reports;
    std::lock_guard<std::mutex> lock(m_mutex);
    reports.swap(m_reports);
    return reports;
}

bool MUndoStreamWorker::waitForReport(int msecs)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_reported.wait_for(lock, std::chrono::milliseconds(msecs), [this] { return !m_reports.empty(); });
}

void MUndoStreamWorker::run()
{
    for (;;) {
        Job job;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stop || !m_jobs.empty(); });
            if (m_stop)
                return;
            job = std::move(m_jobs.front());
            m_jobs.pop_front();
        }
        const QString error = write(job.fileName, job.bytes);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_reports.push_back({job.fileName, error.isEmpty(), error});
        }
        m_reported.notify_all();
        emit written(job.fileName, error.isEmpty(), error);
    }
}

// Empty on success, else what went wrong.
QString MUndoStreamWorker::write(const QString &fileName, const QByteArray &bytes)
{
    const QByteArray path = QFile::encodeName(fileName);
    const auto openFile = [&path] {
        int fd;
        do {
            fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        } while (fd < 0 && errno == EINTR);
        return fd;
    };
    int fd = openFile();
    // A cleaner or the painter may have removed the cache folder under us.
    if (fd < 0 && errno == ENOENT && QDir().mkpath(QFileInfo(fileName).absolutePath()))
        fd = openFile();
    if (fd < 0)
        return QStringLiteral("Cannot open file for output: %1: %2").arg(fileName, qt_error_string(errno));
    QString error;
    qint64 done = 0;
    while (done < bytes.size() && error.isEmpty()) {
        const ssize_t written = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (written >= 0)
            done += written;
        else if (errno != EINTR)
            error = QStringLiteral("Cannot write undo file %1: %2").arg(fileName, qt_error_string(errno));
    }
    if (::close(fd) != 0 && error.isEmpty() && errno != EINTR)
        error = QStringLiteral("Cannot complete undo file %1: %2").arg(fileName, qt_error_string(errno));
    if (!error.isEmpty())
        ::unlink(path.constData());
    return error;
}
