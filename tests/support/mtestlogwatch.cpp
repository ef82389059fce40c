#include "mtestlogwatch.h"

#include "mlogger.h"

#include <QFile>

MTestLogWatch::MTestLogWatch()
{
    MLogger::instance();
    m_start = QFile(MLogger::logFilePath()).size();
}

QStringList MTestLogWatch::lines() const
{
    QFile file(MLogger::logFilePath());
    if (!file.open(QIODevice::ReadOnly) || !file.seek(m_start))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

int MTestLogWatch::count(const QString &text) const
{
    int n = 0;
    for (const QString &line : lines())
        n += line.contains(text);
    return n;
}
