#include "mcolorconversion.h"

#include <cmath>

namespace {
// D65, 2 degree observer.
const double Xn = 95.047;
const double Yn = 100.0;
const double Zn = 108.883;

double linearise(double c)
{
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double encode(double c)
{
    return c <= 0.0031308 ? 12.92 * c : 1.055 * std::pow(c, 0.4166666666666667) - 0.055;
}

double labF(double t)
{
    return t > 0.008856 ? std::pow(t, 0.3333333333333333) : 7.787 * t + 0.13793103448275862;
}

double labInverse(double f)
{
    const double cube = f * f * f;
    return cube > 0.008856 ? cube : (116.0 * f - 16.0) / 903.3;
}

// A colour component the framework can hold: a non-finite value becomes 0.
double finiteOrZero(double c)
{
    return std::isfinite(c) ? c : 0.0;
}
} // namespace

void rgbToXyz(double r, double g, double b, bool srgb, double &x, double &y, double &z)
{
    if (srgb) {
        r = linearise(r);
        g = linearise(g);
        b = linearise(b);
    }
    r *= 100.0;
    g *= 100.0;
    b *= 100.0;
    x = 0.4124 * r + 0.3576 * g + 0.1805 * b;
    y = 0.2126 * r + 0.7152 * g + 0.0722 * b;
    z = 0.0193 * r + 0.1192 * g + 0.9505 * b;
}

void xyzToRgb(double x, double y, double z, bool srgb, double &r, double &g, double &b)
{
    x /= 100.0;
    y /= 100.0;
    z /= 100.0;
    r = 3.2406 * x - 1.5372 * y - 0.4986 * z;
    g = -0.9689 * x + 1.8758 * y + 0.0415 * z;
    b = 0.0557 * x - 0.2040 * y + 1.0570 * z;
    if (srgb) {
        r = encode(r);
        g = encode(g);
        b = encode(b);
    }
}

void xyzToLab(double x, double y, double z, double &l, double &a, double &b)
{
    const double fx = labF(x / Xn);
    const double fy = labF(y / Yn);
    const double fz = labF(z / Zn);
    l = 116.0 * fy - 16.0;
    a = 500.0 * (fx - fy);
    b = 200.0 * (fy - fz);
}

void labToXyz(double l, double a, double b, double &x, double &y, double &z)
{
    const double fy = (l + 16.0) / 116.0;
    const double fx = a / 500.0 + fy;
    const double fz = fy - b / 200.0;
    const double yr = l > 7.9996248 ? fy * fy * fy : l / 903.3;
    x = Xn * labInverse(fx);
    y = Yn * yr;
    z = Zn * labInverse(fz);
}

void xyzToYxy(double x, double y, double z, double &cx, double &cy)
{
    const double s = x + y + z;
    if (s == 0.0 || !std::isfinite(s)) {
        cx = Xn / (Xn + Yn + Zn);
        cy = Yn / (Xn + Yn + Zn);
        return;
    }
    cx = x / s;
    cy = y / s;
}

void yxyToXyz(double y, double cx, double cy, double &x, double &z)
{
    if (std::isnan(cy) || cy == 0.0) {
        x = 0.0;
        z = 0.0;
        return;
    }
    x = (y / cy) * cx;
    z = (y / cy) * (1.0 - cx - cy);
}

void qColorToXyz(const QColor &color, bool srgb, double &x, double &y, double &z)
{
    rgbToXyz(color.redF(), color.greenF(), color.blueF(), srgb, x, y, z);
}

void qColorToLab(const QColor &color, bool srgb, double &l, double &a, double &b)
{
    double x, y, z;
    qColorToXyz(color, srgb, x, y, z);
    xyzToLab(x, y, z, l, a, b);
}

void colorXyzToQColor(double x, double y, double z, bool srgb, QColor &color)
{
    double r, g, b;
    xyzToRgb(x, y, z, srgb, r, g, b);
    color.setRgbF(finiteOrZero(r), finiteOrZero(g), finiteOrZero(b), 1.0);
}

void colorLabToQColor(double l, double a, double b, bool srgb, QColor &color)
{
    double x, y, z;
    labToXyz(l, a, b, x, y, z);
    colorXyzToQColor(x, y, z, srgb, color);
}
