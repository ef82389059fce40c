#pragma once

#include "msingleton.h"

#include <QMutex>
#include <QString>

// The log file "vantor.log" in the user data folder, echoed to the debug output.
// Lines come from the GUI thread and the undo spill workers; a lock keeps them whole.
class MLogger : public MSingleton<MLogger>
{
public:
    MLogger();
    ~MLogger() override;

    // Empties the file and writes the session's first line. Only the copy
    // that goes on running calls it: a second start that hands over to the
    // running copy must not cost that copy its log.
    void startSession();

    MLogger &operator<<(const QString &message);
    // Each returns the line as written (without its time), so that whoever
    // failed can hand the same words to the one who asked.
    QString log(const QString &message);
    QString debug(const QString &message);
    // Logs "System error: <message>".
    QString systemError(const QString &message);

    static QString capitalizeFirst(const QString &text);
    static QString logFilePath();

private:
    void writeLine(const QString &message);

    QMutex m_mutex;
};
