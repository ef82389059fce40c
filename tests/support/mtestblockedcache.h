#pragma once

#include <QString>

// While the object lives the cache folder is a plain file, so that nothing
// can be created in it; the folder comes back, empty, afterwards.
class MTestBlockedCache
{
public:
    MTestBlockedCache();
    ~MTestBlockedCache();
    MTestBlockedCache(const MTestBlockedCache &) = delete;
    MTestBlockedCache &operator=(const MTestBlockedCache &) = delete;

    bool isActive() const { return m_active; }

private:
    QString m_folder;
    bool m_active = false;
};
