#include "mundostream.h"

#include "mlogcategory.h"
#include "mlayer.h"
#include "mlogger.h"
#include "msettings.h"
#include "mtexturetile.h"
#include "mtilegeometry.h"
#include "mundolayer.h"
#include "mundostreamworker.h"
#include "mpixelreadback.h"
#include "mutility.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QDebug>
#include <QFile>
#include <QTimer>
#include <QVector>
#include <QtEndian>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

const QString kClass = QStringLiteral("mundostream");
const double kMegabyte = 1048576.0;

int firstRetryDelay = 500;
const int kLongestRetryDelay = 60000;
// How long a backup waits for one report of the writer before it goes on
// regardless: a disk that slow is reported rather than waited for.
const int kStallMsecs = 2000;
// Bytes of backups freed between two returns of memory to the system.
const qint64 kTrimBytes = 16 * 1024 * 1024;

void trace(const char *function, const QString &text)
{
    qCDebug(lcUndo).noquote() << QStringLiteral("%1::%2").arg(kClass, QLatin1String(function)) << text;
}

// count -1, then the tile's pixels.
QByteArray wholeTileRecord(const void *pixels, int byteSize)
{
    QByteArray record;
    record.reserve(4 + byteSize);
    QDataStream out(&record, QIODevice::WriteOnly);
    out << qint32(-1);
    out.writeRawData(static_cast<const char *>(pixels), byteSize);
    return record;
}

// Where the pixels of a backup lie in its bytes, checked against the tile
// before anything is copied.
struct Record
{
    bool wholeTile = false;
    int pixelOffset = 0;    // whole tile
    struct Block
    {
        QRect rect;
        int offset;
    };
    QVector<Block> blocks;
};

struct Geometry
{
    int tileSize;
    int bytesPerPixel;
    int byteSize;
    int maxBlocks;      // cells of the block grid over the tile

    qint64 maxRecordSize() const { return 4 + qint64(maxBlocks) * 16 + byteSize; }
};

Geometry geometryOf(int tileSize, int bytesPerPixel, int cell)
{
    const int cells = (tileSize + cell - 1) / qMax(1, cell);
    return {tileSize, bytesPerPixel, tileSize * tileSize * bytesPerPixel, cells * cells};
}

Geometry geometryOf(MTextureTile *tile)
{
    return geometryOf(tile->tileSize(), tile->bytesPerPixel(),
                      tileStep(tile->undoLayer()->tileSize(), tile->undoLayer()->border()));
}

qint32 int32At(const QByteArray &bytes, int offset)
{
    return qFromBigEndian<qint32>(bytes.constData() + offset);
}

QString lengthError(qint64 read, qint64 expected)
{
    return QStringLiteral("Buffer length error. read: %1, should read: %2").arg(read).arg(expected);
}

// Empty on success, else the text to log.
QString parseRecord(const QByteArray &bytes, const QString &id, const Geometry &tile, Record &record)
{
    const qint64 size = bytes.size();
    const auto invalid = [&id](const QString &why) { return QStringLiteral("Invalid undo buffer %1: %2").arg(id, why); };
    if (size < 4)
        return lengthError(size, 4);
    const qint32 count = int32At(bytes, 0);
    if (count == -1) {
        if (size - 4 < tile.byteSize)
            return lengthError(size - 4, tile.byteSize);
        if (size - 4 > tile.byteSize)
            return invalid(QStringLiteral("%1 bytes after the tile").arg(size - 4 - tile.byteSize));
        record.wholeTile = true;
        record.pixelOffset = 4;
        return QString();
    }
    if (count < 0 || count > tile.maxBlocks)
        return invalid(QStringLiteral("block count %1").arg(count));
    qint64 at = 4;
    for (qint32 i = 0; i < count; ++i) {
        if (size - at < 16)
            return lengthError(size - at, 16);
        const qint64 left = int32At(bytes, int(at)), top = int32At(bytes, int(at + 4));
        const qint64 right = int32At(bytes, int(at + 8)), bottom = int32At(bytes, int(at + 12));
        at += 16;
        if (left < 0 || top < 0 || right < left || bottom < top || right >= tile.tileSize || bottom >= tile.tileSize)
            return invalid(QStringLiteral("block %1, %2, %3, %4 is not inside the tile").arg(left).arg(top).arg(right).arg(bottom));
        const QRect rect{QPoint(int(left), int(top)), QPoint(int(right), int(bottom))};
        const qint64 blockBytes = qint64(rect.width()) * rect.height() * tile.bytesPerPixel;
        if (size - at < blockBytes)
            return lengthError(size - at, blockBytes);
        record.blocks.append({rect, int(at)});
        at += blockBytes;
    }
    if (at != size)
        return invalid(QStringLiteral("%1 bytes after the last block").arg(size - at));
    return QString();
}

// Reads a spill file; empty on success, else the text to log. Sizes come
// from the disk: nothing larger than a backup can be is read.
QString loadFile(const QString &path, const QString &id, const Geometry &geometry, QByteArray &bytes)
{
    if (!QFile::exists(path))
        return QStringLiteral("Undo file doesn't exist: ") + id;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("Cannot open buffer: ") + id;
    const qint64 size = file.size();
    if (size > geometry.maxRecordSize())
        return QStringLiteral("Invalid undo buffer %1: file of %2 bytes").arg(id).arg(size);
    bytes = file.read(size);
    if (bytes.size() != size)
        return lengthError(bytes.size(), size);
    return QString();
}

} // namespace

MUndoStream::MUndoStream(QObject *parent)
    : QObject(parent)
    , m_retryTimer(new QTimer(this))
    , m_retryDelay(firstRetryDelay)
{
    m_retryTimer->setSingleShot(true);
    connect(m_retryTimer, &QTimer::timeout, this, &MUndoStream::retrySpills);
    // "undoMemorySize" totals the streams: each adds what it gained or lost.
    connect(this, &MUndoStream::memorySizeChanged, this, [](qint64, qint64 change) {
        MSettings *settings = MSettings::instance();
        settings->set_undoMemorySize(qMax(0.0, settings->undoMemorySize() + double(change) / kMegabyte));
    });
}

MUndoStream::~MUndoStream()
{
    trace("MUndoStream::~MUndoStream", QStringLiteral("terminate workers: %1").arg(m_writing.size()));
    // Completes the file being written and drops the rest; reports still
    // queued die with the stream, and whatever was written goes with the rest.
    m_writer.reset();
    m_readOrder.clear();
    for (const auto &read : m_reads)
        m_queuedBytes -= read.second.byteSize();
    m_reads.clear();
    const QList<QString> paths = m_buffers.keys();
    for (const QString &path : paths) {
        dropBuffer(path);
        removeFile(path);
    }
    m_writing.clear();
    for (auto it = m_refCounts.cbegin(); it != m_refCounts.cend(); ++it)
        removeFile(fileName(it.key()));
    sendMemorySize();
}

void MUndoStream::setRetryDelay(int msecs)
{
    firstRetryDelay = qMax(1, msecs);
}

int MUndoStream::writerThreadsStarted() const
{
    return m_writer ? m_writer->threadsStarted() : 0;
}

QString MUndoStream::fileName(const QString &id)
{
    return MUtility::cacheFileName(id);
}

int MUndoStream::refCount(const QString &id) const
{
    return m_refCounts.value(id, 0);
}

bool MUndoStream::isInMemory(const QString &id) const
{
    const QString path = fileName(id);
    return m_buffers.contains(path) || m_reads.count(path) > 0;
}

MUndoStream::Read MUndoStream::readOf(MTextureTile *tile, const QSet<MTile *> &blocks)
{
    // Blocks are cut to the texture, so that no copy reaches past it; only
    // the area that holds them is read back.
    Read read;
    read.bytesPerPixel = tile->bytesPerPixel();
    const QRect texture(0, 0, tile->tileSize(), tile->tileSize());
    read.rects.reserve(blocks.size());
    for (MTile *block : blocks) {
        const QRect rect = block ? block->rectWithBorder() & texture : QRect();
        if (!rect.isEmpty()) {
            read.rects.append(rect);
            read.area |= rect;
        }
    }
    read.whole = blocks.isEmpty();
    if (read.whole)
        read.area = texture;
    return read;
}

bool MUndoStream::makeRecord(const Read &read, const uchar *pixels, const QString &id, QByteArray &record)
{
    bool error = false;
    const int readBytes = read.area.width() * read.area.height() * read.bytesPerPixel;
    if (read.whole) {
        record = wholeTileRecord(pixels, readBytes);
        error = record.size() != 4 + readBytes;
    } else {
        QDataStream out(&record, QIODevice::WriteOnly);
        out << qint32(read.rects.size());
        for (const QRect &rect : read.rects) {
            const QByteArray part = copyRectOut(pixels, rect.x() - read.area.x(), rect.y() - read.area.y(), rect.width(),
                                                rect.height(), read.area.width(), read.bytesPerPixel);
            out << qint32(rect.left()) << qint32(rect.top()) << qint32(rect.right()) << qint32(rect.bottom());
            if (out.writeRawData(part.constData(), part.size()) != part.size())
                error = true;
        }
        error = error || out.status() != QDataStream::Ok;
    }
    if (error)
        MLogger::instance()->systemError(QStringLiteral("Error during tile backup: %1").arg(id));
    return !error;
}

bool MUndoStream::saveTiles(MTextureTile *tile, const QSet<MTile *> &blocks)
{
    if (!tile)
        return false;
    const QString id = MLayer::newGuid();
    const Read read = readOf(tile, blocks);
    const int readBytes = read.area.width() * read.area.height() * read.bytesPerPixel;
    QByteArray pixels(readBytes, Qt::Uninitialized);
    if (pixels.size() != readBytes || (readBytes > 0 && !tile->readPixels(pixels.data(), read.area))) {
        MLogger::instance()->systemError(QStringLiteral("Cannot create buffer from texture:"));
        return false;
    }
    QByteArray record;
    if (!makeRecord(read, reinterpret_cast<const uchar *>(pixels.constData()), id, record))
        return false;
    tile->setBackupId(id);
    addBuffer(fileName(id), record);
    return true;
}

bool MUndoStream::saveTilesLater(MTextureTile *tile, const QSet<MTile *> &blocks)
{
    if (!tile)
        return false;
    Read read = readOf(tile, blocks);
    // Nothing to wait for, or a backup that takes memory past the limit: its
    // record goes to the writer at once, and queued bytes would pile up
    // beyond the limit uncounted.
    const qint64 readBytes = read.byteSize();
    if (readBytes == 0
        || heldBytes() + double(m_queuedBytes + readBytes) > limitBytes())
        return saveTiles(tile, blocks);
    read.readback.reset(new MPixelReadback);
    if (!read.readback->start(tile, read.area)) {
        MLogger::instance()->systemError(QStringLiteral("Cannot create buffer from texture:"));
        return false;
    }
    const QString id = MLayer::newGuid();
    const QString path = fileName(id);
    tile->setBackupId(id);
    read.id = id;
    m_queuedBytes += readBytes;
    m_reads.emplace(path, std::move(read));
    m_readOrder.append(path);
    if (!m_readsScheduled) {
        m_readsScheduled = true;
        QMetaObject::invokeMethod(this, &MUndoStream::completeReads, Qt::QueuedConnection);
    }
    return true;
}

void MUndoStream::completeReads()
{
    m_readsScheduled = false;
    while (!m_readOrder.isEmpty()) {
        const QString oldest = m_readOrder.first();
        completeRead(oldest);
    }
}

void MUndoStream::completeRead(const QString &path)
{
    const auto read = m_reads.find(path);
    if (read == m_reads.end())
        return;
    m_readOrder.removeOne(path);
    m_queuedBytes -= read->second.byteSize();
    QByteArray record;
    const bool made = read->second.readback->finish([&](const uchar *pixels) {
        return makeRecord(read->second, pixels, read->second.id, record);
    });
    m_reads.erase(read);
    if (!made) {
        // The holders find no backup under the id, as with a lost spill file.
        MLogger::instance()->systemError(QStringLiteral("Cannot create buffer from texture:"));
        return;
    }
    addBuffer(path, record);
}

void MUndoStream::dropRead(const QString &path)
{
    const auto read = m_reads.find(path);
    if (read == m_reads.end())
        return;
    m_queuedBytes -= read->second.byteSize();
    m_reads.erase(read);
    m_readOrder.removeOne(path);
}

bool MUndoStream::saveTexture(MTextureTile *tile, const void *pixels)
{
    if (!tile || !pixels) {
        MLogger::instance()->systemError(QStringLiteral("Cannot save null buffer"));
        return false;
    }
    const QString id = MLayer::newGuid();
    const QByteArray record = wholeTileRecord(pixels, tile->byteSize());
    if (record.size() != 4 + tile->byteSize()) {
        MLogger::instance()->systemError(QStringLiteral("Cannot save texture buffer: ") + id);
        return false;
    }
    tile->setBackupId(id);
    // Counted and spilled like a read-back: a bucket fill over a whole layer
    // makes a megabyte of these per tile, for every fill the history keeps.
    addBuffer(fileName(id), record);
    return true;
}

bool MUndoStream::readBuffer(MTextureTile *tile, const QString &id)
{
    if (!tile)
        return false;
    const QString path = fileName(id);
    completeRead(path);
    const Geometry geometry = geometryOf(tile);

    // Memory first, also while a worker writes the same bytes to disk: both
    // only read them.
    QByteArray bytes;
    const auto buffer = m_buffers.constFind(path);
    if (buffer != m_buffers.cend()) {
        bytes = buffer->bytes;
    } else {
        const QString error = loadFile(path, id, geometry, bytes);
        if (!error.isEmpty()) {
            MLogger::instance()->systemError(error);
            return false;
        }
    }

    Record record;
    const QString error = parseRecord(bytes, id, geometry, record);
    if (!error.isEmpty()) {
        MLogger::instance()->systemError(error);
        return false;
    }

    bool uploaded = false;
    if (record.wholeTile) {
        uploaded = tile->setData(bytes.constData() + record.pixelOffset);
    } else {
        QByteArray pixels(geometry.byteSize, Qt::Uninitialized);
        if (!tile->readPixels(pixels.data())) {
            MLogger::instance()->systemError(QStringLiteral("Cannot read the tile to restore backup %1").arg(id));
            return false;
        }
        for (const Record::Block &block : qAsConst(record.blocks))
            copyRectIn(reinterpret_cast<uchar *>(pixels.data()),
                       reinterpret_cast<const uchar *>(bytes.constData() + block.offset), block.rect.x(), block.rect.y(),
                       block.rect.width(), block.rect.height(), geometry.tileSize, geometry.bytesPerPixel);
        uploaded = tile->setData(pixels.constData());
    }
    if (uploaded)
        tile->setBackupId(id);
    return uploaded;
}

bool MUndoStream::canRead(const QString &id, const MTiledLayer *layer) const
{
    const QString path = fileName(id);
    if (m_buffers.contains(path) || m_reads.count(path) > 0)
        return true;
    if (!layer)
        return false;
    const Geometry geometry = geometryOf(layer->tileSize(), layer->bytesPerPixel(), MUndoLayer::kBlockSize);
    QByteArray bytes;
    Record record;
    QString error = loadFile(path, id, geometry, bytes);
    if (error.isEmpty())
        error = parseRecord(bytes, id, geometry, record);
    if (!error.isEmpty())
        MLogger::instance()->systemError(error);
    return error.isEmpty();
}

void MUndoStream::registerId(const QString &id)
{
    ++m_refCounts[id];
    // A holder that comes back while a worker still writes keeps the backup.
    const auto buffer = m_buffers.find(fileName(id));
    if (buffer != m_buffers.end())
        buffer->released = false;
}

void MUndoStream::unregisterId(const QString &id)
{
    const auto count = m_refCounts.find(id);
    if (count == m_refCounts.end()) {
        MLogger::instance()->systemError(QStringLiteral("Unregister of a non previously registered id: %1").arg(id));
        return;
    }
    if (--count.value() > 0)
        return;
    m_refCounts.erase(count);
    const QString path = fileName(id);
    dropRead(path);
    const auto buffer = m_buffers.find(path);
    if (buffer != m_buffers.end() && buffer->writing) {
        // The worker owns the bytes and may still create the file: both go
        // when it reports.
        buffer->released = true;
        return;
    }
    removeFile(path);
    if (buffer != m_buffers.end())
        dropBuffer(path);
}

void MUndoStream::addBuffer(const QString &path, const QByteArray &bytes)
{
    collectReports();
    waitForRoom(bytes.size());
    Buffer buffer;
    buffer.bytes = bytes;
    buffer.counted = true;
    m_buffers.insert(path, buffer);
    m_spillQueue.append(path);
    incMemory(bytes.size());
    spill();
    checkMemory();
}

// Everything past the limit goes to the writer at once: without a sync it
// writes far faster than strokes make records, as long as nothing waits for
// the event loop to hand it the next one.
void MUndoStream::spill()
{
    // Spilling changes only this stream's bytes: the others' stay as they are.
    const double limit = limitBytes() - otherStreamsBytes();
    while (!m_paused && !m_spillQueue.isEmpty() && double(m_countedBytes - m_writingBytes) > limit) {
        const QString oldest = m_spillQueue.takeFirst();
        const auto spilled = m_buffers.find(oldest);
        if (spilled != m_buffers.end() && !startWorker(oldest, *spilled))
            return;
    }
}

bool MUndoStream::startWorker(const QString &path, Buffer &buffer)
{
    if (!m_writer) {
        m_writer.reset(new MUndoStreamWorker);
        // Emitted on the writer's thread, so queued to this one: it only says
        // that reports wait, for when no backup comes to take them.
        connect(m_writer.get(), &MUndoStreamWorker::written, this, &MUndoStream::onWritten, Qt::QueuedConnection);
    }
    if (!m_writer->enqueue(path, buffer.bytes)) {
        // Nothing was tried: the buffer waits, counted, for the next chance.
        m_spillQueue.prepend(path);
        m_paused = true;
        m_lastSpillError = QStringLiteral("Cannot start a thread to save undo buffer: ") + path;
        MLogger::instance()->systemError(m_lastSpillError);
        m_retryTimer->start(m_retryDelay);
        return false;
    }
    buffer.writing = true;
    m_writingBytes += buffer.bytes.size();
    m_writing.insert(path);
    return true;
}

void MUndoStream::waitForRoom(qint64 bytes)
{
    const double most = 2.0 * limitBytes() - otherStreamsBytes();
    while (m_writer && !m_writing.isEmpty() && !m_stalled && double(m_countedBytes + bytes) > most) {
        if (!m_writer->waitForReport(kStallMsecs)) {
            m_stalled = true;
            MLogger::instance()->systemError(
                QStringLiteral("The undo writer took more than %1 ms for a spill file: backups no longer wait for it")
                    .arg(kStallMsecs));
            break;
        }
        collectReports();
    }
}

void MUndoStream::onWritten()
{
    collectReports();
    checkMemory();
}

void MUndoStream::collectReports()
{
    if (!m_writer)
        return;
    int requeued = 0;
    for (const MUndoStreamWorker::Report &report : m_writer->takeReports()) {
        if (!m_writing.remove(report.fileName))
            continue;
        m_stalled = false;
        spillDone(report.fileName, report.saved, report.error, requeued);
    }
    spill();
}

void MUndoStream::spillDone(const QString &path, bool saved, const QString &error, int &requeued)
{
    const auto buffer = m_buffers.find(path);
    if (buffer == m_buffers.end()) {
        MLogger::instance()->systemError(QStringLiteral("Can't remove the buffer from list: ") + path);
        return;
    }
    m_writingBytes -= buffer->bytes.size();
    buffer->writing = false;
    if (buffer->released) {
        dropBuffer(path);
        removeFile(path);
        return;
    }
    if (saved) {
        dropBuffer(path);
        m_failing = false;
        m_retryDelay = firstRetryDelay;
        return;
    }
    // Kept, counted, and first in line when spilling resumes; a full disk or an
    // unusable folder is logged once per run of failures.
    m_spillQueue.insert(requeued++, path);
    m_lastSpillError = error;
    if (m_paused)
        return;
    m_paused = true;
    if (!m_failing) {
        m_failing = true;
        MLogger::instance()->systemError(error);
        MLogger::instance()->systemError(
            QStringLiteral("Undo buffer serialization error: %1: spills are tried again from time to time").arg(path));
    }
    m_retryTimer->start(m_retryDelay);
    m_retryDelay = qMin(2 * m_retryDelay, kLongestRetryDelay);
}

void MUndoStream::retrySpills()
{
    m_paused = false;
    spill();
}

void MUndoStream::checkMemory()
{
    const double limit = limitBytes();
    if (m_warned || heldBytes() <= 2.0 * limit || !(m_paused || m_stalled))
        return;
    m_warned = true;
    const double megabytes = heldBytes() / kMegabyte;
    MLogger::instance()->systemError(
        QStringLiteral("Undo memory %1 MB is past twice its limit of %2 MB: %3")
            .arg(megabytes, 0, 'f', 1)
            .arg(limit / kMegabyte, 0, 'f', 1)
            .arg(m_paused ? m_lastSpillError : QStringLiteral("the disk is too slow")));
    tellPainter(tr("Undo history"),
                tr("The undo history holds %1 MB in memory, more than twice its limit of %2 MB, because its "
                   "records cannot be written to the disk (%3). Free some disk space or save your work; "
                   "writing is tried again meanwhile.")
                    .arg(megabytes, 0, 'f', 0)
                    .arg(limit / kMegabyte, 0, 'f', 0)
                    .arg(m_paused ? m_lastSpillError : tr("the disk is too slow")));
}

void MUndoStream::tellPainter(const QString &title, const QString &text)
{
    if (!m_pendingMessage.isEmpty())
        return;
    m_pendingTitle = title;
    m_pendingMessage = text;
    QMetaObject::invokeMethod(
        this,
        [this] {
            const QString title = m_pendingTitle, text = m_pendingMessage;
            m_pendingMessage.clear();
            emit messageForPainter(title, text);
        },
        Qt::QueuedConnection);
}

void MUndoStream::dropBuffer(const QString &path)
{
    const auto buffer = m_buffers.find(path);
    if (buffer == m_buffers.end())
        return;
    if (buffer->counted)
        decMemory(buffer->bytes.size());
    if (buffer->writing)
        m_writingBytes -= buffer->bytes.size();
    m_freedBytes += buffer->bytes.size();
    m_buffers.erase(buffer);
    m_spillQueue.removeAll(path);
    if (m_freedBytes >= kTrimBytes) {
        m_freedBytes = 0;
        returnFreedMemory();
    }
}

void MUndoStream::returnFreedMemory()
{
    // Freed backups leave holes in the allocator's heaps that later blocks
    // of other sizes (textures among them) do not fill, and the holes stay
    // resident: a document came to hold twice what its tiles hold. Their
    // pages go back to the system here, in one sweep per many backups.
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

void MUndoStream::removeFile(const QString &path)
{
    QFile file(path);
    if (file.exists() && !file.remove())
        MLogger::instance()->systemError(QStringLiteral("Cannot remove undo file %1: %2").arg(path, file.errorString()));
}

void MUndoStream::incMemory(qint64 bytes)
{
    m_countedBytes += bytes;
    trace("MUndoStream::incMemory", QString::number(double(m_countedBytes) / kMegabyte));
    reportMemorySize();
}

void MUndoStream::decMemory(qint64 bytes)
{
    m_countedBytes = qMax<qint64>(0, m_countedBytes - bytes);
    trace("MUndoStream::decMemory", QString::number(double(m_countedBytes) / kMegabyte));
    reportMemorySize();
}

// Sent once per pass of the event loop rather than once per backup: a
// stroke makes hundreds of them.
void MUndoStream::reportMemorySize()
{
    if (!QCoreApplication::instance()) {
        sendMemorySize();
        return;
    }
    if (m_reportPending)
        return;
    m_reportPending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_reportPending = false;
            sendMemorySize();
        },
        Qt::QueuedConnection);
}

void MUndoStream::sendMemorySize()
{
    const qint64 change = m_countedBytes - m_reportedBytes;
    if (change == 0)
        return;
    m_reportedBytes = m_countedBytes;
    emit memorySizeChanged(m_countedBytes, change);
}

double MUndoStream::otherStreamsBytes() const
{
    return qMax(0.0, MSettings::instance()->undoMemorySize() * kMegabyte - double(m_reportedBytes));
}

double MUndoStream::heldBytes() const
{
    return double(m_countedBytes) + otherStreamsBytes();
}

double MUndoStream::limitBytes()
{
    return MSettings::instance()->undoMemoryMax() * kMegabyte;
}
