#pragma once

#include <QColor>
#include <QImage>

class QOpenGLExtraFunctions;
class QOpenGLTexture;

// Images to GPU textures and images prepared as brush or tool textures. The
// texture functions need a current OpenGL context; the caller owns what they
// return (null on failure).

// An RGBA8 texture of the image's premultiplied colours with a full mipmap chain.
QOpenGLTexture *createMipmappedTexture(const QImage &image);
// The same with level 0 only.
QOpenGLTexture *createTexture(const QImage &image);
// A fully transparent RGBA8 texture with mipmaps.
QOpenGLTexture *createEmptyTexture(int width, int height);
// Gives the colour texture of the bound draw framebuffer the storage layer
// tiles have (8-bit RGBA, blue first) when it has another, so that a software
// driver composites tiles into it by plain blended copies. Its pixels are
// lost when it changes. True when it changed; false when it was already so
// or is not a texture.
bool matchTileStorage(QOpenGLExtraFunctions *f);
// The image with `color` taken out: pixels of that colour become transparent
// and the others are un-blended from it, so that drawing the result over the
// colour gives the input back. Premultiplied ARGB32; the colour's alpha is ignored.
QImage colorToAlpha(const QImage &image, const QColor &color);
