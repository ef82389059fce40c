#include "mtestcanvas.h"

#include "mcanvas.h"
#include "mlogger.h"
#include "mopengl.h"
#include "msettings.h"
#include "mtexturelayer.h"
#include "mtexturetile.h"

#include <QSet>
#include <QUndoStack>

#include <cmath>

namespace MTestCanvas {

namespace {
// Texture bytes are RGBA; images here are ARGB32 premultiplied.
QRgb fromBytes(const uchar *p)
{
    return qRgba(p[0], p[1], p[2], p[3]);
}

void toBytes(QRgb pixel, uchar *p)
{
    p[0] = uchar(qRed(pixel));
    p[1] = uchar(qGreen(pixel));
    p[2] = uchar(qBlue(pixel));
    p[3] = uchar(qAlpha(pixel));
}

int channel(double value)
{
    return qBound(0, int(std::lround(value)), 255);
}
} // namespace

std::unique_ptr<MCanvas> createDocument(const QSize &size)
{
    MLogger::instance();
    if (!MOpenGL::instance()->initialize())
        return nullptr;
    MSettings::instance()->set_defaultWidth(size.width());
    MSettings::instance()->set_defaultHeight(size.height());
    std::unique_ptr<MCanvas> canvas(new MCanvas());
    if (!canvas->isGlReady())
        return nullptr;
    return canvas;
}

void paintRect(MTextureLayer *layer, const QRect &rect, QRgb pixel)
{
    paintPixels(layer, rect, [pixel](const QPoint &) { return pixel; });
}

void paintPixels(MTextureLayer *layer, const QRect &rect, const std::function<QRgb(const QPoint &)> &pixel)
{
    QSet<MTile *> tiles;
    layer->tilesInRect(QRectF(rect), tiles);
    for (MTile *t : qAsConst(tiles)) {
        auto *tile = static_cast<MTextureTile *>(t);
        tile->ensureTexture();
        QByteArray bytes(tile->byteSize(), '\0');
        tile->readPixels(bytes.data());
        const QRect area = tile->rectWithBorder();
        const QRect covered = area.intersected(rect);
        for (int y = covered.top(); y <= covered.bottom(); ++y) {
            for (int x = covered.left(); x <= covered.right(); ++x) {
                const int index = ((y - area.top()) * tile->tileSize() + (x - area.left())) * 4;
                toBytes(pixel(QPoint(x, y)), reinterpret_cast<uchar *>(bytes.data()) + index);
            }
        }
        tile->setData(bytes.constData());
    }
}

QRgb pixelAt(MTextureLayer *layer, const QPoint &canvas)
{
    auto *tile = static_cast<MTextureTile *>(layer->tileAt(QPointF(canvas) + QPointF(0.5, 0.5)));
    if (!tile || !tile->isValid())
        return 0;
    QByteArray bytes(tile->byteSize(), '\0');
    tile->readPixels(bytes.data());
    const QRect area = tile->rectWithBorder();
    const int index = ((canvas.y() - area.top()) * tile->tileSize() + (canvas.x() - area.left())) * 4;
    return fromBytes(reinterpret_cast<const uchar *>(bytes.constData()) + index);
}

QImage layerImage(MTextureLayer *layer, const QRect &rect)
{
    QImage image(rect.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    for (int i = 0; i < layer->tileCount(); ++i) {
        MTextureTile *tile = layer->tileAt(i);
        const QRect cell = tile->rect().intersected(rect);
        if (cell.isEmpty() || !tile->isValid())
            continue;
        const QImage texture = tileImage(tile);
        const QRect area = tile->rectWithBorder();
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            for (int x = cell.left(); x <= cell.right(); ++x)
                image.setPixel(x - rect.left(), y - rect.top(), texture.pixel(x - area.left(), y - area.top()));
    }
    return image;
}

QImage tileImage(MTextureTile *tile)
{
    QImage image(tile->tileSize(), tile->tileSize(), QImage::Format_RGBA8888_Premultiplied);
    tile->readPixels(image.bits());
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QRgb premultiplied(const QColor &color)
{
    const double a = color.alphaF();
    return qRgba(channel(color.redF() * a * 255), channel(color.greenF() * a * 255), channel(color.blueF() * a * 255),
                 color.alpha());
}

QRgb over(QRgb a, QRgb b)
{
    const double k = 1.0 - qAlpha(b) / 255.0;
    return qRgba(channel(qRed(b) + qRed(a) * k), channel(qGreen(b) + qGreen(a) * k), channel(qBlue(b) + qBlue(a) * k),
                 channel(qAlpha(b) + qAlpha(a) * k));
}

QRgb scaled(QRgb pixel, double opacity)
{
    return qRgba(channel(qRed(pixel) * opacity), channel(qGreen(pixel) * opacity), channel(qBlue(pixel) * opacity),
                 channel(qAlpha(pixel) * opacity));
}

bool macroOpen(const MCanvas *canvas)
{
    const QUndoStack *stack = canvas->undoStack();
    return stack->count() > 0 && !stack->canUndo() && !stack->canRedo();
}

} // namespace MTestCanvas
