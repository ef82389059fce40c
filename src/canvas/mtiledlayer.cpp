#include "mtiledlayer.h"

#include "mquadtree.h"

#include <atomic>

MTiledLayer::MTiledLayer(QObject *parent)
    : MLayer(parent)
    , m_quadTree(new MQuadTree(this))
{
}

MTiledLayer::~MTiledLayer()
{
    delete m_quadTree;
}

MTile *MTiledLayer::addTile(const QPointF &p)
{
    return m_quadTree->addTile(p);
}

void MTiledLayer::tilesInRect(const QRectF &r, QSet<MTile *> &out)
{
    m_quadTree->tilesInRect(r, out);
}

MTile *MTiledLayer::tileAt(const QPointF &p) const
{
    return m_quadTree->tileAt(p);
}

MTile *MTiledLayer::tile(int i) const
{
    return m_quadTree->tile(i);
}

int MTiledLayer::tileCount() const
{
    return m_quadTree->tileCount();
}

void MTiledLayer::clear()
{
    clearTiles();
}

bool MTiledLayer::isEmpty() const
{
    return tileCount() == 0;
}

void MTiledLayer::clearTiles()
{
    m_quadTree->clear();
    markContentChanged();
}

void MTiledLayer::markContentChanged()
{
    // One count for all layers: a layer made where another was freed does
    // not take up its revisions.
    static std::atomic<quint64> revisions{0};
    m_contentRevision = ++revisions;
}
