#include "mtextureutility.h"

#include "mlogger.h"

#include <QOpenGLExtraFunctions>
#include <QOpenGLPixelTransferOptions>
#include <QOpenGLTexture>

#include <algorithm>
#include <memory>
#include <vector>

namespace {
// RGBA8 storage of `levels` levels, or null.
std::unique_ptr<QOpenGLTexture> allocateTexture(int width, int height, int levels)
{
    std::unique_ptr<QOpenGLTexture> texture(new QOpenGLTexture(QOpenGLTexture::Target2D));
    if (!texture->create())
        return nullptr;
    texture->setFormat(QOpenGLTexture::RGBA8_UNorm);
    texture->setSize(width, height, 1);
    texture->setMipLevels(levels < 0 ? texture->maximumMipLevels() : levels);
    texture->allocateStorage(QOpenGLTexture::RGBA, QOpenGLTexture::UInt8);
    if (!texture->isStorageAllocated())
        return nullptr;
    return texture;
}

// Level 0 from the image, and the smaller levels made from it when wanted.
QOpenGLTexture *textureFromImage(const QImage &image, bool mipmapped)
{
    if (image.isNull()) {
        MLogger::instance()->systemError(QStringLiteral("Unable to create texture from an empty image"));
        return nullptr;
    }
    std::unique_ptr<QOpenGLTexture> texture = allocateTexture(image.width(), image.height(), mipmapped ? -1 : 1);
    if (!texture)
        return nullptr;
    const QImage pixels = image.format() == QImage::Format_RGBA8888_Premultiplied
                              ? image
                              : image.convertToFormat(QImage::Format_RGBA8888_Premultiplied);
    QOpenGLPixelTransferOptions options;
    options.setAlignment(1);
    texture->setData(0, QOpenGLTexture::RGBA, QOpenGLTexture::UInt8, pixels.constBits(), &options);
    if (mipmapped)
        texture->generateMipMaps();
    return texture.release();
}
} // namespace

QOpenGLTexture *createMipmappedTexture(const QImage &image)
{
    return textureFromImage(image, true);
}

QOpenGLTexture *createTexture(const QImage &image)
{
    return textureFromImage(image, false);
}

QOpenGLTexture *createEmptyTexture(int width, int height)
{
    if (width <= 0 || height <= 0) {
        MLogger::instance()->systemError(QStringLiteral("Unable to create texture of size %1 x %2").arg(width).arg(height));
        return nullptr;
    }
    std::unique_ptr<QOpenGLTexture> texture = allocateTexture(width, height, -1);
    if (!texture)
        return nullptr;
    // Every level is sent as zeros rather than generated: generating runs a
    // draw, and a context's first draw builds the driver's own programs,
    // which costs tens of milliseconds on a software driver.
    const std::vector<uchar> zeros(size_t(width) * size_t(height) * 4, 0);
    QOpenGLPixelTransferOptions options;
    options.setAlignment(1);
    texture->setAutoMipMapGenerationEnabled(false);
    for (int level = 0; level < texture->mipLevels(); ++level)
        texture->setData(level, QOpenGLTexture::RGBA, QOpenGLTexture::UInt8, zeros.data(), &options);
    texture->setAutoMipMapGenerationEnabled(true);
    return texture.release();
}

bool matchTileStorage(QOpenGLExtraFunctions *f)
{
    if (!f)
        return false;
    GLint type = GL_NONE, texture = 0, level = 0;
    f->glGetFramebufferAttachmentParameteriv(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0,
                                             GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE, &type);
    if (type != GL_TEXTURE)
        return false;
    f->glGetFramebufferAttachmentParameteriv(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0,
                                             GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME, &texture);
    f->glGetFramebufferAttachmentParameteriv(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0,
                                             GL_FRAMEBUFFER_ATTACHMENT_TEXTURE_LEVEL, &level);
    if (level != 0)
        return false;
    GLint bound = 0;
    f->glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    f->glBindTexture(GL_TEXTURE_2D, GLuint(texture));
    GLint format = GL_NONE, width = 0, height = 0;
    f->glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    f->glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    f->glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    // Only an 8-bit RGBA target is given another order: a target of another
    // depth keeps what it was made with.
    const bool change = format == GL_RGBA8 && width > 0 && height > 0;
    if (change) {
        GLint unpackBuffer = 0;
        f->glGetIntegerv(GL_PIXEL_UNPACK_BUFFER_BINDING, &unpackBuffer);
        f->glBindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);
        f->glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
        f->glBindBuffer(GL_PIXEL_UNPACK_BUFFER, GLuint(unpackBuffer));
    }
    f->glBindTexture(GL_TEXTURE_2D, GLuint(bound));
    return change;
}

QImage colorToAlpha(const QImage &image, const QColor &color)
{
    const QImage source = image.format() == QImage::Format_ARGB32_Premultiplied
                              ? image
                              : image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QImage result(source.size(), QImage::Format_ARGB32_Premultiplied);
    result.fill(Qt::transparent);
    const int c[3] = {color.red(), color.green(), color.blue()};

    for (int y = 0; y < source.height(); ++y) {
        const QRgb *in = reinterpret_cast<const QRgb *>(source.constScanLine(y));
        QRgb *out = reinterpret_cast<QRgb *>(result.scanLine(y));
        for (int x = 0; x < source.width(); ++x) {
            const QRgb pixel = qAlpha(in[x]) == 0 ? 0 : qUnpremultiply(in[x]);
            const int p[3] = {qRed(pixel), qGreen(pixel), qBlue(pixel)};
            // How far each channel is from the colour, toward 0 or 255.
            float distance = 0.0f;
            for (int k = 0; k < 3; ++k) {
                float a = 0.0f;
                if (p[k] > c[k])
                    a = float(double(p[k] - c[k]) / double(255 - c[k]));
                else if (p[k] < c[k])
                    a = float(double(c[k] - p[k]) / double(c[k]));
                distance = std::max(distance, a);
            }
            const float v = distance * 255.0f;
            if (v < 1.0f)
                continue;   // stays fully transparent
            int channel[3];
            for (int k = 0; k < 3; ++k)
                channel[k] = int(float(p[k] - c[k]) * 255.0f / v + float(c[k])) & 0xff;
            const int alpha = int(float(qAlpha(pixel)) / 255.0f * v) & 0xff;
            for (int k = 0; k < 3; ++k) {
                const int t = channel[k] * alpha;
                channel[k] = (t + t / 256 + 128) / 256;
            }
            out[x] = qRgba(channel[0], channel[1], channel[2], alpha);
        }
    }
    return result;
}
