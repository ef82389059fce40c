#include "mdocumentloader.h"

#include "mgpudevice.h"
#include "mlayerdescription.h"
#include "mlogger.h"
#include "msettings.h"
#include "mtexturelayer.h"
#include "mtexturepool.h"
#include "mtexturetile.h"

#include <cerrno>
#include <fcntl.h>
#include <chrono>
#include <unistd.h>
#if defined(__SSE2__)
#include <emmintrin.h>
#include <xmmintrin.h>
#endif

namespace {
// Tiles read ahead of the uploads: enough to keep the uploads fed, few
// enough that a slow GPU does not hold much of the file in memory.
constexpr size_t readAhead = 16;
// The event loop gets control back at least this often while tiles come in.
constexpr qint64 sliceNs = 12 * 1000 * 1000;
constexpr qint64 longestSliceNs = 100 * 1000 * 1000;
constexpr qint64 firstFramesMs = 400;
// The view is asked to show the new tiles at most this often: each frame of
// a large document costs the loading as much as many uploads.
constexpr qint64 shownEveryMs = 150;
constexpr qint64 workBetweenFramesNs = 100 * 1000 * 1000;
} // namespace

MDocumentLoader::MDocumentLoader(MGpuDevice *device, int descriptor, const QVector<Tile> &order, int tileSize,
                                 QObject *parent)
    : QObject(parent)
    , m_device(device)
    , m_descriptor(descriptor)
    , m_order(order)
    , m_tileBytes(tileSize * tileSize * 4)
    , m_tileSize(tileSize)
    , m_levels(MSettings::instance()->generateMipmaps() && (tileSize & (tileSize - 1)) == 0)
{
    m_slices.setSingleShot(true);
    connect(&m_slices, &QTimer::timeout, this, &MDocumentLoader::slice);
    m_pool = MTexturePool::current();
    if (m_pool)
        m_pool->keepAtLeast(order.size());
}

MDocumentLoader::~MDocumentLoader()
{
    releasePool();
    stopWorker();
    if (m_descriptor >= 0)
        ::close(m_descriptor);
}

void MDocumentLoader::start()
{
    if (m_started)
        return;
    m_started = true;
    if (m_order.isEmpty()) {
        end(ReadDone);
        return;
    }
    m_sinceStart.start();
    m_worker = std::thread([this] { run(); });
    if (m_order.size() < ProgressiveTiles) {
        finish();
        return;
    }
    // The first place's tiles are in before control goes back, however long
    // they take: the frame that follows shows the middle of the document,
    // not an empty paper.
    int firstPlace = 0;
    while (firstPlace < m_order.size() && m_order.at(firstPlace).cell == m_order.constFirst().cell)
        ++firstPlace;
    upload(sliceNs, true, firstPlace);
    if (!m_finished)
        m_slices.start(0);
}

void MDocumentLoader::run()
{
    // The disk is asked for the tiles a little ahead of their reads: they
    // lie where the order, not the file, puts them.
    const auto announce = [this](int index) {
        if (index < m_order.size())
            ::posix_fadvise(m_descriptor, m_order.at(index).offset, m_tileBytes, POSIX_FADV_WILLNEED);
    };
    for (int index = 0; index < int(readAhead); ++index)
        announce(index);
    for (int index = 0; index < m_order.size(); ++index) {
        announce(index + int(readAhead));
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_changed.wait(lock, [this] { return m_reads.size() < readAhead || m_stopping; });
            while (m_mayRead && !m_stopping && !m_mayRead(index))
                m_changed.wait_for(lock, std::chrono::milliseconds(5));
            if (m_stopping)
                return;
        }
        Read read;
        read.index = index;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (!m_spare.empty()) {
                read.pixels = std::move(m_spare.back());
                m_spare.pop_back();
            }
        }
        read.pixels.resize(int(m_levels ? MTextureTile::levelsBytes(m_tileSize, 4) : m_tileBytes));
        qint64 done = 0;
        const qint64 offset = m_order.at(index).offset;
        while (done < m_tileBytes) {
            const ssize_t got = ::pread(m_descriptor, read.pixels.data() + done, size_t(m_tileBytes - done), offset + done);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                break;
            done += got;
        }
        read.ok = done == m_tileBytes;
        if (read.ok)
            prepare(read.pixels);
        std::lock_guard<std::mutex> lock(m_mutex);
        const bool ok = read.ok;
        m_reads.push_back(std::move(read));
        m_changed.notify_all();
        if (!ok)
            return;
    }
}

void MDocumentLoader::prepare(QByteArray &pixels) const
{
    auto *level = reinterpret_cast<uchar *>(pixels.data());
    if (!m_levels || m_tileSize < 2) {
        MTextureTile::swapRedAndBlue(level, m_tileBytes);
        return;
    }
    // The first halving puts the first level blue first on its way: one
    // pass over the largest level, not two.
    for (int side = m_tileSize; side > 1; side /= 2) {
        uchar *next = level + side * side * 4;
        halve(level, side, next, side == m_tileSize);
        level = next;
    }
}

namespace {
// Each byte the half of the two, rounded up.
quint32 averageUp(quint32 a, quint32 b)
{
    return (a | b) - (((a ^ b) >> 1) & 0x7F7F7F7Fu);
}
} // namespace

// Each texel of the next level from the 2 x 2 above it, rounded as the
// software driver's own rebuild rounds them: the pairs across, then the two
// results down, each half rounded up. The four channels go at once, a texel
// a word (four texels at a time where the processor can). With swap, each
// pair of rows is put blue first before it is halved, so the next level
// comes out blue first too.
void MDocumentLoader::halve(uchar *from, int side, uchar *to, bool swap)
{
    const int half = side / 2;
    for (int y = 0; y < half; ++y) {
        auto *top = reinterpret_cast<quint32 *>(from) + size_t(2 * y) * size_t(side);
        quint32 *bottom = top + side;
        auto *out = reinterpret_cast<quint32 *>(to) + size_t(y) * size_t(half);
        if (swap) {
            MTextureTile::swapRedAndBlue(top, qsizetype(side) * 4);
            MTextureTile::swapRedAndBlue(bottom, qsizetype(side) * 4);
        }
        int x = 0;
#if defined(__SSE2__)
        // The byte average rounded up is the same halving; the even and the
        // odd texels of eight are parted by a shuffle.
        const auto across = [](const quint32 *row) {
            const __m128 first = _mm_loadu_ps(reinterpret_cast<const float *>(row));
            const __m128 second = _mm_loadu_ps(reinterpret_cast<const float *>(row + 4));
            const __m128i even = _mm_castps_si128(_mm_shuffle_ps(first, second, _MM_SHUFFLE(2, 0, 2, 0)));
            const __m128i odd = _mm_castps_si128(_mm_shuffle_ps(first, second, _MM_SHUFFLE(3, 1, 3, 1)));
            return _mm_avg_epu8(even, odd);
        };
        for (; x + 4 <= half; x += 4)
            _mm_storeu_si128(reinterpret_cast<__m128i *>(out + x), _mm_avg_epu8(across(top + 2 * x), across(bottom + 2 * x)));
#endif
        for (; x < half; ++x)
            out[x] = averageUp(averageUp(top[2 * x], top[2 * x + 1]), averageUp(bottom[2 * x], bottom[2 * x + 1]));
    }
}

void MDocumentLoader::slice()
{
    if (m_finished)
        return;
    // The event loop's other work between two slices (frames, mostly, which
    // a view animating or fading its text asks for all the time) gets no
    // more time than the uploads: a slice lasts as long as that work did,
    // within bounds that keep input answered.
    // The first frames come first: until they had time to show, slices stay short.
    const qint64 elsewhereNs = m_sinceSlice.isValid() ? m_sinceSlice.nsecsElapsed() : 0;
    const bool early = m_sinceStart.elapsed() < firstFramesMs;
    upload(early ? sliceNs : qBound(sliceNs, elsewhereNs, longestSliceNs), false);
    m_sinceSlice.start();
    if (m_finished)
        return;
    // Nothing read yet: the worker is given a moment before the next look.
    std::unique_lock<std::mutex> lock(m_mutex);
    const bool waiting = m_reads.empty();
    lock.unlock();
    m_slices.start(waiting ? 2 : 0);
}

void MDocumentLoader::upload(qint64 budgetNs, bool wait, int atLeast)
{
    QElapsedTimer clock;
    clock.start();
    if (!m_device || !m_device->makeCurrent()) {
        const QString why = MLogger::instance()->systemError(QStringLiteral("Unable to make current context"));
        end(MFileResult(ReadNoContext, why));
        return;
    }
    while (!m_finished && m_uploaded < m_order.size()) {
        Read read;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            const auto arrived = [this] { return !m_reads.empty(); };
            if (wait && (budgetNs < 0 || m_uploaded < atLeast))
                m_changed.wait(lock, arrived);
            else if (wait)
                m_changed.wait_for(lock, std::chrono::nanoseconds(qMax(qint64(0), budgetNs - clock.nsecsElapsed())),
                                   arrived);
            if (m_reads.empty())
                break;
            read = std::move(m_reads.front());
            m_reads.pop_front();
            m_changed.notify_all();
        }
        if (!uploadOne(read))
            return;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_spare.push_back(std::move(read.pixels));
        }
        if (budgetNs >= 0 && clock.nsecsElapsed() >= budgetNs && m_uploaded >= atLeast)
            break;
    }
    m_workSinceShownNs += clock.nsecsElapsed();
    if (m_finished)
        return;
    if (m_uploaded == m_order.size()) {
        end(ReadDone);
        return;
    }
    // The first tiles are shown at once, the next ones now and then, with at
    // least as much time for the uploads between frames as the frames take.
    const qint64 elsewhereNs = m_sinceShown.isValid() ? m_sinceShown.nsecsElapsed() - m_workSinceShownNs : 0;
    if (!m_arrived.isEmpty()
        && (!m_sinceShown.isValid()
            || (m_sinceShown.elapsed() >= shownEveryMs
                && m_workSinceShownNs >= qMax(workBetweenFramesNs, elsewhereNs)))) {
        m_sinceShown.start();
        m_workSinceShownNs = 0;
        const QRectF area = m_arrived;
        m_arrived = QRectF();
        emit tilesArrived(area);
    }
}

bool MDocumentLoader::uploadOne(const Read &read)
{
    if (!read.ok) {
        // The file changed or the disk failed after the whole file was checked.
        end(MLayerDescription::cutShort());
        return false;
    }
    const Tile &tile = m_order.at(read.index);
    MTextureTile *texture = tile.tile;
    // A tile left blank would be saved over the original as it is.
    const bool created = m_levels ? texture && texture->createTextureWithLevels(read.pixels.constData())
                                  : texture && texture->createTextureFrom(read.pixels.constData(), true);
    if (!created) {
        end(MFileResult(ReadBadData, MTextureTile::creationFailure(texture)));
        return false;
    }
    ++m_uploaded;
    m_arrived |= tile.cell;
    return true;
}

MFileResult MDocumentLoader::finish()
{
    if (!m_started) {
        start();
        return finish();
    }
    while (!m_finished)
        upload(-1, true);
    return m_result;
}

void MDocumentLoader::cancel()
{
    m_finished = true;
    m_slices.stop();
    stopWorker();
    releasePool();
}

void MDocumentLoader::end(const MFileResult &result)
{
    m_finished = true;
    m_result = result;
    m_slices.stop();
    stopWorker();
    releasePool();
    if (!m_arrived.isEmpty()) {
        const QRectF area = m_arrived;
        m_arrived = QRectF();
        emit tilesArrived(area);
    }
    emit finished(result);
}

void MDocumentLoader::stopWorker()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
        m_changed.notify_all();
    }
    if (m_worker.joinable())
        m_worker.join();
    m_reads.clear();
    m_spare.clear();
}

void MDocumentLoader::releasePool()
{
    if (m_pool)
        m_pool->keepAtLeast(0);
    m_pool = nullptr;
}
