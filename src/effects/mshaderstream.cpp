#include "mshaderstream.h"

#include "mlogger.h"
#include "mshader.h"
#include "mutility.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>
#include <limits>

namespace {
// Library names are stored trimmed and in lower case; the translation
// catalogue holds them in lower case too.
QString libraryName(const QJsonValue &value, const QString &fallback)
{
    QString text = value.toString().toLower();
    if (text.isEmpty())
        text = fallback;
    return QCoreApplication::translate("Shaders", text.toUtf8().constData());
}

int wholeNumber(const QJsonValue &value)
{
    const double number = value.toDouble(std::nan(""));
    if (!std::isfinite(number) || std::floor(number) != number || number < std::numeric_limits<int>::min()
        || number > std::numeric_limits<int>::max())
        return 0;
    return int(number);
}
} // namespace

MShaderStream::MShaderStream(MShader *shader, QObject *parent)
    : QObject(parent)
    , m_shader(shader)
{
}

bool MShaderStream::loadFromJsonFile(const QString &fileName)
{
    if (!m_shader || fileName.isEmpty())
        return false;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        MLogger::instance()->systemError(QStringLiteral("Unable to open %1: %2").arg(fileName, file.errorString()));
        return false;
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (!document.isObject()) {
        MLogger::instance()->systemError(QStringLiteral("Not an effect file: %1 (%2)")
                                             .arg(fileName, error.error == QJsonParseError::NoError
                                                                ? QStringLiteral("no JSON object")
                                                                : error.errorString()));
        return false;
    }
    const QJsonObject json = document.object();
    m_shader->set_description(libraryName(json.value(QStringLiteral("description")), QStringLiteral("brush shader")));
    m_shader->set_group(libraryName(json.value(QStringLiteral("group")), QStringLiteral("basics")));
    m_shader->set_source(textFromBase64(json.value(QStringLiteral("source"))));
    m_shader->set_id(json.value(QStringLiteral("id")).toString().toUpper());
    m_shader->set_type(wholeNumber(json.value(QStringLiteral("type"))));
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
