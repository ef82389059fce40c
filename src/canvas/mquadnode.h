#pragma once

#include <QPointF>
#include <QRect>

// A node of the quad tree of a tiled layer: a square of the canvas, split into
// four children (0 top-left, 1 top-right, 2 bottom-left, 3 bottom-right) or a
// leaf, which may name a tile.
class MQuadNode
{
public:
    MQuadNode(const QRect &rect, MQuadNode *parent);
    virtual ~MQuadNode();

    QRect rect;
    MQuadNode *parent;
    int tileIndex = -1;
    MQuadNode *children[4] = {nullptr, nullptr, nullptr, nullptr};

    bool hasChildren() const { return children[0] != nullptr; }
    // Half-open: left <= x < left + width, top <= y < top + height.
    bool contains(const QPointF &p) const;
    // The deepest node that contains p, or null when this one does not.
    MQuadNode *findLeaf(const QPointF &p);
    void subdivide();
    // Sets the rectangle of child i, creating the child when missing.
    void setChild(int i, const QRect &childRect);
};
