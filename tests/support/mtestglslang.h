#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// The reference GLSL compiler (glslangValidator), so that a shader that only
// this driver happens to accept is caught.
class MTestGlslang
{
public:
    MTestGlslang();

    // Whether the validator is installed and its work folder exists.
    bool isValid() const { return !m_validator.isEmpty() && m_folder.isValid(); }

    // Validates the stages (a name ending in "_vert.glsl" is a vertex stage,
    // any other a fragment stage), linked into one program when there are
    // several. Empty when they pass, else the validator's messages.
    QString validate(const QStringList &names, const QStringList &sources);
    // A fragment stage linked with the shared vertex stage of every program.
    QString validateFragment(const QString &source);

private:
    QString m_validator;
    QTemporaryDir m_folder;
};
