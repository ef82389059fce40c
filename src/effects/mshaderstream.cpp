#include "mshaderstream.h"

#include "mlogger.h"
#include "mregularfile.h"
#include "mshader.h"
#include "mutility.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

MShaderStream::MShaderStream(MShader *shader, QObject *parent)
    : QObject(parent)
    , m_shader(shader)
{
}

bool MShaderStream::loadFromJsonFile(const QString &fileName)
{
    if (!m_shader || fileName.isEmpty())
        return false;
    MRegularFile file(fileName);
    if (!file.openForReading()) {
        MLogger::instance()->systemError(QStringLiteral("Unable to open %1: %2").arg(fileName, file.errorString()));
        return false;
    }
    return loadFromJson(file.readAll(), fileName);
}

bool MShaderStream::loadFromJson(const QByteArray &bytes, const QString &fileName)
{
    if (!m_shader)
        return false;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (!document.isObject()) {
        MLogger::instance()->systemError(QStringLiteral("Not an effect file: %1 (%2)")
                                             .arg(fileName, error.error == QJsonParseError::NoError
                                                                ? QStringLiteral("no JSON object")
                                                                : error.errorString()));
        return false;
    }
    const QJsonObject json = document.object();
    m_shader->set_description(MUtility::jsonLibraryName(json.value(QStringLiteral("description")), QStringLiteral("brush shader"), "Shaders"));
    m_shader->set_group(MUtility::jsonLibraryName(json.value(QStringLiteral("group")), QStringLiteral("basics"), "Shaders"));
    m_shader->set_source(textFromBase64(json.value(QStringLiteral("source"))));
    m_shader->set_id(json.value(QStringLiteral("id")).toString().toUpper());
    m_shader->set_type(MUtility::jsonWholeNumber(json.value(QStringLiteral("type")), 0));
    const QImage preview = MUtility::imageFromJson(json.value(QStringLiteral("preview")));
    if (!preview.isNull())
        m_shader->set_preview(preview);
    return true;
}

bool MShaderStream::saveToJsonFile(const QString &fileName)
{
    if (!m_shader || fileName.isEmpty())
        return false;
    QJsonObject json;
    json.insert(QStringLiteral("group"), m_shader->group().trimmed());
    json.insert(QStringLiteral("description"), m_shader->description().trimmed());
    json.insert(QStringLiteral("id"), m_shader->id().trimmed().toUpper());
    json.insert(QStringLiteral("source"), textToBase64(m_shader->source()));
    json.insert(QStringLiteral("type"), m_shader->type());
    json.insert(QStringLiteral("preview"), MUtility::imageToJson(m_shader->preview()));
    // The indented JSON text is UTF-8.
    if (MUtility::writeTextFile(QString::fromUtf8(QJsonDocument(json).toJson(QJsonDocument::Indented)), fileName))
        return true;
    MLogger::instance()->systemError(QStringLiteral("Unable to write %1").arg(fileName));
    return false;
}

QJsonValue MShaderStream::textToBase64(const QString &text)
{
    return QJsonValue(QString::fromLatin1(text.toUtf8().toBase64()));
}

QString MShaderStream::textFromBase64(const QJsonValue &value)
{
    // With its size: converting the array alone would stop at a NUL character.
    const QByteArray bytes = QByteArray::fromBase64(value.toString().toLatin1());
    return QString::fromUtf8(bytes.constData(), bytes.size());
}
