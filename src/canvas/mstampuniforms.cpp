#include "mstampuniforms.h"

#include "mbrushsettinginfolist.h"
#include "mopengl.h"
#include "mshaderprogramlist.h"

#include <QHash>
#include <QOpenGLShaderProgram>
#include <QOpenGLVertexArrayObject>

#include <cstring>

MStampUniforms::MStampUniforms(QOpenGLShaderProgram *program)
    : m_program(program)
{
    static const char *const names[FirstSetting] = {
        "mvp", "f_borderColor", "f_stampCount", "f_texturePos", "f_textureSize", "f_textureBorder",
        "f_paintedRectPos", "f_paintedRectWidth", "f_paintedRectHeight", "f_random", "f_inheritAlphaUnder",
        "f_alphaEquation", "f_hasTexture", "f_clipToSelection", "f_currentLayerTexture", "f_underLayerTexture",
        "f_brushTexture", "f_colorTexture", "f_selectionLayerTexture"};
    for (const char *name : names)
        m_locations.append(program->uniformLocation(name));
    const MBrushSettingInfoList *table = MBrushSettingInfoList::instance();
    for (int setting : table->uniformSettings())
        m_locations.append(program->uniformLocation("f_" + table->name(setting)));
    m_last.resize(m_locations.size());
    m_known.fill(false, m_locations.size());
    for (const MShaderProgramList::VertexAttribute &attribute : MShaderProgramList::vertexAttributes())
        m_attributes.append(program->attributeLocation(attribute.name));
}

MStampUniforms *MStampUniforms::forProgram(QOpenGLShaderProgram *program)
{
    // One cache per program whatever queue draws with it: the values it
    // remembers are the program's own. It goes with the program.
    static QHash<QOpenGLShaderProgram *, MStampUniforms *> shared;
    MStampUniforms *uniforms = shared.value(program);
    if (!uniforms) {
        uniforms = new MStampUniforms(program);
        shared.insert(program, uniforms);
        QObject::connect(program, &QObject::destroyed, [program] { delete shared.take(program); });
    }
    return uniforms;
}

void MStampUniforms::setInt(int slot, int x)
{
    float bits;
    std::memcpy(&bits, &x, sizeof bits);
    set(slot, {bits, 0.0f, 0.0f, 0.0f}, -1);
}

void MStampUniforms::setAttributes(QOpenGLVertexArrayObject *vertexArray)
{
    if (vertexArray && MOpenGL::instance()->useVertexArrayObjects)
        vertexArray->bind();
    const QVector<MShaderProgramList::VertexAttribute> &layout = MShaderProgramList::vertexAttributes();
    for (int i = 0; i < layout.size(); ++i) {
        const int location = m_attributes.at(i);
        if (location < 0)
            continue;
        const int columns = layout[i].floats > 4 ? layout[i].floats / 4 : 1;
        const int size = layout[i].floats / columns;
        for (int column = 0; column < columns; ++column) {
            m_program->enableAttributeArray(location + column);
            m_program->setAttributeBuffer(location + column, GL_FLOAT,
                                          layout[i].offset + column * size * int(sizeof(float)), size,
                                          MShaderProgramList::vertexStride);
        }
    }
}

void MStampUniforms::releaseAttributes(QOpenGLVertexArrayObject *vertexArray)
{
    const QVector<MShaderProgramList::VertexAttribute> &layout = MShaderProgramList::vertexAttributes();
    for (int i = 0; i < layout.size(); ++i) {
        const int columns = layout[i].floats > 4 ? layout[i].floats / 4 : 1;
        for (int column = 0; m_attributes.at(i) >= 0 && column < columns; ++column)
            m_program->disableAttributeArray(m_attributes.at(i) + column);
    }
    if (vertexArray && MOpenGL::instance()->useVertexArrayObjects)
        vertexArray->release();
}

void MStampUniforms::set(int slot, const std::array<float, 4> &value, int components)
{
    const int location = m_locations.at(slot);
    if (location < 0 || (m_known.at(slot) && m_last.at(slot) == value))
        return;
    m_last[slot] = value;
    m_known[slot] = true;
    switch (components) {
    case -1: {
        int x;
        std::memcpy(&x, &value[0], sizeof x);
        m_program->setUniformValue(location, GLint(x));
        break;
    }
    case 1:
        m_program->setUniformValue(location, value[0]);
        break;
    case 2:
        m_program->setUniformValue(location, value[0], value[1]);
        break;
    default:
        m_program->setUniformValue(location, value[0], value[1], value[2], value[3]);
        break;
    }
}
