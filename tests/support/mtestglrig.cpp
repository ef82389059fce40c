#include "mtestglrig.h"

#include "mshader.h"
#include "mshaderprogramlist.h"
#include "mquadtransform.h"
#include "mvertexbuffer.h"

#include <algorithm>

#include <QMatrix4x4>
#include <QVector2D>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QOpenGLShaderProgram>
#include <QOpenGLTexture>
#include <QOpenGLVertexArrayObject>

MTestGLRig::MTestGLRig(int width, int height)
    : m_width(width)
    , m_height(height)
{
    if (!m_gl.isValid())
        return;
    m_programs.reset(new MShaderProgramList());
    m_programs->createSharedContext();
    m_programs->compileAll();
    if (!m_programs->isReady() || !m_gl.bindTarget(width, height))
        return;
    m_vertexArray.reset(new QOpenGLVertexArrayObject());
    m_vertices.reset(new MVertexBuffer(6));
    m_valid = m_vertexArray->create() && m_vertices->create();
}

MTestGLRig::~MTestGLRig()
{
    if (!m_gl.makeCurrent())
        return;
    m_textures.clear();
    m_vertices.reset();
    m_vertexArray.reset();
    if (m_programs)
        m_programs->destroySharedContext();
    m_gl.makeCurrent();
    m_programs.reset();
}

QString MTestGLRig::framedSource(bool brushEngine, const QString &body)
{
    MShader shader;
    shader.set_type(brushEngine ? MShader::BrushShader : MShader::EffectShader);
    shader.set_source(QStringLiteral("@main\n") + body);
    return shader.buildFragmentSource(nullptr);
}

QOpenGLShaderProgram *MTestGLRig::begin(const QString &name)
{
    m_gl.makeCurrent();
    return use(m_programs->bind(name));
}


QOpenGLShaderProgram *MTestGLRig::use(QOpenGLShaderProgram *program)
{
    m_program = program;
    m_gl.makeCurrent();
    m_vertices->bind();
    if (m_program) {
        m_program->bind();
        MShaderProgramList::setAttributeBuffers(m_program, m_vertexArray.get());
        QMatrix4x4 projection;
        projection.ortho(0, m_width, 0, m_height, -1, 1);
        m_program->setUniformValue("mvp", projection);
    }
    return m_program;
}

QImage MTestGLRig::draw(const QColor &clearColor, const QColor &vertexColor)
{
    QOpenGLFunctions *f = m_gl.context()->functions();
    m_gl.bindTarget(m_width, m_height);
    f->glViewport(0, 0, m_width, m_height);
    f->glDisable(GL_BLEND);
    f->glClearColor(float(clearColor.redF()), float(clearColor.greenF()), float(clearColor.blueF()),
                    float(clearColor.alphaF()));
    f->glClear(GL_COLOR_BUFFER_BIT);

    // Corners bottom-left, top-left, bottom-right, top-right as the vertex
    // buffer's quads; each carries the frame of a stamp filling the target.
    const float axes[4] = {1.0f / float(m_width), 0.0f, 0.0f, 1.0f / float(m_height)};
    MQuadTransform corner[4];
    for (int i = 0; i < 4; ++i) {
        const float u = i / 2;
        const float v = 1 - i % 2;
        corner[i].position[0] = u * float(m_width);
        corner[i].position[1] = v * float(m_height);
        const float rgba[4] = {float(vertexColor.redF()), float(vertexColor.greenF()), float(vertexColor.blueF()),
                               float(vertexColor.alphaF())};
        std::copy(rgba, rgba + 4, corner[i].color);
        for (QVector2D &set : corner[i].textureCoordinates)
            set = QVector2D(u, v);
        corner[i].setStampFrame(float(m_width) / 2.0f, float(m_height) / 2.0f, axes);
    }
    const MQuadTransform vertices[6] = {corner[0], corner[1], corner[2], corner[1], corner[3], corner[2]};
    m_vertices->bind();
    m_vertices->clear();
    m_vertices->addVertices(vertices, 6);
    f->glDrawArrays(GL_TRIANGLES, 0, m_vertices->count());
    MShaderProgramList::release(m_program, m_vertexArray.get());
    m_vertices->release();
    for (int unit = 0; unit < 8; ++unit) {
        f->glActiveTexture(GL_TEXTURE0 + unit);
        f->glBindTexture(GL_TEXTURE_2D, 0);
    }
    f->glActiveTexture(GL_TEXTURE0);
    return m_gl.readTargetRows();
}

QOpenGLTexture *MTestGLRig::texture(const QImage &rows)
{
    const QImage pixels = rows.convertToFormat(QImage::Format_RGBA8888_Premultiplied);
    auto *texture = new QOpenGLTexture(QOpenGLTexture::Target2D);
    texture->setFormat(QOpenGLTexture::RGBA8_UNorm);
    texture->setSize(pixels.width(), pixels.height());
    texture->setMipLevels(1);
    texture->allocateStorage(QOpenGLTexture::RGBA, QOpenGLTexture::UInt8);
    texture->setData(QOpenGLTexture::RGBA, QOpenGLTexture::UInt8, pixels.constBits());
    texture->setMinMagFilters(QOpenGLTexture::Nearest, QOpenGLTexture::Nearest);
    texture->setWrapMode(QOpenGLTexture::ClampToEdge);
    m_textures.emplace_back(texture);
    return texture;
}

void MTestGLRig::bindTexture(const char *sampler, QOpenGLTexture *texture, int unit)
{
    texture->bind(uint(unit));
    if (m_program)
        m_program->setUniformValue(sampler, unit);
}
