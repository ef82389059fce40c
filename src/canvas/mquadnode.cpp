#include "mquadnode.h"

MQuadNode::MQuadNode(const QRect &rect, MQuadNode *parent)
    : rect(rect)
    , parent(parent)
{
}

MQuadNode::~MQuadNode()
{
    for (MQuadNode *child : children)
        delete child;
}

bool MQuadNode::contains(const QPointF &p) const
{
    return p.x() >= rect.x() && p.x() < qreal(rect.x()) + rect.width() && p.y() >= rect.y()
           && p.y() < qreal(rect.y()) + rect.height();
}

MQuadNode *MQuadNode::findLeaf(const QPointF &p)
{
    if (!contains(p))
        return nullptr;
    if (!hasChildren())
        return this;
    for (MQuadNode *child : children) {
        if (MQuadNode *leaf = child->findLeaf(p))
            return leaf;
    }
    return nullptr;
}

void MQuadNode::subdivide()
{
    const int x = rect.x(), y = rect.y();
    const int h = int(rect.width() * 0.5);
    setChild(0, QRect(x, y, h, h));
    setChild(1, QRect(x + h, y, h, h));
    setChild(2, QRect(x, y + h, h, h));
    setChild(3, QRect(x + h, y + h, h, h));
}

void MQuadNode::setChild(int i, const QRect &childRect)
{
    if (children[i])
        children[i]->rect = childRect;
    else
        children[i] = new MQuadNode(childRect, this);
}
