#include "mtestpixels.h"

#include "mtexturetile.h"

#include <QRandomGenerator>

#include <algorithm>
#include <cmath>

namespace MTestPixels {

QRgb premultiplied(double r, double g, double b, double a)
{
    const int alpha = qRound(a * 255);
    return qRgba(qRound(r * alpha), qRound(g * alpha), qRound(b * alpha), alpha);
}

QImage pattern(int width, int height, const std::function<QRgb(int, int)> &pixel)
{
    QImage image(width, height, QImage::Format_RGBA8888_Premultiplied);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, pixel(x, y));
    return image;
}

QByteArray randomBytes(quint32 seed, int size)
{
    QRandomGenerator random(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &byte : bytes)
        byte = char(random.bounded(256));
    return bytes;
}

QImage filled(int width, int height, QRgb pixel)
{
    return pattern(width, height, [pixel](int, int) { return pixel; });
}

Sample sample(const QImage &image, double u, double v)
{
    const int x = std::clamp(int(std::floor(u * image.width())), 0, image.width() - 1);
    const int y = std::clamp(int(std::floor(v * image.height())), 0, image.height() - 1);
    const QRgb p = image.pixel(x, y);
    return {qRed(p) / 255.0, qGreen(p) / 255.0, qBlue(p) / 255.0, qAlpha(p) / 255.0};
}

Vec3 unmultiply(const Sample &s)
{
    const double a = std::max(1.0 / 256.0, s.a);
    return {s.r / a, s.g / a, s.b / a};
}

QRgb toPixel(double r, double g, double b, double a)
{
    auto byte = [](double value) { return qRound(std::clamp(value, 0.0, 1.0) * 255); };
    return qRgba(byte(r), byte(g), byte(b), byte(a));
}

QByteArray tileBytes(MTextureTile *tile)
{
    // Filled first, so that a read that writes nothing shows.
    QByteArray bytes(tile->byteSize(), '\x55');
    return tile->readPixels(bytes.data()) ? bytes : QByteArray();
}

bool near(QRgb a, QRgb b, int tolerance)
{
    return qAbs(qRed(a) - qRed(b)) <= tolerance && qAbs(qGreen(a) - qGreen(b)) <= tolerance
           && qAbs(qBlue(a) - qBlue(b)) <= tolerance && qAbs(qAlpha(a) - qAlpha(b)) <= tolerance;
}

QString text(QRgb pixel)
{
    return QStringLiteral("#%1").arg(pixel, 8, 16, QLatin1Char('0'));
}

} // namespace MTestPixels
