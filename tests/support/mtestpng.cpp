#include "mtestpng.h"

#include <QBuffer>
#include <QDataStream>

namespace {
// A chunk as the format has it: length, type and data, and the checksum of
// type and data.
QByteArray chunk(const QByteArray &type, const QByteArray &data)
{
    const QByteArray checked = type + data;
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : checked) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream << quint32(data.size());
    stream.writeRawData(checked.constData(), checked.size());
    stream << (crc ^ 0xFFFFFFFFu);
    return bytes;
}
} // namespace

QByteArray MTestPng::encode(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QByteArray MTestPng::claiming(quint32 width, quint32 height)
{
    QByteArray header;
    QDataStream(&header, QIODevice::WriteOnly) << width << height << quint8(8) << quint8(6) << quint8(0)
                                               << quint8(0) << quint8(0);
    // The decoder reads up to the first pixel chunk before it tells the size.
    return QByteArray::fromHex("89504E470D0A1A0A") + chunk("IHDR", header)
           + chunk("IDAT", qCompress(QByteArray(16, '\0')).mid(4)) + chunk("IEND", QByteArray());
}
