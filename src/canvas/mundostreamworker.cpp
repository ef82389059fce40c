#include "mundostreamworker.h"

#include "msavefile.h"

#include <system_error>

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
        emit written(job.fileName, error.isEmpty(), error);
    }
}

// Empty on success, else what went wrong.
QString MUndoStreamWorker::write(const QString &fileName, const QByteArray &bytes)
{
    // A save file goes to a temporary name first and is renamed only when
    // complete; on any failure the temporary is removed and the name stays free.
    MSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("Cannot open file for output: %1: %2").arg(fileName, file.errorString());
    const qint64 written = file.write(bytes);
    if (written != bytes.size()) {
        const QString error = QStringLiteral("Cannot write undo file %1: %2").arg(fileName, file.errorString());
        file.cancelWriting();
        return error;
    }
    if (!file.commit())
        return QStringLiteral("Cannot complete undo file %1: %2").arg(fileName, file.errorString());
    return QString();
}
