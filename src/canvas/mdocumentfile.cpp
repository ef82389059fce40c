#include "mdocumentfile.h"

#include "mcanvas.h"
#include "mdocumentdescription.h"
#include "menum.h"
#include "mlogger.h"
#include "msavefile.h"
#include "mtexturelayer.h"
#include "mtexturetile.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPainterPath>
#include <QUndoStack>
#include <QUuid>

#include <functional>
#include <new>

namespace {
const QUuid documentMagic(QStringLiteral("{CEC50B25-E865-4A4F-9E63-120098E6C0FD}"));
const QUuid layerMagic(QStringLiteral("{FF014CB9-2855-4DC1-99C9-97B20357BF83}"));
constexpr int formatNumber = 100;

void prepare(QDataStream &stream)
{
    stream.setVersion(QDataStream::Qt_5_4);
    stream.setFloatingPointPrecision(QDataStream::DoublePrecision);
}

// Checks the magic and reads the format number (any value is accepted).
MReadResult readHeader(QDataStream &stream, const QUuid &magic, const QString &wrongMagic)
{
    prepare(stream);
    QUuid found;
    stream >> found;
    if (stream.status() != QDataStream::Ok || found.toString().toUpper() != magic.toString().toUpper()) {
        MLogger::instance()->systemError(wrongMagic);
        return ReadWrongMagic;
    }
    qint32 format = 0;
    stream >> format;
    return ReadDone;
}

// Writes the magic, the format number and the body beside path and puts the
// result in place only when every byte reached the disk.
MWriteResult writeFile(const QString &path, const QUuid &magic, const std::function<MWriteResult(QDataStream &)> &body)
{
    MSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        MLogger::instance()->systemError(QStringLiteral("Unable to write %1: %2").arg(path, file.errorString()));
        return WriteNotOpened;
    }
    QDataStream stream(&file);
    prepare(stream);
    stream << magic << qint32(formatNumber);
    const MWriteResult result = body(stream);
    if (result == WriteDone && stream.status() == QDataStream::Ok && file.commit())
        return WriteDone;
    // A tile the GPU would not give back is no fault of the disk.
    if (result != 0 && !file.hasError()) {
        file.cancelWriting();
        return result;
    }
    MLogger::instance()->systemError(QStringLiteral("Unable to write %1: %2").arg(path, file.errorString()));
    file.cancelWriting();
    return WriteIncomplete;
}

// A count that slipped past the checks, or a machine short of memory, fails
// the read like damage does instead of ending the program.
MReadResult guarded(const std::function<MReadResult()> &read)
{
    try {
        return read();
    } catch (const std::bad_alloc &) {
        MLogger::instance()->systemError(QStringLiteral("Not enough memory to read the file"));
        return ReadBadData;
    }
}

// Opens path, checks the magic and reads the format number before the body.
MReadResult readFile(const QString &path, const QUuid &magic, const QString &wrongMagic,
             const std::function<MReadResult(QDataStream &)> &body)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        // Logged so that the painter who asked can be shown why.
        MLogger::instance()->systemError(QStringLiteral("Unable to read %1: %2").arg(path, file.errorString()));
        return ReadNotOpened;
    }
    QDataStream stream(&file);
    const MReadResult result = readHeader(stream, magic, wrongMagic);
    return result != 0 ? result : guarded([&] { return body(stream); });
}

const QString wrongDocumentMagic = QStringLiteral("Invalid canvas file format");
const QString wrongLayerMagic = QStringLiteral("Invalid layer file format");

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

MWriteResult writeLayerRecord(QDataStream &stream, MTextureLayer *layer)
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
            return WriteTileUnreadable;
        }
        stream << tile->rect();
        if (stream.writeRawData(pixels.constData(), tileBytes) < tileBytes) {
            MLogger::instance()->systemError(QStringLiteral("Error during writeRawData"));
            return WriteIncomplete;
        }
    }
    return WriteDone;
}

// Puts a description that read whole into a layer: its properties, then the
// pixels of every tile, read again from where the description found them.
static MReadResult uploadLayer(QDataStream &stream, const MLayerDescription &record, MTextureLayer *layer)
{
    layer->setName(record.name);
    layer->setOpacity(record.opacity);
    layer->setLocked(record.locked);
    layer->setVisible(record.visible);
    layer->set_shaderId(record.shaderId);
    layer->setTileSize(MLayerDescription::TileSize);
    layer->setBorder(MLayerDescription::Border);
    layer->setBytesPerPixel(MLayerDescription::BytesPerPixel);

    QIODevice *device = stream.device();
    QByteArray pixels(MLayerDescription::TileBytes, Qt::Uninitialized);
    for (int i = 0; i < record.cells.size(); ++i) {
        if (!device || !device->seek(record.pixelOffsets.at(i))
            || stream.readRawData(pixels.data(), pixels.size()) < pixels.size())
            return MLayerDescription::cutShort();
        auto *tile = static_cast<MTextureTile *>(layer->addTile(QPointF(record.cells.at(i).center())));
        // A tile left blank would be saved over the original as it is.
        if (!tile || !tile->ensureTexture() || !tile->setData(pixels.constData()))
            return ReadBadData;
    }
    return ReadDone;
}

MReadResult readLayerRecord(QDataStream &stream, MTextureLayer *layer)
{
    MLayerDescription record;
    const MReadResult result = record.read(stream);
    if (result != 0)
        return result;
    const qint64 end = stream.device() ? stream.device()->pos() : 0;
    const MReadResult uploaded = uploadLayer(stream, record, layer);
    if (uploaded == 0 && stream.device())
        stream.device()->seek(end);
    return uploaded;
}

MWriteResult writeLayerFile(const QString &path, MTextureLayer *layer)
{
    return writeFile(path, layerMagic, [layer](QDataStream &stream) { return writeLayerRecord(stream, layer); });
}

MReadResult readLayerFile(const QString &path, MTextureLayer *layer)
{
    return readFile(path, layerMagic, wrongLayerMagic,
                    [layer](QDataStream &stream) { return readLayerRecord(stream, layer); });
}

MWriteResult writeDocument(QDataStream &stream, MCanvas *canvas)
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
        const MWriteResult result = writeLayerRecord(stream, canvas->at(row));
        if (result != 0)
            return result;
    }
    return WriteDone;
}

MReadResult readDocument(QDataStream &stream, MCanvas *canvas)
{
    if (!canvas || !canvas->makeCurrent()) {
        MLogger::instance()->systemError(QStringLiteral("Unable to make current context"));
        return ReadNoContext;
    }
    // Checked whole before the GPU sees any of it; a file that fails half-way
    // must not cost the open document either, so layers are uploaded aside.
    MDocumentDescription description;
    MReadResult result = description.read(stream);
    if (result != 0)
        return result;
    const qint64 end = stream.device() ? stream.device()->pos() : 0;
    ScratchLayers scratch(canvas);
    for (const MLayerDescription &record : qAsConst(description.layers)) {
        result = uploadLayer(stream, record, scratch.add());
        if (result != 0)
            return result;
    }
    if (stream.device())
        stream.device()->seek(end);

    canvas->makeCurrent();
    canvas->clear();
    canvas->setClipPath(QPainterPath());
    canvas->setPaintedRect(description.paintedRect);
    canvas->setPaperType(MEnum::PaperType(description.paperType));
    canvas->setPaperColor(description.paperColor);
    if (canvas->paperType() == MEnum::Paper) {
        canvas->setPaperName(description.paperName);
        canvas->setPaperTile(description.paperTile);
    }
    canvas->setAutoExtent(description.autoExtent);
    canvas->setPaintMargin(description.paintMargin);
    const QList<MTextureLayer *> layers = scratch.take();
    for (MTextureLayer *layer : layers) {
        canvas->appendItem(layer);
        canvas->updateLayerThumbnail();
    }
    // Commands of the replaced document would act on layers that are gone.
    canvas->undoStack()->clear();
    return ReadDone;
}

MWriteResult writeDocumentFile(const QString &path, MCanvas *canvas)
{
    if (!canvas)
        return WriteNotOpened;
    return writeFile(path, documentMagic, [canvas](QDataStream &stream) { return writeDocument(stream, canvas); });
}

MReadResult readDocumentFile(const QString &path, MCanvas *canvas)
{
    return readFile(path, documentMagic, wrongDocumentMagic,
                    [canvas](QDataStream &stream) { return readDocument(stream, canvas); });
}

MReadResult parseDocumentFile(QIODevice *device, MDocumentDescription &description)
{
    QDataStream stream(device);
    const MReadResult result = readHeader(stream, documentMagic, wrongDocumentMagic);
    return result != 0 ? result : guarded([&] { return description.read(stream); });
}

MReadResult parseLayerFile(QIODevice *device, MLayerDescription &description)
{
    QDataStream stream(device);
    const MReadResult result = readHeader(stream, layerMagic, wrongLayerMagic);
    return result != 0 ? result : guarded([&] { return description.read(stream); });
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
