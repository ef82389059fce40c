#pragma once

#include <QByteArray>
#include <QImage>

// PNG bytes for the image size limits: a real image, or a header alone that
// claims any size (what a hostile file holds: a few bytes, gigapixels).
class MTestPng
{
public:
    static QByteArray encode(const QImage &image);
    // The signature, a header chunk of that size and a few pixel bytes,
    // every checksum right.
    static QByteArray claiming(quint32 width, quint32 height);
};
