#pragma once

#include "mtiledlayer.h"

// The 64 x 64 blocks of a texture tile that were touched since its last
// backup: plain tiles without pixels on a grid of 64 with no border.
class MUndoLayer : public MTiledLayer
{
    Q_OBJECT
public:
    // The side of a block, in texture pixels.
    static constexpr int kBlockSize = 64;

    explicit MUndoLayer(QObject *parent = nullptr);
    ~MUndoLayer() override;

    MTile *createTile() override;
};
