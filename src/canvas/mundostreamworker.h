#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

// Writes undo backups to their spill files, oldest first, on one thread of
// its own that starts with the first job and lives until the writer goes.
// A file appears under its name only once every byte is on disk, so a reader
// never sees a partial spill. The thread touches nothing but the queued bytes
// and their files; each job ends with `written`, queued to the receiver.
class MUndoStreamWorker : public QObject
{
    Q_OBJECT
public:
    MUndoStreamWorker() = default;
    // The job being written is completed (and reported, though a report to
    // a receiver that is gone is dropped); jobs not started are dropped and
    // leave no file.
    ~MUndoStreamWorker() override;

    // The bytes are shared with the caller, which must not change them until
    // the job is reported. False when the thread could not be started.
    bool enqueue(const QString &fileName, const QByteArray &bytes);
    // How many threads were started over the writer's life.
    int threadsStarted() const { return m_threadsStarted; }

signals:
    // Emitted on the writer's thread; `error` is empty when saved.
    void written(const QString &fileName, bool saved, const QString &error);

private:
    struct Job
    {
        QString fileName;
        QByteArray bytes;
    };

    void run();
    static QString write(const QString &fileName, const QByteArray &bytes);

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Job> m_jobs;     // guarded by m_mutex
    bool m_stop = false;        // guarded by m_mutex
    std::thread m_thread;
    int m_threadsStarted = 0;
};
