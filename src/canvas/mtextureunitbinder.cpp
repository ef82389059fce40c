#include "mtextureunitbinder.h"

#include "mopengl.h"
#include "msamplers.h"
#include "msettings.h"
#include "mtexture.h"

#include <QOpenGLFunctions>
#include <QOpenGLShaderProgram>

MTextureUnitBinder::MTextureUnitBinder(QOpenGLFunctions *functions)
    : m_functions(functions)
    // Tiles get no mipmaps when the setting is off: a mipmap filter would
    // sample levels that were never filled.
    , m_mipmaps(MSettings::instance()->generateMipmaps())
{
}

int MTextureUnitBinder::maxUnits() const
{
    MOpenGL *holder = MOpenGL::instance();
    if (holder->isInitialized())
        return holder->maxTextureImageUnits();
    GLint units = 0;
    m_functions->glGetIntegerv(GL_MAX_TEXTURE_IMAGE_UNITS, &units);
    return units;
}

bool MTextureUnitBinder::bind(unsigned int textureId, QOpenGLShaderProgram *program, const QByteArray &name,
                              int minFilter, int magFilter, int wrapS, int wrapT, int maxLevel, int minLevel)
{
    if (!m_functions || m_nextUnit >= maxUnits())
        return false;
    if (program)
        program->setUniformValue(name.constData(), m_nextUnit);
    GLint active = GL_TEXTURE0;
    m_functions->glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    m_functions->glActiveTexture(GLenum(GL_TEXTURE0 + m_nextUnit));
    m_functions->glBindTexture(GL_TEXTURE_2D, textureId);
    MSamplers::bind(unsigned(m_nextUnit), m_mipmaps ? minFilter : filterWithoutMipmaps(minFilter), magFilter, wrapS,
                    wrapT, maxLevel, minLevel);
    m_functions->glActiveTexture(GLenum(active));
    m_boundUnits.insert(m_nextUnit, textureId);
    ++m_nextUnit;
    return true;
}

void MTextureUnitBinder::unbindAll()
{
    if (m_functions && !m_boundUnits.isEmpty()) {
        GLint active = GL_TEXTURE0;
        m_functions->glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
        for (auto it = m_boundUnits.cbegin(); it != m_boundUnits.cend(); ++it) {
            m_functions->glActiveTexture(GLenum(GL_TEXTURE0 + it.key()));
            m_functions->glBindTexture(GL_TEXTURE_2D, 0);
            MSamplers::unbind(unsigned(it.key()));
        }
        m_functions->glActiveTexture(GLenum(active));
    }
    m_nextUnit = firstUnit;
}
