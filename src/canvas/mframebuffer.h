#pragma once

#include <QObject>

// One OpenGL framebuffer object for rendering into textures. It works in the
// context current when it is called and never changes which one that is; a
// framebuffer belongs to the context that generated it, so every call on one
// object is made with that same context current. Destruction deletes no GL
// object: the owner calls deleteFramebuffer with the right context current.
class MFrameBuffer : public QObject
{
    Q_OBJECT
public:
    explicit MFrameBuffer(QObject *parent = nullptr);

    bool attachTexture(unsigned int texture, int n = 0);
    void bind();
    bool detachTexture(int n = 0);
    void release();
    void deleteFramebuffer();
    unsigned int framebufferId() const { return m_framebuffer; }

    static unsigned int debugStatus(unsigned int status);
    static QString statusName(unsigned int status);

private:
    unsigned int m_framebuffer = 0;
};
