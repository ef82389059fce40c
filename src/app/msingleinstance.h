#pragma once

#include <QHash>
#include <QLocalServer>
#include <QObject>
#include <QStringList>

class QLocalSocket;

// Keeps a second start from running beside the first: a start first says hello
// on the named local socket, with the file it was asked to open; when nobody
// answers it listens there itself. The socket lives in the user's runtime
// folder, so another user's copy neither answers nor blocks it.
class MSingleInstance : public QObject
{
    Q_OBJECT
public:
    explicit MSingleInstance(QObject *parent = nullptr);
    ~MSingleInstance() override;

    // Where the socket of that name lives: the user's runtime folder.
    static QString serverPath(const QString &name);

    static bool sendMessage(const QString &name, const QStringList &lines, int timeoutMs = 30000);
    // A message as it goes over the socket: each line in UTF-8 ended by a
    // newline, with "%", carriage return and newline written as "%25", "%0D"
    // and "%0A", so that no line (a file name may hold a newline) can become
    // two. Decoding refuses the whole message for a "%" not followed by two
    // hex digits.
    static QByteArray encodeMessage(const QStringList &lines);
    static bool decodeMessage(const QByteArray &bytes, QStringList &lines);
    void listen(const QString &name);
    void close();

signals:
    void newInstance();
    // The lines a start sent, once it hung up.
    void messageReceived(const QStringList &lines);

private slots:
    void newConnection();
    void readyRead();

private:
    void finish(QLocalSocket *socket);

    QLocalServer m_server;
    QLocalSocket *m_socket = nullptr;
    QHash<QLocalSocket *, QByteArray> m_received;
};
