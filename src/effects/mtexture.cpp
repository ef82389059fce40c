#include "mtexture.h"

#include <QOpenGLContext>

MTexture::MTexture(QObject *parent)
    : QObject(parent)
{
}

int filterToGl(int index)
{
    static const int filters[] = {GL_NEAREST,
                                  GL_LINEAR,
                                  GL_NEAREST_MIPMAP_NEAREST,
                                  GL_NEAREST_MIPMAP_LINEAR,
                                  GL_LINEAR_MIPMAP_NEAREST,
                                  GL_LINEAR_MIPMAP_LINEAR};
    return index >= 0 && index < 6 ? filters[index] : GL_LINEAR;
}

int wrapModeToGl(int index)
{
    switch (index) {
    case 0:
        return GL_REPEAT;
    case 1:
        return GL_MIRRORED_REPEAT;
    case 3:
        return GL_CLAMP_TO_BORDER;
    default:
        return GL_CLAMP_TO_EDGE;
    }
}

int filterWithoutMipmaps(int glFilter)
{
    switch (glFilter) {
    case GL_NEAREST_MIPMAP_NEAREST:
    case GL_NEAREST_MIPMAP_LINEAR:
        return GL_NEAREST;
    case GL_LINEAR_MIPMAP_NEAREST:
    case GL_LINEAR_MIPMAP_LINEAR:
        return GL_LINEAR;
    default:
        return glFilter;
    }
}
