#pragma once

#include <QString>

// The cache folder (the user data folder's "cache") holds the undo spill files
// and parked layers of every running copy of the system, each copy in a folder
// of its own named after its process (its id and the moment it started, so
// that a later process given the same id is another owner). A copy clears its
// own folder, and what belongs to no running copy; never another live copy's
// files. Links found where a folder is expected are removed as links and
// never followed.
class MCacheFolder
{
public:
    // The shared folder, created: a link in its place is replaced by a folder.
    static QString root();
    // This process's folder in it, created.
    static QString own();
    // The folder name of the running process of that id; empty when no
    // process of that id runs.
    static QString folderName(qint64 pid);
    // Whether the folder of that name belongs to a process that still runs.
    static bool isOwnerRunning(const QString &name);
    // Empties this process's folder (and removes it when removeOwn is set),
    // then removes every other entry of the shared folder whose owner no
    // longer runs.
    static void clear(bool removeOwn);
};
