#pragma once

#include "mbuffertile.h"
#include "mtilegeometry.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointF>
#include <QRect>

class MGpuDevice;
class MTextureLayer;
class MTiledLayer;

// A sparse CPU copy of a texture layer for pixel-by-pixel work (flood fill,
// magic wand): one buffer tile per grid cell, read back from the layer's
// texture the first time the cell is touched, then written back into a
// layer when the work is done. Read-backs and write-backs run under the
// document's device; whoever starts the work draws the document's queued
// stamps first, as they may change what is read.
class MBufferLayer : public QObject
{
    Q_OBJECT
public:
    explicit MBufferLayer(int tileSize = 512, int border = 6, int bytesPerPixel = 4, QObject *parent = nullptr);
    ~MBufferLayer() override;

    int tileSize() const { return m_tileSize; }
    int border() const { return m_border; }
    int bytesPerPixel() const { return m_bytesPerPixel; }
    int step() const { return tileStep(m_tileSize, m_border); }
    // Only while the buffer holds no tile.
    void setTileSize(int value) { m_tileSize = value; }
    void setBorder(int value) { m_border = value; }
    void setBytesPerPixel(int value) { m_bytesPerPixel = value; }
    // Takes the layer's tile size, border and bytes per pixel.
    void configure(const MTiledLayer *layer);

    // The union of the cells of every tile made so far (kept by clear()).
    QRect bounds() const { return m_bounds; }
    int tileCount() const { return m_tiles.size(); }
    QList<MBufferTile *> tiles() const { return m_tiles.values(); }

    // The tile of the cell holding p, made on first use: zero-filled, then,
    // when a device and a layer are given and the layer has a texture
    // there, read back from it. Null when its memory cannot be had.
    MBufferTile *tile(const QPointF &p, MGpuDevice *device = nullptr, MTextureLayer *layer = nullptr);
    MBufferTile *tileAt(int row, int column, MGpuDevice *device = nullptr, MTextureLayer *layer = nullptr);
    // The tile of the cell holding p, or null; never makes one.
    MBufferTile *findTile(const QPointF &p) const;
    // Whether the cell at column and row has a tile here, or the layer (when
    // given) one to read back.
    bool holds(int column, int row, const MTextureLayer *layer) const;
    // Reads every tile of the layer back (again for cells already held).
    bool copyLayer(MGpuDevice *device, MTextureLayer *layer);
    // The four bytes of a pixel; zeros where no tile was made.
    void pixelAt(int x, int y, uchar *out) const;

    // Walks along row y, making and reading tiles as it enters their cells.
    // The first two return the first x whose pixel does not match (one past
    // limit when all match), the third the first x that matches (one past
    // limit when none does). A walk stops at a tile it cannot make: there the
    // first two return that x, the third one past limit.
    int scanLeftWhileEqual(int x, int y, int limit, const uchar *reference, int threshold, MGpuDevice *device,
                           MTextureLayer *layer);
    int scanRightWhileEqual(int x, int y, int limit, const uchar *reference, int threshold, MGpuDevice *device,
                            MTextureLayer *layer);
    int scanRightUntilEqual(int x, int y, int limit, const uchar *reference, int threshold, MGpuDevice *device,
                            MTextureLayer *layer);

    // Uploads every tile into the layer's texture of the same cell; cells the
    // layer lacks get a tile when create is set and are skipped otherwise.
    // Stops at the first texture it cannot make or fill.
    bool writeBack(MGpuDevice *device, MTextureLayer *layer, bool create);
    // Frees one tile of this buffer: its cell reads as never made.
    void removeTile(MBufferTile *tile);
    void clear();

    // Every byte of the pixel within threshold of the reference's.
    static bool colorMatches(const uchar *reference, const uchar *pixel, int threshold)
    {
        for (int i = 0; i < 4; ++i) {
            const int difference = int(reference[i]) - int(pixel[i]);
            if (difference > threshold || -difference > threshold)
                return false;
        }
        return true;
    }

    // Walks row y from x toward limit (direction +1 or -1) while
    // accept(tile, pixel bytes, pixel index in the tile) holds; returns the
    // first x where it does not, or limit + direction. At a tile it cannot
    // make it sets *stopped and returns that x.
    template <class Accept>
    int walk(int x, int y, int limit, int direction, MGpuDevice *device, MTextureLayer *layer, Accept accept,
             bool *stopped = nullptr)
    {
        while (direction > 0 ? x <= limit : x >= limit) {
            MBufferTile *tile = pixelTile(x, y, device, layer);
            if (!tile) {
                if (stopped)
                    *stopped = true;
                return x;
            }
            const QRect cell = tile->rect();
            const int cellStart = cell.x();
            const int last = direction > 0 ? qMin(limit, cell.right()) : qMax(limit, cellStart);
            const qint64 lineStart = qint64(y - cell.y() + m_border) * m_tileSize;
            const uchar *line = tile->data() + lineStart * m_bytesPerPixel;
            const int origin = cellStart - m_border;
            for (;; x += direction) {
                if (!accept(tile, line + qint64(x - origin) * m_bytesPerPixel, lineStart + (x - origin)))
                    return x;
                if (x == last)
                    break;
            }
            x += direction;
        }
        return x;
    }

    // The tile of a cell, made (and read back) when missing.
    MBufferTile *cellTile(int column, int row, MGpuDevice *device, MTextureLayer *layer);
    // The same for the cell holding canvas pixel (x, y). Fills and walks
    // come back to the same cell call after call: that one is found without
    // dividing by the step.
    MBufferTile *pixelTile(int x, int y, MGpuDevice *device, MTextureLayer *layer)
    {
        if (m_lastTile) {
            const QRect cell = m_lastTile->rect();
            if (x >= cell.left() && x <= cell.right() && y >= cell.top() && y <= cell.bottom())
                return m_lastTile;
        }
        const int s = step();
        return cellTile(tileCell(x, s), tileCell(y, s), device, layer);
    }

private:
    int m_tileSize;
    int m_border;
    int m_bytesPerPixel;
    QRect m_bounds;
    QHash<qint64, MBufferTile *> m_tiles;
    qint64 m_lastKey = 0;
    MBufferTile *m_lastTile = nullptr;
};
