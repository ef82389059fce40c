#include "mhttprequest.h"

#include "msettings.h"

#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslConfiguration>
#include <QUrl>

MHttpRequest::MHttpRequest(const QString &url, QByteArray *result, QObject *parent)
    : QObject(parent)
    , m_baseUrl(url)
    , m_result(result)
{
    connect(&m_manager, &QNetworkAccessManager::finished, this, &MHttpRequest::onFinished);
}

MHttpRequest::~MHttpRequest() = default;

QString MHttpRequest::siteRoot()
{
    QString root = MSettings::instance()->serverUrl().trimmed();
    if (!root.endsWith(QLatin1Char('/')))
        root += QLatin1Char('/');
    return root;
}

QString MHttpRequest::serverUrl(const QString &path)
{
    QString relative = path;
    while (relative.startsWith(QLatin1Char('/')))
        relative.remove(0, 1);
    return siteRoot() + relative;
}

void MHttpRequest::addParameter(const QString &name, const QString &value)
{
    m_parameters.insert(name.toLower(), value);
}

QString MHttpRequest::query() const
{
    QString text;
    for (auto it = m_parameters.constBegin(); it != m_parameters.constEnd(); ++it) {
        if (!text.isEmpty())
            text += QLatin1Char('&');
        // Only the unreserved characters stay as they are; "&" and "=" in a
        // value would otherwise split it.
        text += it.key() + QLatin1Char('=') + QString::fromLatin1(it.value().toUtf8().toPercentEncoding());
    }
    return text;
}

QString MHttpRequest::url() const
{
    if (m_parameters.isEmpty() || method == Post)
        return m_baseUrl;
    return m_baseUrl + QLatin1Char('?') + query();
}

void MHttpRequest::send()
{
    QNetworkRequest request(QUrl(url(), QUrl::TolerantMode));
    request.setSslConfiguration(QSslConfiguration::defaultConfiguration());
    if (method == Post) {
        request.setRawHeader("User-Agent", "User Agent");
        request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/x-www-form-urlencoded"));
    }
    if (method != Get)
        m_manager.post(request, query().toUtf8());
    else
        m_manager.get(request);
}

void MHttpRequest::onFinished(QNetworkReply *reply)
{
    if (!reply) {
        emit error(QStringLiteral("Invalid network reply"));
    } else if (reply->error() != QNetworkReply::NoError) {
        emit error(QStringLiteral("Network reply error : %1").arg(reply->errorString()));
    } else {
        if (m_result)
            *m_result = reply->readAll();
        emit finished(m_result);
    }
    if (reply)
        reply->deleteLater();
    deleteLater();
}
