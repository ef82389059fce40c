#include "mdocumentfile.h"

#include "mlogger.h"
#include "mtexturelayer.h"
#include "mtexturetile.h"

#include <QDataStream>
#include <QFile>
#include <QUuid>

namespace {
const QUuid layerMagic(QStringLiteral("{FF014CB9-2855-4DC1-99C9-97B20357BF83}"));
constexpr int formatNumber = 100;

void prepare(QDataStream &stream)
{
    stream.setVersion(QDataStream::Qt_5_4);
    stream.setFloatingPointPrecision(QDataStream::DoublePrecision);
}
} // namespace

int writeLayerRecord(QDataStream &stream, MTextureLayer *layer)
{
    const int tileBytes = layer->bytesPerPixel() * layer->tileSize() * layer->tileSize();
    stream << layer->name() << layer->opacity() << layer->locked() << layer->visible() << layer->shaderId();
    stream << qint32(layer->tileSize()) << qint32(layer->border()) << qint32(layer->bytesPerPixel());
    stream << qint32(layer->tileCount()) << qint32(tileBytes);
    QByteArray pixels(tileBytes, Qt::Uninitialized);
    for (int i = 0; i < layer->tileCount(); ++i) {
        MTextureTile *tile = layer->tileAt(i);
        if (!tile || !tile->readPixels(pixels.data())) {
            MLogger::instance()->systemError(QStringLiteral("Error during texture transfert to memory"));
            return 3;
        }
        stream << tile->rect();
        if (stream.writeRawData(pixels.constData(), tileBytes) < tileBytes) {
            MLogger::instance()->systemError(QStringLiteral("Error during writeRawData"));
            return 2;
        }
    }
    return 0;
}

int readLayerRecord(QDataStream &stream, MTextureLayer *layer)
{
    QString name, shaderId;
    double opacity = 1.0;
    bool locked = false, visible = true;
    qint32 tileSize = 0, border = 0, bytesPerPixel = 0, tileCount = 0, tileBytes = 0;
    stream >> name >> opacity >> locked >> visible >> shaderId;
    stream >> tileSize >> border >> bytesPerPixel >> tileCount >> tileBytes;
    layer->setName(name);
    layer->setOpacity(opacity);
    layer->setLocked(locked);
    layer->setVisible(visible);
    layer->set_shaderId(shaderId);

    // Every tile is uploaded as one whole RGBA texture and placed on a grid of
    // tileSize - 2 x border: a record that says otherwise is refused rather
    // than read past its end or divided by a zero step.
    const qint64 wholeTile = qint64(bytesPerPixel) * tileSize * tileSize;
    if (stream.status() != QDataStream::Ok || tileCount < 0 || bytesPerPixel != 4 || border < 0
        || tileSize <= 2 * border || tileBytes != wholeTile) {
        MLogger::instance()->systemError(QStringLiteral("Invalid layer record: tile size %1, border %2, %3 bytes a tile")
                                             .arg(tileSize).arg(border).arg(tileBytes));
        return 3;
    }
    layer->setTileSize(tileSize);
    layer->setBorder(border);
    layer->setBytesPerPixel(bytesPerPixel);

    QByteArray pixels(tileBytes, Qt::Uninitialized);
    for (qint32 i = 0; i < tileCount; ++i) {
        QRect cell;
        stream >> cell;
        if (stream.readRawData(pixels.data(), tileBytes) < tileBytes) {
            MLogger::instance()->systemError(QStringLiteral("Error during readRawData"));
            return 3;
        }
        auto *tile = static_cast<MTextureTile *>(layer->addTile(QPointF(cell.center())));
        if (!tile)
            return 3;
        tile->ensureTexture();
        tile->setData(pixels.constData());
    }
    return 0;
}

int writeLayerFile(const QString &path, MTextureLayer *layer)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 1;
    QDataStream stream(&file);
    prepare(stream);
    stream << layerMagic << qint32(formatNumber);
    return writeLayerRecord(stream, layer);
}

int readLayerFile(const QString &path, MTextureLayer *layer)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 1;
    QDataStream stream(&file);
    prepare(stream);
    QUuid magic;
    stream >> magic;
    if (magic.toString().toUpper() != layerMagic.toString().toUpper()) {
        MLogger::instance()->systemError(QStringLiteral("Invalid layer file format"));
        return 2;
    }
    qint32 format = 0;
    stream >> format;
    return readLayerRecord(stream, layer);
}
