#include "mdocumentfile.h"

#include "mdocumentdescription.h"
#include "mdocumentloader.h"
#include "menum.h"
#include "mfileframing.h"
#include "mgpudevice.h"
#include "mlayerfile.h"
#include "mlayerstack.h"
#include "mlogger.h"
#include "mpaper.h"
#include "mregularfile.h"
#include "mtexturelayer.h"
#include "mtexturetile.h"
#include "mtilerecordwriter.h"

#include <QDataStream>
#include <QFile>
#include <QUuid>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <tuple>
#include <unistd.h>
#include <vector>

namespace {
const QUuid documentMagic(QStringLiteral("{CEC50B25-E865-4A4F-9E63-120098E6C0FD}"));
const QString wrongDocumentMagic = QStringLiteral("Invalid canvas file format");

// Layers read for a document that has not taken them yet: released under the
// document's context and deleted unless taken.
class ScratchLayers
{
public:
    explicit ScratchLayers(const MDocumentParts &parts) : m_device(parts.device) {}
    ~ScratchLayers()
    {
        if (m_layers.isEmpty())
            return;
        if (m_device)
            m_device->makeCurrent();
        for (MTextureLayer *layer : qAsConst(m_layers))
            layer->clear();
        qDeleteAll(m_layers);
    }

    MTextureLayer *add()
    {
        m_layers.append(new MTextureLayer());
        return m_layers.last();
    }
    const QList<MTextureLayer *> &layers() const { return m_layers; }
    QList<MTextureLayer *> take()
    {
        const QList<MTextureLayer *> layers = m_layers;
        m_layers.clear();
        return layers;
    }

private:
    MGpuDevice *m_device;
    QList<MTextureLayer *> m_layers;
};
} // namespace

MFileResult writeDocument(QDataStream &stream, const MDocumentParts &parts)
{
    // The tiles are read as the painter sees them.
    if (parts.flushStrokes)
        parts.flushStrokes();
    if (parts.device)
        parts.device->makeCurrent();
    const MLayerStack *layers = parts.layers;
    const MPaper *paper = parts.paper;
    qint32 tiles = 0;
    for (int row = 0; row < layers->count(); ++row)
        tiles += layers->at(row)->tileCount();
    stream << paper->paintedRect() << qint32(paper->paperType()) << paper->paperColor();
    if (paper->paperType() == MEnum::Paper)
        stream << paper->paperName() << paper->paperTile();
    stream << paper->autoExtent() << paper->paintMargin() << qint32(layers->count()) << tiles;
    // One writer for all layers: the disk never waits at a layer's end.
    MTileRecordWriter writer(stream.device());
    for (int row = 0; row < layers->count(); ++row) {
        if (!MLayerFile::queueLayerRecord(writer, stream.version(), layers->at(row)))
            break;
    }
    return writer.finish();
}

// The body read and checked whole, before the GPU sees any of it, for a
// document that can take layers.
static MFileResult describe(QDataStream &stream, const MDocumentParts &parts, MDocumentDescription &description)
{
    if (!parts.isValid() || !parts.device || !parts.device->makeCurrent())
        return MFileResult(ReadNoContext,
                           MLogger::instance()->systemError(QStringLiteral("Unable to make current context")));
    return description.read(stream);
}

MFileResult readDocument(QDataStream &stream, const MDocumentParts &parts, const MDocumentTake &take)
{
    // A file that fails half-way must not cost the open document either, so
    // layers are uploaded aside.
    MDocumentDescription description;
    MFileResult result = describe(stream, parts, description);
    if (!result.isDone())
        return result;
    const qint64 end = stream.device() ? stream.device()->pos() : 0;
    ScratchLayers scratch(parts);
    for (const MLayerDescription &record : qAsConst(description.layers)) {
        result = MLayerFile::uploadLayer(stream, record, scratch.add());
        if (!result.isDone())
            return result;
    }
    if (stream.device())
        stream.device()->seek(end);
    take(description, scratch.take());
    return ReadDone;
}

MFileResult writeDocumentFile(const QString &path, const MDocumentParts &parts)
{
    if (!parts.isValid() || !parts.device)
        return WriteNotOpened;
    return MFileFraming::writeFile(path, documentMagic,
                                   [&parts](QDataStream &stream) { return writeDocument(stream, parts); });
}

bool isDocumentFile(const QString &path)
{
    MRegularFile file(path);
    if (!file.openForReading())
        return false;
    QDataStream stream(&file);
    MFileFraming::prepare(stream);
    QUuid found;
    stream >> found;
    return stream.status() == QDataStream::Ok && found == documentMagic;
}

MFileResult readDocumentFile(const QString &path, const MDocumentParts &parts, const MDocumentTake &take)
{
    return MFileFraming::readFile(path, documentMagic, wrongDocumentMagic,
                                  [&](QDataStream &stream) { return readDocument(stream, parts, take); });
}

// Makes every tile of the layers, awaiting its pixels, in the file's order
// (which a save keeps), and gives them in the order the first frames need
// them: over the painted rectangle, which the fitted view shows, from its
// centre outwards, then the rest; one place's layers after the other, from
// the bottom up. False when a tile could not be made.
static bool awaitTiles(const MDocumentDescription &description, const QList<MTextureLayer *> &layers,
                       QVector<MDocumentLoader::Tile> &order)
{
    struct Entry
    {
        bool hidden;
        double distance;
        int top;
        int left;
        int row;
        MDocumentLoader::Tile tile;
    };
    std::vector<Entry> entries;
    const QRectF shown = description.paintedRect;
    for (int row = 0; row < description.layers.size(); ++row) {
        const MLayerDescription &record = description.layers.at(row);
        for (int i = 0; i < record.cells.size(); ++i) {
            const QRectF cell(record.cells.at(i));
            MDocumentLoader::Tile tile;
            tile.tile = static_cast<MTextureTile *>(layers.at(row)->addTile(cell.center()));
            if (!tile.tile)
                return false;
            tile.tile->awaitPixels();
            tile.cell = cell;
            tile.offset = record.pixelOffsets.at(i);
            const QPointF offset = cell.center() - shown.center();
            entries.push_back({!shown.intersects(cell), QPointF::dotProduct(offset, offset), record.cells.at(i).top(),
                               record.cells.at(i).left(), row, tile});
        }
    }
    std::stable_sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) {
        return std::tie(a.hidden, a.distance, a.top, a.left, a.row)
               < std::tie(b.hidden, b.distance, b.top, b.left, b.row);
    });
    order.clear();
    order.reserve(int(entries.size()));
    for (const Entry &entry : entries)
        order.append(entry.tile);
    return true;
}

MFileResult startReadingDocumentFile(const QString &path, const MDocumentParts &parts, const MDocumentTake &take,
                                     std::unique_ptr<MDocumentLoader> &loader)
{
    return MFileFraming::readFile(path, documentMagic, wrongDocumentMagic, [&](QDataStream &stream) {
        MDocumentDescription description;
        const MFileResult result = describe(stream, parts, description);
        if (!result.isDone())
            return result;
        ScratchLayers scratch(parts);
        for (const MLayerDescription &record : qAsConst(description.layers))
            MLayerFile::setLayerProperties(record, scratch.add());
        QVector<MDocumentLoader::Tile> order;
        if (!awaitTiles(description, scratch.layers(), order))
            return MFileResult(ReadBadData,
                               MLogger::instance()->systemError(QStringLiteral("Unable to instanciate texture")));
        auto *file = qobject_cast<QFile *>(stream.device());
        // The tiles are read through a descriptor of their own: a file put
        // in its place meanwhile, by a save to the same name, is not what
        // they would come from.
        const int descriptor = file ? ::dup(file->handle()) : -1;
        if (descriptor < 0) {
            const QString why = QStringLiteral("Unable to read %1: %2").arg(path, qt_error_string(errno));
            return MFileResult(ReadNotOpened, MLogger::instance()->systemError(why));
        }
        // Made first: it keeps the replaced tiles' textures for the new ones.
        loader.reset(new MDocumentLoader(parts.device, descriptor, order, MLayerDescription::TileSize));
        take(description, scratch.take());
        return MFileResult(ReadDone);
    });
}

MFileResult parseDocumentFile(QIODevice *device, MDocumentDescription &description)
{
    QDataStream stream(device);
    const MFileResult result = MFileFraming::readHeader(stream, documentMagic, wrongDocumentMagic);
    return !result.isDone() ? result : MFileFraming::guarded([&] { return description.read(stream); });
}
