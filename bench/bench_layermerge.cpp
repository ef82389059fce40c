// Merging two layers of 16 and 64 painted tiles each, with the lower layer at
// full opacity and at 60 %, beside duplicating one of them (the baseline: a
// copy of every tile with its undo backups) in the same run. Each figure is
// the median of the runs, the undo that follows each run not counted.

#include "mcanvas.h"
#include "mtestcanvas.h"
#include "mtestglcontext.h"
#include "mtexturelayer.h"
#include "mtexturetile.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QUndoStack>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

void paint(MTextureLayer *layer, int tiles, int seed)
{
    std::vector<unsigned char> pixels(size_t(512 * 512 * 4));
    for (int i = 0; i < tiles; ++i) {
        // Premultiplied: no colour above its alpha.
        for (size_t p = 0; p < pixels.size(); p += 4) {
            const unsigned char alpha = (unsigned char)(128 + (p / 4 * 13 + size_t(seed + i)) % 128);
            for (size_t c = 0; c < 3; ++c)
                pixels[p + c] = (unsigned char)((p * 31 + c * 17 + size_t(seed)) % (alpha + 1u));
            pixels[p + 3] = alpha;
        }
        auto *tile = static_cast<MTextureTile *>(layer->addTile(QPointF((i % 8) * 500 + 1, (i / 8) * 500 + 1)));
        tile->ensureTexture();
        tile->setData(pixels.data());
    }
}

// The median milliseconds of job over the runs; undo() after each run.
double median(MCanvas &canvas, int runs, const std::function<void()> &job)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        canvas.makeCurrent();
        QElapsedTimer timer;
        timer.start();
        job();
        canvas.context()->functions()->glFinish();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
        canvas.undo();
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
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
    std::printf("layer merge, median of 7 runs\n");
    for (int tiles : {16, 64}) {
        for (double opacity : {1.0, 0.6}) {
            canvas.reset();
            canvas.makeCurrent();
            canvas.appendLayer();
            paint(canvas.at(0), tiles, 1);
            paint(canvas.at(1), tiles, 2);
            canvas.at(0)->setOpacity(opacity);
            canvas.undoStack()->clear();
            const double mergeMs = median(canvas, 7, [&]() { canvas.mergeLayerWithUpper(0); });
            const double duplicateMs = median(canvas, 7, [&]() { canvas.duplicateLayer(0); });
            if (canvas.count() != 2) {
                std::fprintf(stderr, "undo did not bring both layers back\n");
                return 1;
            }
            std::printf("%2d tiles a layer, lower at %3.0f %%: merge %7.1f ms | duplicate %7.1f ms | merge / "
                        "duplicate %.2fx\n",
                        tiles, opacity * 100, mergeMs, duplicateMs, mergeMs / duplicateMs);
            std::fflush(stdout);
        }
    }
    canvas.undoStack()->clear();
    canvas.shutDown();
    return 0;
}
