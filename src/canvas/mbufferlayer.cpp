#include "mbufferlayer.h"

#include "mgpudevice.h"
#include "mlogger.h"
#include "mtexturelayer.h"
#include "mtexturetile.h"
#include "mtexturetransfert.h"

#include <cmath>
#include <cstring>

namespace {
int cellOf(double coordinate, int step)
{
    return int(std::floor(coordinate / step));
}

// The layer's texture at a cell, read back into the tile (a cell the layer
// has no texture for stays transparent black).
void download(MGpuDevice *device, MTextureLayer *layer, const QRect &cell, MBufferTile *tile)
{
    auto *texture = static_cast<MTextureTile *>(layer->tileAt(QRectF(cell).center()));
    if (!texture || !texture->isValid())
        return;
    device->makeCurrent();
    MTextureTransfert::instance()->downloadTile(device->context(), texture, tile);
}
} // namespace

MBufferLayer::MBufferLayer(int tileSize, int border, int bytesPerPixel, QObject *parent)
    : QObject(parent)
    , m_tileSize(tileSize)
    , m_border(border)
    , m_bytesPerPixel(bytesPerPixel)
{
}

MBufferLayer::~MBufferLayer()
{
    clear();
}

void MBufferLayer::configure(const MTiledLayer *layer)
{
    m_tileSize = layer->tileSize();
    m_border = layer->border();
    m_bytesPerPixel = layer->bytesPerPixel();
}

MBufferTile *MBufferLayer::cellTile(int column, int row, MGpuDevice *device, MTextureLayer *layer)
{
    const qint64 key = tileCellKey(column, row);
    // Walks and fills come back to the same cell pixel after pixel.
    if (m_lastTile && key == m_lastKey)
        return m_lastTile;
    if (MBufferTile *existing = m_tiles.value(key)) {
        m_lastKey = key;
        m_lastTile = existing;
        return existing;
    }
    auto *tile = new MBufferTile(m_tileSize, m_border, m_bytesPerPixel);
    if (!tile->allocate()) {
        delete tile;
        return nullptr;
    }
    const int s = step();
    tile->setRect(QRect(column * s, row * s, s, s));
    if (device && layer)
        download(device, layer, tile->rect(), tile);
    m_bounds = m_bounds.isEmpty() ? tile->rect() : m_bounds.united(tile->rect());
    m_tiles.insert(key, tile);
    m_lastKey = key;
    m_lastTile = tile;
    return tile;
}

MBufferTile *MBufferLayer::tile(const QPointF &p, MGpuDevice *device, MTextureLayer *layer)
{
    const int s = step();
    return cellTile(cellOf(p.x(), s), cellOf(p.y(), s), device, layer);
}

MBufferTile *MBufferLayer::tileAt(int row, int column, MGpuDevice *device, MTextureLayer *layer)
{
    const double s = step();
    return tile(QPointF(column * s + s / 2, row * s + s / 2), device, layer);
}

MBufferTile *MBufferLayer::findTile(const QPointF &p) const
{
    const int s = step();
    return m_tiles.value(tileCellKey(cellOf(p.x(), s), cellOf(p.y(), s)));
}

bool MBufferLayer::holds(int column, int row, const MTextureLayer *layer) const
{
    if (m_tiles.contains(tileCellKey(column, row)))
        return true;
    const int s = step();
    return layer && layer->tileAt(QRectF(column * s, row * s, s, s).center());
}

bool MBufferLayer::copyLayer(MGpuDevice *device, MTextureLayer *layer)
{
    if (!device || !layer)
        return false;
    device->makeCurrent();
    for (int i = 0; i < layer->tileCount(); ++i) {
        MTextureTile *texture = layer->tileAt(i);
        MBufferTile *tile = this->tile(QRectF(texture->rect()).center());
        if (!tile || !tile->allocate())
            return false;
        if (texture->isValid())
            MTextureTransfert::instance()->downloadTile(device->context(), texture, tile);
    }
    return true;
}

void MBufferLayer::pixelAt(int x, int y, uchar *out) const
{
    MBufferTile *tile = findTile(QPointF(x, y));
    if (!tile) {
        std::memset(out, 0, 4);
        return;
    }
    if (tile->isAllocated())
        std::memcpy(out, tile->pixel(x, y), 4);
}

int MBufferLayer::scanLeftWhileEqual(int x, int y, int limit, const uchar *reference, int threshold,
                                     MGpuDevice *device, MTextureLayer *layer)
{
    return walk(x, y, limit, -1, device, layer,
                [&](MBufferTile *, const uchar *pixel, qint64) { return colorMatches(reference, pixel, threshold); });
}

int MBufferLayer::scanRightWhileEqual(int x, int y, int limit, const uchar *reference, int threshold,
                                      MGpuDevice *device, MTextureLayer *layer)
{
    return walk(x, y, limit, 1, device, layer,
                [&](MBufferTile *, const uchar *pixel, qint64) { return colorMatches(reference, pixel, threshold); });
}

int MBufferLayer::scanRightUntilEqual(int x, int y, int limit, const uchar *reference, int threshold,
                                      MGpuDevice *device, MTextureLayer *layer)
{
    bool stopped = false;
    const int found = walk(
        x, y, limit, 1, device, layer,
        [&](MBufferTile *, const uchar *pixel, qint64) { return !colorMatches(reference, pixel, threshold); }, &stopped);
    return stopped ? limit + 1 : found;
}

bool MBufferLayer::writeBack(MGpuDevice *device, MTextureLayer *layer, bool create)
{
    if (!device || !layer)
        return false;
    if (!device->makeCurrent()) {
        MLogger::instance()->systemError(QStringLiteral("Unable to make current context"));
        return false;
    }
    for (MBufferTile *tile : qAsConst(m_tiles)) {
        const QPointF centre = QRectF(tile->rect()).center();
        auto *texture = static_cast<MTextureTile *>(create ? layer->addTile(centre) : layer->tileAt(centre));
        if (!texture)
            continue;
        if (!texture->ensureTexture() || !texture->setData(tile->data()))
            return false;
    }
    return true;
}

void MBufferLayer::removeTile(MBufferTile *tile)
{
    if (!tile)
        return;
    const int s = step();
    const qint64 key = tileCellKey(tileCell(tile->rect().x(), s), tileCell(tile->rect().y(), s));
    if (m_tiles.value(key) != tile)
        return;
    m_tiles.remove(key);
    if (m_lastTile == tile)
        m_lastTile = nullptr;
    delete tile;
}

void MBufferLayer::clear()
{
    m_lastTile = nullptr;
    qDeleteAll(m_tiles);
    m_tiles.clear();
}
