#include "msingleinstance.h"

#include "mfilelock.h"
#include "mlogger.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

MSingleInstance::MSingleInstance(QObject *parent)
    : QObject(parent)
{
    connect(&m_server, &QLocalServer::newConnection, this, &MSingleInstance::newConnection);
}

MSingleInstance::~MSingleInstance()
{
    // The server deletes its sockets after this object's members are gone.
    for (QLocalSocket *socket : m_received.keys())
        disconnect(socket, nullptr, this, nullptr);
    m_received.clear();
    close();
}

QString MSingleInstance::serverPath(const QString &name)
{
    if (QDir::isAbsolutePath(name))
        return name;
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) + QLatin1Char('/') + name;
}

namespace {
const QByteArray kEndLine("\n");
const QByteArray kReceipt("ok\n");
} // namespace

bool MSingleInstance::sendMessage(const QString &name, const QStringList &lines, int timeoutMs)
{
    return deliver(name, lines, timeoutMs, 0) != NoProgram;
}

MSingleInstance::Delivery MSingleInstance::deliver(const QString &name, const QStringList &lines, int connectMs,
                                                   int receiptMs)
{
    QLocalSocket socket;
    socket.connectToServer(serverPath(name), QIODevice::ReadWrite);
    if (!socket.waitForConnected(connectMs))
        return NoProgram;
    socket.write(encodeMessage(lines) + kEndLine);
    socket.waitForBytesWritten(connectMs);
    if (receiptMs <= 0)
        return Taken;
    const QDeadlineTimer deadline(receiptMs);
    QByteArray answer;
    for (;;) {
        answer += socket.readAll();
        if (answer.contains(kReceipt))
            return Taken;
        if (socket.state() != QLocalSocket::ConnectedState)
            return Dropped;
        // A busy program holds the connection and reads the lines later.
        if (deadline.hasExpired())
            return Taken;
        socket.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
    }
}

QString MSingleInstance::lockPath(const QString &name)
{
    return serverPath(name) + QStringLiteral(".lock");
}

MSingleInstance::Claim MSingleInstance::claim(MFileLock &lock, const QString &name, const QStringList &lines, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    bool lockable = true;
    for (;;) {
        if (lockable && lock.tryLock())
            return Program;
        if (lockable && !lock.errorString().isEmpty()) {
            lockable = false;
            MLogger::instance()->log(QStringLiteral("Cannot make the lock %1: %2: only the socket tells whether "
                                                    "another copy runs")
                                         .arg(lock.path(), lock.errorString()));
        }
        const Delivery delivery = deliver(name, lines, 1000, timeoutMs);
        if (delivery == Taken)
            return HandedOver;
        // Dropped: the program was ending, so its lock is about to go.
        if (!lockable && delivery == NoProgram)
            return Program;
        if (deadline.hasExpired())
            return NoAnswer;
        // The holder listens within moments of taking the lock.
        QThread::msleep(20);
    }
}

bool MSingleInstance::listen(const QString &name)
{
    const QString path = serverPath(name);
    if (m_server.listen(path))
        return true;
    if (m_server.serverError() != QAbstractSocket::AddressInUseError)
        return false;
    QLocalSocket probe;
    probe.connectToServer(path, QIODevice::WriteOnly);
    if (probe.waitForConnected(1000)) {
        probe.abort();
        MLogger::instance()->log(QStringLiteral("The socket %1 belongs to a running copy: it is left alone").arg(path));
        return false;
    }
    // Left by a program that ended without removing it.
    QLocalServer::removeServer(path);
    return m_server.listen(path);
}

void MSingleInstance::close()
{
    m_server.close();
}

void MSingleInstance::newConnection()
{
    emit newInstance();
    QLocalSocket *socket = m_server.nextPendingConnection();
    if (!socket)
        return;
    m_socket = socket;
    m_received.insert(socket, QByteArray());
    connect(socket, &QLocalSocket::readyRead, this, &MSingleInstance::readyRead);
    // A client that goes away without writing must not leak either.
    connect(socket, &QLocalSocket::disconnected, this, [this, socket]() { hungUp(socket); });
    if (socket->bytesAvailable() > 0)
        readyRead();
    if (socket->state() != QLocalSocket::ConnectedState)
        hungUp(socket);
}

void MSingleInstance::hungUp(QLocalSocket *socket)
{
    take(socket, true);
    if (socket == m_socket)
        m_socket = nullptr;
    socket->deleteLater();
}

void MSingleInstance::readyRead()
{
    QLocalSocket *socket = qobject_cast<QLocalSocket *>(sender());
    if (!socket)
        socket = m_socket;
    if (!socket || !m_received.contains(socket))
        return;
    // A start sends a few short lines; anything larger is not one of ours.
    QByteArray &received = m_received[socket];
    received += socket->readAll();
    if (received.size() > 64 * 1024) {
        m_received.remove(socket);
        socket->abort();
        return;
    }
    take(socket, false);
}

void MSingleInstance::take(QLocalSocket *socket, bool closed)
{
    auto found = m_received.find(socket);
    if (found == m_received.end())
        return;
    if (closed)
        found.value() += socket->readAll();
    const QByteArray &received = found.value();
    const bool ended = received == kEndLine || received.endsWith(kEndLine + kEndLine);
    if (!ended && !closed)
        return;
    const QByteArray message = m_received.take(socket);
    if (message.size() > 64 * 1024)
        return;
    QStringList lines;
    if (!decodeMessage(message, lines)) {
        MLogger::instance()->systemError(QStringLiteral("Message of a second start refused: a \"%\" without two hex digits"));
        return;
    }
    // Said only once the lines are whole here, so a start never ends with its
    // file in a program that was ending; before they are acted on, which may
    // take a while (opening a document).
    if (!closed && socket->state() == QLocalSocket::ConnectedState) {
        socket->write(kReceipt);
        socket->flush();
    }
    if (!lines.isEmpty())
        emit messageReceived(lines);
}

QByteArray MSingleInstance::encodeMessage(const QStringList &lines)
{
    QByteArray block;
    for (const QString &line : lines) {
        if (!line.isEmpty())
            block += line.toUtf8().replace('%', "%25").replace('\r', "%0D").replace('\n', "%0A") + '\n';
    }
    return block;
}

bool MSingleInstance::decodeMessage(const QByteArray &bytes, QStringList &lines)
{
    lines.clear();
    auto hex = [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    };
    for (const QByteArray &line : bytes.split('\n')) {
        if (line.isEmpty())
            continue;
        for (int at = line.indexOf('%'); at >= 0; at = line.indexOf('%', at + 1)) {
            if (at + 2 >= line.size() || !hex(line.at(at + 1)) || !hex(line.at(at + 2))) {
                lines.clear();
                return false;
            }
        }
        lines.append(QString::fromUtf8(QByteArray::fromPercentEncoding(line)));
    }
    return true;
}
