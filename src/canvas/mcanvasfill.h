#pragma once

#include <QColor>
#include <QImage>
#include <QObject>
#include <QPainterPath>

class MCanvas;
class MTextureLayer;

// Fills a painter path with a solid colour into a layer of a document.
class MCanvasFill : public QObject
{
    Q_OBJECT
public:
    MCanvasFill(MCanvas *canvas, QObject *parent = nullptr);

    // The path rasterised, antialiased, into a transparent image one pixel
    // larger than its bounds on every side, the path's centre on the image's.
    static QImage renderPath(const QPainterPath &path, const QColor &color);
    // Fills the path (the whole painted rectangle when it is empty) in the
    // layer at row (-1: the current one) as the undo step "Fill path"; false
    // when the document refuses the layer.
    bool fillPath(const QPainterPath &path, const QColor &color, int row);
    // Draws the path into the layer (no undo step), clearing it first when asked.
    bool fillPathInLayer(const QPainterPath &path, const QColor &color, MTextureLayer *layer, bool clearFirst);

private:
    MCanvas *m_canvas;
};
