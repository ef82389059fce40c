// Compositing cost: documents of 1, 5 and 20 fully painted 4000 x 4000 layers
// drawn into a 1920 x 1080 target the way the canvas view draws a frame,
// beside copying the same bytes with memcpy (the baseline).

#include "mcanvas.h"
#include "mgeometry.h"
#include "mlogger.h"
#include "mopengl.h"
#include "mpaintparams.h"
#include "msettings.h"
#include "mtestcanvas.h"
#include "mtestglcontext.h"
#include "mtexturetile.h"
#include "mtransform.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QOpenGLVertexArrayObject>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {
constexpr int documentSize = 4000;
constexpr int targetWidth = 1920;
constexpr int targetHeight = 1080;

// Every tile of the layer over the painted rectangle, in a semi-transparent
// colour of its own so that every layer counts in the result.
void paintLayer(MCanvas *canvas, MTextureLayer *layer, int index)
{
    const QRectF painted = canvas->paintedRect();
    std::vector<unsigned char> pixels(size_t(512 * 512 * 4));
    for (size_t i = 0; i < pixels.size(); i += 4) {
        pixels[i] = (unsigned char)(40 * index % 128);
        pixels[i + 1] = (unsigned char)((i / 4) % 97);
        pixels[i + 2] = 60;
        pixels[i + 3] = 128;
    }
    QSet<MTile *> tiles;
    layer->tilesInRect(painted, tiles);
    for (MTile *tile : qAsConst(tiles)) {
        auto *texture = static_cast<MTextureTile *>(tile);
        texture->ensureTexture();
        texture->setData(pixels.data());
    }
}
} // namespace

int main(int argc, char **argv)
{
    MTestGLContext::prepareSharedContexts();
    QGuiApplication application(argc, argv);
    const std::unique_ptr<MCanvas> document = MTestCanvas::createDocument(QSize(documentSize, documentSize));
    if (!document) {
        std::fprintf(stderr, "no OpenGL 3.3 context\n");
        return 1;
    }
    MCanvas &canvas = *document;

    MTestGLContext view;
    if (!view.isValid() || !view.bindTarget(targetWidth, targetHeight))
        return 1;
    QOpenGLVertexArrayObject vertexArray;
    vertexArray.create();
    QOpenGLFunctions *f = view.context()->functions();

    MTransform transform;
    const QRectF viewport(0, 0, targetWidth, targetHeight);
    double scale = 1.0;
    const QRectF shown = MGeometry::fitRect(canvas.paintedRect(), viewport, scale);
    transform.setTranslation(viewport.center() - canvas.paintedRect().center());
    transform.setScale(scale, viewport.center());
    const double shownPixels = shown.width() * shown.height();

    std::printf("compositing %d x %d layers into %d x %d (scale %.3f, %.0f x %.0f view pixels per layer)\n",
                documentSize, documentSize, targetWidth, targetHeight, scale, shown.width(), shown.height());
    int painted = 0;
    for (int layers : {1, 5, 20}) {
        canvas.makeCurrent();
        while (canvas.count() < layers)
            canvas.appendLayer();
        for (; painted < layers; ++painted)
            paintLayer(&canvas, canvas.at(painted), painted);
        canvas.makeCurrent();
        canvas.context()->functions()->glFinish();

        auto frame = [&]() {
            view.makeCurrent();
            view.bindTarget(targetWidth, targetHeight);
            f->glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
            f->glClear(GL_COLOR_BUFFER_BIT);
            MPaintParams params;
            params.context = view.context();
            params.canvas = &canvas;
            params.rect = canvas.paintedRect();
            params.programList = canvas.shaderProgramList();
            params.vertexArray = &vertexArray;
            params.viewport = viewport;
            params.transform = &transform;
            canvas.draw(&params);
            view.makeCurrent();
            f->glFinish();
        };
        frame(); // warm-up: textures and programs in place
        const int frames = layers >= 20 ? 3 : 5;
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < frames; ++i)
            frame();
        const double frameMs = double(timer.nsecsElapsed()) / 1e6 / frames;
        const double megapixels = shownPixels * layers / 1e6;

        // The baseline: the bytes those layer pixels hold, copied once.
        const size_t bytes = size_t(shownPixels) * 4 * size_t(layers);
        std::vector<unsigned char> from(bytes, 1), to(bytes, 0);
        std::memcpy(to.data(), from.data(), bytes); // warm-up: pages in place
        const int copies = 5;
        timer.restart();
        for (int i = 0; i < copies; ++i) {
            from[size_t(i)] = (unsigned char)i;
            std::memcpy(to.data(), from.data(), bytes);
        }
        const double copyMs = double(timer.nsecsElapsed()) / 1e6 / copies;
        std::printf("%2d layers: %8.1f ms per frame, %8.1f MP/s composited | memcpy of the same %.1f MB: %6.2f ms "
                    "(%.1f GB/s) | frame / memcpy: %.1fx\n",
                    layers, frameMs, megapixels / (frameMs / 1000.0), bytes / 1e6, copyMs,
                    bytes / 1e9 / (copyMs / 1000.0), frameMs / copyMs);
        std::fflush(stdout);
    }
    view.makeCurrent();
    vertexArray.destroy();
    canvas.shutDown();
    return 0;
}
