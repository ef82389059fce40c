#pragma once

#include <QRect>
#include <QtGlobal>

#include <memory>

// The pixels of one tile on the CPU: tileSize x tileSize pixels of
// bytesPerPixel bytes (premultiplied RGBA), rows in texture order, exactly as
// a tile texture reads back, border included.
class MBufferTile
{
public:
    MBufferTile(int tileSize, int border, int bytesPerPixel);
    virtual ~MBufferTile();
    MBufferTile(const MBufferTile &) = delete;
    MBufferTile &operator=(const MBufferTile &) = delete;

    // Makes the zero-filled pixel memory on the first call; false (logged)
    // when it cannot be had.
    bool allocate();
    bool isAllocated() const { return m_data != nullptr; }
    uchar *data() const { return m_data.get(); }
    qint64 byteSize() const;

    // The grid cell the tile copies.
    QRect rect() const { return m_rect; }
    void setRect(const QRect &rect) { m_rect = rect; }
    // The canvas area of the pixels: the cell grown by the border.
    QRect rectWithBorder() const;
    int tileSize() const { return m_tileSize; }
    int border() const { return m_border; }
    int bytesPerPixel() const { return m_bytesPerPixel; }

    // The bytes of canvas pixel (x, y), which must lie in rectWithBorder()
    // of an allocated tile.
    uchar *pixel(int x, int y) const
    {
        return m_data.get() + (qint64(y - m_rect.y() + m_border) * m_tileSize + (x - m_rect.x() + m_border)) * m_bytesPerPixel;
    }

private:
    std::unique_ptr<uchar[]> m_data;
    QRect m_rect;
    int m_tileSize;
    int m_border;
    int m_bytesPerPixel;
};
