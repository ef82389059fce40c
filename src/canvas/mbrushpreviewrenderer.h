#pragma once

#include <QColor>
#include <QImage>
#include <QSize>

class MBrush;

// Draws a brush's picture: one sample stroke painted with the real stroke
// engine on a scratch document of its own. Brushes only keep the picture, so
// that reading and writing brush files never needs a GL context; the brush
// list and the panels ask for one here when they show a brush.
class MBrushPreviewRenderer
{
public:
    // The size of the picture a brush keeps.
    static QSize previewSize() { return QSize(150, 60); }

    // The stroke in the first colour on a transparent picture of the size; a
    // null image when OpenGL is not available.
    static QImage render(const MBrush *brush, const QSize &size, const QColor &first, const QColor &second);
    static QImage render(const MBrush *brush, const QColor &first, const QColor &second);
    // The brush's picture; one is drawn and kept in the brush when it has none.
    static QImage preview(MBrush *brush);
    // Draws a new picture into the brush.
    static void update(MBrush *brush);
};
