#include "mquadtree.h"

#include "mlogcategory.h"
#include "mlogger.h"
#include "mquadnode.h"
#include "mtile.h"
#include "mtiledlayer.h"
#include "mtilegeometry.h"

#include <QDebug>

#include <cmath>

namespace {
void trace(const QString &message)
{
    qCDebug(lcCanvas).noquote() << QStringLiteral("%1::%2").arg(QStringLiteral("mquadtree"), QStringLiteral("MQuadTree::addTile"))
                       << message;
}
} // namespace

MQuadTree::MQuadTree(MTiledLayer *layer)
    : m_layer(layer)
{
}

MQuadTree::~MQuadTree()
{
    clear();
}

int MQuadTree::step() const
{
    return tileStep(m_layer->tileSize(), m_layer->border());
}

void MQuadTree::clear()
{
    delete m_root;
    m_root = nullptr;
    qDeleteAll(m_tiles);
    m_tiles.clear();
    m_extent = QRect();
}

MTile *MQuadTree::tileAt(const QPointF &p) const
{
    if (!m_root)
        return nullptr;
    const MQuadNode *leaf = m_root->findLeaf(p);
    return leaf ? m_tiles.value(leaf->tileIndex) : nullptr;
}

MTile *MQuadTree::addTile(const QPointF &p)
{
    if (MTile *existing = tileAt(p))
        return existing;
    // Written so that NaN fails too.
    if (!(std::abs(p.x()) <= maximumCoordinate && std::abs(p.y()) <= maximumCoordinate)) {
        MLogger::instance()->systemError(QStringLiteral("Tile requested too far from the origin: (%1, %2)").arg(p.x()).arg(p.y()));
        return nullptr;
    }

    MTile *tile = m_layer->createTile();
    m_tiles.append(tile);
    const int index = m_tiles.size() - 1;
    const QRect cell = tileRect(p, m_layer->tileSize(), m_layer->border());
    tile->setRect(cell);
    m_extent = m_extent.isEmpty() ? cell : m_extent.united(cell);

    if (!m_root) {
        m_root = new MQuadNode(QRect(cell.x(), cell.y(), 2 * step(), 2 * step()), nullptr);
        m_root->subdivide();
        m_root->children[0]->tileIndex = index;
        return tile;
    }

    const QPointF centre = QRectF(cell).center();
    growToward(centre);
    MQuadNode *node = descendToward(m_root, centre);
    if (node->tileIndex != -1) {
        trace(QStringLiteral("Tile already created: (%1, %2, %3 x %4) index %5")
                  .arg(cell.x()).arg(cell.y()).arg(cell.width()).arg(cell.height()).arg(node->tileIndex));
        trace(QStringLiteral("Tested point: (%1, %2)").arg(p.x()).arg(p.y()));
    }
    node->tileIndex = index;
    return tile;
}

void MQuadTree::growToward(const QPointF &c)
{
    // Doubles the root, keeping the old root as the child on the side away
    // from c, until the root contains c.
    while (!m_root->contains(c)) {
        const QRect r = m_root->rect;
        const int w = r.width();
        int slot;
        QRect grown;
        if (c.y() <= r.bottom() && c.x() <= r.right()) {
            slot = 3;
            grown = QRect(r.left() - w, r.top() - w, 2 * w, 2 * w);
        } else if (c.y() <= r.bottom() && c.x() >= r.right()) {
            slot = 2;
            grown = QRect(r.left(), r.top() - w, 2 * w, 2 * w);
        } else if (c.y() >= r.bottom() && c.x() >= r.left()) {
            slot = 0;
            grown = QRect(r.left(), r.top(), 2 * w, 2 * w);
        } else {
            slot = 1;
            grown = QRect(r.left() - w, r.top(), 2 * w, 2 * w);
        }
        auto *root = new MQuadNode(grown, nullptr);
        root->children[slot] = m_root;
        m_root->parent = root;
        root->subdivide();
        m_root = root;
    }
}

MQuadNode *MQuadTree::descendToward(MQuadNode *node, const QPointF &c) const
{
    while (step() < node->rect.width()) {
        node->subdivide();
        MQuadNode *next = nullptr;
        for (MQuadNode *child : node->children) {
            if (child->contains(c)) {
                next = child;
                break;
            }
        }
        if (!next)
            return node;
        node = next;
    }
    return node;
}

void MQuadTree::tilesInRect(const QRectF &r, QSet<MTile *> &out)
{
    const double limit = maximumCoordinate;
    const QRectF rect = r.normalized().intersected(QRectF(-limit, -limit, 2 * limit, 2 * limit));
    if (!qIsFinite(rect.x()) || !qIsFinite(rect.y()) || !qIsFinite(rect.width()) || !qIsFinite(rect.height()))
        return;
    const int s = step();
    const int firstColumn = int(std::floor(rect.left() / s));
    const int lastColumn = int(std::floor((rect.left() + rect.width() - 1) / s));
    const int firstRow = int(std::floor(rect.top() / s));
    const int lastRow = int(std::floor((rect.top() + rect.height() - 1) / s));
    for (int row = firstRow; row <= lastRow; ++row)
        for (int column = firstColumn; column <= lastColumn; ++column)
            if (MTile *tile = addTile(QPointF(int(column * s + s / 2.0), int(row * s + s / 2.0))))
                out.insert(tile);
}
