#include "mtestbuffer.h"

#include "mbufferlayer.h"

#include <QVector>

namespace MTestBuffer {

namespace {
template <class Visit>
void forEachCopy(MBufferLayer &buffer, int x, int y, bool make, Visit visit)
{
    const int s = buffer.step();
    const int b = buffer.border();
    for (int row = tileCell(y - b, s); row <= tileCell(y + b, s); ++row) {
        for (int column = tileCell(x - b, s); column <= tileCell(x + b, s); ++column) {
            const QPointF centre(column * s + s / 2, row * s + s / 2);
            MBufferTile *tile = make ? buffer.tile(centre) : buffer.findTile(centre);
            if (tile)
                visit(tile->pixel(x, y));
        }
    }
}
} // namespace

void paintImage(MBufferLayer &buffer, const QImage &image, const QPoint &origin)
{
    const QImage source = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < source.height(); ++y) {
        for (int x = 0; x < source.width(); ++x) {
            const QRgb pixel = source.pixel(x, y);
            forEachCopy(buffer, origin.x() + x, origin.y() + y, true, [pixel](uchar *bytes) {
                bytes[0] = uchar(qRed(pixel));
                bytes[1] = uchar(qGreen(pixel));
                bytes[2] = uchar(qBlue(pixel));
                bytes[3] = uchar(qAlpha(pixel));
            });
        }
    }
}

QImage image(const MBufferLayer &buffer, const QRect &rect)
{
    QImage result(rect.size(), QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < rect.height(); ++y) {
        for (int x = 0; x < rect.width(); ++x) {
            uchar bytes[4];
            buffer.pixelAt(rect.x() + x, rect.y() + y, bytes);
            result.setPixel(x, y, qRgba(bytes[0], bytes[1], bytes[2], bytes[3]));
        }
    }
    return result;
}

QVector<QRgb> copies(MBufferLayer &buffer, int x, int y)
{
    QVector<QRgb> result;
    forEachCopy(buffer, x, y, false, [&result](uchar *bytes) {
        result.append(qRgba(bytes[0], bytes[1], bytes[2], bytes[3]));
    });
    return result;
}

} // namespace MTestBuffer
