#include "mtestprogram.h"

#include "mregularfile.h"
#include "msettingsformat.h"
#include "msingleinstance.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTest>

namespace {
const QString kInstanceKey = QStringLiteral("com.vantorel.kalmidraw");
} // namespace

QString MTestProgram::executable()
{
    return QStringLiteral(KALMI_BIN_DIR "/kalmidraw");
}

MTestProgram::MTestProgram(const QStringList &arguments, const QString &workingDirectory)
{
    if (!workingDirectory.isEmpty())
        m_process.setWorkingDirectory(workingDirectory);
    m_process.start(executable(), arguments);
    m_process.waitForStarted(30000);
}

MTestProgram::~MTestProgram()
{
    kill();
}

bool MTestProgram::waitForEnd(int timeoutMs)
{
    // No application object may run to hear of the end: it is asked.
    return QTest::qWaitFor([this]() { return m_process.state() == QProcess::NotRunning || m_process.waitForFinished(10); },
                           timeoutMs);
}

bool MTestProgram::endsWith(int exitCode, int timeoutMs)
{
    return waitForEnd(timeoutMs) && m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == exitCode;
}

void MTestProgram::kill()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.kill();
    m_process.waitForFinished(30000);
}

QString MTestProgram::settingsPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
           + QStringLiteral("/Vantorel/KalmiDraw.conf");
}

QVariant MTestProgram::storedSetting(const QString &key)
{
    // The file's bytes: a settings object of this process would see the
    // changes another one of the same file has not saved yet. A test may
    // make it a pipe, which must not hold the test.
    MRegularFile stored(settingsPath());
    if (!stored.openForReading())
        return QVariant();
    return MSettingsFormat::fromText(stored.readAll()).value(key);
}

bool MTestProgram::opens(const QString &file, int timeoutMs)
{
    const QString recent = QStringLiteral("recentFiles");
    // Already first, its opening would not show.
    if (storedSetting(recent).toStringList().value(0) == file)
        return false;
    // A program still starting may not listen yet.
    const QDeadlineTimer deadline(timeoutMs);
    if (!QTest::qWaitFor([&file]() { return MSingleInstance::sendMessage(kInstanceKey, {QStringLiteral("hello"), file}, 1000); },
                         timeoutMs))
        return false;
    return QTest::qWaitFor([&]() { return storedSetting(recent).toStringList().value(0) == file; },
                           int(deadline.remainingTime()));
}
