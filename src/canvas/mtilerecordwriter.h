#pragma once

#include "mfileresult.h"

#include <QByteArray>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

class MTextureTile;
class QIODevice;

// Writes the bytes of a file in the order they are given while the tiles'
// pixels come back from the GPU: each tile is read, in the order the texture
// keeps its pixels, into one of a few pixel-pack buffers and mapped only once
// the reads after it were queued, and a worker thread puts the pixels in
// RGBA order and writes what is ready while the next tiles come back. The device is
// the worker's until finish() returns. Tile reads need the document's context
// current, on the thread that made the writer.
class MTileRecordWriter
{
public:
    explicit MTileRecordWriter(QIODevice *device);
    ~MTileRecordWriter();
    MTileRecordWriter(const MTileRecordWriter &) = delete;
    MTileRecordWriter &operator=(const MTileRecordWriter &) = delete;

    // Bytes written as they are, after everything queued before.
    void appendBytes(const QByteArray &bytes);
    // A tile's record: the prefix, then the tile's whole texture as RGBA
    // pixels, row 0 first. False when the read could not be queued.
    bool appendTile(MTextureTile *tile, const QByteArray &prefix);
    // Waits until every byte reached the device, frees the buffers (the
    // context must be current) and says how it went: WriteIncomplete when the
    // device refused bytes, WriteTileUnreadable when a tile did not come back.
    MFileResult finish();

private:
    struct Pending
    {
        QByteArray bytes;
        // The pack buffer whose pixels follow the bytes, or -1.
        int slot = -1;
    };

    // Hands the oldest pending records to the worker: all of them, or only
    // as many as leave a free pack buffer.
    bool drain(bool all);
    // The prefix and the slot's pixels into bytes.
    bool mapSlot(int slot, const QByteArray &prefix, QByteArray &bytes);
    QByteArray spareBuffer();
    struct Chunk
    {
        QByteArray bytes;
        // Where blue-first pixels begin, to be put in RGBA order; -1: none.
        int pixelsFrom = -1;
    };

    void push(QByteArray bytes, int pixelsFrom = -1);
    void run();
    void stop();
    void releaseBuffers();

    QIODevice *m_device;
    unsigned int m_buffers[4] = {0, 0, 0, 0};
    int m_bytesPerTile[4] = {0, 0, 0, 0};
    int m_nextSlot = 0;
    int m_slotsInUse = 0;
    std::deque<Pending> m_pending;
    bool m_tileFailed = false;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Chunk> m_queue;
    // Written records' buffers, for the next tiles.
    std::vector<QByteArray> m_spare;
    bool m_closing = false;
    bool m_writeFailed = false;
    bool m_stopped = false;
    std::thread m_worker;
};
