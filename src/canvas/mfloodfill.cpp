#include "mfloodfill.h"

#include "mbufferlayer.h"
#include "mtilegeometry.h"

#include <QImage>
#include <QtAlgorithms>

#include <climits>
#include <cstring>
#include <new>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {


int positiveModulo(int value, int divisor)
{
    const int remainder = value % divisor;
    return remainder < 0 ? remainder + divisor : remainder;
}

constexpr quint64 allBits = ~quint64(0);

// Bits first..last of a word (0 <= first <= last <= 63).
quint64 bitRange(int first, int last)
{
    return (allBits << first) & (allBits >> (63 - last));
}

// The first index of the run of set bits that holds bit x of a row of bits
// (word w at row[w * stride]).
int runStart(const quint64 *row, qint64 stride, int x)
{
    int word = x >> 6;
    quint64 gaps = ~row[word * stride] & (allBits >> (63 - (x & 63)));
    while (!gaps) {
        if (word == 0)
            return 0;
        gaps = ~row[--word * stride];
    }
    return (word << 6) + 64 - qCountLeadingZeroBits(gaps);
}

// The last index of that run, in a row of words words.
int runEnd(const quint64 *row, qint64 stride, int x, int words)
{
    int word = x >> 6;
    quint64 gaps = ~row[word * stride] & (allBits << (x & 63));
    while (!gaps) {
        if (++word == words)
            return words * 64 - 1;
        gaps = ~row[word * stride];
    }
    return (word << 6) + int(qCountTrailingZeroBits(gaps)) - 1;
}

void clearBits(quint64 *row, qint64 stride, int first, int last)
{
    const int firstWord = first >> 6, lastWord = last >> 6;
    if (firstWord == lastWord) {
        row[firstWord * stride] &= ~bitRange(first & 63, last & 63);
        return;
    }
    row[firstWord * stride] &= ~bitRange(first & 63, 63);
    for (int word = firstWord + 1; word < lastWord; ++word)
        row[word * stride] = 0;
    row[lastWord * stride] &= ~bitRange(0, last & 63);
}

} // namespace

MFloodFill::MFloodFill(MBufferLayer *buffer, MGpuDevice *device, MTextureLayer *layer, MBufferLayer *selection, const QRect &bounds,
                       const uchar *seed, const uchar *fill, int threshold, const Pattern &pattern, const Mask &mask)
    : m_buffer(buffer)
    , m_device(device)
    , m_layer(layer)
    , m_selection(selection)
    , m_bounds(bounds)
    , m_pattern(pattern)
    , m_mask(mask)
    , m_step(buffer->step())
    , m_words((buffer->step() + 63) / 64)
    , m_border(buffer->border())
    , m_bytesPerPixel(buffer->bytesPerPixel())
    , m_tileSize(buffer->tileSize())
    , m_threshold(threshold)
{
    std::memcpy(m_seed, seed, 4);
    std::memcpy(m_fill, fill, 4);
    std::memcpy(&m_seedWord, m_seed, 4);
    for (int i = 0; i < 3; ++i)
        m_straight[i] = m_fill[3] ? m_fill[i] * 255 / m_fill[3] : m_fill[i];
    for (int alpha = 0; alpha < 256; ++alpha) {
        uchar bytes[4] = {0, 0, 0, uchar(alpha)};
        for (int i = 0; i < 3; ++i)
            bytes[i] = uchar(m_straight[i] * alpha / 255);
        std::memcpy(&m_atAlphaWord[alpha], bytes, 4);
    }
}

int MFloodFill::run(const QPoint &start, int timeLimit, int stopAtReading)
{
    const QDeadlineTimer deadline(timeLimit);
    int result = Filled;
    try {
        result = flood(start, Clock{deadline, stopAtReading});
    } catch (const std::bad_alloc &) {
        result = OutOfMemory;
    }
    try {
        // Painting takes time in proportion to what the flood reached: a
        // stopped flood paints without a deadline.
        const int painted = paint(result == Filled ? deadline : QDeadlineTimer(QDeadlineTimer::Forever));
        if (result == Filled)
            result = painted;
        else if (painted == OutOfMemory)
            result = OutOfMemory;
    } catch (const std::bad_alloc &) {
        result = OutOfMemory;
    }
    return result;
}

// Out of line: inlined into its caller, the loop's locals no longer all
// fit in registers.
Q_NEVER_INLINE int MFloodFill::flood(const QPoint &start, Clock clock)
{
    Cell *cell = cellAt(tileCell(start.x(), m_step), tileCell(start.y(), m_step));
    if (!cell)
        return OutOfMemory;
    const qint64 stride = m_step;
    const int last = m_step - 1;
    // The first seed a run finds is grown next, straight from locals;
    // the others wait. In a corridor each run finds just one, in the
    // word above or below.
    int nextX = start.x() - cell->x, nextY = start.y() - cell->y;
    quint64 *next = cell->open + (nextX >> 6) * stride + nextY;
    const auto found = [&](int x, int y, quint64 *word) {
        if (next) {
            push(cell, x, y);
            return;
        }
        nextX = x;
        nextY = y;
        next = word;
    };
    m_pending.reserve(1024);
    // Reading the clock costs as much as many short runs.
    for (unsigned int runs = 0;; ++runs) {
        if (runs % 1024 == 0 && clock.expired())
            return TimedOut;
        int x, y;
        quint64 *word;
        if (next) {
            x = nextX;
            y = nextY;
            word = next;
            next = nullptr;
        } else if (m_pending.empty()) {
            break;
        } else {
            const Seed &seed = m_pending.back();
            cell = seed.cell;
            x = seed.x;
            y = seed.y;
            m_pending.pop_back();
            word = cell->open + (x >> 6) * stride + y;
        }
        const quint64 bits = *word;
        const int bit = x & 63;
        if (!((bits >> bit) & 1))
            continue;
        // The usual run lies inside one word, away from the cell's edges.
        const quint64 after = ~bits & (allBits << bit);
        const quint64 before = ~bits & (allBits >> (63 - bit));
        const int base = x & ~63;
        if (!after || !before || y == 0 || y == last || base + int(qCountTrailingZeroBits(after)) - 1 == last) {
            if (!growAcross(cell, x, y))
                return OutOfMemory;
            continue;
        }
        const quint64 run = (allBits << (64 - qCountLeadingZeroBits(before))) & ((after & (~after + 1)) - 1);
        *word = bits & ~run;
        // One seed per stretch of the rows beside it.
        quint64 up = word[-1] & run, down = word[1] & run;
        up &= ~(up << 1);
        down &= ~(down << 1);
        for (; down; down &= down - 1)
            found(base + int(qCountTrailingZeroBits(down)), y + 1, word + 1);
        for (; up; up &= up - 1)
            found(base + int(qCountTrailingZeroBits(up)), y - 1, word - 1);
    }
    return Filled;
}

// Any other run (over more than a word, or at an edge of its cell): found
// and closed, with its seeds left pending. False: out of memory.
Q_NEVER_INLINE bool MFloodFill::growAcross(Cell *cell, int x, int y)
{
    const qint64 stride = m_step;
    const int last = m_step - 1;
    quint64 *row = cell->open + y;
    const int left = runStart(row, stride, x), right = runEnd(row, stride, x, m_words);
    clearBits(row, stride, left, right);
    // The bits stop at the cell's edges; the row goes on in the next cell.
    if (left == 0 && cell->x > m_bounds.left()) {
        Cell *beside = neighbour(cell, Left);
        if (!beside)
            return false;
        push(beside, last, y);
    }
    if (right == last && cell->x + last < m_bounds.right()) {
        Cell *beside = neighbour(cell, Right);
        if (!beside)
            return false;
        push(beside, 0, y);
    }
    if (y > 0) {
        findSeeds(cell, row - 1, y - 1, left, right);
    } else if (cell->y > m_bounds.top()) {
        Cell *above = neighbour(cell, Up);
        if (!above)
            return false;
        findSeeds(above, above->open + last, last, left, right);
    }
    if (y < last) {
        findSeeds(cell, row + 1, y + 1, left, right);
    } else if (cell->y + last < m_bounds.bottom()) {
        Cell *below = neighbour(cell, Down);
        if (!below)
            return false;
        findSeeds(below, below->open, 0, left, right);
    }
    return true;
}

// Field by field: a seed stored whole and read back by fields stalls the read.
inline void MFloodFill::push(Cell *cell, int x, int y)
{
    m_pending.emplace_back();
    Seed &seed = m_pending.back();
    seed.cell = cell;
    seed.x = x;
    seed.y = y;
}

// A seed for each stretch of open bits of row (row y of cell) within left..right.
inline void MFloodFill::findSeeds(Cell *cell, const quint64 *row, int y, int left, int right)
{
    const qint64 stride = m_step;
    const int lastWord = right >> 6;
    quint64 mask = allBits << (left & 63);
    quint64 carry = 0;    // the bit before the word, within left..right
    for (int word = left >> 6; word <= lastWord; ++word) {
        quint64 open = row[word * stride] & mask;
        if (word == lastWord)
            open &= allBits >> (63 - (right & 63));
        quint64 starts = open & ~((open << 1) | carry);
        carry = open >> 63;
        mask = allBits;
        for (; starts; starts &= starts - 1)
            push(cell, (word << 6) + int(qCountTrailingZeroBits(starts)), y);
    }
}

inline MFloodFill::Cell *MFloodFill::neighbour(Cell *cell, Side side)
{
    if (!cell->next[side]) {
        static const int columns[4] = {-1, 1, 0, 0}, rows[4] = {0, 0, -1, 1};
        cell->next[side] = cellAt(cell->column + columns[side], cell->row + rows[side]);
    }
    return cell->next[side];
}

// The bits of a cell, made with its tile the first time the fill enters it.
inline MFloodFill::Cell *MFloodFill::cellAt(int column, int row)
{
    const qint64 key = tileCellKey(column, row);
    const auto found = m_cellAt.find(key);
    if (found != m_cellAt.end())
        return found->second;
    MBufferTile *tile = m_buffer->cellTile(column, row, m_device, m_layer);
    if (!tile)
        return nullptr;
    auto cell = std::make_unique<Cell>();
    const size_t plane = size_t(m_step) * size_t(m_words);
    cell->bits.reset(new (std::nothrow) quint64[2 * plane]());
    if (!cell->bits)
        return nullptr;
    cell->tile = tile;
    cell->fits = cell->bits.get();
    cell->open = cell->fits + plane;
    cell->column = column;
    cell->row = row;
    cell->x = tile->rect().x();
    cell->y = tile->rect().y();
    findFits(*cell);
    std::memcpy(cell->open, cell->fits, plane * sizeof(quint64));
    Cell *made = cell.get();
    m_cells.push_back(std::move(cell));
    m_cellAt.emplace(key, made);
    return made;
}

inline void MFloodFill::findFits(Cell &cell) const
{
    const int top = qMax(0, m_bounds.top() - cell.y), bottom = qMin(m_step - 1, m_bounds.bottom() - cell.y);
    const int left = qMax(0, m_bounds.left() - cell.x), right = qMin(m_step - 1, m_bounds.right() - cell.x);
    quint64 unlike = 0;
    for (int y = top; y <= bottom && left <= right; ++y) {
        const uchar *pixels = cell.tile->data() + (qint64(y + m_border) * m_tileSize + m_border) * m_bytesPerPixel;
        quint64 *bits = cell.fits + y;
        for (int word = left >> 6; word <= right >> 6; ++word) {
            const int from = qMax(left, word << 6), to = qMin(right, (word << 6) + 63);
            quint64 same;
            quint64 fit = fitting(pixels + qint64(from) * m_bytesPerPixel, to - from + 1, &same);
            if (m_mask.buffer) {
                quint64 partial = 0;
                fit &= covered(cell.x + from, cell.y + y, to - from + 1, &partial);
                cell.partial = cell.partial || (fit & partial);
            }
            bits[qint64(word) * m_step] = fit << (from & 63);
            unlike |= fit & ~same;
        }
    }
    cell.uniform = !unlike && !cell.partial;
}

// How much of canvas pixel (x, y) the mask lets the fill have, 0 to 255.
inline int MFloodFill::coverage(int x, int y) const
{
    MBufferTile *tile = m_mask.buffer->pixelTile(x, y, m_device, m_mask.layer);
    if (!tile)
        throw std::bad_alloc();
    return tile->pixel(x, y)[m_mask.buffer->bytesPerPixel() - 1];
}

// Bit i: pixel i of count (at most 64) from (x, y) is covered by the
// mask at all; in *partial, bit i: only in part.
inline quint64 MFloodFill::covered(int x, int y, int count, quint64 *partial) const
{
    quint64 bits = 0, part = 0;
    for (int i = 0; i < count; ++i) {
        const int c = coverage(x + i, y);
        bits |= quint64(c > 0) << i;
        part |= quint64(c > 0 && c < 255) << i;
    }
    *partial = part;
    return bits;
}

// The run's new pixels mixed with its old ones by the mask's coverage.
inline void MFloodFill::blendByCoverage(uchar *pixel, const uchar *old, int from, int to, int y) const
{
    for (int x = from; x <= to; ++x, pixel += m_bytesPerPixel, old += m_bytesPerPixel) {
        const int c = coverage(x, y);
        if (c == 255)
            continue;
        for (int i = 0; i < m_bytesPerPixel; ++i)
            pixel[i] = uchar(old[i] + ((int(pixel[i]) - int(old[i])) * c + (pixel[i] > old[i] ? 127 : -127)) / 255);
    }
}

// Bit i: pixel i of count (at most 64) is within the threshold of the
// seed; in *same, bit i: it is the seed's colour.
inline quint64 MFloodFill::fitting(const uchar *pixels, int count, quint64 *same) const
{
    quint64 bits = 0;
    quint64 equal = 0;
    int i = 0;
#ifdef __SSE2__
    if (m_bytesPerPixel == 4) {
        // |pixel - seed| per byte, then all four bytes within the threshold.
        const __m128i seed = _mm_set1_epi32(int(m_seedWord));
        const __m128i threshold = _mm_set1_epi8(char(m_threshold));
        const __m128i zero = _mm_setzero_si128();
        for (; i + 4 <= count; i += 4) {
            const __m128i pixel = _mm_loadu_si128(reinterpret_cast<const __m128i *>(pixels + i * 4));
            const __m128i distance = _mm_or_si128(_mm_subs_epu8(pixel, seed), _mm_subs_epu8(seed, pixel));
            const __m128i near = _mm_cmpeq_epi32(_mm_subs_epu8(distance, threshold), zero);
            const __m128i exact = _mm_cmpeq_epi32(distance, zero);
            bits |= quint64(_mm_movemask_ps(_mm_castsi128_ps(near))) << i;
            equal |= quint64(_mm_movemask_ps(_mm_castsi128_ps(exact))) << i;
        }
    }
#endif
    for (; i < count; ++i) {
        const uchar *pixel = pixels + qint64(i) * m_bytesPerPixel;
        bits |= quint64(matches(pixel)) << i;
        equal |= quint64(std::memcmp(pixel, m_seed, 4) == 0) << i;
    }
    *same = equal;
    return bits;
}

inline bool MFloodFill::matches(const uchar *pixel) const
{
    return MBufferLayer::colorMatches(m_seed, pixel, m_threshold);
}

// Calls visit(from, to) for each stretch of filled pixels of row y of the
// cell within columns left..right, at most a word long.
template <class Visit>
inline void MFloodFill::forEachFilled(const Cell &cell, int y, int left, int right, Visit visit) const
{
    const quint64 *fits = cell.fits + y;
    const quint64 *open = cell.open + y;
    for (int word = left >> 6; word <= right >> 6; ++word) {
        const int from = qMax(left, word << 6) & 63, to = qMin(right, (word << 6) + 63) & 63;
        const qint64 at = qint64(word) * m_step;
        quint64 filled = fits[at] & ~open[at] & bitRange(from, to);
        while (filled) {
            const int first = int(qCountTrailingZeroBits(filled));
            const quint64 rest = ~(filled >> first);
            const int length = rest ? int(qCountTrailingZeroBits(rest)) : 64;
            visit((word << 6) + first, (word << 6) + first + length - 1);
            filled = first + length >= 64 ? 0 : filled & (allBits << (first + length));
        }
    }
}

// The tile of the cell at the offset from the cell, in the buffer (or in
// the selection buffer), made when missing. Beyond the bounds only a
// tile the buffer holds, or that the layer has to read back, is written
// to: none is made there just for copies of the border. Null and
// *failed: out of memory.
inline MBufferTile *MFloodFill::tileAround(const Cell &cell, int rows, int columns, bool selection, Around &around, bool *failed)
{
    MBufferTile *&tile = (selection ? around.marks : around.tiles)[rows + 1][columns + 1];
    bool &looked = (selection ? around.lookedMarks : around.looked)[rows + 1][columns + 1];
    if (looked)
        return tile;
    looked = true;
    const int column = cell.column + columns, row = cell.row + rows;
    MBufferLayer *buffer = selection ? m_selection : m_buffer;
    MTextureLayer *layer = selection ? nullptr : m_layer;
    if (!m_bounds.intersects(QRect(column * m_step, row * m_step, m_step, m_step)) && !buffer->holds(column, row, layer))
        return nullptr;
    tile = buffer->cellTile(column, row, selection ? nullptr : m_device, layer);
    *failed = !tile;
    return tile;
}

inline int MFloodFill::paint(const QDeadlineTimer &deadline)
{
    // A pixel of the seed's own colour always becomes this one.
    uchar seedBecomes[4];
    std::memcpy(seedBecomes, m_seed, 4);
    composeRun(seedBecomes, 0, 0, 0);
    quint32 same;
    std::memcpy(&same, seedBecomes, 4);
    const bool wholeWords = m_bytesPerPixel == 4 && !m_pattern.image;
    for (const std::unique_ptr<Cell> &owned : m_cells) {
        if (deadline.hasExpired())
            return TimedOut;
        const Cell &cell = *owned;
        Around around;
        for (int y = 0; y < m_step; ++y) {
            const quint64 *fits = cell.fits + y;
            const quint64 *open = cell.open + y;
            uchar *pixels = cell.tile->data() + (qint64(y + m_border) * m_tileSize + m_border) * m_bytesPerPixel;
            const int canvasY = cell.y + y;
            int first = -1, last = -1;
            for (int word = 0; word < m_words; ++word) {
                const qint64 at = qint64(word) * m_step;
                const quint64 filled = fits[at] & ~open[at];
                if (!filled)
                    continue;
                const int x = word << 6;
                if (first < 0)
                    first = x + int(qCountTrailingZeroBits(filled));
                last = x + 63 - int(qCountLeadingZeroBits(filled));
                if (wholeWords && cell.uniform) {
                    fillWhere(pixels + x * 4, filled, same);
                    continue;
                }
                forEachFilled(cell, y, x, qMin(x + 63, m_step - 1), [&](int from, int to) {
                    uchar *run = pixels + qint64(from) * m_bytesPerPixel;
                    const size_t bytes = size_t(to - from + 1) * size_t(m_bytesPerPixel);
                    if (cell.partial)
                        m_old.assign(run, run + bytes);
                    composeRun(run, cell.x + from, cell.x + to, canvasY);
                    if (cell.partial)
                        blendByCoverage(run, m_old.data(), cell.x + from, cell.x + to, canvasY);
                });
            }
            if (first < 0)
                continue;
            m_filledLeft = qMin(m_filledLeft, cell.x + first);
            m_filledRight = qMax(m_filledRight, cell.x + last);
            m_filledTop = qMin(m_filledTop, canvasY);
            m_filledBottom = qMax(m_filledBottom, canvasY);
            // While the row is at hand.
            if (!copyToOthers(cell, y, first, last, around))
                return OutOfMemory;
        }
    }
    return Filled;
}

// word into each of 64 pixels whose bit is set.
inline void MFloodFill::fillWhere(uchar *pixels, quint64 bits, quint32 word)
{
    if (bits == allBits) {
#ifdef __SSE2__
        const __m128i value = _mm_set1_epi32(int(word));
        for (int i = 0; i < 64; i += 4)
            _mm_storeu_si128(reinterpret_cast<__m128i *>(pixels + i * 4), value);
        return;
#endif
    }
    while (bits) {
        std::memcpy(pixels + qCountTrailingZeroBits(bits) * 4, &word, 4);
        bits &= bits - 1;
    }
}

// The new pixels of row y of the cell (filled from first to last) into
// every other tile whose border holds them, and into the selection buffer.
inline bool MFloodFill::copyToOthers(const Cell &cell, int y, int first, int last, Around &around)
{
    const bool select = m_selection && !m_pattern.image;
    const int edge = m_step - m_border;
    const int canvasY = cell.y + y;
    for (int rows = y < m_border ? -1 : 0; rows <= (y >= edge ? 1 : 0); ++rows) {
        for (int columns = -1; columns <= 1; ++columns) {
            const bool own = rows == 0 && columns == 0;
            if (own && !select)
                continue;
            // The part of the row the other tile's border (or the whole tile) covers.
            const int left = qMax(first, columns > 0 ? edge : 0);
            const int right = qMin(last, columns < 0 ? m_border - 1 : m_step - 1);
            if (left > right)
                continue;
            bool failed = false;
            forEachFilled(cell, y, left, right, [&](int from, int to) {
                const int x = cell.x + from, count = to - from + 1;
                MBufferTile *target = own ? nullptr : tileAround(cell, rows, columns, false, around, &failed);
                if (target)
                    std::memcpy(target->pixel(x, canvasY), cell.tile->pixel(x, canvasY), size_t(count * m_bytesPerPixel));
                MBufferTile *marks = select ? tileAround(cell, rows, columns, true, around, &failed) : nullptr;
                if (!marks)
                    return;
                uchar *pixel = marks->pixel(x, canvasY);
                for (int i = 0; i < count; ++i, pixel += m_bytesPerPixel)
                    std::memcpy(pixel, m_fill, 4);
            });
            if (failed)
                return false;
        }
    }
    return true;
}

inline void MFloodFill::compose(uchar *pixel, int x, int y) const
{
    if (m_pattern.image) {
        const QImage &image = *m_pattern.image;
        const QRgb p = reinterpret_cast<const QRgb *>(image.constScanLine(positiveModulo(y - m_bounds.top(), image.height())))
            [positiveModulo(x - m_bounds.left(), image.width())];
        if (m_pattern.useColor) {
            pixel[0] = uchar(qRed(p));
            pixel[1] = uchar(qGreen(p));
            pixel[2] = uchar(qBlue(p));
            pixel[3] = uchar(qAlpha(p));
        } else {
            // The pattern's coverage scales the whole (premultiplied) colour, alpha included.
            const int coverage = qAlpha(p);
            for (int i = 0; i < 4; ++i)
                pixel[i] = uchar(m_fill[i] * coverage / 255);
        }
    } else if (m_seed[3] == 0 && pixel[3] > 0) {
        // Behind what is there: the colour over the transparent part only.
        const int alpha = pixel[3];
        const float uncovered = 1.0f - alpha / 255.0f;
        const int resultAlpha = m_fill[3] * (255 - alpha) / 255 + alpha;
        for (int i = 0; i < 3; ++i)
            pixel[i] = uchar(qMin(resultAlpha, int(m_fill[i] * uncovered + pixel[i])));
        pixel[3] = uchar(resultAlpha);
    } else {
        std::memcpy(pixel, m_fill, 4);
    }
}

inline void MFloodFill::composeRun(uchar *pixel, int from, int to, int y) const
{
    if (m_pattern.image || m_seed[3] == 0) {
        for (int x = from; x <= to; ++x, pixel += m_bytesPerPixel)
            compose(pixel, x, y);
    } else if (m_seed[3] == 255) {
        // The colour at the pixel's own alpha. Locals: the stores could
        // otherwise alias them and reload them every pixel.
        const quint32 *atAlpha = m_atAlphaWord;
        const int bytesPerPixel = m_bytesPerPixel;
        for (int x = from; x <= to; ++x, pixel += bytesPerPixel) {
            const quint32 word = atAlpha[pixel[3]];
            std::memcpy(pixel, &word, 4);
        }
    } else {
        quint32 word;
        std::memcpy(&word, m_fill, 4);
        const int bytesPerPixel = m_bytesPerPixel;
        for (int x = from; x <= to; ++x, pixel += bytesPerPixel)
            std::memcpy(pixel, &word, 4);
    }
}
