#pragma once

#include <QRect>

class MTiledLayer;

// One cell of a tiled layer. Tile size, border and bytes per pixel are the layer's.
class MTile
{
public:
    explicit MTile(MTiledLayer *layer);
    virtual ~MTile();
    virtual bool isValid() const;

    MTiledLayer *layer() const { return m_layer; }
    QRect rect() const { return m_rect; }
    void setRect(const QRect &rect) { m_rect = rect; }
    // The canvas area of the tile's texture: the cell grown by the border.
    QRect rectWithBorder() const;
    int tileSize() const;
    int border() const;
    int bytesPerPixel() const;

protected:
    MTiledLayer *m_layer;
    QRect m_rect;
    bool m_created = false;     // the texture exists and was initialised
    bool m_invalid = false;     // creating it failed; not retried until released
};
