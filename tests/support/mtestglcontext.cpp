#include "mtestglcontext.h"

#include "mopengl.h"
#include "mtextureutility.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLExtraFunctions>
#include <QOpenGLFramebufferObject>
#include <QOpenGLFunctions>
#include <QSurfaceFormat>

#include <cstdlib>

void MTestGLContext::prepareSharedContexts()
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QSurfaceFormat::setDefaultFormat(MOpenGL::requestedFormat());
}

QVector<int> MTestGLContext::glState()
{
    QOpenGLExtraFunctions *f = QOpenGLContext::currentContext()->extraFunctions();
    QVector<int> values;
    for (GLenum name : {GL_BLEND_SRC_RGB, GL_BLEND_DST_RGB, GL_BLEND_SRC_ALPHA, GL_BLEND_DST_ALPHA, GL_BLEND_EQUATION_RGB,
                        GL_BLEND_EQUATION_ALPHA, GL_DRAW_FRAMEBUFFER_BINDING, GL_READ_FRAMEBUFFER_BINDING,
                        GL_ACTIVE_TEXTURE}) {
        GLint value = 0;
        f->glGetIntegerv(name, &value);
        values << value;
    }
    GLint box[4] = {};
    f->glGetIntegerv(GL_VIEWPORT, box);
    values << box[0] << box[1] << box[2] << box[3];
    f->glGetIntegerv(GL_SCISSOR_BOX, box);
    values << box[0] << box[1] << box[2] << box[3];
    values << f->glIsEnabled(GL_BLEND) << f->glIsEnabled(GL_SCISSOR_TEST);
    GLfloat clear[4] = {};
    f->glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    for (GLfloat channel : clear)
        values << qRound(channel * 255);
    GLint active = 0;
    f->glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    for (GLenum unit = 0; unit < 4; ++unit) {
        GLint bound = 0;
        f->glActiveTexture(GL_TEXTURE0 + unit);
        f->glGetIntegerv(GL_SAMPLER_BINDING, &bound);
        values << bound;
    }
    f->glActiveTexture(GLenum(active));
    return values;
}

QString MTestGLContext::glErrors()
{
    QOpenGLContext *context = QOpenGLContext::currentContext();
    if (!context)
        return QStringLiteral("no current OpenGL context");
    QStringList errors;
    for (GLenum error = context->functions()->glGetError(); error != GL_NO_ERROR && errors.size() < 16;
         error = context->functions()->glGetError())
        errors.append(QStringLiteral("OpenGL error 0x%1").arg(error, 4, 16, QLatin1Char('0')));
    return errors.join(QStringLiteral(", "));
}

MTestGLContext::MTestGLContext()
{
    QSurfaceFormat format;
    format.setVersion(3, 3);
    format.setProfile(QSurfaceFormat::CoreProfile);
    format.setDepthBufferSize(24);
    format.setStencilBufferSize(8);

    m_context.reset(new QOpenGLContext());
    m_context->setFormat(format);
    if (QOpenGLContext::globalShareContext())
        m_context->setShareContext(QOpenGLContext::globalShareContext());
    if (!m_context->create())
        return;
    m_surface.reset(new QOffscreenSurface(QGuiApplication::primaryScreen()));
    m_surface->setFormat(m_context->format());
    m_surface->create();
    if (!m_surface->isValid())
        return;
    const QSurfaceFormat actual = m_context->format();
    m_valid = m_context->makeCurrent(m_surface.get())
              && (actual.majorVersion() > 3 || (actual.majorVersion() == 3 && actual.minorVersion() >= 3));
}

MTestGLContext::~MTestGLContext()
{
    if (m_context && m_surface && m_context->makeCurrent(m_surface.get())) {
        m_target.reset();
        m_context->doneCurrent();
    }
}

bool MTestGLContext::makeCurrent()
{
    return m_context && m_surface && m_context->makeCurrent(m_surface.get());
}

bool MTestGLContext::bindTarget(int width, int height)
{
    if (!makeCurrent())
        return false;
    // Making a target binds texture 0 on the active unit: keep the one we have.
    if (!m_target || m_target->size() != QSize(width, height))
        m_target.reset(new QOpenGLFramebufferObject(width, height, QOpenGLFramebufferObject::NoAttachment, GL_TEXTURE_2D, GL_RGBA8));
    if (!m_target->isValid() || !m_target->bind())
        return false;
    // Stored as the view's target is.
    matchTileStorage(m_context->extraFunctions());
    return true;
}

QImage MTestGLContext::readTarget() const
{
    if (!m_target)
        return QImage();
    return m_target->toImage(true).convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage MTestGLContext::readTargetRows() const
{
    if (!m_target || !m_context)
        return QImage();
    QImage rows(m_target->width(), m_target->height(), QImage::Format_RGBA8888_Premultiplied);
    m_target->bind();
    QOpenGLFunctions *f = m_context->functions();
    f->glPixelStorei(GL_PACK_ALIGNMENT, 4);
    f->glReadPixels(0, 0, rows.width(), rows.height(), GL_RGBA, GL_UNSIGNED_BYTE, rows.bits());
    return rows;
}

bool MTestGLContext::compareImages(const QImage &actual, const QImage &expected, int tolerance, QString *message)
{
    if (actual.size() != expected.size()) {
        if (message)
            *message = QStringLiteral("size %1x%2, expected %3x%4")
                           .arg(actual.width()).arg(actual.height()).arg(expected.width()).arg(expected.height());
        return false;
    }
    const QImage a = actual.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage e = expected.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < a.height(); ++y) {
        const QRgb *ra = reinterpret_cast<const QRgb *>(a.constScanLine(y));
        const QRgb *re = reinterpret_cast<const QRgb *>(e.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            const QRgb pa = ra[x], pe = re[x];
            const int diff = std::max({std::abs(qRed(pa) - qRed(pe)), std::abs(qGreen(pa) - qGreen(pe)),
                                       std::abs(qBlue(pa) - qBlue(pe)), std::abs(qAlpha(pa) - qAlpha(pe))});
            if (diff > tolerance) {
                if (message)
                    *message = QStringLiteral("pixel (%1, %2) is #%3, expected #%4")
                                   .arg(x).arg(y)
                                   .arg(pa, 8, 16, QLatin1Char('0'))
                                   .arg(pe, 8, 16, QLatin1Char('0'));
                return false;
            }
        }
    }
    return true;
}
