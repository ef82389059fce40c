#pragma once

#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QSet>
#include <QVector>

class MQuadNode;
class MTile;
class MTiledLayer;

// The tiles of a layer, created on demand where paint lands and indexed by a
// quad tree that grows outward, so the canvas has no fixed size. Tiles are
// kept in creation order; a tile's index never changes.
class MQuadTree
{
public:
    // Tiles exist only this far from the origin (both ways on both axes): the
    // root, doubling toward a point, must stay within integer range.
    static constexpr double maximumCoordinate = 1.0e8;

    explicit MQuadTree(MTiledLayer *layer);
    virtual ~MQuadTree();

    // The tile whose cell contains p, created when missing; null for a point
    // beyond maximumCoordinate.
    MTile *addTile(const QPointF &p);
    // The tile whose cell contains p, or null; never creates.
    MTile *tileAt(const QPointF &p) const;
    // Adds every tile whose cell meets r to out, creating missing ones.
    void tilesInRect(const QRectF &r, QSet<MTile *> &out);
    void clear();

    int tileCount() const { return m_tiles.size(); }
    MTile *tile(int i) const { return m_tiles.value(i); }
    QRect extent() const { return m_extent; }
    MQuadNode *root() const { return m_root; }

private:
    int step() const;
    void growToward(const QPointF &c);
    MQuadNode *descendToward(MQuadNode *node, const QPointF &c) const;

    MTiledLayer *m_layer;
    MQuadNode *m_root = nullptr;
    QVector<MTile *> m_tiles;
    QRect m_extent;
};
