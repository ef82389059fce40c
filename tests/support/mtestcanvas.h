#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QSize>

#include <functional>
#include <memory>

class MCanvas;

class MTextureLayer;
class MTextureTile;

// Known pixels written straight into the tiles of a layer, and read back,
// by canvas position. Needs the document's context current.
namespace MTestCanvas {

// A document of the given default size with its context, after the logger
// and the OpenGL holder are set up; null when OpenGL is not there.
std::unique_ptr<MCanvas> createDocument(const QSize &size);

// Every texel of the layer whose canvas pixel lies in rect becomes pixel
// (premultiplied RGBA), tiles over rect being created when missing.
void paintRect(MTextureLayer *layer, const QRect &rect, QRgb pixel);
// The same with a pixel of its own for each canvas point of rect.
void paintPixels(MTextureLayer *layer, const QRect &rect, const std::function<QRgb(const QPoint &)> &pixel);
// Whether the document's undo stack is in the middle of a macro (one begun and
// not ended): while one is open the stack can neither undo nor redo.
bool macroOpen(const MCanvas *canvas);
// The texel of the tile at a canvas pixel, as premultiplied ARGB (0 without a tile).
QRgb pixelAt(MTextureLayer *layer, const QPoint &canvas);
// The texels of the layer over a canvas rectangle, each tile read once;
// transparent where the layer has no tile.
QImage layerImage(MTextureLayer *layer, const QRect &rect);
// The tile's texture as an image, row 0 being the top of its canvas area.
QImage tileImage(MTextureTile *tile);
// A premultiplied ARGB pixel of an un-premultiplied colour, rounded as 8-bit storage rounds it.
QRgb premultiplied(const QColor &color);
// b laid over a: premultiplied source-over, rounded per channel.
QRgb over(QRgb a, QRgb b);
// The pixel scaled by an opacity, rounded per channel.
QRgb scaled(QRgb pixel, double opacity);

} // namespace MTestCanvas
