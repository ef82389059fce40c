#pragma once

#include <QString>
#include <QStringList>

// The lines written to the log file since the watch was made; the static
// functions read the whole file.
class MTestLogWatch
{
public:
    MTestLogWatch();

    QStringList lines() const;
    // How many of those lines contain the text.
    int count(const QString &text) const;

    // Every line of the log file, as written: its time stamp, then its message.
    static QStringList fileLines();
    // The messages of every line, without their time stamps.
    static QStringList fileMessages();
    // A line's message: what follows its time stamp.
    static QString message(const QString &line);

private:
    static QStringList linesFrom(qint64 offset);

    qint64 m_start = 0;
};
