#pragma once

#include <QJsonValue>
#include <QObject>
#include <QString>

class MShader;

// Reads and writes one effect or brush engine as a ".kxs" file: a JSON object
// with its id, group, description, type, source (UTF-8 in Base64) and
// preview (PNG in Base64). Everything else is compiled from the source.
class MShaderStream : public QObject
{
    Q_OBJECT
public:
    explicit MShaderStream(MShader *shader, QObject *parent = nullptr);

    // False, with the shader unchanged, when the file cannot be read or holds
    // no JSON object.
    bool loadFromJsonFile(const QString &fileName);
    // The same from the file's bytes, without touching the disk or the GPU;
    // fileName names the file in log lines.
    bool loadFromJson(const QByteArray &bytes, const QString &fileName);
    // Written beside the file and renamed over it: a failed write leaves the
    // old file whole.
    bool saveToJsonFile(const QString &fileName);

    // Text as Base64 of its UTF-8 bytes, and back.
    static QJsonValue textToBase64(const QString &text);
    static QString textFromBase64(const QJsonValue &value);

private:
    MShader *m_shader;
};
