#pragma once

#include <QJsonObject>
#include <QObject>
#include <QSize>
#include <QString>

class MBrush;

// Reads and writes one brush as a JSON file (extension "kxb", "version" 100):
// identity, the 39 settings with their input curves, quick settings, brush
// engine values, texture and preview. Reading is lenient: whatever a file
// lacks or holds wrongly takes the default, and nothing in it can make the
// brush claim an id that is not a braced UUID.
class MBrushStream : public QObject
{
    Q_OBJECT
public:
    explicit MBrushStream(MBrush *brush, QObject *parent = nullptr);

    // False when the file cannot be written; an older file then stays whole.
    bool saveToJsonFile(const QString &path);
    // False, with the brush unchanged, when the file cannot be read or is no
    // JSON document.
    bool loadFromJsonFile(const QString &path);
    // The same from the file's bytes, without touching the disk or the GPU;
    // source names the file in log lines.
    bool loadFromJson(const QByteArray &bytes, const QString &source);

    QJsonObject toJson();
    void fromJson(const QJsonObject &json, const QString &source = QString());

    // Beyond these a file or an image in it is refused unread.
    static constexpr qint64 kMaximumFileSize = 128 * 1024 * 1024;
    static QSize maximumImageSize();
    // Only the first control points shape a curve; a file may not hold more.
    static constexpr int kMaximumCurvePoints = 64;

private:
    void readId(const QJsonValue &value, const QString &source);
    void readSetting(int setting, const QJsonObject &json, const QString &source);
    void readQuickSettings(const QJsonValue &value);
    void readShaderValues(const QJsonValue &value);

    MBrush *m_brush;
};
