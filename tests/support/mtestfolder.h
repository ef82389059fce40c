#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A temporary folder removed with the test, with small helpers to fill it.
class MTestFolder
{
public:
    MTestFolder();

    bool isValid() const { return m_dir.isValid(); }
    QString path() const;                                   // ends in "/"
    QString filePath(const QString &name) const;
    QString writeFile(const QString &name, const QByteArray &content) const;
    QByteArray readFile(const QString &name) const;

private:
    QTemporaryDir m_dir;
};
