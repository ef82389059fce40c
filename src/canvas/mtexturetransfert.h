#pragma once

#include "msingleton.h"

#include <QObject>

// Moves tile pixels between GPU textures and CPU memory.
class MTextureTransfert : public QObject, public MSingleton<MTextureTransfert>
{
    Q_OBJECT
public:
    explicit MTextureTransfert(int tileSize = 512, int border = 6, int bytesPerPixel = 4, QObject *parent = nullptr);

    int tileSize() const { return m_tileSize; }
    int border() const { return m_border; }
    int bytesPerPixel() const { return m_bytesPerPixel; }

private:
    int m_tileSize;
    int m_border;
    int m_bytesPerPixel;
};
