// Document file throughput: saving and opening documents of 16, 64 and 256
// painted tiles, beside writing the same bytes as the save does (synced and
// renamed over the target) and reading them in the load's chunks (the
// baseline), in the same folder; loads and reads once from the page cache and
// once from the disk, the file's pages dropped first. All alternate round by
// round; medians with their ranges are printed.

#include "benchfigures.h"
#include "benchplainfile.h"
#include "mcanvas.h"
#include "mlayerdescription.h"
#include "mlogger.h"
#include "mopengl.h"
#include "mtestcanvas.h"
#include "mtestglcontext.h"
#include "mtexturetile.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// Tiles in rows of 16 cells, each with pixels of its own.
void paint(MCanvas &canvas, int tiles)
{
    canvas.reset();
    canvas.makeCurrent();
    MTextureLayer *layer = canvas.at(0);
    std::vector<unsigned char> pixels(size_t(512 * 512 * 4));
    for (int i = 0; i < tiles; ++i) {
        for (size_t p = 0; p < pixels.size(); ++p)
            pixels[p] = (unsigned char)((p * 31 + size_t(i) * 7) % 251);
        auto *tile = static_cast<MTextureTile *>(layer->addTile(QPointF((i % 16) * 500 + 1, (i / 16) * 500 + 1)));
        tile->ensureTexture();
        tile->setData(pixels.data());
    }
}

// Milliseconds of one run of job, -1 when it failed.
double timed(const std::function<bool()> &job)
{
    QElapsedTimer timer;
    timer.start();
    return job() ? double(timer.nsecsElapsed()) / 1e6 : -1;
}

double megabytesPerSecond(qint64 bytes, double ms)
{
    return ms > 0 ? bytes / 1e6 / (ms / 1000.0) : 0.0;
}

struct Series
{
    std::vector<double> values;
    double median() const
    {
        std::vector<double> sorted = values;
        std::sort(sorted.begin(), sorted.end());
        return sorted.empty() ? 0.0 : sorted[sorted.size() / 2];
    }
    double low() const { return values.empty() ? 0.0 : *std::min_element(values.begin(), values.end()); }
    double high() const { return values.empty() ? 0.0 : *std::max_element(values.begin(), values.end()); }
};

} // namespace

int main(int argc, char **argv)
{
    MTestGLContext::prepareSharedContexts();
    QGuiApplication application(argc, argv);
    const std::unique_ptr<MCanvas> document = MTestCanvas::createDocument(QSize(1000, 1000));
    if (!document) {
        std::fprintf(stderr, "no OpenGL 3.3 context\n");
        return 1;
    }
    MCanvas &canvas = *document;
    QTemporaryDir folder;
    if (!folder.isValid())
        return 1;

    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    std::printf("document file throughput in %s, %d alternated rounds, load average %s\n", qPrintable(folder.path()),
                rounds, qPrintable(BenchFigures::loadAverages()));
    for (int tiles : {16, 64, 256}) {
        paint(canvas, tiles);
        const QString document = folder.filePath(QStringLiteral("document-%1.kxd").arg(tiles));
        const QString plain = folder.filePath(QStringLiteral("plain-%1.data").arg(tiles));
        // One of each to warm up; the file's bytes are the baseline's.
        if (!canvas.saveToFile(document) || !canvas.loadFromFile(document))
            return 1;
        QByteArray content;
        {
            QFile file(document);
            if (!file.open(QIODevice::ReadOnly))
                return 1;
            content = file.readAll();
        }
        const qint64 bytes = content.size();
        // Loads and reads from the page cache, and from the disk with the
        // file's pages dropped first.
        Series save, load, write, read, coldLoad, coldRead;
        for (int round = 0; round < rounds; ++round) {
            save.values.push_back(timed([&]() { return canvas.saveToFile(document); }));
            write.values.push_back(BenchPlainFile::write(content, plain, MLayerDescription::TileBytes + 16));
            load.values.push_back(timed([&]() { return canvas.loadFromFile(document); }));
            read.values.push_back(BenchPlainFile::read(plain, MLayerDescription::TileBytes));
            coldLoad.values.push_back(BenchPlainFile::forget(document) ? timed([&]() { return canvas.loadFromFile(document); }) : -1);
            coldRead.values.push_back(BenchPlainFile::forget(plain) ? BenchPlainFile::read(plain, MLayerDescription::TileBytes) : -1);
        }
        if (std::min({save.low(), load.low(), write.low(), read.low(), coldLoad.low(), coldRead.low()}) < 0) {
            std::fprintf(stderr, "a run failed for %d tiles\n", tiles);
            return 1;
        }
        const auto figure = [bytes](const Series &series) {
            return QStringLiteral("%1 ms (%2-%3, %4 MB/s)")
                .arg(series.median(), 0, 'f', 1)
                .arg(series.low(), 0, 'f', 1)
                .arg(series.high(), 0, 'f', 1)
                .arg(megabytesPerSecond(bytes, series.median()), 0, 'f', 0);
        };
        std::printf("%3d tiles, %6.1f MB: save %s, load %s | write + sync + rename %s, chunked read %s | save / write "
                    "%.2fx, load / read %.2fx\n",
                    tiles, bytes / 1e6, qPrintable(figure(save)), qPrintable(figure(load)), qPrintable(figure(write)),
                    qPrintable(figure(read)), save.median() / write.median(), load.median() / read.median());
        std::printf("           from the disk: load %s | chunked read %s | load / read %.2fx\n", qPrintable(figure(coldLoad)),
                    qPrintable(figure(coldRead)), coldLoad.median() / coldRead.median());
        std::fflush(stdout);
        QFile::remove(document);
        QFile::remove(plain);
    }
    std::printf("load average after %s\n", qPrintable(BenchFigures::loadAverages()));
    canvas.shutDown();
    return 0;
}
