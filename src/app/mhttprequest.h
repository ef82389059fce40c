#pragma once

#include <QByteArray>
#include <QHash>
#include <QNetworkAccessManager>
#include <QObject>
#include <QString>

class QNetworkReply;
class QUrl;

// One request to the maker's web server, used once. A good answer fills the
// caller's buffer and emits finished; a failure emits error alone, so that a
// connection error is reported once and never as an empty answer. Either way
// the request deletes itself after its answer.
class MHttpRequest : public QObject
{
    Q_OBJECT
public:
    enum { Get = 0, Post = 1 };

    MHttpRequest(const QString &url, QByteArray *result, QObject *parent = nullptr);
    ~MHttpRequest() override;

    // The server's address (ending in "/") and an address on it.
    static QString siteRoot();
    static QString serverUrl(const QString &path);
    // Whether a request may go there: https to any host, plain http only to
    // this machine's loopback, which nothing outside can read.
    static bool isAllowedAddress(const QUrl &url);

    void addParameter(const QString &name, const QString &value);
    QString query() const;
    QString url() const;
    // A request to an address that is not allowed is not sent: error
    // follows, from the event loop, as for a failed connection.
    void send();

    int method = Get;

signals:
    void finished(const QByteArray *result);
    void error(const QString &message);

public slots:
    void onFinished(QNetworkReply *reply);

private:
    QString m_baseUrl;
    QByteArray *m_result;
    QNetworkAccessManager m_manager;
    QHash<QString, QString> m_parameters;
};
