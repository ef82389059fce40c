#pragma once

#include "mtiledlayer.h"

#include <QSet>

class MTextureTile;

// A layer of the document: its tiles are GPU textures. Clearing and
// releasing need the document's context current.
class MTextureLayer : public MTiledLayer
{
    Q_OBJECT
public:
    explicit MTextureLayer(QObject *parent = nullptr);
    ~MTextureLayer() override;

    MTile *createTile() override;
    using MTiledLayer::tileAt;
    MTextureTile *tileAt(int i) const;

    // Releases the textures of every tile (only with a context current).
    void shutDown();
    // Lets every tile go, textures and all, when the layer holds more than
    // `most` (only with a context current): a scratch layer is transparent
    // between uses, and keeps no more than a use's worth for the next one.
    void releaseTilesPast(int most);
    // The tiles a stroke in progress has painted into (stroke layer only).
    QSet<MTile *> &touchedTiles() { return m_touchedTiles; }

public slots:
    void clear() override;

private:
    QSet<MTile *> m_touchedTiles;
};
