// Flood fill of a 4000 x 4000 layer held on the CPU: the fill engine beside a
// plain scanline fill over a flat array of the same pixels (and a breadth-first
// fill through the tiles), on one large region and on a maze of one-pixel
// corridors. Rounds alternate the contenders; each prints its median and
// range.
//
//   bench_floodfill [rounds]     (default 7)

#include "mbufferlayer.h"
#include "mquickfill.h"

#include <QElapsedTimer>
#include <QCoreApplication>

#include <cstdio>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <functional>
#include <vector>

namespace {

constexpr int size = 4000;
const uchar wall[4] = {0, 0, 0, 255};
const uchar floorColor[4] = {240, 240, 240, 255};
const uchar paint[4] = {200, 30, 30, 255};

// Every texture pixel of the cells over the picture, borders included.
void build(MBufferLayer &buffer, const std::function<bool(int, int)> &isWall)
{
    buffer.clear();
    const int s = buffer.step();
    for (int row = 0; row * s < size; ++row) {
        for (int column = 0; column * s < size; ++column) {
            MBufferTile *tile = buffer.tileAt(row, column);
            const QRect area = tile->rectWithBorder();
            for (int y = area.top(); y <= area.bottom(); ++y)
                for (int x = area.left(); x <= area.right(); ++x)
                    std::memcpy(tile->pixel(x, y), isWall(x, y) ? wall : floorColor, 4);
        }
    }
}

// Four-neighbour breadth-first search reading and writing pixel by pixel.
qint64 breadthFirst(MBufferLayer &buffer, int sx, int sy)
{
    uchar seed[4];
    buffer.pixelAt(sx, sy, seed);
    std::vector<bool> seen(size_t(size) * size, false);
    std::deque<std::pair<int, int>> queue;
    queue.emplace_back(sx, sy);
    seen[size_t(sy) * size + size_t(sx)] = true;
    qint64 count = 0;
    while (!queue.empty()) {
        const auto [x, y] = queue.front();
        queue.pop_front();
        std::memcpy(buffer.findTile(QPointF(x, y))->pixel(x, y), paint, 4);
        ++count;
        const int next[4][2] = {{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}};
        for (const auto &n : next) {
            if (n[0] < 0 || n[1] < 0 || n[0] >= size || n[1] >= size)
                continue;
            const size_t index = size_t(n[1]) * size + size_t(n[0]);
            if (seen[index])
                continue;
            uchar pixel[4];
            buffer.pixelAt(n[0], n[1], pixel);
            if (!MBufferLayer::colorMatches(seed, pixel, 10))
                continue;
            seen[index] = true;
            queue.emplace_back(n[0], n[1]);
        }
    }
    return count;
}

// A plain scanline fill over a flat array of the same pixels (no tiles):
// each run of matching pixels is filled at once, the rows above and below
// it searched for the runs that continue it.
qint64 scanlineFill(std::vector<uint32_t> &pixels, int sx, int sy, uint32_t colour)
{
    const uint32_t seed = pixels[size_t(sy) * size + size_t(sx)];
    if (seed == colour)
        return 0;
    qint64 count = 0;
    std::vector<std::pair<int, int>> stack{{sx, sy}};
    while (!stack.empty()) {
        auto [x, y] = stack.back();
        stack.pop_back();
        uint32_t *row = pixels.data() + size_t(y) * size;
        if (row[x] != seed)
            continue;
        int left = x, right = x;
        while (left > 0 && row[left - 1] == seed)
            --left;
        while (right < size - 1 && row[right + 1] == seed)
            ++right;
        std::fill(row + left, row + right + 1, colour);
        count += right - left + 1;
        for (int ny : {y - 1, y + 1}) {
            if (ny < 0 || ny >= size)
                continue;
            const uint32_t *next = pixels.data() + size_t(ny) * size;
            for (int i = left; i <= right; ++i) {
                if (next[i] == seed && (i == left || next[i - 1] != seed))
                    stack.emplace_back(i, ny);
            }
        }
    }
    return count;
}

// Seconds of one run of each contender on pixels of their own, made afresh
// before the run and not timed.
struct Round
{
    double engine = 0;
    double baseline = 0;
    double breadthFirst = 0;
    bool correct = true;
};

Round runEngine(const std::function<bool(int, int)> &isWall, qint64 region, Round round)
{
    MBufferLayer buffer;
    build(buffer, isWall);
    MQuickFill fill;
    QElapsedTimer timer;
    timer.start();
    const int result = fill.fillBuffer(&buffer, QPoint(0, 0), paint, QRect(0, 0, size, size), nullptr, nullptr, nullptr);
    round.engine = timer.nsecsElapsed() / 1e9;
    qint64 filled = 0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            uchar pixel[4];
            buffer.pixelAt(x, y, pixel);
            filled += std::memcmp(pixel, paint, 4) == 0;
        }
    }
    round.correct = round.correct && result == MQuickFill::Filled && filled == region;
    return round;
}

std::vector<uint32_t> flatPixels(const std::function<bool(int, int)> &isWall)
{
    uint32_t wallValue, floorValue;
    std::memcpy(&wallValue, wall, 4);
    std::memcpy(&floorValue, floorColor, 4);
    std::vector<uint32_t> flat(size_t(size) * size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            flat[size_t(y) * size + size_t(x)] = isWall(x, y) ? wallValue : floorValue;
    return flat;
}

uint32_t paintValue()
{
    uint32_t value;
    std::memcpy(&value, paint, 4);
    return value;
}

Round runBaseline(const std::function<bool(int, int)> &isWall, qint64 region, Round round)
{
    std::vector<uint32_t> flat = flatPixels(isWall);
    QElapsedTimer timer;
    timer.start();
    const qint64 scanned = scanlineFill(flat, 0, 0, paintValue());
    round.baseline = timer.nsecsElapsed() / 1e9;
    round.correct = round.correct && scanned == region;
    return round;
}

Round runBreadthFirst(const std::function<bool(int, int)> &isWall, qint64 region, Round round)
{
    MBufferLayer buffer;
    build(buffer, isWall);
    QElapsedTimer timer;
    timer.start();
    const qint64 pixels = breadthFirst(buffer, 0, 0);
    round.breadthFirst = timer.nsecsElapsed() / 1e9;
    round.correct = round.correct && pixels == region;
    return round;
}

struct Spread
{
    double median;
    double low;
    double high;
};

Spread spread(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return {values[values.size() / 2], values.front(), values.back()};
}

// Rounds of the three fills, the order turned round from one round to the
// next so that neither the engine nor its baseline always runs on a warmer
// or quieter machine; rates are medians of the rounds with their range, and
// the ratio is taken within each round.
void measure(const char *name, const std::function<bool(int, int)> &isWall, int rounds)
{
    // The region's size, from an untimed baseline fill.
    std::vector<uint32_t> probe = flatPixels(isWall);
    const qint64 region = scanlineFill(probe, 0, 0, paintValue());
    probe.clear();
    using Run = Round (*)(const std::function<bool(int, int)> &, qint64, Round);
    const Run runs[3] = {runEngine, runBaseline, runBreadthFirst};
    std::vector<double> engine, baseline, breadth, ratio;
    bool correct = true;
    for (int r = 0; r < rounds; ++r) {
        Round round;
        for (int i = 0; i < 3; ++i)
            round = runs[(r + i) % 3](isWall, region, round);
        correct = correct && round.correct;
        const double megapixels = region / 1e6;
        engine.push_back(megapixels / round.engine);
        baseline.push_back(megapixels / round.baseline);
        breadth.push_back(megapixels / round.breadthFirst);
        ratio.push_back(round.baseline / round.engine);
    }
    const Spread e = spread(engine), b = spread(baseline), f = spread(breadth), q = spread(ratio);
    std::printf("%s: %.1f Mpx region, %d rounds; fill engine %.1f Mpx/s (%.1f..%.1f) | plain scanline fill over a "
                "flat array %.1f Mpx/s (%.1f..%.1f) (baseline) | engine / baseline %.2fx (%.2f..%.2f) | "
                "breadth-first over the tiles %.1f Mpx/s (%.1f..%.1f)%s\n",
                name, region / 1e6, rounds, e.median, e.low, e.high, b.median, b.low, b.high, q.median, q.low,
                q.high, f.median, f.low, f.high, correct ? "" : " FAILED");
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    const int rounds = qMax(1, argc > 1 ? std::atoi(argv[1]) : 7);
    measure("large region", [](int x, int y) { return x == 2000 && y > 100; }, rounds);
    // Vertical walls every other column, open at alternate ends: one corridor
    // a pixel wide winding through the whole picture, so every row of it is
    // a run of one pixel.
    measure("maze", [](int x, int y) {
        if (x % 2 == 0)
            return false;
        return (x / 2) % 2 == 0 ? y != size - 1 : y != 0;
    }, rounds);
    return 0;
}
