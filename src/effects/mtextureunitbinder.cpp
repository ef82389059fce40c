#include "mtextureunitbinder.h"

#include "mopengl.h"

#include <QOpenGLFunctions>
#include <QOpenGLShaderProgram>

MTextureUnitBinder::MTextureUnitBinder(QOpenGLFunctions *functions)
    : m_functions(functions)
{
}

bool MTextureUnitBinder::bind(unsigned int textureId, QOpenGLShaderProgram *program, const QByteArray &name,
                              int minFilter, int magFilter, int wrapS, int wrapT)
{
    if (!m_functions || m_nextUnit >= MOpenGL::instance()->maxTextureImageUnits())
        return false;
    const int unit = m_nextUnit;
    if (program)
        program->setUniformValue(name.constData(), unit);
    m_functions->glActiveTexture(GLenum(GL_TEXTURE0 + unit));
    m_functions->glBindTexture(GL_TEXTURE_2D, textureId);
    m_functions->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
    m_functions->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magFilter);
    m_functions->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrapS);
    m_functions->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrapT);
    m_boundUnits.insert(unit, textureId);
    ++m_nextUnit;
    return true;
}

void MTextureUnitBinder::unbindAll()
{
    if (m_functions) {
        for (auto it = m_boundUnits.cbegin(); it != m_boundUnits.cend(); ++it) {
            m_functions->glActiveTexture(GLenum(GL_TEXTURE0 + it.key()));
            m_functions->glBindTexture(GL_TEXTURE_2D, 0);
        }
    }
    m_nextUnit = m_firstUnit;
}
