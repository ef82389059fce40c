#include "mundostreamworker.h"

#include "mlogger.h"

#include <QSaveFile>

MUndoStreamWorker::MUndoStreamWorker(QThread *thread, const QString &fileName, const QByteArray &buffer)
    : m_thread(thread)
    , m_fileName(fileName)
    , m_buffer(buffer)
{
}

MUndoStreamWorker::~MUndoStreamWorker() = default;

void MUndoStreamWorker::run()
{
    // A save file goes to a temporary name first and is renamed only when
    // complete; on any failure the temporary is removed and the name stays free.
    QSaveFile file(m_fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        MLogger::instance()->systemError(QStringLiteral("Cannot open file for ouput: ") + m_fileName);
        emit bufferError(m_fileName);
    } else {
        // commit() does not see a failure of the final flush, so every byte
        // must have reached the file before it is called.
        const qint64 written = file.write(m_buffer);
        if (written != m_buffer.size() || !file.flush() || file.error() != QFileDevice::NoError) {
            MLogger::instance()->systemError(QStringLiteral("Cannot write undo file %1: %2 of %3 bytes written, %4")
                                                 .arg(m_fileName)
                                                 .arg(written)
                                                 .arg(m_buffer.size())
                                                 .arg(file.errorString()));
            file.cancelWriting();
            emit bufferError(m_fileName);
        } else if (!file.commit()) {
            MLogger::instance()->systemError(
                QStringLiteral("Cannot complete undo file %1: %2").arg(m_fileName, file.errorString()));
            emit bufferError(m_fileName);
        } else {
            emit bufferSaved(m_fileName);
        }
    }
    emit finished(this);
}
