#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QRect>
#include <QString>
#include <QVector>

#include <map>
#include <memory>

class QTimer;
class MTile;
class MTiledLayer;
class MTextureTile;
class MPixelReadback;
class MUndoStreamWorker;

// The pixel backups that undo commands refer to by id. A backup is a small
// serialised record kept in memory; each stream counts its own, and whatever
// the counted backups of all streams hold past "undoMemoryMax" megabytes
// (the streams total theirs in "undoMemorySize") goes, oldest first, to the
// stream's one writer thread, started on first need, which writes it to its
// spill file in the cache folder; a record leaves memory once its report is
// taken. Reports are taken at every new backup, not only when the event loop
// comes round, and a backup that would take memory past twice the limit first
// waits for the writes in flight, so that memory keeps near the limit however
// fast the painter goes. A spill that fails keeps its record in memory and is
// tried again a little later; when memory stays past twice the limit all the
// same, the painter is told once. Backups are reference-counted by id: the
// memory copy and the file go with the last holder. Everything but the file
// writing happens on the GUI thread; tile operations need the document's
// context current.
class MUndoStream : public QObject
{
    Q_OBJECT
public:
    explicit MUndoStream(QObject *parent = nullptr);
    // Lets the writer finish the file it writes, then frees whatever is left: once the
    // stream is gone no id can be restored, so no memory or file is kept.
    ~MUndoStream() override;

    // Backs up the given 64-pixel blocks of the tile, or the whole tile when
    // the set is empty; on success the tile's backupId is the new id.
    bool saveTiles(MTextureTile *tile, const QSet<MTile *> &blocks);
    // The same backup, its read-back only queued: the id is the tile's at
    // once, its bytes are made on the next pass of the event loop or when
    // the id is first read back, whichever comes first. Until then it is
    // neither counted nor spilled. Past the memory limit it is saveTiles.
    bool saveTilesLater(MTextureTile *tile, const QSet<MTile *> &blocks);
    // Makes the bytes of every queued backup now; an owner about to lose
    // the context they were queued in calls it first.
    void completeReads();
    // A whole-tile backup from tileSize x tileSize RGBA pixels the caller
    // holds, counted and spilled as any other.
    bool saveTexture(MTextureTile *tile, const void *pixels);
    // Writes the backup into the tile; on success the tile's backupId is id.
    // A missing, short or malformed backup leaves the tile untouched.
    bool readBuffer(MTextureTile *tile, const QString &id);
    // Whether readBuffer would find the backup whole for a tile of the layer:
    // in memory, or a spill file that parses; logs what is wrong otherwise.
    bool canRead(const QString &id, const MTiledLayer *layer) const;

    void registerId(const QString &id);
    // The last release frees the memory copy and deletes the file named
    // after the id (a spill file or a parked layer).
    void unregisterId(const QString &id);

    int refCount(const QString &id) const;
    // Whether the backup's bytes are in memory (also while the writer has them).
    bool isInMemory(const QString &id) const;
    // Backups handed to the writer whose report was not handled yet.
    int workerCount() const { return m_writing.size(); }
    // Whether spilling waits to be tried again after a failed write.
    bool isSpillingPaused() const { return m_paused; }
    // Writer threads started over the stream's life.
    int writerThreadsStarted() const;

    // The spill file of an id: the cache folder, the id trimmed and lower-cased, ".data".
    static QString fileName(const QString &id);
    // Bytes of counted backups this stream holds in memory. "undoMemorySize"
    // holds the total of all streams, in megabytes, and the limit is on that
    // total.
    qint64 memorySize() const { return m_countedBytes; }
    // The first wait before a failed spill is tried again, in milliseconds;
    // each failure in a row doubles it, up to a minute.
    static void setRetryDelay(int msecs);

    // Sends the text for the painter (messageForPainter) once control is
    // back in the event loop, where a message box cannot run inside an undo
    // or a stroke; one message per pass of the loop, the first.
    void tellPainter(const QString &title, const QString &text);

signals:
    // A failure the painter must hear of: whoever shows the document tells
    // it, as a warning.
    void messageForPainter(const QString &title, const QString &text);
    // The stream's counted bytes changed: bytes now, change since the last
    // time. Sent once per pass of the event loop, and when the stream goes.
    void memorySizeChanged(qint64 bytes, qint64 change);

private slots:
    void onWritten();
    void retrySpills();

private:
    struct Buffer
    {
        QByteArray bytes;
        bool counted = false;   // in "undoMemorySize" and eligible for spilling
        bool writing = false;   // a worker holds it; freed only once it reports
        bool released = false;  // its last holder went while a worker held it
    };

    // What a backup reads of its tile.
    struct Read
    {
        QString id;
        QRect area;
        QVector<QRect> rects;   // the blocks, in texture pixels
        bool whole = false;
        int bytesPerPixel = 4;
        std::unique_ptr<MPixelReadback> readback;
        qint64 byteSize() const { return qint64(area.width()) * area.height() * bytesPerPixel; }
    };

    static Read readOf(MTextureTile *tile, const QSet<MTile *> &blocks);
    // The record of the read's pixels (its area's rows, packed).
    static bool makeRecord(const Read &read, const uchar *pixels, const QString &id, QByteArray &record);
    void completeRead(const QString &path);
    void dropRead(const QString &path);
    void addBuffer(const QString &path, const QByteArray &bytes);
    // Hands the writer every queued record that memory holds past the limit.
    void spill();
    bool startWorker(const QString &path, Buffer &buffer);
    // Takes the writer's reports now rather than when the event loop comes round.
    void collectReports();
    // Before a record of the given size is added: waits for the writes in
    // flight while it would take memory past twice the limit.
    void waitForRoom(qint64 bytes);
    // A report: the bytes leave memory once saved, or once released; a failed
    // record goes back to the head of the queue and spilling pauses.
    void spillDone(const QString &path, bool saved, const QString &error, int &requeued);
    // Tells the painter, once, when memory stays past twice the limit.
    void checkMemory();
    // Frees the memory copy, lowering the counters it was in.
    void dropBuffer(const QString &path);
    static void returnFreedMemory();
    static void removeFile(const QString &path);
    void incMemory(qint64 bytes);
    void decMemory(qint64 bytes);
    void reportMemorySize();
    void sendMemorySize();
    // The other streams' bytes, as they last sent them to the setting.
    double otherStreamsBytes() const;
    // Counted bytes in memory over all streams: what the limit is on.
    double heldBytes() const;
    static double limitBytes();

    QHash<QString, Buffer> m_buffers;      // by spill-file path
    QHash<QString, int> m_refCounts;       // by id
    QList<QString> m_spillQueue;           // counted buffers no worker took yet, oldest first
    QSet<QString> m_writing;               // handed to the writer, report not handled
    QTimer *m_retryTimer = nullptr;        // ends a pause after a failed spill
    int m_retryDelay;
    bool m_paused = false;                 // a spill failed: none is handed over until the timer
    bool m_failing = false;                // no spill succeeded since the last failure
    bool m_stalled = false;                // a wait for the writer timed out: no more waits until it reports
    bool m_warned = false;                 // the painter was told that memory is past twice the limit
    QString m_lastSpillError;
    QString m_pendingTitle;                // the one message the next pass of the event loop shows
    QString m_pendingMessage;
    std::unique_ptr<MUndoStreamWorker> m_writer;
    std::map<QString, Read> m_reads;       // queued read-backs by spill-file path
    QList<QString> m_readOrder;            // the same, oldest first
    bool m_readsScheduled = false;
    qint64 m_countedBytes = 0;             // counted buffers in memory
    qint64 m_queuedBytes = 0;              // read-backs not yet records: memory the limit must see before they count
    qint64 m_writingBytes = 0;             // counted buffers a writer holds, report not taken
    qint64 m_reportedBytes = 0;            // m_countedBytes as memorySizeChanged last sent it
    qint64 m_freedBytes = 0;               // buffers dropped since memory last went back to the system
    bool m_reportPending = false;
};
