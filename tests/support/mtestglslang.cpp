#include "mtestglslang.h"

#include "mutility.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

MTestGlslang::MTestGlslang()
    : m_validator(QStandardPaths::findExecutable(QStringLiteral("glslangValidator")))
{
}

QString MTestGlslang::validate(const QStringList &names, const QStringList &sources)
{
    if (!isValid())
        return QStringLiteral("glslangValidator (Debian package glslang-tools) is not installed");
    QStringList arguments;
    if (sources.size() > 1)
        arguments << QStringLiteral("-l");
    for (int i = 0; i < sources.size(); ++i) {
        const QString stage = names.at(i).endsWith(QLatin1String("_vert.glsl")) ? QStringLiteral("vert")
                                                                                  : QStringLiteral("frag");
        const QString path = m_folder.filePath(QStringLiteral("%1.%2").arg(QFileInfo(names.at(i)).completeBaseName(), stage));
        if (!MUtility::writeTextFile(sources.at(i), path))
            return QStringLiteral("cannot write ") + path;
        arguments << path;
    }
    QProcess process;
    process.start(m_validator, arguments);
    if (!process.waitForFinished(60000))
        return QStringLiteral("glslangValidator did not finish");
    if (process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
}

QString MTestGlslang::validateFragment(const QString &source)
{
    QString vertex;
    if (!MUtility::readTextFile(vertex, QStringLiteral(":/shaders/basic_vert.glsl")))
        return QStringLiteral("cannot read the shared vertex stage");
    return validate({QStringLiteral("basic_vert.glsl"), QStringLiteral("program_frag.glsl")}, {vertex, source});
}
