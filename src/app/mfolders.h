#pragma once

#include <QStandardPaths>
#include <QString>

// Where the system's folders are: the user's data and documents folders, the
// program's own folder, and the library folders (brushes, papers...) in both
// of them. Every folder path ends in "/". Qt Core alone, so that the lowest
// services (the log, the cache folder) can find their folders.
class MFolders
{
public:
    // Folder kinds and locations, numbered as MEnum::Directory and MEnum::PathType.
    enum { BrushDir = 0, CacheDir, ModelDir, PaperDir, ShaderDir, ShapeDir, SnippetDir, SwatchDir, TemplateDir, TextureDir };
    enum { SystemPath = 0, UserPath = 1 };

    static QString folderPath(const QString &path);
    static QString standardFolder(QStandardPaths::StandardLocation location);
    static QString userDataPath();
    static QString applicationDirectory();
    static QString userDocumentsPath();
    static QString directoryName(int kind);
    // A library's folder; the cache kind is no library: its folder is the
    // process's own in the shared cache folder (MCacheFolder).
    static QString dataDirectory(int location, int kind);
    static QString brushesDirectory(int location);
    static QString papersDirectory(int location);
    static QString shadersDirectory(int location);
    static QString snippetsDirectory(int location);
    static QString swatchesDirectory(int location);
    static QString templatesDirectory(int location);
    static QString ensureDirectory(const QString &path);
    // A link, as the folder or inside it, is removed as a link and never
    // followed: emptying a link (removeSelf false) fails and removes nothing.
    static bool removeDirectory(const QString &path, bool removeSelf, bool recursive);
    static void copyDirectory(const QString &source, const QString &target, bool overwrite);
};
