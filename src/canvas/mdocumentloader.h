#pragma once

#include "mfileresult.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRectF>
#include <QTimer>
#include <QVector>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class MGpuDevice;
class MTexturePool;
class MTextureTile;

// The tiles of a document file that was read and checked whole, brought in
// after the document took its header and its empty layers: a worker thread
// reads their pixels in the order given, puts them in the order the
// textures keep (blue first) and makes their smaller levels, and the GUI
// thread uploads what was read in short slices from the event loop, so that the view
// shows the tiles that are in while input goes on. The file is read through a descriptor of
// its own, which the loader closes: a file replaced meanwhile does not change
// what is read.
class MDocumentLoader : public QObject
{
    Q_OBJECT
public:
    // A tile of a layer awaiting its pixels, which lie at offset in the file.
    struct Tile
    {
        MTextureTile *tile = nullptr;
        QRectF cell;
        qint64 offset = 0;
    };

    // Fewer tiles than this load at once, within start(): the whole load
    // costs less than the frames a gradual one would show.
    static constexpr int ProgressiveTiles = 24;

    // The tiles are tileSize x tileSize RGBA pixels in the file. Made under
    // the document's context: from then until the load ends, its texture
    // pool keeps as many released textures as the load will make.
    MDocumentLoader(MGpuDevice *device, int descriptor, const QVector<Tile> &order, int tileSize,
                    QObject *parent = nullptr);
    ~MDocumentLoader() override;

    // Starts the reads and uploads the first tiles, the rest following in
    // slices from the event loop (or loads a small document whole).
    void start();
    // Uploads every tile still to come, waiting for their reads; the result
    // of the whole load (also emitted by finished()).
    MFileResult finish();
    // Stops reading and uploading; finished() is not emitted.
    void cancel();
    bool isFinished() const { return m_finished; }
    MFileResult result() const { return m_result; }
    int uploadedCount() const { return m_uploaded; }
    int tileCount() const { return m_order.size(); }
    // Asked on the reading thread, now and then, whether the tile at that
    // place in the order may be read yet: lets a test hold a load where it
    // likes. Set before start().
    void setReadHold(const std::function<bool(int)> &mayRead) { m_mayRead = mayRead; }

signals:
    // Tiles were uploaded over the area (canvas coordinates) since the last time.
    void tilesArrived(const QRectF &area);
    // The reason of a failure is the line the loader logged.
    void finished(const MFileResult &result);

private:
    struct Read
    {
        int index = 0;
        QByteArray pixels;
        bool ok = false;
    };

    void run();
    // A tile's pixels put blue first, followed by its smaller levels when
    // the textures have them.
    void prepare(QByteArray &pixels) const;
    static void halve(uchar *from, int side, uchar *to, bool swap);
    void slice();
    // Uploads the reads that are there, with wait set waiting for the next
    // ones too, until the time is up (never, with a negative budget) and at
    // least that many tiles are in.
    void upload(qint64 budgetNs, bool wait, int atLeast = 0);
    bool uploadOne(const Read &read);
    void end(const MFileResult &result);
    void stopWorker();
    void releasePool();

    QPointer<MGpuDevice> m_device;
    QPointer<MTexturePool> m_pool;
    int m_descriptor;
    QVector<Tile> m_order;
    int m_tileBytes;
    int m_tileSize;
    // The smaller levels are made here, on the worker, not by the GPU.
    bool m_levels;
    int m_uploaded = 0;
    bool m_finished = false;
    bool m_started = false;
    MFileResult m_result;
    QRectF m_arrived;
    QElapsedTimer m_sinceShown;
    QElapsedTimer m_sinceSlice;
    QElapsedTimer m_sinceStart;
    // Upload time since the view was last asked to show the new tiles.
    qint64 m_workSinceShownNs = 0;
    QTimer m_slices;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Read> m_reads;
    // Pixel buffers uploaded and given back for the next reads.
    std::vector<QByteArray> m_spare;
    bool m_stopping = false;
    std::thread m_worker;
    std::function<bool(int)> m_mayRead;
};
