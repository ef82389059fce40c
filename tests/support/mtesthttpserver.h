#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QTcpServer>

// A small HTTP server on 127.0.0.1 that stands for the maker's web server:
// it answers every request with the body set for its path (404 for other
// paths) and records what it was sent.
class MTestHttpServer : public QObject
{
    Q_OBJECT
public:
    struct Request
    {
        QByteArray method;
        QByteArray path;  // with the query
        QHash<QByteArray, QByteArray> headers; // names lower-cased
        QByteArray body;
    };

    explicit MTestHttpServer(QObject *parent = nullptr);
    bool listen();
    void close();
    // "http://127.0.0.1:<port>"
    QString address() const;
    void setAnswer(const QByteArray &path, const QByteArray &body) { m_answers.insert(path, body); }
    const QList<Request> &requests() const { return m_requests; }
    // An address where nothing listens (a port taken and let go at once).
    static QString deadAddress();

private:
    void onNewConnection();
    void onReadyRead();

    QTcpServer m_server;
    QHash<QByteArray, QByteArray> m_answers;
    QHash<QObject *, QByteArray> m_pending;
    QList<Request> m_requests;
};
