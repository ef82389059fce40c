#pragma once

#include <QColor>

// Conversions between RGB (0 to 1), CIE XYZ (white Y = 100, D65), Yxy and
// CIELab. With srgb the RGB side is sRGB-encoded; without it the components
// go through the matrices as they are. Nothing is clamped.

void rgbToXyz(double r, double g, double b, bool srgb, double &x, double &y, double &z);
void xyzToRgb(double x, double y, double z, bool srgb, double &r, double &g, double &b);
void xyzToLab(double x, double y, double z, double &l, double &a, double &b);
void labToXyz(double l, double a, double b, double &x, double &y, double &z);
// Black has no chromaticity of its own: it gets that of the white point.
void xyzToYxy(double x, double y, double z, double &cx, double &cy);
// Y passes through. A y of 0 (or not a number) gives X = Z = 0.
void yxyToXyz(double y, double cx, double cy, double &x, double &z);

void qColorToXyz(const QColor &color, bool srgb, double &x, double &y, double &z);
void qColorToLab(const QColor &color, bool srgb, double &l, double &a, double &b);
void colorXyzToQColor(double x, double y, double z, bool srgb, QColor &color);
void colorLabToQColor(double l, double a, double b, bool srgb, QColor &color);
