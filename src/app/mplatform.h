#pragma once

#include <QString>

// What the desktop offers elsewhere and Linux lacks, in the form the rest of
// the system expects it.
class MPlatform
{
public:
    // A named lock taken once per run and never released before the process
    // ends; like the start-up mutex it guards nothing by itself.
    static void createStartupMutex(const QString &name);

    // Opens the file manager on a folder, or on the folder holding a file.
    static bool showInFileManager(const QString &path);

    // Bytes of memory a process can still take without swapping; -1 when unknown.
    static qint64 availableMemory();
};
