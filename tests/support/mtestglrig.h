#pragma once

#include "mtestglcontext.h"

#include <QColor>
#include <QImage>
#include <QRectF>

#include <memory>
#include <vector>

class MShaderProgramList;
class MVertexBuffer;
class QOpenGLShaderProgram;
class QOpenGLTexture;
class QOpenGLVertexArrayObject;

// Draws one quad over a small render target with a program of a freshly
// compiled program list, the way the paint engine does, and reads the result
// back. Needs MTestGLContext::prepareSharedContexts() before the application.
class MTestGLRig
{
public:
    MTestGLRig(int width, int height);
    ~MTestGLRig();

    bool isValid() const { return m_valid; }
    MTestGLContext &gl() { return m_gl; }
    MShaderProgramList &programs() { return *m_programs; }
    int width() const { return m_width; }
    int height() const { return m_height; }

    // The fragment of an effect (brushEngine false) or brush engine whose
    // main section is the body.
    static QString framedSource(bool brushEngine, const QString &body);

    // Binds the named program for the quad and sets its mvp.
    QOpenGLShaderProgram *begin(const QString &name);
    // The same for a program made by the test (reading the same vertex layout).
    QOpenGLShaderProgram *use(QOpenGLShaderProgram *program);
    // Clears the target, draws the quad (every texture coordinate set spans
    // the unit square, and the stamp frame is that of a stamp filling the
    // target) with the bound program and reads the target back with
    // rows counted from the bottom, as MTestGLContext::readTargetRows.
    QImage draw(const QColor &clearColor = Qt::transparent, const QColor &vertexColor = Qt::white);

    // A texture of the image's bytes taken as premultiplied RGBA, row y at
    // texel row y; nearest filtering, clamped. The rig owns it.
    QOpenGLTexture *texture(const QImage &rows);
    // Binds the texture to the unit and points the sampler at it.
    void bindTexture(const char *sampler, QOpenGLTexture *texture, int unit);

private:
    int m_width;
    int m_height;
    bool m_valid = false;
    MTestGLContext m_gl;
    std::unique_ptr<MShaderProgramList> m_programs;
    std::unique_ptr<QOpenGLVertexArrayObject> m_vertexArray;
    std::unique_ptr<MVertexBuffer> m_vertices;
    std::vector<std::unique_ptr<QOpenGLTexture>> m_textures;
    QOpenGLShaderProgram *m_program = nullptr;
};
