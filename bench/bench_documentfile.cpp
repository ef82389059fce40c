// Document file throughput: saving and opening documents of 16, 64 and 256
// painted tiles, beside writing and reading the same bytes with plain file
// I/O (the baseline), in the same folder.

#include "mcanvas.h"
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

// Milliseconds per run of job, after one run to warm up.
double timed(int runs, const std::function<bool()> &job)
{
    if (!job())
        return -1;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < runs; ++i) {
        if (!job())
            return -1;
    }
    return double(timer.nsecsElapsed()) / 1e6 / runs;
}

double megabytesPerSecond(qint64 bytes, double ms)
{
    return ms > 0 ? bytes / 1e6 / (ms / 1000.0) : 0.0;
}

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

    std::printf("document file throughput in %s\n", qPrintable(folder.path()));
    for (int tiles : {16, 64, 256}) {
        paint(canvas, tiles);
        const QString document = folder.filePath(QStringLiteral("document-%1.kxd").arg(tiles));
        const QString plain = folder.filePath(QStringLiteral("plain-%1.data").arg(tiles));
        const int runs = tiles >= 256 ? 2 : 4;

        const double saveMs = timed(runs, [&]() { return canvas.saveToFile(document); });
        const qint64 bytes = QFileInfo(document).size();
        const double loadMs = timed(runs, [&]() { return canvas.loadFromFile(document); });

        // The baseline: the file's bytes written and read back whole.
        QByteArray content;
        {
            QFile file(document);
            if (!file.open(QIODevice::ReadOnly))
                return 1;
            content = file.readAll();
        }
        const double writeMs = timed(runs, [&]() {
            QFile file(plain);
            return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size()
                   && file.flush();
        });
        const double readMs = timed(runs, [&]() {
            QFile file(plain);
            return file.open(QIODevice::ReadOnly) && file.readAll().size() == content.size();
        });
        if (saveMs < 0 || loadMs < 0 || writeMs < 0 || readMs < 0) {
            std::fprintf(stderr, "a run failed for %d tiles\n", tiles);
            return 1;
        }
        std::printf("%3d tiles, %6.1f MB: save %7.1f ms (%6.1f MB/s), load %7.1f ms (%6.1f MB/s) | plain write "
                    "%6.1f ms (%7.1f MB/s), plain read %6.1f ms (%7.1f MB/s) | save / write %.1fx, load / read %.1fx\n",
                    tiles, bytes / 1e6, saveMs, megabytesPerSecond(bytes, saveMs), loadMs,
                    megabytesPerSecond(bytes, loadMs), writeMs, megabytesPerSecond(bytes, writeMs), readMs,
                    megabytesPerSecond(bytes, readMs), saveMs / writeMs, loadMs / readMs);
        std::fflush(stdout);
        QFile::remove(document);
        QFile::remove(plain);
    }
    canvas.shutDown();
    return 0;
}
