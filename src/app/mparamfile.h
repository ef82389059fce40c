#pragma once

#include <QMetaType>
#include <QString>

// One item file of a folder-backed library.
struct MParamFile
{
    int location = -1; // MFolders::SystemPath or MFolders::UserPath; -1 for none
    QString path;      // absolute file path
    QString id;        // the file's base name, trimmed and upper-cased

    bool isValid() const { return location >= 0 && !path.isEmpty(); }
};

Q_DECLARE_METATYPE(MParamFile)
