#include "mlayerdescription.h"

#include "mlogger.h"
#include "mquadtree.h"

#include <QDataStream>
#include <QIODevice>

#include <cmath>

namespace {
// A tile's cell and its pixels.
constexpr qint64 tileRecordBytes = 4 * 4 + MLayerDescription::TileBytes;

// The cell of a document tile: one step of the grid, on the grid, where a
// layer can have tiles.
bool onTileGrid(const QRect &cell)
{
    const qint64 step = MLayerDescription::TileSize - 2 * MLayerDescription::Border;
    const QPointF centre(cell.center());
    return qint64(cell.right()) - cell.left() + 1 == step && qint64(cell.bottom()) - cell.top() + 1 == step
           && cell.left() % step == 0 && cell.top() % step == 0
           && std::abs(centre.x()) <= MQuadTree::maximumCoordinate
           && std::abs(centre.y()) <= MQuadTree::maximumCoordinate;
}
} // namespace

MFileResult MLayerDescription::cutShort()
{
    return MFileResult(ReadBadData,
                       MLogger::instance()->systemError(QStringLiteral("The file is cut short: it ends before the data "
                                                                       "it announces (Error during readRawData)")));
}

MFileResult MLayerDescription::damaged(const QString &detail)
{
    return MFileResult(ReadBadData,
                       MLogger::instance()->systemError(QStringLiteral("The file is damaged: %1").arg(detail)));
}

bool MLayerDescription::holds(QDataStream &stream, qint32 count, qint64 itemBytes)
{
    if (count < 0)
        return false;
    const QIODevice *device = stream.device();
    return !device || device->isSequential() || count * itemBytes <= device->bytesAvailable();
}

MFileResult MLayerDescription::read(QDataStream &stream)
{
    qint32 tileSize = 0, border = 0, bytesPerPixel = 0, tileCount = 0, tileBytes = 0;
    stream >> name >> opacity >> locked >> visible >> shaderId;
    stream >> tileSize >> border >> bytesPerPixel >> tileCount >> tileBytes;
    if (stream.status() != QDataStream::Ok)
        return cutShort();
    if (tileSize != TileSize || border != Border || bytesPerPixel != BytesPerPixel || tileBytes != TileBytes) {
        return damaged(QStringLiteral("Invalid layer record: tile size %1, border %2, %3 bytes per pixel, %4 bytes a tile")
                           .arg(tileSize)
                           .arg(border)
                           .arg(bytesPerPixel)
                           .arg(tileBytes));
    }
    if (!std::isfinite(opacity) || opacity < 0.0 || opacity > 1.0) {
        return damaged(QStringLiteral("Invalid layer record: opacity %1").arg(opacity));
    }
    if (!holds(stream, tileCount, tileRecordBytes))
        return cutShort();
    QIODevice *device = stream.device();
    cells.clear();
    pixelOffsets.clear();
    // Only a count the remaining bytes vouched for is reserved at once.
    if (device && !device->isSequential()) {
        cells.reserve(tileCount);
        pixelOffsets.reserve(tileCount);
    }
    for (qint32 i = 0; i < tileCount; ++i) {
        QRect cell;
        stream >> cell;
        const qint64 offset = device ? device->pos() : -1;
        if (stream.status() != QDataStream::Ok || stream.skipRawData(TileBytes) < TileBytes)
            return cutShort();
        if (!onTileGrid(cell)) {
            return damaged(QStringLiteral("Invalid tile cell: %1, %2, %3, %4")
                               .arg(cell.left())
                               .arg(cell.top())
                               .arg(cell.right())
                               .arg(cell.bottom()));
        }
        cells.append(cell);
        pixelOffsets.append(offset);
    }
    return ReadDone;
}
