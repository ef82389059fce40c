#include "mtestfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

MTestFolder::MTestFolder() = default;

QString MTestFolder::path() const
{
    return m_dir.path() + QLatin1Char('/');
}

QString MTestFolder::filePath(const QString &name) const
{
    return path() + name;
}

QString MTestFolder::writeFile(const QString &name, const QByteArray &content) const
{
    const QString file = filePath(name);
    QDir().mkpath(QFileInfo(file).absolutePath());
    QFile out(file);
    if (out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        out.write(content);
    return file;
}

QByteArray MTestFolder::readFile(const QString &name) const
{
    QFile in(filePath(name));
    if (!in.open(QIODevice::ReadOnly))
        return QByteArray();
    return in.readAll();
}
