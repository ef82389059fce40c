#pragma once

// A benchmark's own home: the settings and folders it runs on are fresh ones,
// never the user's.

#include <QByteArray>
#include <QLatin1Char>
#include <QLatin1String>
#include <QTemporaryDir>
#include <QtGlobal>

namespace BenchHome {

// Points this process's home and XDG folders below `root`; false when the
// folder could not be made. Call before the application exists.
inline bool useFreshFolders(const QTemporaryDir &root)
{
    if (!root.isValid())
        return false;
    for (const char *name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
        qputenv(name, (root.path() + QLatin1Char('/') + QLatin1String(name)).toUtf8());
    return true;
}

} // namespace BenchHome
