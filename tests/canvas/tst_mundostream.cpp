#include "mlogger.h"
#include "msettings.h"
#include "mtestdialogscript.h"
#include "mtestfilesizelimit.h"
#include "mtestglcontext.h"
#include "mtestlogwatch.h"
#include "mtestpixels.h"
#include "mtexturelayer.h"
#include "mtexturetile.h"
#include "mundolayer.h"
#include "mundostream.h"
#include "mutility.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

#include <cerrno>
#include <QtEndian>

#include <algorithm>
#include <memory>

using MTestPixels::randomBytes;
using MTestPixels::tileBytes;

namespace {

const qint64 kWholeRecord = 4 + 1048576;
const qint64 kBlockRecordPart = 16 + 64 * 64 * 4;

QStringList cacheFiles()
{
    return QDir(MUtility::cacheDirectory()).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// Handles the workers' reports until none is running, then lets the
// counter's mirror reach the setting.
void waitForWorkers(const MUndoStream &stream)
{
    while (stream.workerCount() > 0)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QCoreApplication::processEvents();
}

// The pixels a block backup of `saved` restores over `current`: each whole
// 64 x 64 block of the record comes back, the rest stays.
QByteArray withBlocks(const QByteArray &current, const QByteArray &saved, const QVector<QRect> &blocks)
{
    if (blocks.isEmpty())
        return saved;
    QByteArray result = current;
    for (const QRect &block : blocks)
        for (int y = block.top(); y <= block.bottom(); ++y) {
            const int at = (y * 512 + block.left()) * 4;
            result.replace(at, block.width() * 4, saved.mid(at, block.width() * 4));
        }
    return result;
}

QVector<QRect> rectsOf(const QSet<MTile *> &blocks)
{
    QVector<QRect> rects;
    for (MTile *block : blocks)
        rects.append(block->rectWithBorder());
    return rects;
}

enum Corruption {
    CutPixels,
    Empty,
    WholeTrailing,
    CountMinusTwo,
    CountHuge,
    BlockCutShort,
    BlockOutside,
    BlockNegative,
    BlockInverted,
    BlocksTrailing,
    Oversized,
    Removed
};

void setInt32(QByteArray &bytes, int at, qint32 value)
{
    qToBigEndian<qint32>(value, bytes.data() + at);
}

} // namespace

class TestMUndoStream : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MTestGLContext> gl;
    std::unique_ptr<MTextureLayer> layer;

    MTextureTile *paintedTile(quint32 seed, const QPointF &at = QPointF(10, 10))
    {
        auto *tile = static_cast<MTextureTile *>(layer->addTile(at));
        if (tile->ensureTexture())
            tile->setData(randomBytes(seed, tile->byteSize()).constData());
        return tile;
    }

    // The 64-pixel blocks covering areas given in texture pixels.
    static QSet<MTile *> blocksAt(MTextureTile *tile, const QVector<QRect> &areas)
    {
        tile->resetUndoLayer();
        const QPoint origin = tile->rectWithBorder().topLeft();
        for (const QRect &area : areas)
            tile->markSubTiles(QRectF(area.translated(origin)));
        return tile->touchedBlocks();
    }

    static void setLimit(double megabytes) { MSettings::instance()->set_undoMemoryMax(megabytes); }

    // The changes a stream sent, added up.
    static qint64 sentChange(const QSignalSpy &sent)
    {
        qint64 total = 0;
        for (const QVariantList &arguments : sent)
            total += arguments.at(1).toLongLong();
        return total;
    }

private slots:
    void initTestCase()
    {
        MLogger::instance();
        gl.reset(new MTestGLContext());
        QVERIFY(gl->isValid());
        layer.reset(new MTextureLayer());
    }

    void init() { setLimit(256.0); }

    // Every test leaves nothing behind: no counted byte, no file.
    void cleanup()
    {
        gl->makeCurrent();
        layer->clear();
        QCOMPARE(MSettings::instance()->undoMemorySize(), 0.0);
        QCOMPARE(cacheFiles(), QStringList());
        QVERIFY_GL_CLEAN();
    }

    void cleanupTestCase()
    {
        layer.reset();
        gl.reset();
    }

    void restoresFromMemoryAndFile_data()
    {
        QTest::addColumn<QVector<QRect>>("areas");
        QTest::newRow("whole tile") << QVector<QRect>();
        QTest::newRow("one block") << QVector<QRect>{QRect(3, 5, 10, 10)};
        QTest::newRow("four blocks around a corner") << QVector<QRect>{QRect(60, 60, 10, 10)};
        QTest::newRow("last block") << QVector<QRect>{QRect(500, 500, 12, 12)};
        QTest::newRow("a column and a row") << QVector<QRect>{QRect(200, 0, 1, 512), QRect(0, 300, 512, 2)};
    }

    // With no memory allowed the backup goes to a worker at once: until its
    // report is handled it restores from memory, afterwards from its file,
    // and both give the same pixels.
    void restoresFromMemoryAndFile()
    {
        QFETCH(QVector<QRect>, areas);
        MTextureTile *tile = paintedTile(1);
        const QByteArray saved = tileBytes(tile);
        const QSet<MTile *> blocks = blocksAt(tile, areas);
        const QVector<QRect> rects = rectsOf(blocks);

        MUndoStream stream;
        setLimit(0.0);
        QVERIFY(stream.saveTiles(tile, blocks));
        const QString id = tile->backupId();
        QVERIFY(!id.isEmpty());
        stream.registerId(id);
        QCOMPARE(stream.workerCount(), 1);

        const QByteArray later = randomBytes(2, tile->byteSize());
        const QByteArray expected = withBlocks(later, saved, rects);
        QVERIFY(tile->setData(later.constData()));
        QVERIFY(stream.isInMemory(id));
        QVERIFY(stream.canRead(id, layer.get()));
        QVERIFY(stream.readBuffer(tile, id));
        const QByteArray fromMemory = tileBytes(tile);
        QVERIFY(fromMemory == expected);

        waitForWorkers(stream);
        QVERIFY(!stream.isInMemory(id));
        QVERIFY(QFile::exists(MUndoStream::fileName(id)));
        QCOMPARE(stream.memorySize(), qint64(0));
        QCOMPARE(MSettings::instance()->undoMemorySize(), 0.0);

        QVERIFY(tile->setData(later.constData()));
        tile->setBackupId(QStringLiteral("other"));
        QVERIFY(stream.canRead(id, layer.get()));
        QVERIFY(stream.readBuffer(tile, id));
        QVERIFY(tileBytes(tile) == fromMemory);
        QCOMPARE(tile->backupId(), id);

        stream.unregisterId(id);
        QVERIFY(!QFile::exists(MUndoStream::fileName(id)));
        QVERIFY_GL_CLEAN();
    }

    void queuedBackupKeepsItsMoment_data()
    {
        QTest::addColumn<QVector<QRect>>("areas");
        QTest::addColumn<QString>("then");
        const QVector<QRect> column{QRect(200, 0, 1, 512), QRect(0, 300, 512, 2)};
        for (const QString &then : {QStringLiteral("event loop"), QStringLiteral("read back first"),
                                    QStringLiteral("released first"), QStringLiteral("stream destroyed")}) {
            QTest::newRow(qPrintable(then + QStringLiteral(", whole tile"))) << QVector<QRect>() << then;
            QTest::newRow(qPrintable(then + QStringLiteral(", a column and a row"))) << column << then;
        }
        QTest::newRow("event loop, last block") << QVector<QRect>{QRect(500, 500, 12, 12)} << QStringLiteral("event loop");
    }

    // A backup whose read-back is only queued holds the pixels of the moment
    // it was made, though the tile changes before the pixels are fetched;
    // its record is the immediate backup's, counted once it exists. Released
    // or dropped with its stream before that, it leaves nothing behind.
    void queuedBackupKeepsItsMoment()
    {
        QFETCH(QVector<QRect>, areas);
        QFETCH(QString, then);
        MTextureTile *tile = paintedTile(21);
        const QByteArray saved = tileBytes(tile);
        const QSet<MTile *> blocks = blocksAt(tile, areas);
        const QByteArray later = randomBytes(22, tile->byteSize());
        const QByteArray expected = withBlocks(later, saved, rectsOf(blocks));

        auto stream = std::make_unique<MUndoStream>();
        QVERIFY(stream->saveTiles(tile, blocks));
        const QString immediate = tile->backupId();
        stream->registerId(immediate);
        const qint64 recordSize = stream->memorySize();
        QVERIFY(stream->saveTilesLater(tile, blocks));
        const QString queued = tile->backupId();
        QVERIFY(queued != immediate);
        stream->registerId(queued);
        QCOMPARE(stream->memorySize(), recordSize);
        QVERIFY(tile->setData(later.constData()));

        if (then == QLatin1String("released first")) {
            stream->unregisterId(queued);
            QCoreApplication::processEvents();
            QCOMPARE(stream->memorySize(), recordSize);
            QVERIFY(!stream->isInMemory(queued));
            stream->unregisterId(immediate);
        } else if (then == QLatin1String("stream destroyed")) {
            stream.reset();
            QCoreApplication::processEvents();
        } else {
            if (then == QLatin1String("event loop")) {
                QCoreApplication::processEvents();
                QCOMPARE(stream->memorySize(), 2 * recordSize);
            }
            QVERIFY(stream->readBuffer(tile, queued));
            QVERIFY(tileBytes(tile) == expected);
            QCOMPARE(stream->memorySize(), 2 * recordSize);
            QVERIFY(tile->setData(later.constData()));
            QVERIFY(stream->readBuffer(tile, immediate));
            QVERIFY(tileBytes(tile) == expected);
            stream->unregisterId(queued);
            stream->unregisterId(immediate);
        }
        QVERIFY_GL_CLEAN();
    }

    // Queued read-backs are memory too: once they and the counted records
    // would pass the limit, further backups are recorded (and spilled) at
    // once instead of piling up uncounted until the event loop runs.
    void queuedBackupsCountTowardsTheLimit()
    {
        MTextureTile *tile = paintedTile(31);
        const QByteArray saved = tileBytes(tile);
        setLimit(2.5 * kWholeRecord / 1048576.0);
        MUndoStream stream;
        QStringList ids;
        for (int i = 0; i < 4; ++i) {
            QVERIFY(stream.saveTilesLater(tile, {}));
            ids << tile->backupId();
            stream.registerId(ids.last());
        }
        // Two fit as queued reads; the third and fourth are records already.
        QCOMPARE(stream.memorySize(), 2 * kWholeRecord);
        QCoreApplication::processEvents();
        waitForWorkers(stream);
        QVERIFY(stream.memorySize() <= 2 * kWholeRecord);
        for (const QString &id : qAsConst(ids)) {
            QVERIFY(tile->setData(randomBytes(32, tile->byteSize()).constData()));
            QVERIFY(stream.readBuffer(tile, id));
            QVERIFY(tileBytes(tile) == saved);
        }
        for (const QString &id : qAsConst(ids))
            stream.unregisterId(id);
        QVERIFY_GL_CLEAN();
    }

    // The spill file is the record byte for byte: a big-endian count (-1 for
    // a whole tile), then per block its rectangle (left, top, right, bottom)
    // and its rows.
    void spillFileLayout()
    {
        MTextureTile *tile = paintedTile(3);
        const QByteArray saved = tileBytes(tile);
        MUndoStream stream;
        setLimit(0.0);

        QVERIFY(stream.saveTiles(tile, {}));
        const QString whole = tile->backupId();
        stream.registerId(whole);
        QVERIFY(stream.saveTiles(tile, blocksAt(tile, {QRect(70, 130, 1, 1), QRect(448, 0, 1, 1)})));
        const QString twoBlocks = tile->backupId();
        stream.registerId(twoBlocks);
        waitForWorkers(stream);

        const QByteArray wholeFile = fileBytes(MUndoStream::fileName(whole));
        QCOMPARE(wholeFile.size(), int(kWholeRecord));
        QCOMPARE(wholeFile.left(4), QByteArray("\xff\xff\xff\xff"));
        QVERIFY(wholeFile.mid(4) == saved);

        const QByteArray blockFile = fileBytes(MUndoStream::fileName(twoBlocks));
        QCOMPARE(blockFile.size(), int(4 + 2 * kBlockRecordPart));
        QCOMPARE(qFromBigEndian<qint32>(blockFile.constData()), 2);
        QSet<QPair<int, int>> corners;
        for (int i = 0; i < 2; ++i) {
            const char *part = blockFile.constData() + 4 + i * kBlockRecordPart;
            const int left = qFromBigEndian<qint32>(part), top = qFromBigEndian<qint32>(part + 4);
            QCOMPARE(qFromBigEndian<qint32>(part + 8), left + 63);
            QCOMPARE(qFromBigEndian<qint32>(part + 12), top + 63);
            corners.insert({left, top});
            for (int row = 0; row < 64; ++row)
                QVERIFY(QByteArray(part + 16 + row * 256, 256) == saved.mid(((top + row) * 512 + left) * 4, 256));
        }
        QCOMPARE(corners, (QSet<QPair<int, int>>{{64, 128}, {448, 0}}));

        stream.unregisterId(whole);
        stream.unregisterId(twoBlocks);
    }

    // A burst of backups with no pass of the event loop between them, as at
    // the end of a long stroke: everything past the limit goes to the writer
    // at once, its reports are taken at each backup, and counted memory never
    // passes twice the limit. One thread writes them all, every one reaches
    // its file, and what is left in memory is within the limit.
    void keepsNearTheLimitInABurst_data()
    {
        QTest::addColumn<bool>("blocks");
        QTest::newRow("whole tiles") << false;
        QTest::newRow("blocks") << true;
    }

    void keepsNearTheLimitInABurst()
    {
        QFETCH(bool, blocks);
        MTextureTile *tile = paintedTile(4);
        const QSet<MTile *> touched = blocks ? blocksAt(tile, {QRect(0, 0, 200, 200)}) : QSet<MTile *>();
        const qint64 record = blocks ? 4 + 16 * kBlockRecordPart : kWholeRecord;
        MUndoStream stream;
        setLimit(2.5 * record / 1048576.0);
        QStringList ids;
        qint64 most = 0;
        for (int i = 0; i < 60; ++i) {
            QVERIFY(stream.saveTiles(tile, touched));
            ids << tile->backupId();
            stream.registerId(ids.last());
            most = std::max(most, stream.memorySize());
        }
        QVERIFY2(most <= 5 * record, qPrintable(QStringLiteral("%1 bytes for a limit of %2").arg(most).arg(2.5 * record)));
        waitForWorkers(stream);
        QCOMPARE(stream.writerThreadsStarted(), 1);
        for (int i = 0; i < ids.size(); ++i) {
            QCOMPARE(QFile::exists(MUndoStream::fileName(ids[i])), i < ids.size() - 2);
            QCOMPARE(stream.isInMemory(ids[i]), i >= ids.size() - 2);
        }
        QCOMPARE(stream.memorySize(), 2 * record);
        for (const QString &id : qAsConst(ids))
            stream.unregisterId(id);
        QCoreApplication::processEvents();
    }

    // Counted bytes past the limit send exactly one buffer, the oldest, to a
    // worker per backup; the setting mirrors the counter.
    void spillsTheOldestPastTheLimit()
    {
        MTextureTile *tile = paintedTile(4);
        MUndoStream stream;
        setLimit(2.5);
        QStringList ids;
        for (int i = 0; i < 4; ++i) {
            QVERIFY(stream.saveTiles(tile, {}));
            ids << tile->backupId();
            stream.registerId(ids.last());
            QCOMPARE(stream.workerCount(), i < 2 ? 0 : 1);
            waitForWorkers(stream);
        }
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(QFile::exists(MUndoStream::fileName(ids[i])), i < 2);
            QCOMPARE(stream.isInMemory(ids[i]), i >= 2);
        }
        QCOMPARE(stream.memorySize(), 2 * kWholeRecord);
        QCOMPARE(MSettings::instance()->undoMemorySize(), 2.0 * kWholeRecord / 1048576.0);

        for (const QString &id : qAsConst(ids))
            stream.unregisterId(id);
        QCoreApplication::processEvents();
        QCOMPARE(MSettings::instance()->undoMemorySize(), 0.0);
    }

    // Each stream counts its own backups and sends what changed once the event
    // loop comes round; the setting totals what the streams sent, and the
    // limit is on that total.
    void streamsCountApart()
    {
        const double megabyte = 1048576.0;
        MTextureTile *tile = paintedTile(41);
        setLimit(2.5 * kWholeRecord / megabyte);
        auto first = std::make_unique<MUndoStream>();
        MUndoStream second;
        QSignalSpy firstSent(first.get(), &MUndoStream::memorySizeChanged);
        QSignalSpy secondSent(&second, &MUndoStream::memorySizeChanged);
        QStringList secondIds;
        for (int i = 0; i < 2; ++i) {
            QVERIFY(first->saveTiles(tile, {}));
            first->registerId(tile->backupId());
        }
        QVERIFY(second.saveTiles(tile, blocksAt(tile, {QRect(0, 0, 1, 1)})));
        secondIds << tile->backupId();
        second.registerId(secondIds.last());
        QCOMPARE(first->memorySize(), 2 * kWholeRecord);
        QCOMPARE(second.memorySize(), 4 + kBlockRecordPart);
        QCOMPARE(firstSent.count() + secondSent.count(), 0);
        QCOMPARE(MSettings::instance()->undoMemorySize(), 0.0);

        QCoreApplication::processEvents();
        QCOMPARE(firstSent.count(), 1);
        QCOMPARE(firstSent.last(), (QVariantList{2 * kWholeRecord, 2 * kWholeRecord}));
        QCOMPARE(secondSent.count(), 1);
        QCOMPARE(secondSent.last(), (QVariantList{4 + kBlockRecordPart, 4 + kBlockRecordPart}));
        QCOMPARE(MSettings::instance()->undoMemorySize(), (2 * kWholeRecord + 4 + kBlockRecordPart) / megabyte);

        // A whole tile more takes the total past the limit, though the second
        // stream alone stays below it: the second stream spills its own
        // backups, oldest first, until the total is back under the limit.
        QVERIFY(second.saveTiles(tile, {}));
        secondIds << tile->backupId();
        second.registerId(secondIds.last());
        QCOMPARE(second.workerCount(), 2);
        QCOMPARE(first->workerCount(), 0);
        waitForWorkers(second);
        for (const QString &id : qAsConst(secondIds))
            QVERIFY(!second.isInMemory(id) && QFile::exists(MUndoStream::fileName(id)));
        QCOMPARE(second.memorySize(), qint64(0));
        QCOMPARE(first->memorySize(), 2 * kWholeRecord);
        QCOMPARE(secondSent.last().first().toLongLong(), qint64(0));
        QCOMPARE(sentChange(secondSent), qint64(0));
        QCOMPARE(MSettings::instance()->undoMemorySize(), 2 * kWholeRecord / megabyte);

        // A stream that goes takes its bytes out of the total at once.
        first.reset();
        QCOMPARE(firstSent.last(), (QVariantList{qint64(0), -2 * kWholeRecord}));
        QCOMPARE(sentChange(firstSent), qint64(0));
        QCOMPARE(MSettings::instance()->undoMemorySize(), 0.0);
        for (const QString &id : qAsConst(secondIds))
            second.unregisterId(id);
        QVERIFY_GL_CLEAN();
    }

    void lastReleaseFreesTheBackup_data()
    {
        QTest::addColumn<bool>("spilled");
        QTest::addColumn<int>("holders");
        QTest::newRow("in memory, one holder") << false << 1;
        QTest::newRow("in memory, three holders") << false << 3;
        QTest::newRow("on disk, one holder") << true << 1;
        QTest::newRow("on disk, two holders") << true << 2;
    }

    void lastReleaseFreesTheBackup()
    {
        QFETCH(bool, spilled);
        QFETCH(int, holders);
        MTextureTile *tile = paintedTile(5);
        const QByteArray saved = tileBytes(tile);
        MUndoStream stream;
        setLimit(spilled ? 0.0 : 256.0);
        QVERIFY(stream.saveTiles(tile, blocksAt(tile, {QRect(0, 0, 1, 1)})));
        const QString id = tile->backupId();
        const QString path = MUndoStream::fileName(id);
        for (int i = 0; i < holders; ++i)
            stream.registerId(id);
        waitForWorkers(stream);
        QCOMPARE(QFile::exists(path), spilled);
        QCOMPARE(stream.memorySize(), spilled ? 0 : 4 + kBlockRecordPart);

        for (int i = 1; i < holders; ++i)
            stream.unregisterId(id);
        QCOMPARE(stream.refCount(id), 1);
        QVERIFY(tile->setData(randomBytes(6, tile->byteSize()).constData()));
        QVERIFY(stream.readBuffer(tile, id));
        QVERIFY(tileBytes(tile).left(256) == saved.left(256));

        const MTestLogWatch log;
        stream.unregisterId(id);
        QCOMPARE(stream.refCount(id), 0);
        QVERIFY(!QFile::exists(path));
        QVERIFY(!stream.isInMemory(id));
        QCOMPARE(stream.memorySize(), qint64(0));
        QVERIFY(!stream.readBuffer(tile, id));
        QCOMPARE(log.count(QStringLiteral("System error: Undo file doesn't exist: ") + id), 1);
        stream.unregisterId(id);
        QCOMPARE(log.count(QStringLiteral("System error: Unregister of a non previously registered id: ") + id), 1);
    }

    void releaseWhileAWorkerWrites_data()
    {
        QTest::addColumn<bool>("heldAgain");
        QTest::newRow("released") << false;
        QTest::newRow("released, then held again") << true;
    }

    // The worker keeps its bytes until it reports; a backup released
    // meanwhile leaves no file behind, one held again survives on disk.
    void releaseWhileAWorkerWrites()
    {
        QFETCH(bool, heldAgain);
        MTextureTile *tile = paintedTile(7);
        const QByteArray saved = tileBytes(tile);
        MUndoStream stream;
        setLimit(0.0);
        QVERIFY(stream.saveTiles(tile, {}));
        const QString id = tile->backupId();
        stream.registerId(id);
        QCOMPARE(stream.workerCount(), 1);
        stream.unregisterId(id);
        QVERIFY(stream.isInMemory(id));
        if (heldAgain)
            stream.registerId(id);
        waitForWorkers(stream);

        QVERIFY(!stream.isInMemory(id));
        QCOMPARE(stream.memorySize(), qint64(0));
        QCOMPARE(QFile::exists(MUndoStream::fileName(id)), heldAgain);
        if (heldAgain) {
            QVERIFY(tile->setData(randomBytes(8, tile->byteSize()).constData()));
            QVERIFY(stream.readBuffer(tile, id));
            QVERIFY(tileBytes(tile) == saved);
            stream.unregisterId(id);
        }
    }

    void failedSpillIsTriedAgain_data()
    {
        QTest::addColumn<bool>("diskFull");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("reason"); // the system's, never "Unknown error"
        QTest::newRow("disk full part way") << true << QStringLiteral("System error: Cannot write undo file")
                                            << qt_error_string(EFBIG);
        QTest::newRow("cache folder unusable") << false << QStringLiteral("System error: Cannot open file for output: ")
                                               << qt_error_string(ENOTDIR);
    }

    // A spill that cannot complete leaves no file and keeps its bytes in
    // memory, counted; spilling pauses, logged once for the run of failures,
    // and the painter is told once that memory passed twice its limit. Once
    // the disk takes files again the records waiting reach them, oldest
    // first, and restore exactly.
    void failedSpillIsTriedAgain()
    {
        QFETCH(bool, diskFull);
        QFETCH(QString, message);
        QFETCH(QString, reason);
        MTestDialogScript dialogs;
        MUndoStream::setRetryDelay(20);
        MTextureTile *tile = paintedTile(9);
        const QByteArray saved = tileBytes(tile);
        const QString cache = MUtility::cacheDirectory();
        MUndoStream stream;
        QSignalSpy told(&stream, &MUndoStream::messageForPainter);
        setLimit(0.0);
        const MTestLogWatch log;
        QStringList ids;
        {
            std::unique_ptr<MTestFileSizeLimit> limit;
            if (diskFull) {
                limit.reset(new MTestFileSizeLimit(100000));
                QVERIFY(limit->isActive());
            } else {
                QVERIFY(QDir(cache).removeRecursively());
                QVERIFY(writeBytes(cache.chopped(1), "not a folder"));
            }
            for (int i = 0; i < 3; ++i) {
                QVERIFY(stream.saveTiles(tile, {}));
                ids << tile->backupId();
                stream.registerId(ids.last());
                waitForWorkers(stream);
            }
            // Between two tries: a slow writer may still be on one.
            QTRY_VERIFY(stream.isSpillingPaused() && stream.workerCount() == 0);
            for (const QString &id : qAsConst(ids))
                QVERIFY(stream.isInMemory(id));
            QCOMPARE(stream.memorySize(), 3 * kWholeRecord);
            QCOMPARE(cacheFiles(), QStringList());
            // However often it was tried meanwhile.
            QTest::qWait(100);
            QCOMPARE(log.count(message), 1);
            QCOMPARE(log.lines().filter(message).filter(QStringLiteral(": ") + reason).size(), 1);
            QCOMPARE(log.count(QStringLiteral("System error: Undo buffer serialization error: ") + MUndoStream::fileName(ids[0])), 1);
            QCOMPARE(log.count(QStringLiteral("System error: Undo memory ")), 1);
            QCOMPARE(told.size(), 1);
            QCOMPARE(told.first().at(0).toString(), QStringLiteral("Undo history"));
            QVERIFY2(told.first().at(1).toString().contains(QStringLiteral("more than twice its limit")),
                     qPrintable(told.first().at(1).toString()));
            if (!diskFull) {
                QVERIFY(QFile::remove(cache.chopped(1)));
                QVERIFY(QDir().mkpath(cache));
            }
        }
        QTRY_VERIFY(!stream.isInMemory(ids[0]) && !stream.isInMemory(ids[1]) && !stream.isInMemory(ids[2]));
        waitForWorkers(stream);
        QVERIFY(!stream.isSpillingPaused());
        QCOMPARE(stream.memorySize(), qint64(0));
        QCOMPARE(told.size(), 1);
        // The stream says it; showing it is the window's.
        QCOMPARE(dialogs.requests().size(), 0);
        for (const QString &id : qAsConst(ids)) {
            QVERIFY(QFile::exists(MUndoStream::fileName(id)));
            QVERIFY(tile->setData(randomBytes(10, tile->byteSize()).constData()));
            QVERIFY(stream.readBuffer(tile, id));
            QVERIFY(tileBytes(tile) == saved);
            stream.unregisterId(id);
        }
        MUndoStream::setRetryDelay(500);
    }

    // A record small enough to sit in the file's write buffer only fails when
    // the file is completed; that failure too keeps the memory copy.
    void failedCompletionKeepsTheMemoryCopy()
    {
        MTestDialogScript dialogs;
        MTextureTile *tile = paintedTile(18);
        tile->resetUndoLayer();
        const QSet<MTile *> outside{tile->undoLayer()->addTile(QPointF(600, 10))};
        MUndoStream stream;
        setLimit(0.0);
        QString id;
        {
            MTestFileSizeLimit limit(2);
            QVERIFY(limit.isActive());
            QVERIFY(stream.saveTiles(tile, outside));
            id = tile->backupId();
            stream.registerId(id);
            waitForWorkers(stream);
        }
        QVERIFY(stream.isInMemory(id));
        QCOMPARE(stream.memorySize(), qint64(4));
        QCOMPARE(cacheFiles(), QStringList());
        stream.unregisterId(id);
    }

    void corruptFileChangesNothing_data()
    {
        QTest::addColumn<bool>("blocks");
        QTest::addColumn<int>("corruption");
        QTest::addColumn<QString>("message");
        const QString length = QStringLiteral("System error: Buffer length error. read: %1, should read: %2");
        const QString invalid = QStringLiteral("System error: Invalid undo buffer ");
        QTest::newRow("whole tile cut to 1000 pixel bytes") << false << int(CutPixels) << length.arg(1000).arg(1048576);
        QTest::newRow("empty file") << false << int(Empty) << length.arg(0).arg(4);
        QTest::newRow("whole tile with bytes after it") << false << int(WholeTrailing) << invalid;
        QTest::newRow("count -2") << true << int(CountMinusTwo) << invalid;
        QTest::newRow("absurd count") << true << int(CountHuge) << invalid;
        QTest::newRow("block cut short") << true << int(BlockCutShort) << length.arg(16284).arg(16384);
        QTest::newRow("block past the tile") << true << int(BlockOutside) << invalid;
        QTest::newRow("block before the tile") << true << int(BlockNegative) << invalid;
        QTest::newRow("inverted block") << true << int(BlockInverted) << invalid;
        QTest::newRow("bytes after the blocks") << true << int(BlocksTrailing) << invalid;
        QTest::newRow("larger than any backup") << true << int(Oversized) << invalid;
        QTest::newRow("file removed") << true << int(Removed) << QStringLiteral("System error: Undo file doesn't exist: ");
    }

    void corruptFileChangesNothing()
    {
        QFETCH(bool, blocks);
        QFETCH(int, corruption);
        QFETCH(QString, message);
        MTextureTile *tile = paintedTile(11);
        MUndoStream stream;
        setLimit(0.0);
        QVERIFY(stream.saveTiles(tile, blocks ? blocksAt(tile, {QRect(0, 0, 1, 1), QRect(100, 100, 1, 1)}) : QSet<MTile *>()));
        const QString id = tile->backupId();
        stream.registerId(id);
        waitForWorkers(stream);
        const QString path = MUndoStream::fileName(id);
        QByteArray bytes = fileBytes(path);
        QVERIFY(!bytes.isEmpty());

        switch (Corruption(corruption)) {
        case CutPixels: bytes.truncate(4 + 1000); break;
        case Empty: bytes.clear(); break;
        case WholeTrailing: bytes.append("xyz"); break;
        case CountMinusTwo: setInt32(bytes, 0, -2); break;
        case CountHuge: setInt32(bytes, 0, 0x7fffffff); break;
        case BlockCutShort: bytes.chop(100); break;
        case BlockOutside: setInt32(bytes, 4, 480); setInt32(bytes, 12, 543); break;
        case BlockNegative: setInt32(bytes, 4, -64); setInt32(bytes, 12, -1); break;
        case BlockInverted: setInt32(bytes, 12, 10); setInt32(bytes, 4, 20); break;
        case BlocksTrailing: bytes.append("xyz"); break;
        case Oversized: bytes.append(QByteArray(2 * 1048576, 'x')); break;
        case Removed: break;
        }
        QVERIFY(corruption == Removed ? QFile::remove(path) : writeBytes(path, bytes));

        const QByteArray current = randomBytes(12, tile->byteSize());
        QVERIFY(tile->setData(current.constData()));
        tile->setBackupId(QStringLiteral("current"));
        const MTestLogWatch log;
        // Known before any tile changes, for the same reason.
        QVERIFY(!stream.canRead(id, layer.get()));
        QCOMPARE(log.count(message), 1);
        QVERIFY(!stream.readBuffer(tile, id));
        QCOMPARE(log.count(message), 2);
        QVERIFY(tileBytes(tile) == current);
        QCOMPARE(tile->backupId(), QStringLiteral("current"));
        stream.unregisterId(id);
        QVERIFY_GL_CLEAN();
    }

    // Blocks that lie outside the texture make a backup of no block, which
    // restores nothing.
    void backupOfNoBlock()
    {
        MTextureTile *tile = paintedTile(13);
        tile->resetUndoLayer();
        QSet<MTile *> outside{tile->undoLayer()->addTile(QPointF(600, 10)), tile->undoLayer()->addTile(QPointF(10, 530))};
        MUndoStream stream;
        setLimit(0.0);
        QVERIFY(stream.saveTiles(tile, outside));
        const QString id = tile->backupId();
        stream.registerId(id);
        waitForWorkers(stream);
        QCOMPARE(fileBytes(MUndoStream::fileName(id)), QByteArray(4, '\0'));
        const QByteArray current = randomBytes(14, tile->byteSize());
        QVERIFY(tile->setData(current.constData()));
        QVERIFY(stream.readBuffer(tile, id));
        QVERIFY(tileBytes(tile) == current);
        stream.unregisterId(id);
    }

    // A backup of pixels the caller holds (a bucket fill's after image)
    // restores exactly and is counted and spilled like any other: past the
    // limit it leaves memory for its file, oldest first, and restores from
    // there; its release lowers the count and removes the file.
    void textureBackup()
    {
        MTextureTile *tile = paintedTile(15);
        MUndoStream stream;
        QVERIFY(stream.saveTiles(tile, blocksAt(tile, {QRect(0, 0, 1, 1)})));
        const QString counted = tile->backupId();
        stream.registerId(counted);
        const qint64 countedSize = stream.memorySize();
        QCOMPARE(countedSize, 4 + kBlockRecordPart);

        {
            const MTestLogWatch log;
            QVERIFY(!stream.saveTexture(tile, nullptr));
            QCOMPARE(log.count(QStringLiteral("System error: Cannot save null buffer.")), 1);
            QCOMPARE(tile->backupId(), counted);
            QCOMPARE(stream.memorySize(), countedSize);
        }

        setLimit(1.5);
        QStringList ids;
        QList<QByteArray> pixels;
        for (int i = 0; i < 3; ++i) {
            pixels << randomBytes(16 + quint32(i), tile->byteSize());
            QVERIFY(stream.saveTexture(tile, pixels.last().constData()));
            ids << tile->backupId();
            stream.registerId(ids.last());
            waitForWorkers(stream);
        }
        // The block backup and the first two whole tiles went to their files.
        QVERIFY(QFile::exists(MUndoStream::fileName(counted)));
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(stream.isInMemory(ids[i]), i == 2);
            QCOMPARE(QFile::exists(MUndoStream::fileName(ids[i])), i < 2);
        }
        QCOMPARE(stream.memorySize(), kWholeRecord);

        for (int i : {0, 2, 1, 0}) {
            QVERIFY(tile->setData(randomBytes(30, tile->byteSize()).constData()));
            QVERIFY(stream.readBuffer(tile, ids[i]));
            QVERIFY2(tileBytes(tile) == pixels[i], qPrintable(QString::number(i)));
        }

        for (const QString &id : qAsConst(ids))
            stream.unregisterId(id);
        stream.unregisterId(counted);
        for (const QString &id : qAsConst(ids))
            QVERIFY(!QFile::exists(MUndoStream::fileName(id)));
        QCOMPARE(stream.memorySize(), qint64(0));
    }

    void saveWithoutTextureFails()
    {
        auto *tile = static_cast<MTextureTile *>(layer->addTile(QPointF(10, 10)));
        tile->setBackupId(QStringLiteral("previous"));
        MUndoStream stream;
        const MTestLogWatch log;
        QVERIFY(!stream.saveTiles(tile, {}));
        QCOMPARE(log.count(QStringLiteral("System error: Cannot create buffer from texture:")), 1);
        QCOMPARE(tile->backupId(), QStringLiteral("previous"));
        QCOMPARE(stream.memorySize(), qint64(0));
    }

    // A stream going away waits for its workers and leaves no memory and no file.
    void destroyedWithWorkersRunning()
    {
        MTextureTile *tile = paintedTile(17);
        auto stream = std::make_unique<MUndoStream>();
        setLimit(0.0);
        for (int i = 0; i < 4; ++i) {
            QVERIFY(stream->saveTiles(tile, i % 2 ? QSet<MTile *>() : blocksAt(tile, {QRect(i * 64, 0, 1, 1)})));
            stream->registerId(tile->backupId());
        }
        QVERIFY(stream->workerCount() > 0);
        stream.reset();
        QCoreApplication::processEvents();
        QCOMPARE(MSettings::instance()->undoMemorySize(), 0.0);
        QCOMPARE(cacheFiles(), QStringList());
    }

    // A seeded run of backups, restores and releases over a small memory
    // limit, with reports handled at random moments: every restore gives
    // exactly the saved pixels, and the end leaves nothing behind.
    void randomSequence()
    {
        QRandomGenerator random(20240611);
        const QVector<QPointF> places{QPointF(10, 10), QPointF(510, 10), QPointF(10, 510)};
        QVector<MTextureTile *> tiles;
        for (int i = 0; i < places.size(); ++i)
            tiles << paintedTile(100 + i, places[i]);
        struct Backup
        {
            MTextureTile *tile;
            QByteArray pixels;
            QVector<QRect> blocks;
            int holders;
        };
        QHash<QString, Backup> live;
        QStringList order;      // ids in the order they were made, so that picks repeat from run to run
        MUndoStream stream;
        setLimit(0.1);

        for (int step = 0; step < 300; ++step) {
            MTextureTile *tile = tiles[random.bounded(tiles.size())];
            const int action = random.bounded(10);
            if (action < 4 || live.isEmpty()) {
                QVERIFY(tile->setData(randomBytes(random.generate(), tile->byteSize()).constData()));
                QVector<QRect> areas;
                if (random.bounded(3))
                    for (int n = 1 + random.bounded(4); n > 0; --n)
                        areas << QRect(random.bounded(512), random.bounded(512), 1 + random.bounded(80), 1 + random.bounded(80));
                const QSet<MTile *> blocks = blocksAt(tile, areas);
                QVERIFY(stream.saveTiles(tile, blocks));
                stream.registerId(tile->backupId());
                live.insert(tile->backupId(), {tile, tileBytes(tile), rectsOf(blocks), 1});
                order << tile->backupId();
            } else if (action < 7) {
                const QString id = order.at(random.bounded(order.size()));
                Backup &backup = live[id];
                const QByteArray expected = withBlocks(tileBytes(backup.tile), backup.pixels, backup.blocks);
                QVERIFY2(stream.readBuffer(backup.tile, id), qPrintable(QStringLiteral("step %1").arg(step)));
                QVERIFY2(tileBytes(backup.tile) == expected, qPrintable(QStringLiteral("step %1").arg(step)));
            } else if (action < 8) {
                const QString id = order.at(random.bounded(order.size()));
                stream.registerId(id);
                ++live[id].holders;
            } else {
                const QString id = order.at(random.bounded(order.size()));
                stream.unregisterId(id);
                if (--live[id].holders == 0) {
                    live.remove(id);
                    order.removeOne(id);
                }
            }
            if (random.bounded(4) == 0)
                QCoreApplication::processEvents();
        }
        waitForWorkers(stream);
        for (auto it = live.cbegin(); it != live.cend(); ++it)
            for (int i = 0; i < it->holders; ++i)
                stream.unregisterId(it.key());
        QCOMPARE(stream.memorySize(), qint64(0));
        QCOMPARE(cacheFiles(), QStringList());
    }
};

QTEST_MAIN(TestMUndoStream)
#include "tst_mundostream.moc"
