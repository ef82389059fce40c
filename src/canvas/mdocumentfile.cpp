#include "mdocumentfile.h"

#include "mcanvas.h"
#include "menum.h"
#include "mlogger.h"
#include "mtexturelayer.h"
#include "mtexturetile.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPainterPath>
#include <QSaveFile>
#include <QUndoStack>
#include <QUuid>

#include <functional>

namespace {
const QUuid documentMagic(QStringLiteral("{CEC50B25-E865-4A4F-9E63-120098E6C0FD}"));
const QUuid layerMagic(QStringLiteral("{FF014CB9-2855-4DC1-99C9-97B20357BF83}"));
constexpr int formatNumber = 100;

// The only tile geometry the document's layers have; anything else in a file
// is damage, and would make the upload read past the pixels.
constexpr qint32 fileTileSize = 512;
constexpr qint32 fileBorder = 6;
constexpr qint32 fileBytesPerPixel = 4;
constexpr qint32 fileTileBytes = fileBytesPerPixel * fileTileSize * fileTileSize;
// What a count must leave room for: a tile's cell, and the smallest layer
// record (empty name and effect, no tile).
constexpr qint64 cellBytes = 4 * 4;
constexpr qint64 smallestLayerRecord = 4 + 8 + 1 + 1 + 4 + 5 * 4;

void prepare(QDataStream &stream)
{
    stream.setVersion(QDataStream::Qt_5_4);
    stream.setFloatingPointPrecision(QDataStream::DoublePrecision);
}

int cutShort()
{
    MLogger::instance()->systemError(QStringLiteral("Error during readRawData"));
    return 3;
}

// Whether count items of itemBytes each can still be in the stream; a file is
// never asked for more than it holds, so a damaged count allocates nothing.
bool holds(QDataStream &stream, qint32 count, qint64 itemBytes)
{
    if (count < 0)
        return false;
    const QIODevice *device = stream.device();
    return !device || device->isSequential() || count * itemBytes <= device->bytesAvailable();
}

// The cell of a document tile: one step of the grid, on the grid.
bool onTileGrid(const QRect &cell)
{
    const qint64 step = fileTileSize - 2 * fileBorder;
    return qint64(cell.right()) - cell.left() + 1 == step && qint64(cell.bottom()) - cell.top() + 1 == step
           && cell.left() % step == 0 && cell.top() % step == 0;
}

// Writes the magic, the format number and the body beside path and puts the
// result in place only when every byte reached the disk.
int writeFile(const QString &path, const QUuid &magic, const std::function<int(QDataStream &)> &body)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        MLogger::instance()->systemError(QStringLiteral("Unable to write %1: %2").arg(path, file.errorString()));
        return 1;
    }
    QDataStream stream(&file);
    prepare(stream);
    stream << magic << qint32(formatNumber);
    const int result = body(stream);
    if (result != 0) {
        file.cancelWriting();
        return result;
    }
    // flush() before commit(): commit() does not see an error of the final flush.
    if (stream.status() != QDataStream::Ok || !file.flush() || !file.commit()) {
        MLogger::instance()->systemError(QStringLiteral("Unable to write %1: %2").arg(path, file.errorString()));
        file.cancelWriting();
        return 2;
    }
    return 0;
}

// Opens path, checks the magic and reads the format number (any value is
// accepted) before the body.
int readFile(const QString &path, const QUuid &magic, const QString &wrongMagic,
             const std::function<int(QDataStream &)> &body)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 1;
    QDataStream stream(&file);
    prepare(stream);
    QUuid found;
    stream >> found;
    if (found.toString().toUpper() != magic.toString().toUpper()) {
        MLogger::instance()->systemError(wrongMagic);
        return 2;
    }
    qint32 format = 0;
    stream >> format;
    return body(stream);
}

// Layers read for a document that has not taken them yet: released under the
// document's context and deleted unless taken.
class ScratchLayers
{
public:
    explicit ScratchLayers(MCanvas *canvas) : m_canvas(canvas) {}
    ~ScratchLayers()
    {
        if (m_layers.isEmpty())
            return;
        m_canvas->makeCurrent();
        for (MTextureLayer *layer : qAsConst(m_layers))
            layer->clear();
        qDeleteAll(m_layers);
    }

    MTextureLayer *add()
    {
        m_layers.append(new MTextureLayer());
        return m_layers.last();
    }
    QList<MTextureLayer *> take()
    {
        const QList<MTextureLayer *> layers = m_layers;
        m_layers.clear();
        return layers;
    }

private:
    MCanvas *m_canvas;
    QList<MTextureLayer *> m_layers;
};
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
    if (stream.status() != QDataStream::Ok)
        return cutShort();
    if (tileSize != fileTileSize || border != fileBorder || bytesPerPixel != fileBytesPerPixel
        || tileBytes != fileTileBytes) {
        MLogger::instance()->systemError(
            QStringLiteral("Invalid layer record: tile size %1, border %2, %3 bytes per pixel, %4 bytes a tile")
                .arg(tileSize)
                .arg(border)
                .arg(bytesPerPixel)
                .arg(tileBytes));
        return 3;
    }
    if (!holds(stream, tileCount, cellBytes + tileBytes))
        return cutShort();
    layer->setName(name);
    layer->setOpacity(opacity);
    layer->setLocked(locked);
    layer->setVisible(visible);
    layer->set_shaderId(shaderId);
    layer->setTileSize(tileSize);
    layer->setBorder(border);
    layer->setBytesPerPixel(bytesPerPixel);

    QByteArray pixels(tileBytes, Qt::Uninitialized);
    for (qint32 i = 0; i < tileCount; ++i) {
        QRect cell;
        stream >> cell;
        if (stream.readRawData(pixels.data(), tileBytes) < tileBytes)
            return cutShort();
        auto *tile = onTileGrid(cell) ? static_cast<MTextureTile *>(layer->addTile(QPointF(cell.center()))) : nullptr;
        if (!tile) {
            MLogger::instance()->systemError(QStringLiteral("Invalid tile cell: %1, %2, %3, %4")
                                                 .arg(cell.left())
                                                 .arg(cell.top())
                                                 .arg(cell.right())
                                                 .arg(cell.bottom()));
            return 3;
        }
        // A tile left blank would be saved over the original as it is.
        if (!tile->ensureTexture() || !tile->setData(pixels.constData()))
            return 3;
    }
    return 0;
}

int writeLayerFile(const QString &path, MTextureLayer *layer)
{
    return writeFile(path, layerMagic, [layer](QDataStream &stream) { return writeLayerRecord(stream, layer); });
}

int readLayerFile(const QString &path, MTextureLayer *layer)
{
    return readFile(path, layerMagic, QStringLiteral("Invalid layer file format"),
                    [layer](QDataStream &stream) { return readLayerRecord(stream, layer); });
}

int writeDocument(QDataStream &stream, MCanvas *canvas)
{
    canvas->makeCurrent();
    qint32 tiles = 0;
    for (int row = 0; row < canvas->count(); ++row)
        tiles += canvas->at(row)->tileCount();
    stream << canvas->paintedRect() << qint32(canvas->paperType()) << canvas->paperColor();
    if (canvas->paperType() == MEnum::Paper)
        stream << canvas->paperName() << canvas->paperTile();
    stream << canvas->autoExtent() << canvas->paintMargin() << qint32(canvas->count()) << tiles;
    for (int row = 0; row < canvas->count(); ++row) {
        const int result = writeLayerRecord(stream, canvas->at(row));
        if (result != 0)
            return result;
    }
    return 0;
}

int readDocument(QDataStream &stream, MCanvas *canvas)
{
    if (!canvas || !canvas->makeCurrent()) {
        MLogger::instance()->systemError(QStringLiteral("Unable to make current context"));
        return 4;
    }
    QRectF paintedRect;
    qint32 paperType = 0;
    QColor paperColor;
    QString paperName;
    QImage paperTile;
    bool autoExtent = false;
    double paintMargin = 0.0;
    qint32 layerCount = 0, tileCount = 0;
    stream >> paintedRect >> paperType >> paperColor;
    if (paperType == MEnum::Paper)
        stream >> paperName >> paperTile;
    stream >> autoExtent >> paintMargin >> layerCount >> tileCount;
    if (stream.status() != QDataStream::Ok || !holds(stream, layerCount, smallestLayerRecord))
        return cutShort();

    // Read aside: a file that fails half-way must not cost the open document.
    ScratchLayers scratch(canvas);
    for (qint32 row = 0; row < layerCount; ++row) {
        const int result = readLayerRecord(stream, scratch.add());
        if (result != 0)
            return result;
    }

    canvas->makeCurrent();
    canvas->clear();
    canvas->setClipPath(QPainterPath());
    canvas->setPaintedRect(paintedRect);
    canvas->setPaperType(MEnum::PaperType(paperType));
    canvas->setPaperColor(paperColor);
    if (canvas->paperType() == MEnum::Paper) {
        canvas->setPaperName(paperName);
        canvas->setPaperTile(paperTile);
    }
    canvas->setAutoExtent(autoExtent);
    canvas->setPaintMargin(paintMargin);
    const QList<MTextureLayer *> layers = scratch.take();
    for (MTextureLayer *layer : layers) {
        canvas->appendItem(layer);
        canvas->updateLayerThumbnail();
    }
    // Commands of the replaced document would act on layers that are gone.
    canvas->undoStack()->clear();
    return 0;
}

int writeDocumentFile(const QString &path, MCanvas *canvas)
{
    if (!canvas)
        return 1;
    return writeFile(path, documentMagic, [canvas](QDataStream &stream) { return writeDocument(stream, canvas); });
}

int readDocumentFile(const QString &path, MCanvas *canvas)
{
    return readFile(path, documentMagic, QStringLiteral("Invalid canvas file format"),
                    [canvas](QDataStream &stream) { return readDocument(stream, canvas); });
}

bool exportLayersAsPng(const QString &folder, const QString &baseName, MCanvas *canvas, bool reverse,
                       bool background)
{
    if (!canvas || canvas->count() == 0 || !QFileInfo(folder).isDir())
        return false;
    const QString basic = QStringLiteral("basic");
    QImage under;
    if (background)
        under = canvas->grabLayer(canvas->at(0), basic);
    const QString stem = QDir(folder).absolutePath() + QLatin1Char('/') + baseName;
    const int count = canvas->count();
    bool saved = true;
    for (int row = count - 1; row >= 0; --row) {
        QImage image = canvas->grabLayer(canvas->at(row), basic);
        if (background && !image.isNull()) {
            QImage combined(image.size(), image.format());
            combined.fill(Qt::transparent);
            QPainter painter(&combined);
            painter.drawImage(0, 0, under);
            painter.drawImage(0, 0, image);
            painter.end();
            image = combined;
        }
        const int number = reverse ? row + 1 : count - row;
        const QString path = stem + QStringLiteral("%1.png").arg(number, 4, 10, QLatin1Char('0'));
        // A frame missing from the sequence must not pass for an export.
        if (!image.save(path)) {
            MLogger::instance()->systemError(QStringLiteral("Unable to save %1").arg(path));
            saved = false;
        }
    }
    return saved;
}
