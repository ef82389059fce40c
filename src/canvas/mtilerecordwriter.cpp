#include "mtilerecordwriter.h"

#include "mlogger.h"
#include "mtexturetile.h"

#include <QIODevice>
#include <QOpenGLContext>
#include <QOpenGLExtraFunctions>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <utility>

namespace {
constexpr int slotCount = 4;
// Chunks waiting for the disk: enough to keep it busy, few enough that a
// slow disk does not make the save hold the document twice.
constexpr size_t queueLimit = 8;

QOpenGLExtraFunctions *functions()
{
    QOpenGLContext *context = QOpenGLContext::currentContext();
    return context ? context->extraFunctions() : nullptr;
}
} // namespace

MTileRecordWriter::MTileRecordWriter(QIODevice *device)
    : m_device(device)
{
    m_worker = std::thread([this] { run(); });
}

MTileRecordWriter::~MTileRecordWriter()
{
    stop();
    releaseBuffers();
}

void MTileRecordWriter::appendBytes(const QByteArray &bytes)
{
    if (m_pending.empty()) {
        push(bytes);
        return;
    }
    m_pending.push_back({bytes, -1});
}

bool MTileRecordWriter::appendTile(MTextureTile *tile, const QByteArray &prefix)
{
    {
        // The disk already refused bytes: no use reading more.
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_writeFailed)
            return false;
    }
    QOpenGLExtraFunctions *f = functions();
    if (m_tileFailed || !f || !tile || !tile->isValid()) {
        m_tileFailed = true;
        return false;
    }
    // A free buffer first: the oldest read is waited for only now, with the
    // reads after it already queued.
    if (m_slotsInUse == slotCount && !drain(false))
        return false;
    const int slot = m_nextSlot;
    m_nextSlot = (m_nextSlot + 1) % slotCount;
    const int bytes = tile->byteSize();
    GLint bound = 0;
    f->glGetIntegerv(GL_PIXEL_PACK_BUFFER_BINDING, &bound);
    if (!m_buffers[slot])
        f->glGenBuffers(1, &m_buffers[slot]);
    if (m_bytesPerTile[slot] != bytes) {
        f->glBindBuffer(GL_PIXEL_PACK_BUFFER, m_buffers[slot]);
        f->glBufferData(GL_PIXEL_PACK_BUFFER, bytes, nullptr, GL_STREAM_READ);
        f->glBindBuffer(GL_PIXEL_PACK_BUFFER, GLuint(bound));
        m_bytesPerTile[slot] = bytes;
    }
    if (!tile->readBlueFirstToBuffer(m_buffers[slot])) {
        m_tileFailed = true;
        return false;
    }
    ++m_slotsInUse;
    m_pending.push_back({prefix, slot});
    return true;
}

bool MTileRecordWriter::drain(bool all)
{
    while (!m_pending.empty()) {
        Pending &front = m_pending.front();
        if (front.slot >= 0) {
            if (!all && m_slotsInUse < slotCount)
                return true;
            QByteArray record = spareBuffer();
            if (!mapSlot(front.slot, front.bytes, record)) {
                m_tileFailed = true;
                return false;
            }
            --m_slotsInUse;
            // Handed over, not shared: a shared array would be copied
            // whole by the worker when it puts the pixels in order.
            push(std::move(record), front.bytes.size());
        } else {
            push(std::move(front.bytes));
        }
        m_pending.pop_front();
    }
    return true;
}

QByteArray MTileRecordWriter::spareBuffer()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_spare.empty())
        return QByteArray();
    QByteArray buffer = std::move(m_spare.back());
    m_spare.pop_back();
    return buffer;
}

bool MTileRecordWriter::mapSlot(int slot, const QByteArray &prefix, QByteArray &bytes)
{
    QOpenGLExtraFunctions *f = functions();
    if (!f)
        return false;
    GLint bound = 0;
    f->glGetIntegerv(GL_PIXEL_PACK_BUFFER_BINDING, &bound);
    f->glBindBuffer(GL_PIXEL_PACK_BUFFER, m_buffers[slot]);
    const int size = m_bytesPerTile[slot];
    const auto *pixels = static_cast<const char *>(f->glMapBufferRange(GL_PIXEL_PACK_BUFFER, 0, size, GL_MAP_READ_BIT));
    if (pixels) {
        // A buffer of the same size as the last keeps its memory.
        bytes.resize(prefix.size() + size);
        std::memcpy(bytes.data(), prefix.constData(), size_t(prefix.size()));
        std::memcpy(bytes.data() + prefix.size(), pixels, size_t(size));
        f->glUnmapBuffer(GL_PIXEL_PACK_BUFFER);
    } else {
        MLogger::instance()->systemError(QStringLiteral("Error during texture pixel read: the pack buffer cannot be mapped"));
    }
    f->glBindBuffer(GL_PIXEL_PACK_BUFFER, GLuint(bound));
    return pixels != nullptr;
}

void MTileRecordWriter::push(QByteArray bytes, int pixelsFrom)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    // Waits for the disk; after a failed write nothing more is kept.
    m_changed.wait(lock, [this] { return m_queue.size() < queueLimit || m_writeFailed; });
    if (m_writeFailed)
        return;
    m_queue.push_back({std::move(bytes), pixelsFrom});
    m_changed.notify_all();
}

void MTileRecordWriter::run()
{
    for (;;) {
        Chunk chunk;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_changed.wait(lock, [this] { return !m_queue.empty() || m_closing; });
            if (m_queue.empty())
                return;
            chunk = std::move(m_queue.front());
            m_queue.pop_front();
        }
        if (chunk.pixelsFrom >= 0)
            MTextureTile::swapRedAndBlue(chunk.bytes.data() + chunk.pixelsFrom, chunk.bytes.size() - chunk.pixelsFrom);
        // Written from the pointer: given the array itself, the device's
        // buffer would share it, and it could not serve the next tile again.
        const bool written
            = m_device && m_device->write(chunk.bytes.constData(), chunk.bytes.size()) == chunk.bytes.size();
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!written) {
            m_writeFailed = true;
            m_queue.clear();
        }
        // Tile records' buffers serve again: the allocator may give a new
        // one of that size fresh pages, paid for one by one.
        if (chunk.pixelsFrom >= 0 && m_spare.size() < queueLimit + slotCount)
            m_spare.push_back(std::move(chunk.bytes));
        m_changed.notify_all();
    }
}

void MTileRecordWriter::stop()
{
    if (m_stopped)
        return;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_closing = true;
        m_changed.notify_all();
    }
    m_worker.join();
    m_stopped = true;
}

MFileResult MTileRecordWriter::finish()
{
    const bool drained = !m_tileFailed && drain(true);
    stop();
    releaseBuffers();
    if (!drained || m_tileFailed) {
        return MFileResult(WriteTileUnreadable,
                           MLogger::instance()->systemError(QStringLiteral("Error during texture transfert to memory")));
    }
    if (m_writeFailed)
        return MFileResult(WriteIncomplete,
                           MLogger::instance()->systemError(QStringLiteral("Error during writeRawData")));
    return WriteDone;
}

void MTileRecordWriter::releaseBuffers()
{
    m_pending.clear();
    m_slotsInUse = 0;
    QOpenGLExtraFunctions *f = functions();
    for (unsigned int &buffer : m_buffers) {
        // Without a context the buffers went with it.
        if (buffer && f)
            f->glDeleteBuffers(1, &buffer);
        buffer = 0;
    }
    std::fill(std::begin(m_bytesPerTile), std::end(m_bytesPerTile), 0);
}
