#pragma once

#include <QString>
#include <QStringList>

// The lines written to the log file since the watch was made.
class MTestLogWatch
{
public:
    MTestLogWatch();

    QStringList lines() const;
    // How many of those lines contain the text.
    int count(const QString &text) const;

private:
    qint64 m_start = 0;
};
