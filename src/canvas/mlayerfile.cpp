#include "mlayerfile.h"

#include "mfileframing.h"
#include "mlayer.h"
#include "mlayerdescription.h"
#include "mlogger.h"
#include "mtexturelayer.h"
#include "mtexturetile.h"
#include "mtilerecordwriter.h"
#include "mutility.h"

#include <QDataStream>
#include <QUuid>

namespace {
const QUuid layerMagic(QStringLiteral("{FF014CB9-2855-4DC1-99C9-97B20357BF83}"));
const QString wrongLayerMagic = QStringLiteral("Invalid layer file format");
} // namespace

QString MLayerFile::park(MTextureLayer *layer)
{
    const QString id = MLayer::newGuid();
    if (!writeLayerFile(MUtility::cacheFileName(id), layer).isDone())
        return QString();
    return id;
}

bool MLayerFile::unpark(const QString &id, MTextureLayer *layer)
{
    return readLayerFile(MUtility::cacheFileName(id), layer).isDone();
}

bool MLayerFile::queueLayerRecord(MTileRecordWriter &writer, int version, MTextureLayer *layer)
{
    const int tileBytes = layer->bytesPerPixel() * layer->tileSize() * layer->tileSize();
    QByteArray properties;
    {
        QDataStream stream(&properties, QIODevice::WriteOnly);
        MFileFraming::prepare(stream);
        stream.setVersion(version);
        stream << layer->name() << layer->opacity() << layer->locked() << layer->visible() << layer->shaderId();
        stream << qint32(layer->tileSize()) << qint32(layer->border()) << qint32(layer->bytesPerPixel());
        stream << qint32(layer->tileCount()) << qint32(tileBytes);
    }
    writer.appendBytes(properties);
    for (int i = 0; i < layer->tileCount(); ++i) {
        auto *tile = static_cast<MTextureTile *>(layer->tileAt(i));
        QByteArray cell;
        QDataStream stream(&cell, QIODevice::WriteOnly);
        MFileFraming::prepare(stream);
        stream.setVersion(version);
        stream << (tile ? tile->rect() : QRect());
        if (!writer.appendTile(tile, cell))
            return false;
    }
    return true;
}

MFileResult MLayerFile::writeLayerRecord(QDataStream &stream, MTextureLayer *layer)
{
    MTileRecordWriter writer(stream.device());
    queueLayerRecord(writer, stream.version(), layer);
    return writer.finish();
}

void MLayerFile::setLayerProperties(const MLayerDescription &record, MTextureLayer *layer)
{
    layer->setName(record.name);
    layer->setOpacity(record.opacity);
    layer->setLocked(record.locked);
    layer->setVisible(record.visible);
    layer->set_shaderId(record.shaderId);
    layer->setTileSize(MLayerDescription::TileSize);
    layer->setBorder(MLayerDescription::Border);
    layer->setBytesPerPixel(MLayerDescription::BytesPerPixel);
}

MFileResult MLayerFile::uploadLayer(QDataStream &stream, const MLayerDescription &record, MTextureLayer *layer)
{
    setLayerProperties(record, layer);
    QIODevice *device = stream.device();
    QByteArray pixels(MLayerDescription::TileBytes, Qt::Uninitialized);
    for (int i = 0; i < record.cells.size(); ++i) {
        if (!device || !device->seek(record.pixelOffsets.at(i))
            || stream.readRawData(pixels.data(), pixels.size()) < pixels.size())
            return MLayerDescription::cutShort();
        auto *tile = static_cast<MTextureTile *>(layer->addTile(QPointF(record.cells.at(i).center())));
        // A tile left blank would be saved over the original as it is.
        if (!tile || !tile->createTextureFrom(pixels.constData()))
            return MFileResult(ReadBadData, MTextureTile::creationFailure(tile));
    }
    return ReadDone;
}

MFileResult MLayerFile::readLayerRecord(QDataStream &stream, MTextureLayer *layer)
{
    MLayerDescription record;
    const MFileResult result = record.read(stream);
    if (!result.isDone())
        return result;
    const qint64 end = stream.device() ? stream.device()->pos() : 0;
    const MFileResult uploaded = uploadLayer(stream, record, layer);
    if (uploaded.isDone() && stream.device())
        stream.device()->seek(end);
    return uploaded;
}

MFileResult MLayerFile::writeLayerFile(const QString &path, MTextureLayer *layer)
{
    return MFileFraming::writeFile(path, layerMagic,
                                   [layer](QDataStream &stream) { return writeLayerRecord(stream, layer); });
}

MFileResult MLayerFile::readLayerFile(const QString &path, MTextureLayer *layer)
{
    return MFileFraming::readFile(path, layerMagic, wrongLayerMagic,
                                  [layer](QDataStream &stream) { return readLayerRecord(stream, layer); });
}

MFileResult MLayerFile::parseLayerFile(QIODevice *device, MLayerDescription &description)
{
    QDataStream stream(device);
    const MFileResult result = MFileFraming::readHeader(stream, layerMagic, wrongLayerMagic);
    return !result.isDone() ? result : MFileFraming::guarded([&] { return description.read(stream); });
}
