#include "mtexture.h"

#include <qopengl.h>

MTexture::MTexture(QObject *parent)
    : QObject(parent)
{
}

int filterToGl(int index)
{
    switch (index) {
    case 0: return GL_NEAREST;
    case 1: return GL_LINEAR;
    case 2: return GL_NEAREST_MIPMAP_NEAREST;
    case 3: return GL_NEAREST_MIPMAP_LINEAR;
    case 4: return GL_LINEAR_MIPMAP_NEAREST;
    case 5: return GL_LINEAR_MIPMAP_LINEAR;
    default: return GL_LINEAR;
    }
}

int wrapModeToGl(int index)
{
    switch (index) {
    case 0: return GL_REPEAT;
    case 1: return GL_MIRRORED_REPEAT;
    case 3: return GL_CLAMP_TO_BORDER;
    default: return GL_CLAMP_TO_EDGE;
    }
}
