#include "msingleinstance.h"

#include <QLocalSocket>

MSingleInstance::MSingleInstance(QObject *parent)
    : QObject(parent)
{
    connect(&m_server, &QLocalServer::newConnection, this, &MSingleInstance::newConnection);
}

MSingleInstance::~MSingleInstance()
{
    close();
}

bool MSingleInstance::sendMessage(const QString &name, const QStringList &lines, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(name, QIODevice::ReadWrite);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    QByteArray block;
    for (const QString &line : lines)
        block += line.toUtf8() + '\n';
    socket.write(block);
    socket.waitForBytesWritten(timeoutMs);
    return true;
}

void MSingleInstance::listen(const QString &name)
{
    QLocalServer::removeServer(name);
    m_server.listen(name);
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
    connect(socket, &QLocalSocket::readyRead, this, &MSingleInstance::readyRead);
    // A client that connects and goes away without writing must not leak.
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    if (socket->bytesAvailable() > 0)
        readyRead();
}

void MSingleInstance::readyRead()
{
    QLocalSocket *socket = qobject_cast<QLocalSocket *>(sender());
    if (!socket)
        socket = m_socket;
    if (!socket)
        return;
    socket->readAll();
    socket->close();
    if (socket == m_socket)
        m_socket = nullptr;
    socket->deleteLater();
}
