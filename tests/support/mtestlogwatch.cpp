#include "mtestlogwatch.h"

#include "mlogger.h"

#include <QFile>

namespace {
// "yyyy/MM/dd hh:mm:ss: " before each message.
const int kStampLength = 21;
} // namespace

MTestLogWatch::MTestLogWatch()
{
    MLogger::instance();
    m_start = QFile(MLogger::logFilePath()).size();
}

QStringList MTestLogWatch::lines() const
{
    return linesFrom(m_start);
}

int MTestLogWatch::count(const QString &text) const
{
    int n = 0;
    for (const QString &line : lines())
        n += line.contains(text);
    return n;
}

QStringList MTestLogWatch::fileLines()
{
    return linesFrom(0);
}

QStringList MTestLogWatch::fileMessages()
{
    QStringList messages;
    for (const QString &line : fileLines())
        messages.append(message(line));
    return messages;
}

QString MTestLogWatch::message(const QString &line)
{
    return line.mid(kStampLength);
}

QStringList MTestLogWatch::linesFrom(qint64 offset)
{
    QFile file(MLogger::logFilePath());
    if (!file.open(QIODevice::ReadOnly) || !file.seek(offset))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}
