#include "mtexturelayer.h"

#include "mlogcategory.h"
#include "mtexturetile.h"

#include <QDebug>
#include <QOpenGLContext>


MTextureLayer::MTextureLayer(QObject *parent)
    : MTiledLayer(parent)
{
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
