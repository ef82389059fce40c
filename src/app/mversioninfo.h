#pragma once

#include <QByteArray>
#include <QString>

// A program version as the maker's server publishes it; a default-built
// record describes the running program.
class MVersionInfo
{
public:
    MVersionInfo();

    // False when the bytes do not hold a whole record (empty, cut short or
    // garbage); the fields then hold what could be read.
    bool load(const QByteArray &bytes);
    static bool fromByteArray(MVersionInfo &record, const QByteArray &bytes);
    // The record as the server writes it.
    QByteArray toByteArray() const;

    // Compares major, then minor, then patch; name and platform take no part.
    bool isNewerThan(const MVersionInfo &other) const;
    QString toString() const;
    // The platform word of the running program: "win64" or "win32" on
    // Windows, else the kernel's name and the word size ("linux64").
    static QString runningPlatform();

    QString name;
    int major = 0;
    int minor = 0;
    int patch = 0;
    QString platform;
};
