#include "mquickfill.h"

#include "mbufferlayer.h"
#include "mcanvas.h"

#include <QDeadlineTimer>
#include <QtAlgorithms>

#include <climits>
#include <cstring>
#include <memory>
#include <new>
#include <unordered_map>
#include <vector>

namespace {

int positiveModulo(int value, int divisor)
{
    const int remainder = value % divisor;
    return remainder < 0 ? remainder + divisor : remainder;
}

// One run of the engine: the region grows from the seed by filled runs of a
// row; each run looks for matching pixels on the rows above and below and
// leaves one pending seed per stretch it finds there.
class FloodFill
{
public:
    struct Pattern
    {
        const QImage *image = nullptr;
        bool useColor = false;
    };

    FloodFill(MBufferLayer *buffer, MCanvas *canvas, MTextureLayer *layer, MBufferLayer *selection, const QRect &bounds,
              const uchar *seed, const uchar *fill, int threshold, const Pattern &pattern)
        : m_buffer(buffer)
        , m_canvas(canvas)
        , m_layer(layer)
        , m_selection(selection)
        , m_bounds(bounds)
        , m_pattern(pattern)
        , m_step(buffer->step())
        , m_border(buffer->border())
        , m_bytesPerPixel(buffer->bytesPerPixel())
        , m_tileSize(buffer->tileSize())
    {
        std::memcpy(m_seed, seed, 4);
        std::memcpy(m_fill, fill, 4);
        for (int i = 0; i < 3; ++i)
            m_straight[i] = m_fill[3] ? m_fill[i] * 255 / m_fill[3] : m_fill[i];
        for (int alpha = 0; alpha < 256; ++alpha) {
            uchar bytes[4] = {0, 0, 0, uchar(alpha)};
            for (int i = 0; i < 3; ++i)
                bytes[i] = uchar(m_straight[i] * alpha / 255);
            std::memcpy(&m_atAlphaWord[alpha], bytes, 4);
        }
        std::memcpy(&m_test.seedWord, m_seed, 4);
        for (int value = 0; value < 256; ++value) {
            m_near[value] = 0;
            for (int i = 0; i < 4; ++i)
                m_near[value] |= uchar(qAbs(value - m_seed[i]) <= threshold) << i;
        }
        m_test.near = m_near;
        m_test.bytesPerPixel = m_bytesPerPixel;
    }

    int run(const QPoint &start, int timeLimit)
    {
        QDeadlineTimer deadline(timeLimit);
        std::vector<Stretch> pending;
        Row row;    // of the last run
        int rowY = 0;
        try {
            push(pending, start.x(), start.x(), start.y(), Span{0, -1, start.y()});
            // Reading the clock costs as much as a short run: every 256 runs.
            for (unsigned int runs = 0; !pending.empty() && !m_outOfMemory; ++runs) {
                if (runs % 256 == 0 && deadline.hasExpired())
                    return MQuickFill::TimedOut;
                // Field by field, as push wrote it.
                const Stretch &top = pending.back();
                const int atLeft = top.left, atRight = top.right, y = top.y;
                const Span from = {top.fromLeft, top.fromRight, top.fromY};
                pending.pop_back();
                row = rowNear(row, rowY, atLeft, y);
                rowY = y;
                if (!row.marks)
                    break;
                // A filled run takes every fitting pixel it touches: a
                // stretch is filled whole or not at all.
                if (!m_test(row, atLeft))
                    continue;
                const int left = extend(row, atLeft, y, -1);
                if (atRight > row.last)
                    row = rowAt(atRight, y);
                if (!row.marks)
                    break;
                const int right = extend(row, atRight, y, 1);
                if (m_outOfMemory)
                    break;
                fillRun(left, right, y, row);
                const Span run = {left, right, y};
                if (y > m_bounds.top() && !m_outOfMemory)
                    findStretchesBeside(run, y - 1, from, row, pending);
                if (y < m_bounds.bottom() && !m_outOfMemory)
                    findStretchesBeside(run, y + 1, from, row, pending);
            }
        } catch (const std::bad_alloc &) {
            m_outOfMemory = true;
        }
        return m_outOfMemory ? MQuickFill::OutOfMemory : MQuickFill::Filled;
    }

    QRectF filledRect() const
    {
        return m_filledRight < m_filledLeft ? QRectF()
                                            : QRectF(QRect(QPoint(m_filledLeft, m_filledTop), QPoint(m_filledRight, m_filledBottom)));
    }

private:
    // One row of one tile, addressed by canvas x: pixel and mark index
    // origin + x, for x in first..last. No marks: the tile could not be had.
    struct Row
    {
        uchar *pixels = nullptr;
        quint64 *marks = nullptr;
        qint64 origin = 0;
        int yInCell = 0;
        int first = INT_MAX;    // none yet
        int last = INT_MIN;
    };

    // Whether a pixel is not filled yet and within the threshold of the
    // seed. Copied into locals by the loops, which then keep it in registers.
    struct Test
    {
        quint32 seedWord;
        int bytesPerPixel;
        // Bit i of near[v]: v is within the threshold of the seed's byte i.
        const uchar *near;

        bool operator()(const Row &row, int x) const
        {
            const qint64 index = row.origin + x;
            if ((row.marks[index >> 6] >> (index & 63)) & 1)
                return false;
            return matches(row.pixels + index * bytesPerPixel);
        }

        bool matches(const uchar *pixel) const
        {
            quint32 word;
            std::memcpy(&word, pixel, 4);
            // The seed's own colour, the usual case, without the per-byte test.
            return word == seedWord
                || ((near[pixel[0]] & 1) && ((near[pixel[1]] & 2) | (near[pixel[2]] & 4) | (near[pixel[3]] & 8)) == 14);
        }

        // The first of x..end (in the row's cell) that does not fit, or
        // end + 1; the marks are read 64 at a time.
        int firstUnfit(const Row &row, int x, int end) const
        {
            while (x <= end) {
                const qint64 index = row.origin + x;
                const int offset = int(index & 63);
                const int count = qMin(64 - offset, end - x + 1);
                const quint64 marked = row.marks[index >> 6] >> offset;
                const int unmarked = marked ? qMin(count, int(qCountTrailingZeroBits(marked))) : count;
                const uchar *pixel = row.pixels + index * bytesPerPixel;
                int i = 0;
                while (i < unmarked && matches(pixel)) {
                    ++i;
                    pixel += bytesPerPixel;
                }
                x += i;
                if (i < count)
                    break;
            }
            return x;
        }
    };

    // Pixels left..right of row y.
    struct Span
    {
        int left;
        int right;
        int y;
    };

    // Pixels left..right of row y that fitted when they were found, and the
    // run that found them.
    struct Stretch
    {
        int left;
        int right;
        int y;
        int fromLeft;
        int fromRight;
        int fromY;
    };

    // Visited marks of a tile's pixels, one bit each, indexed as the tile's pixels.
    quint64 *marks(MBufferTile *tile)
    {
        if (tile == m_lastMarked)
            return m_lastMarks;
        std::unique_ptr<quint64[]> &plane = m_marks[tile];
        if (!plane)
            plane.reset(new (std::nothrow) quint64[(size_t(tile->tileSize()) * size_t(tile->tileSize()) + 63) / 64]());
        if (!plane) {
            m_outOfMemory = true;
            return nullptr;
        }
        m_lastMarked = tile;
        m_lastMarks = plane.get();
        return m_lastMarks;
    }

    // The row y of the tile holding (x, y).
    Row rowAt(int x, int y)
    {
        Row row;
        MBufferTile *tile = m_buffer->pixelTile(x, y, m_canvas, m_layer);
        quint64 *plane = tile ? marks(tile) : nullptr;
        if (!plane) {
            m_outOfMemory = true;
            return row;
        }
        const QRect cell = tile->rect();
        row.pixels = tile->data();
        row.marks = plane;
        row.origin = qint64(y - cell.y() + m_border) * m_tileSize + m_border - cell.x();
        row.first = cell.left();
        row.last = cell.right();
        row.yInCell = y - cell.y();
        return row;
    }

    // The row of (x, y), derived from a row of the same tile (at knownY)
    // when it can be.
    Row rowNear(const Row &known, int knownY, int x, int y)
    {
        const int yInCell = known.yInCell + (y - knownY);
        if (x < known.first || x > known.last || yInCell < 0 || yInCell >= m_step)
            return rowAt(x, y);
        Row row = known;
        row.origin += qint64(y - knownY) * m_tileSize;
        row.yInCell = yInCell;
        return row;
    }

    // Written field by field: a whole stretch made on the stack and copied
    // in stalls on reading it back.
    static void push(std::vector<Stretch> &pending, int left, int right, int y, const Span &from)
    {
        pending.emplace_back();
        Stretch &stretch = pending.back();
        stretch.left = left;
        stretch.right = right;
        stretch.y = y;
        stretch.fromLeft = from.left;
        stretch.fromRight = from.right;
        stretch.fromY = from.y;
    }

    // findStretches over row y beside the run, leaving out the run it was
    // found from: that one filled all of its own pixels, so nothing there
    // fits. In a corridor one pixel wide this skips half the searches.
    void findStretchesBeside(const Span &run, int y, const Span &from, const Row &row, std::vector<Stretch> &pending)
    {
        if (from.y != y) {
            findStretches(run.left, run.right, y, row, run, pending);
            return;
        }
        if (run.left < from.left)
            findStretches(run.left, qMin(run.right, from.left - 1), y, row, run, pending);
        if (run.right > from.right && !m_outOfMemory)
            findStretches(qMax(run.left, from.right + 1), run.right, y, row, run, pending);
    }

    // From x (which fits) toward direction: the last x of the stretch of
    // fitting pixels within the bounds.
    int extend(Row &row, int x, int y, int direction)
    {
        const Test test = m_test;
        if (direction > 0) {
            const int limit = m_bounds.right();
            while (x < limit) {
                if (x == row.last) {
                    row = rowAt(x + 1, y);
                    if (!row.marks)
                        break;
                }
                const int end = qMin(limit, row.last);
                const int stop = test.firstUnfit(row, x + 1, end);
                x = stop - 1;
                if (stop <= end)
                    break;
            }
            return x;
        }
        const int limit = m_bounds.left();
        while (x != limit) {
            const int next = x + direction;
            if (next < row.first || next > row.last) {
                row = rowAt(next, y);
                if (!row.marks)
                    break;
            }
            if (!test(row, next))
                break;
            x = next;
        }
        return x;
    }

    // Leaves each stretch of fitting pixels of row y within left..right
    // pending, skipping filled pixels 64 at a time.
    // runRow is a row of the run's tile, at the run's y.
    void findStretches(int left, int right, int y, const Row &runRow, const Span &run, std::vector<Stretch> &pending)
    {
        const Test test = m_test;
        Row row = rowNear(runRow, run.y, left, y);
        if (!row.marks)
            return;
        int start = INT_MIN;    // of the stretch x is in
        int x = left;
        while (x <= right) {
            if (x > row.last) {
                row = rowAt(x, y);
                if (!row.marks)
                    return;
            }
            const int end = qMin(right, row.last);
            if (start != INT_MIN) {
                x = test.firstUnfit(row, x, end);
                if (x > end)
                    continue;    // on into the next cell
                push(pending, start, x - 1, y, run);
                start = INT_MIN;
                ++x;
            } else {
                while (x <= end) {
                    const qint64 index = row.origin + x;
                    if ((index & 63) == 0 && x + 63 <= end && row.marks[index >> 6] == ~quint64(0))
                        x += 64;
                    else if (test(row, x))
                        break;
                    else
                        ++x;
                }
                if (x <= end)
                    start = x++;
            }
        }
        if (start != INT_MIN)
            push(pending, start, right, y, run);
    }

    void compose(uchar *pixel, int x, int y) const
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

    void composeRun(uchar *pixel, int from, int to, int y) const
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

    // Fills x1..x2 of row y, then copies the new pixels into the borders of
    // the neighbouring tiles that overlap them, so every texture agrees.
    // last is the row that holds x2.
    void fillRun(int x1, int x2, int y, const Row &last)
    {
        m_filledLeft = qMin(m_filledLeft, x1);
        m_filledRight = qMax(m_filledRight, x2);
        m_filledTop = qMin(m_filledTop, y);
        m_filledBottom = qMax(m_filledBottom, y);
        // Most runs lie inside one cell, away from the borders of the others.
        if (x1 >= last.first) {
            const qint64 first = last.origin + x1;
            composeRun(last.pixels + first * m_bytesPerPixel, x1, x2, y);
            markRange(last.marks, first, first + (x2 - x1));
            const bool inner = x1 - last.first >= m_border && last.last - x2 >= m_border && last.yInCell >= m_border
                && last.yInCell < m_step - m_border;
            if (inner && !m_selection)
                return;
        } else {
            fillAcross(x1, x2, y);
            if (m_outOfMemory)
                return;
        }
        copyToBorders(x1, x2, y);
    }

    // fillRun's fill and marks for a run over more than one cell.
    void fillAcross(int x1, int x2, int y)
    {
        for (int from = x1; from <= x2;) {
            MBufferTile *tile = m_buffer->pixelTile(from, y, m_canvas, m_layer);
            quint64 *plane = tile ? marks(tile) : nullptr;
            if (!plane) {
                m_outOfMemory = true;
                return;
            }
            const QRect cell = tile->rect();
            const int to = qMin(x2, cell.right());
            uchar *pixel = tile->pixel(from, y);
            const qint64 first = qint64(y - tile->rect().y() + m_border) * tile->tileSize() + (from - tile->rect().x() + m_border);
            composeRun(pixel, from, to, y);
            markRange(plane, first, first + (to - from));
            from = to + 1;
        }
    }

    // The run's new pixels into every other tile whose border holds them
    // (and into the selection buffer).
    void copyToBorders(int x1, int x2, int y)
    {
        const int row = tileCell(y, m_step);
        for (int tileRow = tileCell(y - m_border, m_step); tileRow <= tileCell(y + m_border, m_step); ++tileRow) {
            for (int column = tileCell(x1 - m_border, m_step); column <= tileCell(x2 + m_border, m_step); ++column) {
                const int from = qMax(x1, column * m_step - m_border);
                const int to = qMin(x2, column * m_step + m_step - 1 + m_border);
                if (from > to)
                    continue;
                copyToBorder(column, tileRow, row, from, to, y);
                if (m_selection && !m_pattern.image)
                    markSelection(column, tileRow, from, to, y);
                if (m_outOfMemory)
                    return;
            }
        }
    }

    // Sets the marks first..last (indices in one row of a tile).
    static void markRange(quint64 *plane, qint64 first, qint64 last)
    {
        const qint64 firstWord = first >> 6, lastWord = last >> 6;
        const quint64 head = ~quint64(0) << (first & 63);
        const quint64 tail = ~quint64(0) >> (63 - (last & 63));
        if (firstWord == lastWord) {
            plane[firstWord] |= head & tail;
            return;
        }
        plane[firstWord] |= head;
        for (qint64 word = firstWord + 1; word < lastWord; ++word)
            plane[word] = ~quint64(0);
        plane[lastWord] |= tail;
    }

    void copyToBorder(int column, int tileRow, int row, int from, int to, int y)
    {
        MBufferTile *target = nullptr;
        for (int x = from; x <= to;) {
            const int sourceColumn = tileCell(x, m_step);
            const int last = qMin(to, sourceColumn * m_step + m_step - 1);
            if (sourceColumn != column || tileRow != row) {
                if (!target)
                    target = m_buffer->cellTile(column, tileRow, m_canvas, m_layer);
                MBufferTile *source = m_buffer->cellTile(sourceColumn, row, m_canvas, m_layer);
                if (!target || !source) {
                    m_outOfMemory = true;
                    return;
                }
                std::memcpy(target->pixel(x, y), source->pixel(x, y), size_t((last - x + 1) * m_bytesPerPixel));
            }
            x = last + 1;
        }
    }

    void markSelection(int column, int tileRow, int from, int to, int y)
    {
        MBufferTile *tile = m_selection->cellTile(column, tileRow, nullptr, nullptr);
        if (!tile) {
            m_outOfMemory = true;
            return;
        }
        for (int x = from; x <= to; ++x)
            std::memcpy(tile->pixel(x, y), m_fill, 4);
    }

    MBufferLayer *m_buffer;
    MCanvas *m_canvas;
    MTextureLayer *m_layer;
    MBufferLayer *m_selection;
    QRect m_bounds;
    Pattern m_pattern;
    int m_step;
    int m_border;
    int m_bytesPerPixel;
    int m_tileSize;
    uchar m_seed[4];
    uchar m_fill[4];
    int m_straight[3];    // the fill colour un-premultiplied
    quint32 m_atAlphaWord[256];  // the same at each alpha, premultiplied, as a pixel's bytes
    Test m_test;
    uchar m_near[256];
    // The bounds of the filled runs; empty while right < left.
    int m_filledLeft = INT_MAX;
    int m_filledRight = INT_MIN;
    int m_filledTop = INT_MAX;
    int m_filledBottom = INT_MIN;
    bool m_outOfMemory = false;
    std::unordered_map<MBufferTile *, std::unique_ptr<quint64[]>> m_marks;
    MBufferTile *m_lastMarked = nullptr;
    quint64 *m_lastMarks = nullptr;
};

} // namespace

MQuickFill::MQuickFill(QObject *parent)
    : QObject(parent)
{
}

MQuickFill::~MQuickFill()
{
    delete m_buffer;
}

void MQuickFill::set_threshold(uchar value)
{
    if (value == m_threshold)
        return;
    m_threshold = value;
    emit thresholdChanged(value);
}

void MQuickFill::set_clearSelection(bool value)
{
    if (value == m_clearSelection)
        return;
    m_clearSelection = value;
    emit clearSelectionChanged(value);
}

void MQuickFill::setMaskImage(const QImage &image)
{
    if (image.isNull()) {
        m_usePattern = false;
        return;
    }
    m_pattern = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    m_usePattern = true;
}

MTextureLayer *MQuickFill::sampledLayer(int &row) const
{
    if (!m_canvas)
        return nullptr;
    if (MTextureLayer *layer = m_canvas->at(row))
        return layer;
    row = m_canvas->currentRow();
    return m_canvas->at(row);
}

void MQuickFill::prepareBuffer(MTextureLayer *layer)
{
    if (!m_buffer)
        m_buffer = new MBufferLayer(512, 6, 4);
    m_buffer->clear();
    m_buffer->configure(layer);
}

int MQuickFill::fill(const QPoint &seed, const uchar *color, MCanvas *canvas, MTextureLayer *layer,
                     MBufferLayer *selection)
{
    if (!m_buffer)
        m_buffer = new MBufferLayer(512, 6, 4);
    m_buffer->clear();
    const QRect bounds = canvas ? canvas->paintedRect().normalized().toRect() : QRect();
    return fillBuffer(m_buffer, seed, color, bounds, canvas, layer, selection);
}

int MQuickFill::fillBuffer(MBufferLayer *buffer, const QPoint &seed, const uchar *color, const QRect &bounds,
                           MCanvas *canvas, MTextureLayer *layer, MBufferLayer *selection)
{
    m_resultRect = QRectF();
    if (!buffer || !bounds.contains(seed))
        return NothingToDo;
    MBufferTile *seedTile = buffer->tile(seed, canvas, layer);
    if (!seedTile)
        return OutOfMemory;
    uchar seedColor[4];
    std::memcpy(seedColor, seedTile->pixel(seed.x(), seed.y()), 4);

    uchar fillColor[4];
    if (selection) {
        for (int i = 0; i < 3; ++i)
            fillColor[i] = uchar(~seedColor[i]);
        fillColor[3] = 255;
    } else {
        std::memcpy(fillColor, color, 4);
    }
    for (int i = 0; i < 3; ++i)
        fillColor[i] = uchar(fillColor[i] * fillColor[3] / 255);
    if (std::memcmp(seedColor, fillColor, 4) == 0)
        return NothingToDo;

    FloodFill::Pattern pattern;
    if (m_usePattern && !m_pattern.isNull()) {
        pattern.image = &m_pattern;
        pattern.useColor = m_usePatternColor;
    }
    FloodFill engine(buffer, canvas, layer, selection, bounds, seedColor, fillColor, m_threshold, pattern);
    const int result = engine.run(seed, m_timeLimit);
    // Only a finished fill has a region to report.
    if (result == Filled)
        m_resultRect = engine.filledRect();
    return result;
}

bool MQuickFill::fillAt(const QPointF &point, const QColor &color, int row)
{
    MTextureLayer *layer = sampledLayer(row);
    if (!layer)
        return false;
    prepareBuffer(layer);
    const uchar bytes[4] = {uchar(color.red()), uchar(color.green()), uchar(color.blue()), uchar(color.alpha())};
    if (fill(point.toPoint(), bytes, m_canvas, layer, nullptr) != Filled || m_resultRect.isEmpty())
        return false;
    return pasteIntoDocument(row, tr("Fill"));
}

bool MQuickFill::selectAt(const QPointF &point, int row)
{
    MTextureLayer *layer = sampledLayer(row);
    if (!layer)
        return false;
    prepareBuffer(layer);
    MBufferLayer selection(m_buffer->tileSize(), m_buffer->border(), m_buffer->bytesPerPixel());
    if (!m_clearSelection)
        selection.copyLayer(m_canvas, m_canvas->selectionLayer());
    const uchar black[4] = {0, 0, 0, 255};
    if (fill(point.toPoint(), black, m_canvas, layer, &selection) != Filled || m_resultRect.isEmpty())
        return false;
    if (!writeSelection(&selection)) {
        m_resultRect = QRectF();
        return false;
    }
    return true;
}

bool MQuickFill::pasteIntoDocument(int row, const QString &undoText)
{
    return m_canvas && m_buffer && m_canvas->pasteBuffer(m_buffer, row, undoText);
}

bool MQuickFill::writeSelection(MBufferLayer *selection)
{
    m_canvas->makeCurrent();
    m_canvas->clearLayer(m_canvas->selectionLayer());
    return selection->writeBack(m_canvas, m_canvas->selectionLayer(), true);
}
