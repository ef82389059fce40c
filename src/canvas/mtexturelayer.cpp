#include "mtexturelayer.h"

#include "mlogcategory.h"
#include "mdocumentfile.h"
#include "mtexturetile.h"
#include "mutility.h"

#include <QDebug>
#include <QOpenGLContext>

#include <malloc.h>

namespace {
// Tile-sized blocks (texture storage in a software driver, undo records,
// read-back buffers, CPU copies of tiles) come and go by the thousand. Once
// the first of them is freed glibc serves the rest from its heaps, where the
// freed ones stay resident in holes that later blocks do not fill: a
// document came to hold twice what its tiles hold. A fixed threshold of a
// tile's level 0 gives each such block a mapping of its own, returned to the
// system when it is freed (at the price of its pages being faulted in anew);
// smaller blocks, the most of a stroke's records, stay in the heap.
void returnLargeBlocksWhenFreed()
{
#ifdef __GLIBC__
    static const bool done = mallopt(M_MMAP_THRESHOLD, 1024 * 1024) == 1;
    Q_UNUSED(done)
#endif
}
} // namespace

MTextureLayer::MTextureLayer(QObject *parent)
    : MTiledLayer(parent)
{
    returnLargeBlocksWhenFreed();
    setType(OpenGLLayer);
}

MTextureLayer::~MTextureLayer() = default;

MTile *MTextureLayer::createTile()
{
    return new MTextureTile(this);
}

MTextureTile *MTextureLayer::tileAt(int i) const
{
    return static_cast<MTextureTile *>(tile(i));
}

void MTextureLayer::shutDown()
{
    if (!QOpenGLContext::currentContext()) {
        qCDebug(lcCanvas).noquote() << QStringLiteral("%1::%2").arg(QStringLiteral("mtexturelayer"), QStringLiteral("MTextureLayer::shutDown"))
                           << QStringLiteral("no current context during shutdown !");
        return;
    }
    for (int i = 0; i < tileCount(); ++i)
        tileAt(i)->releaseTexture();
}

void MTextureLayer::releaseTilesPast(int most)
{
    if (tileCount() > most && QOpenGLContext::currentContext())
        clear();
}

void MTextureLayer::clear()
{
    shutDown();
    m_touchedTiles.clear();
    clearTiles();
}

bool MTextureLayer::storeToDisk()
{
    const QString id = newGuid();
    if (writeLayerFile(MUtility::cacheFileName(id), this) != WriteDone)
        return false;
    m_storageId = id;
    return true;
}

bool MTextureLayer::restoreFromDisk(const QString &id)
{
    if (readLayerFile(MUtility::cacheFileName(id), this) != ReadDone)
        return false;
    m_storageId = id;
    return true;
}
