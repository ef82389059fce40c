#pragma once

#include "mlayer.h"

#include <QPointF>
#include <QRectF>
#include <QSet>

class MQuadTree;
class MTile;

// A layer whose pixels are square tiles, created where paint lands and found
// through a quad tree that owns them.
class MTiledLayer : public MLayer
{
    Q_OBJECT
public:
    explicit MTiledLayer(QObject *parent = nullptr);
    ~MTiledLayer() override;

    // The tile whose cell contains p, created when missing (null beyond
    // MQuadTree::maximumCoordinate).
    MTile *addTile(const QPointF &p);
    void tilesInRect(const QRectF &r, QSet<MTile *> &out);
    MTile *tileAt(const QPointF &p) const;
    // Tiles in creation order.
    MTile *tile(int i) const;
    int tileCount() const;
    MQuadTree *quadTree() const { return m_quadTree; }

    static constexpr int defaultTileSize = 512;

    int tileSize() const { return m_tileSize; }
    int border() const { return m_border; }
    int bytesPerPixel() const { return m_bytesPerPixel; }
    // Set before any tile exists.
    void setTileSize(int value) { m_tileSize = value; }
    void setBorder(int value) { m_border = value; }
    void setBytesPerPixel(int value) { m_bytesPerPixel = value; }

    // A new tile of the layer's kind, owned by the layer.
    virtual MTile *createTile() = 0;

public slots:
    void clear() override;
    bool isEmpty() const override;
    void clearTiles();

private:
    MQuadTree *m_quadTree;
    int m_tileSize = defaultTileSize;
    int m_border = 6;
    int m_bytesPerPixel = 4;
};
