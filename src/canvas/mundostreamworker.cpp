#include "mundostreamworker.h"

#include <QSaveFile>

#include <system_error>

MUndoStreamWorker::MUndoStreamWorker(const QString &fileName, const QByteArray &buffer)
    : m_fileName(fileName)
    , m_buffer(buffer)
{
}

MUndoStreamWorker::~MUndoStreamWorker()
{
    join();
}

bool MUndoStreamWorker::start()
{
    try {
        m_thread = std::thread(&MUndoStreamWorker::run, this);
    } catch (const std::system_error &) {
        return false;
    }
    return true;
}

void MUndoStreamWorker::join()
{
    if (m_thread.joinable())
        m_thread.join();
}

void MUndoStreamWorker::run()
{
    m_error = write();
    m_saved = m_error.isEmpty();
    emit finished(this);
}

// Empty on success, else what went wrong.
QString MUndoStreamWorker::write()
{
    // A save file goes to a temporary name first and is renamed only when
    // complete; on any failure the temporary is removed and the name stays free.
    QSaveFile file(m_fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return QStringLiteral("Cannot open file for ouput: ") + m_fileName;
    // commit() does not see a failure of a final flush, so every byte must
    // have reached the file before it is called.
    const qint64 written = file.write(m_buffer);
    if (written != m_buffer.size() || !file.flush() || file.error() != QFileDevice::NoError) {
        const QString error = QStringLiteral("Cannot write undo file %1: %2 of %3 bytes written, %4")
                                  .arg(m_fileName)
                                  .arg(qMax<qint64>(written, 0))
                                  .arg(m_buffer.size())
                                  .arg(file.errorString());
        file.cancelWriting();
        return error;
    }
    if (!file.commit())
        return QStringLiteral("Cannot complete undo file %1: %2").arg(m_fileName, file.errorString());
    return QString();
}
