#pragma once

#include "mfileresult.h"

#include <QRect>
#include <QString>
#include <QVector>

class QDataStream;

// One layer record of a document or single-layer file, read and checked
// without the GPU: the layer's properties and, for every tile, its cell and
// where its pixels lie in the stream's device, for the upload that follows.
class MLayerDescription
{
public:
    // The only tile geometry the document's layers have; anything else in a
    // file is damage, and would make the upload read past the pixels.
    static constexpr qint32 TileSize = 512;
    static constexpr qint32 Border = 6;
    static constexpr qint32 BytesPerPixel = 4;
    static constexpr qint32 TileBytes = BytesPerPixel * TileSize * TileSize;
    // The smallest record: empty name and effect, no tile.
    static constexpr qint64 SmallestRecord = 4 + 8 + 1 + 1 + 4 + 5 * 4;

    // Done, or ReadBadData for a record that is cut short or damaged (the
    // reason logged and given). The pixels are skipped, not read.
    MFileResult read(QDataStream &stream);

    // Log in words that the file is cut short, or damaged (the detail
    // follows), and give ReadBadData with the logged line.
    static MFileResult cutShort();
    static MFileResult damaged(const QString &detail);
    // Whether count items of itemBytes each can still be in the stream; a
    // file is never asked for more than it holds, so a damaged count
    // allocates nothing.
    static bool holds(QDataStream &stream, qint32 count, qint64 itemBytes);

    QString name;
    double opacity = 1.0;
    bool locked = false;
    bool visible = true;
    QString shaderId;
    QVector<QRect> cells;
    QVector<qint64> pixelOffsets;
};
