#pragma once

#include "mtestfolder.h"

#include <QStringList>

class MBrushList;

// A brush library on temporary system and user folders, installed as the
// application's library while it lives (make it before a main window, delete
// it after). Each entry is "s:group/description" for a system brush or
// "u:group/description" for a user brush; the user order file lists them in
// entry order. Brush i has the id id(i).
class MTestBrushLibrary
{
public:
    explicit MTestBrushLibrary(const QStringList &entries);
    ~MTestBrushLibrary();

    MBrushList *library() const { return m_library; }
    QString systemFolder() const;
    QString userFolder() const;
    const MTestFolder &root() const { return m_root; }
    static QString id(int i);

    // A brush file with the id, group, description and radius.
    static bool writeBrushFile(const QString &path, const QString &id, const QString &group,
                               const QString &description, double radius = 20);
    // "group/description" of every brush of a library read afresh from the folders.
    QStringList reloaded() const;
    // The brush files of the user folder.
    QStringList userFiles() const;

private:
    MTestFolder m_root;
    MBrushList *m_library = nullptr;
};
