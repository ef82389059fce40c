#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <array>
#include <functional>

class MTextureTile;

// Pixel helpers for tests that compare GPU output with a CPU rendition.
namespace MTestPixels {

// A channel set in 0..1.
struct Sample
{
    double r = 0, g = 0, b = 0, a = 0;
};
using Vec3 = std::array<double, 3>;

// A premultiplied pixel of an un-premultiplied colour, rounded as 8-bit storage rounds it.
QRgb premultiplied(double r, double g, double b, double a);
// A premultiplied RGBA image whose pixel (x, y) is pixel(x, y).
QImage pattern(int width, int height, const std::function<QRgb(int, int)> &pixel);
// A premultiplied RGBA image of the given size in the given colour.
QImage filled(int width, int height, QRgb pixel);
// Nearest-texel sampling at texture coordinates (u, v), clamped to the edge,
// row v = 0 being image row 0.
Sample sample(const QImage &image, double u, double v);
// The colour divided by max(1/256, alpha).
Vec3 unmultiply(const Sample &s);
// size random bytes, the same for the same seed.
QByteArray randomBytes(quint32 seed, int size);
// Rounds each channel (clamped to 0..1) to 8 bits.
QRgb toPixel(double r, double g, double b, double a);

// Every channel of a and b within the tolerance.
bool near(QRgb a, QRgb b, int tolerance);
// "#aarrggbb", for failure messages.
QString text(QRgb pixel);

// The whole texture of a tile as RGBA bytes, row 0 first; empty when it cannot be read.
QByteArray tileBytes(MTextureTile *tile);

} // namespace MTestPixels
