#pragma once

#include <QDeadlineTimer>
#include <QPoint>
#include <QRect>
#include <QRectF>

#include <climits>
#include <memory>
#include <unordered_map>
#include <vector>

class MBufferLayer;
class MBufferTile;
class MGpuDevice;
class MTextureLayer;
class QImage;

// The engine, in two passes. The flood works on bits only: for every cell it
// enters, one bit per pixel says whether the pixel fits (within the threshold
// of the seed and within the bounds), and a second set of bits which of those
// are still open; a run of a row is found and closed a word at a time, and
// its neighbour rows are searched a word at a time, so a corridor one pixel
// wide costs a few word operations per row. The pixels, their copies in the
// neighbouring tiles' borders and the selection are written afterwards, cell
// by cell, from the bits that were closed. Pixels are tested before any is
// written, so every test sees the colours the fill started from.
class MFloodFill
{
public:
    // How a run ended: filled, or why it stopped early.
    enum Result { Filled = 0, OutOfMemory = -2, TimedOut = -3 };

    struct Pattern
    {
        const QImage *image = nullptr;
        bool useColor = false;
    };

    // Where the fill may go: its alpha, read back from the layer when given.
    struct Mask
    {
        MBufferLayer *buffer = nullptr;
        MTextureLayer *layer = nullptr;
    };

    MFloodFill(MBufferLayer *buffer, MGpuDevice *device, MTextureLayer *layer, MBufferLayer *selection, const QRect &bounds,
               const uchar *seed, const uchar *fill, int threshold, const Pattern &pattern, const Mask &mask);

    // Filled, or why the fill stopped early: what it reached by then is
    // painted all the same, so that the painter keeps it.
    int run(const QPoint &start, int timeLimit, int stopAtReading);

    QRectF filledRect() const
    {
        return m_filledRight < m_filledLeft ? QRectF()
                                            : QRectF(QRect(QPoint(m_filledLeft, m_filledTop), QPoint(m_filledRight, m_filledBottom)));
    }

private:
    enum Side { Left, Right, Up, Down };

    // The flood's time limit, or the reading at which it counts as reached.
    struct Clock
    {
        QDeadlineTimer deadline;
        int stopAtReading = 0;
        int readings = 0;

        bool expired()
        {
            ++readings;
            return stopAtReading > 0 ? readings >= stopAtReading : deadline.hasExpired();
        }
    };

    // The bits of one cell the fill entered: step rows of m_words words, word
    // w of row y at [w * step + y], so that the rows above and below a word
    // are the words beside it.
    struct Cell
    {
        MBufferTile *tile = nullptr;
        std::unique_ptr<quint64[]> bits;
        quint64 *fits = nullptr;    // within the threshold and the bounds
        quint64 *open = nullptr;    // fits and not filled yet
        bool uniform = false;    // every pixel that fits is the seed's colour
        bool partial = false;    // some pixel that fits is only partly within the mask
        int column = 0;
        int row = 0;
        int x = 0;    // canvas position of the cell's first pixel
        int y = 0;
        Cell *next[4] = {};    // by Side, once looked up
    };

    // A pixel of a cell from which an open run may grow.
    struct Seed
    {
        Cell *cell;
        int x;
        int y;
    };

    Q_NEVER_INLINE int flood(const QPoint &start, Clock clock);
    Q_NEVER_INLINE bool growAcross(Cell *cell, int x, int y);
    void push(Cell *cell, int x, int y);
    void findSeeds(Cell *cell, const quint64 *row, int y, int left, int right);
    Cell *neighbour(Cell *cell, Side side);
    Cell *cellAt(int column, int row);
    void findFits(Cell &cell) const;
    int coverage(int x, int y) const;
    quint64 covered(int x, int y, int count, quint64 *partial) const;
    void blendByCoverage(uchar *pixel, const uchar *old, int from, int to, int y) const;
    quint64 fitting(const uchar *pixels, int count, quint64 *same) const;
    bool matches(const uchar *pixel) const;
    template <class Visit>
    void forEachFilled(const Cell &cell, int y, int left, int right, Visit visit) const;

    // The tiles of the cells around one, by row and column offset + 1, made
    // when first written.
    struct Around
    {
        MBufferTile *tiles[3][3] = {};
        MBufferTile *marks[3][3] = {};    // of the selection
        bool looked[3][3] = {};
        bool lookedMarks[3][3] = {};
    };

    MBufferTile *tileAround(const Cell &cell, int rows, int columns, bool selection, Around &around, bool *failed);
    int paint(const QDeadlineTimer &deadline);
    static void fillWhere(uchar *pixels, quint64 bits, quint32 word);
    bool copyToOthers(const Cell &cell, int y, int first, int last, Around &around);
    void compose(uchar *pixel, int x, int y) const;
    void composeRun(uchar *pixel, int from, int to, int y) const;

    MBufferLayer *m_buffer;
    MGpuDevice *m_device;
    MTextureLayer *m_layer;
    MBufferLayer *m_selection;
    QRect m_bounds;
    Pattern m_pattern;
    Mask m_mask;
    std::vector<uchar> m_old;    // a run's pixels before it was filled
    int m_step;
    int m_words;    // per row of a cell's bits
    int m_border;
    int m_bytesPerPixel;
    int m_tileSize;
    int m_threshold;
    uchar m_seed[4];
    quint32 m_seedWord;
    uchar m_fill[4];
    int m_straight[3];    // the fill colour un-premultiplied
    quint32 m_atAlphaWord[256];  // the same at each alpha, premultiplied, as a pixel's bytes
    // The bounds of the filled pixels; empty while right < left.
    int m_filledLeft = INT_MAX;
    int m_filledRight = INT_MIN;
    int m_filledTop = INT_MAX;
    int m_filledBottom = INT_MIN;
    std::vector<std::unique_ptr<Cell>> m_cells;    // in the order the fill entered them
    std::unordered_map<qint64, Cell *> m_cellAt;
    std::vector<Seed> m_pending;    // seeds of runs still to grow
};
