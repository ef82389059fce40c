#pragma once

#include <QSettings>

class QIODevice;

// The settings file ("KalmiDraw.conf"), in the text the framework's INI format
// reads and writes, but written by the system itself. The framework's writer
// renames its temporary file over the settings even when the last writes to
// it failed, so a full disk left a cut-off file and no error. Here every byte
// is flushed and synced before the framework renames the file: a failed save
// leaves the old file as it was, is logged and shown to the painter once, and
// is tried again at the next save.
class MSettingsFormat
{
public:
    // Registers the format and makes it the default of every QSettings made
    // afterwards; the first call in a process also clears what a killed save
    // left beside the file. Returns the format.
    static QSettings::Format install();

    // The framework's callbacks of the format.
    static bool read(QIODevice &device, QSettings::SettingsMap &map);
    static bool write(QIODevice &device, const QSettings::SettingsMap &map);

    // The text of the file, byte for byte as the framework's INI format
    // writes it, and back.
    static QByteArray toText(const QSettings::SettingsMap &map);
    static QSettings::SettingsMap fromText(const QByteArray &text);

    // Removes the lock and the temporary files of a save that was killed,
    // unless another process is saving that file right now.
    static void removeLeftovers(const QString &settingsPath);

    // Saves the settings' changes, as QSettings::sync, and reports a save
    // that failed before the writer above ran: the framework takes a lock
    // file first, which on a completely full disk or in a read-only folder
    // cannot be made. Reported once, as every failure of the writer.
    static void sync(QSettings &settings);

private:
    static void reportFailure(const QString &path, const QString &reason);
};
