#pragma once

#include <QIODevice>
#include <QString>

// A file written beside its target under a name of our own ("<target>.kalmisave")
// and renamed over the target only once every byte reached the disk. A save
// killed half-way leaves that name, which the next save of the same target
// removes first. Failures keep the system's reason ("No space left on device"),
// which a short write or a final flush would otherwise lose.
class MSaveFile : public QIODevice
{
    Q_OBJECT
public:
    // A document the painter named through a link goes to the file the link
    // names; a file of the program's own folders that is a link is replaced
    // by a plain file, so that nothing outside those folders is written.
    enum LinkMode { FollowLink, ReplaceLink };

    explicit MSaveFile(const QString &target, QObject *parent = nullptr);
    MSaveFile(const QString &target, LinkMode mode, QObject *parent = nullptr);
    ~MSaveFile() override;

    static QString temporaryPath(const QString &target);

    // Only writing is supported; any leftover of an earlier save goes first.
    bool open(OpenMode mode) override;
    void close() override;
    // Flushes to the disk and renames over the target; false with errorString()
    // set when any write or the rename failed (the target is then untouched).
    bool commit();
    // Removes the temporary file; the target stays as it was.
    void cancelWriting();
    bool hasError() const { return m_failed; }

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 size) override;

private:
    void fail(int error);
    void closeHandle();

    QString m_target;
    QString m_temporary;
    LinkMode m_linkMode = FollowLink;
    int m_fd = -1;
    bool m_failed = false;
};
