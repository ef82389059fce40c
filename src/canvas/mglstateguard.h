#pragma once

#include <QVector>

// Saves the blend, framebuffer, viewport, scissor, clear colour and
// texture-sampling state
// of the current context and puts it back when it goes, so that a pass
// leaves the state it found. Made on the stack with the context current.
class MGlStateGuard
{
public:
    MGlStateGuard();
    ~MGlStateGuard();

    MGlStateGuard(const MGlStateGuard &) = delete;
    MGlStateGuard &operator=(const MGlStateGuard &) = delete;

private:
    bool m_valid = false;
    bool m_blend = false;
    bool m_scissor = false;
    int m_blendSrcRgb = 0, m_blendDstRgb = 0, m_blendSrcAlpha = 0, m_blendDstAlpha = 0;
    int m_blendEquationRgb = 0, m_blendEquationAlpha = 0;
    int m_drawFramebuffer = 0, m_readFramebuffer = 0;
    int m_viewport[4] = {0, 0, 0, 0};
    int m_scissorBox[4] = {0, 0, 0, 0};
    float m_clearColor[4] = {0, 0, 0, 0};
    int m_activeTexture = 0;
    QVector<int> m_samplers;        // by unit
};
