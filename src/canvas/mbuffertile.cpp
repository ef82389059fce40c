#include "mbuffertile.h"

#include "mlogger.h"

#include <limits>
#include <new>

MBufferTile::MBufferTile(int tileSize, int border, int bytesPerPixel)
    : m_rect(0, 0, tileSize - 2 * border, tileSize - 2 * border)
    , m_tileSize(tileSize)
    , m_border(border)
    , m_bytesPerPixel(bytesPerPixel)
{
}

MBufferTile::~MBufferTile() = default;

qint64 MBufferTile::byteSize() const
{
    return qint64(m_tileSize) * m_tileSize * m_bytesPerPixel;
}

QRect MBufferTile::rectWithBorder() const
{
    return QRect(m_rect.x() - m_border, m_rect.y() - m_border, m_tileSize, m_tileSize);
}

bool MBufferTile::allocate()
{
    if (m_data)
        return true;
    // Texture transfers count bytes in ints: a larger tile could not be filled.
    const qint64 size = byteSize();
    if (m_tileSize > 0 && m_bytesPerPixel > 0 && size <= std::numeric_limits<int>::max())
        m_data.reset(new (std::nothrow) uchar[size_t(size)]());
    if (!m_data) {
        MLogger::instance()->systemError(QStringLiteral("Unable to create buffer"));
        return false;
    }
    return true;
}
