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
    // left beside the file, and sets aside a settings file that is no
    // regular file (see setAside). Returns the format.
    static QSettings::Format install();

    // A settings file that is a named pipe, a device or a link to one would
    // hold the program in the framework's open for ever: it is renamed to
    // its name followed by ".not-a-file", a link as the link, so that a
    // regular file takes its place. Returns what happened, in words, for
    // the log; empty when the file is missing or regular.
    static QString setAside(const QString &settingsPath);
    // What install() set aside in this process, told once: the log of the
    // run starts after it.
    static QString takeSetAsideNotice();

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
