#pragma once

#include <QHash>
#include <QLocalServer>
#include <QObject>
#include <QStringList>

class MFileLock;
class QLocalSocket;

// Keeps a second start from running beside the first. Which start becomes the
// program is decided by a lock that one process at a time can hold (claim);
// the holder listens on the named local socket, and every other start says
// hello there, with the file it was asked to open, and ends. Lock and socket
// live in the user's runtime folder, so another user's copy neither answers
// nor blocks it.
class MSingleInstance : public QObject
{
    Q_OBJECT
public:
    enum Claim {
        Program,    // this start holds the lock: it becomes the program
        HandedOver, // the running program took the lines
        NoAnswer    // another start holds the lock but never answered
    };

    explicit MSingleInstance(QObject *parent = nullptr);
    ~MSingleInstance() override;

    // Where the socket of that name lives: the user's runtime folder.
    static QString serverPath(const QString &name);
    // The file whose lock makes a start the program: beside the socket.
    static QString lockPath(const QString &name);

    // Takes the lock, or hands the lines to the program that holds it, trying
    // again until one of them works or timeoutMs have passed: the holder may
    // not listen yet. When no lock can be made at all (an unwritable runtime
    // folder), a start that nobody answers becomes the program, as it would
    // without locks.
    static Claim claim(MFileLock &lock, const QString &name, const QStringList &lines, int timeoutMs);

    // What became of lines sent to the program.
    enum Delivery {
        NoProgram, // nobody listens on the name
        Taken,     // the program took them, or holds the connection without answering yet
        Dropped    // the connection closed before the program took them (it was ending)
    };

    // Sends the lines without waiting for the program to take them: true
    // when a program listens.
    static bool sendMessage(const QString &name, const QStringList &lines, int timeoutMs = 30000);
    // Sends the lines and waits up to receiptMs for the program to say it took them.
    static Delivery deliver(const QString &name, const QStringList &lines, int connectMs, int receiptMs);
    // A message as it goes over the socket: each line in UTF-8 ended by a
    // newline, with "%", carriage return and newline written as "%25", "%0D"
    // and "%0A", so that no line (a file name may hold a newline) can become
    // two; an empty line ends the message (empty lines carry nothing). The
    // program answers a whole message with "ok" and a newline once it has
    // taken it. Decoding refuses the whole message for a "%" not followed by
    // two hex digits.
    static QByteArray encodeMessage(const QStringList &lines);
    static bool decodeMessage(const QByteArray &bytes, QStringList &lines);
    // Listens on the name. A socket already there is taken over only when
    // nobody answers on it: a running program's socket is never removed.
    bool listen(const QString &name);
    void close();

signals:
    void newInstance();
    // The lines a start sent, once it hung up.
    void messageReceived(const QStringList &lines);

private slots:
    void newConnection();
    void readyRead();

private:
    // Hands a message on once it is whole: at its end line, or when the
    // start hung up without one.
    void take(QLocalSocket *socket, bool closed);
    void hungUp(QLocalSocket *socket);

    QLocalServer m_server;
    QLocalSocket *m_socket = nullptr;
    QHash<QLocalSocket *, QByteArray> m_received;
};
