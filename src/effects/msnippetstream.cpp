#include "msnippetstream.h"

#include "mlogger.h"
#include "mregularfile.h"
#include "msnippet.h"
#include "mutility.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

MSnippetStream::MSnippetStream(MSnippet *snippet, QObject *parent)
    : QObject(parent)
    , m_snippet(snippet)
{
}

bool MSnippetStream::read(const QString &path)
{
    if (!m_snippet)
        return false;
    MRegularFile file(path);
    if (!file.openForReading()) {
        MLogger::instance()->systemError(QStringLiteral("Unable to read %1: %2").arg(path, file.errorString()));
        return false;
    }
    return readData(file.readAll());
}

bool MSnippetStream::readData(const QByteArray &bytes)
{
    if (!m_snippet)
        return false;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return false;
    const QJsonObject json = document.object();
    m_snippet->set_id(json.value(QStringLiteral("id")).toString().toUpper());
    m_snippet->set_description(json.value(QStringLiteral("description")).toString());
    const QByteArray source = QByteArray::fromBase64(json.value(QStringLiteral("source")).toString().toLatin1());
    const int end = source.indexOf('\0');
    m_snippet->set_source(QString::fromUtf8(end >= 0 ? source.left(end) : source));
    return true;
}

bool MSnippetStream::write(const QString &path)
{
    if (!m_snippet || path.isEmpty())
        return false;
    QJsonObject json;
    json.insert(QStringLiteral("description"), m_snippet->description().trimmed());
    json.insert(QStringLiteral("id"), m_snippet->id().trimmed().toUpper());
    json.insert(QStringLiteral("source"), QString::fromLatin1(m_snippet->source().toUtf8().toBase64()));
    return MUtility::writeFile(QJsonDocument(json).toJson(QJsonDocument::Indented), path);
}
