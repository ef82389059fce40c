#include "mundolayer.h"

#include "mtile.h"

MUndoLayer::MUndoLayer(QObject *parent)
    : MTiledLayer(parent)
{
    setType(UndoLayer);
    setTileSize(kBlockSize);
    setBorder(0);
    setBytesPerPixel(4);
}

MUndoLayer::~MUndoLayer()
{
    clearTiles();
}

MTile *MUndoLayer::createTile()
{
    return new MTile(this);
}
