#include "mlogger.h"

#include "mfolders.h"
#include "mlogcategory.h"
#include "mregularfile.h"

#include <QDateTime>
#include <QDebug>
#include <QMutexLocker>

MLogger::MLogger() = default;

void MLogger::startSession()
{
    {
        QMutexLocker locker(&m_mutex);
        // A log that is a named pipe would hold every start in its open.
        MRegularFile file(logFilePath());
        if (file.openForAppending(true))
            file.close();
    }
    log(QStringLiteral("starting vantor log session"));
}

MLogger::~MLogger() = default;

QString MLogger::logFilePath()
{
    return MFolders::userDataPath() + QStringLiteral("vantor.log");
}

MLogger &MLogger::operator<<(const QString &message)
{
    log(message);
    return *this;
}

QString MLogger::capitalizeFirst(const QString &text)
{
    if (text.isEmpty())
        return text;
    return text.left(1).toUpper() + text.mid(1);
}

QString MLogger::log(const QString &message)
{
    QString line = capitalizeFirst(message);
    if (!line.endsWith(QLatin1Char('.')))
        line += QLatin1Char('.');
    qCDebug(lcLog).noquote() << line;
    writeLine(line);
    return line;
}

QString MLogger::debug(const QString &message)
{
    const QString line = capitalizeFirst(message);
    qCDebug(lcLog).noquote() << line;
    writeLine(line);
    return line;
}

QString MLogger::systemError(const QString &message)
{
    return log(QStringLiteral("System error: %1").arg(message));
}

void MLogger::writeLine(const QString &message)
{
    const QByteArray bytes = QDateTime::currentDateTime().toString(QStringLiteral("yyyy/MM/dd hh:mm:ss")).toUtf8()
                             + ": " + message.toUtf8() + "\n";
    QMutexLocker locker(&m_mutex);
    MRegularFile file(logFilePath());
    if (!file.openForAppending(false))
        return;
    file.write(bytes);
    file.close();
}
