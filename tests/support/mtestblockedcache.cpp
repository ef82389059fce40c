#include "mtestblockedcache.h"

#include "mutility.h"

#include <QDir>
#include <QFile>

MTestBlockedCache::MTestBlockedCache()
    : m_folder(MUtility::cacheDirectory())
{
    QFile blocker(m_folder.chopped(1));
    m_active = QDir(m_folder).removeRecursively() && blocker.open(QIODevice::WriteOnly);
}

MTestBlockedCache::~MTestBlockedCache()
{
    QFile::remove(m_folder.chopped(1));
    QDir().mkpath(m_folder);
}
