#pragma once

#include <QString>

// A lock on a file that one holder at a time can take, for as long as the
// object lives: the system ends it when the holder's process ends, however
// it ends, so a lock is never left behind. The file itself stays; it is only
// the thing locked.
class MFileLock
{
public:
    explicit MFileLock(const QString &path);
    ~MFileLock();
    MFileLock(const MFileLock &) = delete;
    MFileLock &operator=(const MFileLock &) = delete;

    // Takes the lock when nobody holds it, without waiting; true while held.
    bool tryLock();
    bool isLocked() const { return m_fd >= 0; }
    void unlock();
    QString path() const { return m_path; }
    // Why the last tryLock failed: empty when another holder has it.
    QString errorString() const { return m_error; }

private:
    QString m_path;
    QString m_error;
    int m_fd = -1;
};
