#include "mglstateguard.h"

#include <QOpenGLContext>
#include <QOpenGLExtraFunctions>

namespace {

// The units passes bind to; the binder hands out units from 1 upward.
const int kUnits = 16;

bool enabled(QOpenGLExtraFunctions *f, GLenum cap)
{
    return f->glIsEnabled(cap) == GL_TRUE;
}

void setEnabled(QOpenGLExtraFunctions *f, GLenum cap, bool on)
{
    if (on)
        f->glEnable(cap);
    else
        f->glDisable(cap);
}

} // namespace

MGlStateGuard::MGlStateGuard()
{
    QOpenGLContext *context = QOpenGLContext::currentContext();
    if (!context)
        return;
    QOpenGLExtraFunctions *f = context->extraFunctions();
    m_valid = true;
    m_blend = enabled(f, GL_BLEND);
    m_scissor = enabled(f, GL_SCISSOR_TEST);
    f->glGetIntegerv(GL_BLEND_SRC_RGB, &m_blendSrcRgb);
    f->glGetIntegerv(GL_BLEND_DST_RGB, &m_blendDstRgb);
    f->glGetIntegerv(GL_BLEND_SRC_ALPHA, &m_blendSrcAlpha);
    f->glGetIntegerv(GL_BLEND_DST_ALPHA, &m_blendDstAlpha);
    f->glGetIntegerv(GL_BLEND_EQUATION_RGB, &m_blendEquationRgb);
    f->glGetIntegerv(GL_BLEND_EQUATION_ALPHA, &m_blendEquationAlpha);
    f->glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &m_drawFramebuffer);
    f->glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &m_readFramebuffer);
    f->glGetIntegerv(GL_VIEWPORT, m_viewport);
    f->glGetIntegerv(GL_SCISSOR_BOX, m_scissorBox);
    f->glGetFloatv(GL_COLOR_CLEAR_VALUE, m_clearColor);
    f->glGetIntegerv(GL_ACTIVE_TEXTURE, &m_activeTexture);
    GLint units = 0;
    f->glGetIntegerv(GL_MAX_COMBINED_TEXTURE_IMAGE_UNITS, &units);
    const int count = qMin<int>(units, kUnits);
    m_samplers.resize(count);
    for (int unit = 0; unit < count; ++unit) {
        f->glActiveTexture(GLenum(GL_TEXTURE0 + unit));
        f->glGetIntegerv(GL_SAMPLER_BINDING, &m_samplers[unit]);
    }
    f->glActiveTexture(GLenum(m_activeTexture));
}

MGlStateGuard::~MGlStateGuard()
{
    QOpenGLContext *context = QOpenGLContext::currentContext();
    if (!m_valid || !context)
        return;
    QOpenGLExtraFunctions *f = context->extraFunctions();
    setEnabled(f, GL_BLEND, m_blend);
    setEnabled(f, GL_SCISSOR_TEST, m_scissor);
    f->glBlendFuncSeparate(GLenum(m_blendSrcRgb), GLenum(m_blendDstRgb), GLenum(m_blendSrcAlpha),
                           GLenum(m_blendDstAlpha));
    f->glBlendEquationSeparate(GLenum(m_blendEquationRgb), GLenum(m_blendEquationAlpha));
    f->glBindFramebuffer(GL_DRAW_FRAMEBUFFER, GLuint(m_drawFramebuffer));
    f->glBindFramebuffer(GL_READ_FRAMEBUFFER, GLuint(m_readFramebuffer));
    f->glViewport(m_viewport[0], m_viewport[1], m_viewport[2], m_viewport[3]);
    f->glScissor(m_scissorBox[0], m_scissorBox[1], m_scissorBox[2], m_scissorBox[3]);
    f->glClearColor(m_clearColor[0], m_clearColor[1], m_clearColor[2], m_clearColor[3]);
    for (int unit = 0; unit < m_samplers.size(); ++unit)
        f->glBindSampler(GLuint(unit), GLuint(m_samplers[unit]));
    f->glActiveTexture(GLenum(m_activeTexture));
}
