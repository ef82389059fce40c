#pragma once

#include <QColor>
#include <QImage>
#include <QPainterPath>

// A painter path as the picture a fill lays into a layer.
class MCanvasFill
{
public:
    // The path rasterised, antialiased, into a transparent image one pixel
    // larger than its bounds on every side, the path's centre on the image's.
    static QImage renderPath(const QPainterPath &path, const QColor &color);
};
