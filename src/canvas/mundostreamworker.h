#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QThread;

// Writes one undo backup to its spill file on a thread of its own. The file
// appears under its name only once every byte is on disk, so a reader never
// sees a partial spill. Results go back as signals, queued to the stream:
// bufferSaved or bufferError, then finished.
class MUndoStreamWorker : public QObject
{
    Q_OBJECT
public:
    // The bytes are shared with the stream, which never changes them.
    MUndoStreamWorker(QThread *thread, const QString &fileName, const QByteArray &buffer);
    ~MUndoStreamWorker() override;

    QThread *workerThread() const { return m_thread; }
    QString fileName() const { return m_fileName; }

public slots:
    void run();

signals:
    void bufferSaved(const QString &fileName);
    void bufferError(const QString &fileName);
    void finished(MUndoStreamWorker *worker);

private:
    QThread *m_thread;
    QString m_fileName;
    QByteArray m_buffer;
};
