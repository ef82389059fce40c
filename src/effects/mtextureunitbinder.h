#pragma once

#include <QByteArray>
#include <QHash>

class QOpenGLFunctions;
class QOpenGLShaderProgram;

// Binds the textures of one draw to consecutive texture units from 1 and
// points the program's samplers at them; unit 0 is left to the caller.
class MTextureUnitBinder
{
public:
    explicit MTextureUnitBinder(QOpenGLFunctions *functions);

    // False, with nothing bound, when the driver has no unit left.
    bool bind(unsigned int textureId, QOpenGLShaderProgram *program, const QByteArray &name, int minFilter,
              int magFilter, int wrapS, int wrapT);
    // Binds texture 0 on every unit used so far and starts again at unit 1.
    void unbindAll();

private:
    QOpenGLFunctions *m_functions;
    int m_firstUnit = 1;
    int m_nextUnit = 1;
    QHash<int, unsigned int> m_boundUnits;
};
