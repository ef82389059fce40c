#pragma once

#include <QFile>
#include <QString>

// A file the painter or a library folder names, opened for reading only when
// it is a regular file (a link to one included). A named pipe would block the
// open until something writes to it, and a device would give endless or
// blocking reads: both are refused with the reason instead, without waiting.
// The check is made on the opened file, so a file swapped in after it cannot
// slip through.
class MRegularFile : public QFile
{
public:
    explicit MRegularFile(const QString &path);

    // Read-only; false with errorString() telling why when the file is
    // missing, unreadable or not a regular file.
    bool openForReading();
    // Write-only at its end (emptied first when truncate), made when
    // missing; false with errorString() telling why when it cannot be opened
    // or is not a regular file: a named pipe nobody reads would hold the
    // open.
    bool openForAppending(bool truncate);

    // The path it was made with, also once open (where the framework's
    // file, opened on a descriptor, would forget it): readers take formats
    // from its suffix.
    QString fileName() const override;

    // The whole file when it holds at most limit bytes, else limit + 1 of
    // them so that the caller can tell. The buffer is sized by the file, not
    // by the limit: reading a small file never reserves the largest one.
    QByteArray readAtMost(qint64 limit);

    // Why the file cannot be opened for reading, in words; empty when it can.
    static QString refusal(const QString &path);

private:
    bool openChecked(int flags, QIODevice::OpenMode mode);

    QString m_path;
};
