#include "mtexturetransfert.h"

MTextureTransfert::MTextureTransfert(int tileSize, int border, int bytesPerPixel, QObject *parent)
    : QObject(parent)
    , m_tileSize(tileSize)
    , m_border(border)
    , m_bytesPerPixel(bytesPerPixel)
{
}
