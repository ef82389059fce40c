#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <thread>

// Writes one undo backup to its spill file on a thread of its own. The file
// appears under its name only once every byte is on disk, so a reader never
// sees a partial spill. The worker touches nothing but its bytes and its
// file; it reports through `finished`, queued to the stream, whose handler
// joins the thread before it reads the result. The join, a plain thread
// join, is what orders the worker's writes before the stream's reads, in a
// form thread checkers can follow.
class MUndoStreamWorker : public QObject
{
    Q_OBJECT
public:
    // The bytes are shared with the stream, which never changes them.
    MUndoStreamWorker(const QString &fileName, const QByteArray &buffer);
    // Joins the thread when it still runs.
    ~MUndoStreamWorker() override;

    // False when no thread could be started.
    bool start();
    // Waits for the thread to end; afterwards the result can be read.
    void join();

    QString fileName() const { return m_fileName; }
    bool isSaved() const { return m_saved; }
    // What went wrong, for the log; empty when saved.
    QString error() const { return m_error; }

signals:
    void finished(MUndoStreamWorker *worker);

private:
    void run();
    QString write();

    QString m_fileName;
    QByteArray m_buffer;
    std::thread m_thread;
    bool m_saved = false;
    QString m_error;
};
