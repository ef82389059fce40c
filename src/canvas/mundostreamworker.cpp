#include "mundostreamworker.h"

#include "msavefile.h"

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
    MSaveFile file(m_fileName);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("Cannot open file for output: %1: %2").arg(m_fileName, file.errorString());
    const qint64 written = file.write(m_buffer);
    if (written != m_buffer.size()) {
        const QString error = QStringLiteral("Cannot write undo file %1: %2")
                                  .arg(m_fileName, file.errorString());
        file.cancelWriting();
        return error;
    }
    if (!file.commit())
        return QStringLiteral("Cannot complete undo file %1: %2").arg(m_fileName, file.errorString());
    return QString();
}
