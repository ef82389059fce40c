#include "mshaderprogramlist.h"

MShaderProgramList::MShaderProgramList(QObject *parent)
    : QObject(parent)
{
}

QStringList MShaderProgramList::builtInProgramNames() const
{
    return QStringList();
}

QString MShaderProgramList::fragmentResource(const QString &programName)
{
    return QStringLiteral(":/shaders/") + programName + QStringLiteral("_frag.glsl");
}

QString MShaderProgramList::vertexResource(const QString &programName)
{
    return QStringLiteral(":/shaders/") + programName + QStringLiteral("_vert.glsl");
}
