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
// the first of them is freed glibc serves the rest from its heap, where the
// freed ones stay resident in holes between tiles that live on: a document
// came to hold twice what its tiles hold. A fixed threshold gives each large
// block a mapping of its own, returned to the system when it is freed.
void returnLargeBlocksWhenFreed()
{
#ifdef __GLIBC__
    static const bool done = mallopt(M_MMAP_THRESHOLD, 256 * 1024) == 1;
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
