#pragma once

#include "mtestfolder.h"

#include <QImage>
#include <QPointer>
#include <QStringList>

class MBrushList;

// A brush library on temporary system and user folders, installed as the
// application's library while it lives (make it before a window or panel that
// shows it, delete it after). Each entry is "s:group/description" for a system
// brush or "u:group/description" for a user brush; the user order file lists
// them in entry order. Brush i has the id id(i), a radius of 4 and, unless
// withPreviews is false, a plain yellow preview (its file holds none then).
class MTestBrushLibrary
{
public:
    explicit MTestBrushLibrary(const QStringList &entries, bool withPreviews = true);
    ~MTestBrushLibrary();

    MBrushList *library() const { return m_library; }
    QString systemFolder() const;
    QString userFolder() const;
    const MTestFolder &root() const { return m_root; }
    static QString id(int i);

    // A brush file with the id, group, description, radius and preview.
    static bool writeBrushFile(const QString &path, const QString &id, const QString &group,
                               const QString &description, double radius = 20, const QImage &preview = QImage());
    // "group/description" of every brush of a library read afresh from the folders.
    QStringList reloaded() const;
    // The brush files of the user folder.
    QStringList userFiles() const;

private:
    MTestFolder m_root;
    // A test may have destroyed the application's library itself.
    QPointer<MBrushList> m_library;
};
