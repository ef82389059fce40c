#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

// Writes undo backups to their spill files, oldest first, on one thread of
// its own that starts with the first job and lives until the writer goes.
// Spill files are a cache that every start empties: they are written straight
// to their names and never synced, and nobody reads one before its job is
// reported saved (a failed job leaves no file). The thread touches nothing but
// the queued bytes and their files. Each finished job leaves a report, taken
// with takeReports() or awaited with waitForReport(), and emits `written`.
class MUndoStreamWorker : public QObject
{
    Q_OBJECT
public:
    struct Report
    {
        QString fileName;
        bool saved = false;
        QString error;      // empty when saved
    };

    MUndoStreamWorker() = default;
    // The job being written is completed (and reported, though a report to
    // a receiver that is gone is dropped); jobs not started are dropped and
    // leave no file.
    ~MUndoStreamWorker() override;

    // The bytes are shared with the caller, which must not change them until
    // the job is reported. False when the thread could not be started.
    bool enqueue(const QString &fileName, const QByteArray &bytes);
    // The reports of the jobs finished since the last call, oldest first.
    std::vector<Report> takeReports();
    // Waits until a report is waiting to be taken, at most msecs; false on time-out.
    bool waitForReport(int msecs);
    // How many threads were started over the writer's life.
    int threadsStarted() const { return m_threadsStarted; }

signals:
    // Emitted on the writer's thread after the job's report is waiting; `error`
    // is empty when saved.
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
    std::condition_variable m_reported;
    std::deque<Job> m_jobs;             // guarded by m_mutex
    std::vector<Report> m_reports;      // guarded by m_mutex
    bool m_stop = false;                // guarded by m_mutex
    std::thread m_thread;
    int m_threadsStarted = 0;
};
