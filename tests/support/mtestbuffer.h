#pragma once

#include <QImage>
#include <QRect>

class MBufferLayer;

// CPU buffer layers made from images and read back as images, so that pixel
// work on buffers is tested without OpenGL.
namespace MTestBuffer {

// Writes the image (taken as premultiplied ARGB) with its top-left at origin
// into every tile of the buffer whose texture covers each pixel, borders
// included, making tiles where missing.
void paintImage(MBufferLayer &buffer, const QImage &image, const QPoint &origin);
// The buffer's pixels over rect as premultiplied ARGB (transparent where no tile was made).
QImage image(const MBufferLayer &buffer, const QRect &rect);
// The pixel (x, y) of every tile whose texture covers it, as premultiplied ARGB.
QVector<QRgb> copies(MBufferLayer &buffer, int x, int y);

} // namespace MTestBuffer
