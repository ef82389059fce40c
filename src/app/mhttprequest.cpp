#include "mhttprequest.h"

#include "mlogger.h"
#include "msettings.h"

#include <QHostAddress>

#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslConfiguration>
#include <QTimer>
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

bool MHttpRequest::isAllowedAddress(const QUrl &url)
{
    if (!url.isValid() || url.host().isEmpty())
        return false;
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("https"))
        return true;
    const QString host = url.host().toLower();
    return scheme == QLatin1String("http")
           && (host == QLatin1String("localhost") || QHostAddress(host).isLoopback());
}

void MHttpRequest::send()
{
    const QUrl address(url(), QUrl::TolerantMode);
    if (!isAllowedAddress(address)) {
        const QString reason =
            QStringLiteral("Request refused: %1 is not an https address").arg(address.toString(QUrl::RemoveQuery));
        MLogger::instance()->systemError(reason);
        QTimer::singleShot(0, this, [this, reason]() {
            emit error(reason);
            deleteLater();
        });
        return;
    }
    QNetworkRequest request(address);
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
