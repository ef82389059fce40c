#include "mtile.h"

#include "mtiledlayer.h"

MTile::MTile(MTiledLayer *layer)
    : m_layer(layer)
{
}

MTile::~MTile() = default;

bool MTile::isValid() const
{
    return m_created && !m_invalid;
}

QRect MTile::rectWithBorder() const
{
    return QRect(m_rect.x() - border(), m_rect.y() - border(), tileSize(), tileSize());
}

int MTile::tileSize() const
{
    return m_layer->tileSize();
}

int MTile::border() const
{
    return m_layer->border();
}

int MTile::bytesPerPixel() const
{
    return m_layer->bytesPerPixel();
}
