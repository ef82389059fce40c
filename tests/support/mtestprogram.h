#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QVariant>

// The real program started as a child process, in the test's own folders
// (tests/isolate.sh). It is killed when it goes out of scope still running:
// a start that hangs fails its test instead of outliving it.
class MTestProgram
{
public:
    // The kalmidraw executable of the build.
    static QString executable();

    explicit MTestProgram(const QStringList &arguments = {}, const QString &workingDirectory = {});
    ~MTestProgram();
    MTestProgram(const MTestProgram &) = delete;
    MTestProgram &operator=(const MTestProgram &) = delete;

    QProcess &process() { return m_process; }
    bool isRunning() const { return m_process.state() != QProcess::NotRunning; }
    // Whether it ended within the time, whatever its exit code.
    bool waitForEnd(int timeoutMs);
    // Ended normally with that code within the time.
    bool endsWith(int exitCode, int timeoutMs);
    void kill();

    // The program's settings file, and a setting as the program last wrote
    // it there.
    static QString settingsPath();
    static QVariant storedSetting(const QString &key);
    // Hands the file to the running program, as a later start would, and
    // waits until the program has opened it (its first recent file on disk):
    // the window of a program that does so answers. False also when it was
    // the first recent file already.
    static bool opens(const QString &file, int timeoutMs);

private:
    QProcess m_process;
};
