#pragma once

#include <QObject>
#include <QStringList>

// The built-in GLSL programs, compiled from the ":/shaders/" resources.
class MShaderProgramList : public QObject
{
    Q_OBJECT
public:
    explicit MShaderProgramList(QObject *parent = nullptr);

    // Names of the built-in programs, in the list's own order.
    QStringList builtInProgramNames() const;
    static QString fragmentResource(const QString &programName);
    static QString vertexResource(const QString &programName);
};
