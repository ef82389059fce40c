#pragma once

#include "msamplers.h"

#include <QByteArray>
#include <QHash>

class QOpenGLFunctions;
class QOpenGLShaderProgram;

// Binds the textures of one draw to texture units 1 and up, points each
// program sampler at its unit, and unbinds them all afterwards. Unit 0 is
// left to the caller, and so is the active unit: the binder puts it back
// after every call. Made on the stack for one draw, with the caller's context
// current.
class MTextureUnitBinder
{
public:
    explicit MTextureUnitBinder(QOpenGLFunctions *functions);

    // Binds the texture to the next unit with the given OpenGL filters and
    // wraps and sets the sampler uniform `name` of the bound program to that
    // unit, reading levels minLevel to maxLevel only. False, with nothing
    // bound, once the units run out.
    bool bind(unsigned int textureId, QOpenGLShaderProgram *program, const QByteArray &name, int minFilter,
              int magFilter, int wrapS, int wrapT, int maxLevel = MSamplers::allLevels,
              int minLevel = -MSamplers::allLevels);
    // Binds no texture on every unit used since construction and starts again at unit 1.
    void unbindAll();

    int nextUnit() const { return m_nextUnit; }

private:
    static constexpr int firstUnit = 1;

    int maxUnits() const;

    QOpenGLFunctions *m_functions;
    int m_nextUnit = 1;
    QHash<int, unsigned int> m_boundUnits;
    bool m_mipmaps = true;
};
