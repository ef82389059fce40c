// Compositing cost: documents of 1, 5 and 20 4000 x 4000 layers, dense (every
// tile painted) and sparse (one tile in fifty painted), drawn into a
// 1920 x 1080 target the way the canvas view draws a frame, fitted and at
// zoom 1; beside pixman compositing the same layer pixels on the CPU (where
// installed) and copying the same bytes with memcpy.

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

#ifdef KALMI_BENCH_PIXMAN
#include <pixman.h>
#endif

namespace {
constexpr int documentSize = 4000;
constexpr int targetWidth = 1920;
constexpr int targetHeight = 1080;

// Every tile of the layer over the painted rectangle, in a semi-transparent
// colour of its own so that every layer counts in the result.
int paintLayer(MCanvas *canvas, MTextureLayer *layer, int index, bool sparse)
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
    if (sparse) {
        // One cell, a different one for each layer.
        const QPointF at = painted.topLeft() + QPointF(250 + 500 * (index % 8), 250 + 500 * (index / 8 % 8));
        layer->tilesInRect(QRectF(at, QSizeF(1, 1)), tiles);
    } else {
        layer->tilesInRect(painted, tiles);
    }
    for (MTile *tile : qAsConst(tiles)) {
        auto *texture = static_cast<MTextureTile *>(tile);
        texture->ensureTexture();
        texture->setData(pixels.data());
    }
    return tiles.size();
}

// The CPU peer: `layers` premultiplied layers of `sourcePixels` composited
// over a grey target with pixman, scaled as the view scales them
// (bilinear when minified); milliseconds per frame.
double pixmanFrame(int layers, double scale, const QSize &target, const QSize &source, double share)
{
#ifdef KALMI_BENCH_PIXMAN
    std::vector<uint32_t> sourcePixels(size_t(source.width()) * source.height(), 0x80402010u);
    std::vector<uint32_t> targetPixels(size_t(target.width()) * target.height(), 0xff808080u);
    pixman_image_t *from = pixman_image_create_bits(PIXMAN_a8r8g8b8, source.width(), source.height(),
                                                    sourcePixels.data(), source.width() * 4);
    pixman_image_t *to = pixman_image_create_bits(PIXMAN_a8r8g8b8, target.width(), target.height(),
                                                  targetPixels.data(), target.width() * 4);
    if (scale != 1.0) {
        pixman_transform_t transform;
        pixman_transform_init_scale(&transform, pixman_double_to_fixed(1.0 / scale),
                                    pixman_double_to_fixed(1.0 / scale));
        pixman_image_set_transform(from, &transform);
        pixman_image_set_filter(from, PIXMAN_FILTER_BILINEAR, nullptr, 0);
    }
    // Only the painted share of each layer is drawn, as a sparse layer needs.
    const int width = int(std::min<double>(target.width(), source.width() * scale));
    const int height = int(std::max(1.0, std::min<double>(target.height(), source.height() * scale) * share));
    auto frame = [&]() {
        for (int layer = 0; layer < layers; ++layer)
            pixman_image_composite32(PIXMAN_OP_OVER, from, nullptr, to, 0, 0, 0, 0, 0, 0, width, height);
    };
    frame();
    const int frames = 3;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < frames; ++i)
        frame();
    const double ms = double(timer.nsecsElapsed()) / 1e6 / frames;
    pixman_image_unref(from);
    pixman_image_unref(to);
    return ms;
#else
    Q_UNUSED(layers)
    Q_UNUSED(scale)
    Q_UNUSED(target)
    Q_UNUSED(source)
    Q_UNUSED(share)
    return 0.0;
#endif
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

    const QRectF viewport(0, 0, targetWidth, targetHeight);
    // Dense frames of 1 and 20 layers, ours and pixman's, per placement
    // (fitted first): their difference is what one more layer costs,
    // without the clear and paper every frame pays once.
    double denseMs[2][2][2] = {};
    for (bool sparse : {false, true}) {
        canvas.makeCurrent();
        canvas.reset();
        canvas.setPaintedRect(QRectF(-documentSize / 2, -documentSize / 2, documentSize, documentSize));
        int painted = 0;
        int tiles = 0;
        for (int layers : {1, 5, 20}) {
            canvas.makeCurrent();
            while (canvas.count() < layers)
                canvas.appendLayer();
            for (; painted < layers; ++painted)
                tiles = paintLayer(&canvas, canvas.at(painted), painted, sparse);
            canvas.makeCurrent();
            canvas.context()->functions()->glFinish();
            for (bool fitted : {true, false}) {
                MTransform transform;
                double scale = 1.0;
                QRectF shown = MGeometry::fitRect(canvas.paintedRect(), viewport, scale);
                transform.setTranslation(viewport.center() - canvas.paintedRect().center());
                if (fitted)
                    transform.setScale(scale, viewport.center());
                else
                    shown = viewport, scale = 1.0;
                const double shownPixels = shown.width() * shown.height();

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
                    params.useDevicePixelRatio = false;
                    params.matchLevel = true;
                    canvas.draw(&params);
                    view.makeCurrent();
                    f->glFinish();
                };
                frame(); // warm-up: textures, mipmaps and programs in place
                const int frames = layers >= 20 ? 3 : 5;
                QElapsedTimer timer;
                timer.start();
                for (int i = 0; i < frames; ++i)
                    frame();
                const double frameMs = double(timer.nsecsElapsed()) / 1e6 / frames;
                const double megapixels = shownPixels * layers / 1e6;

                // The share of the shown area a layer's painted tiles cover.
                const double share = sparse ? std::min(1.0, tiles * 500.0 * 500.0 / (documentSize * double(documentSize)))
                                            : 1.0;
                const double pixmanMs = pixmanFrame(layers, scale, QSize(targetWidth, targetHeight),
                                                    QSize(documentSize, documentSize), share);

                // The bytes those layer pixels hold, copied once.
                const size_t bytes = size_t(shownPixels * share) * 4 * size_t(layers);
                std::vector<unsigned char> from(bytes, 1), to(bytes, 0);
                std::memcpy(to.data(), from.data(), bytes); // warm-up: pages in place
                const int copies = 5;
                timer.restart();
                for (int i = 0; i < copies; ++i) {
                    from[size_t(i) % bytes] = (unsigned char)i;
                    std::memcpy(to.data(), from.data(), bytes);
                }
                const double copyMs = double(timer.nsecsElapsed()) / 1e6 / copies;
                std::printf("%-6s %-4s %2d layers: %8.2f ms per frame, %8.1f MP/s | pixman: %8.2f ms, ours / pixman "
                            "%.2fx | memcpy of %.1f MB: %6.2f ms\n",
                            sparse ? "sparse" : "dense", fitted ? "fit" : "1:1", layers, frameMs,
                            megapixels / (frameMs / 1000.0), pixmanMs, pixmanMs > 0 ? frameMs / pixmanMs : 0.0,
                            bytes / 1e6, copyMs);
                std::fflush(stdout);
                if (!sparse && (layers == 1 || layers == 20)) {
                    denseMs[fitted ? 0 : 1][layers == 1 ? 0 : 1][0] = frameMs;
                    denseMs[fitted ? 0 : 1][layers == 1 ? 0 : 1][1] = pixmanMs;
                }
            }
        }
        if (!sparse) {
            for (int placement = 0; placement < 2; ++placement) {
                const double ours = (denseMs[placement][1][0] - denseMs[placement][0][0]) / 19.0;
                const double pixman = (denseMs[placement][1][1] - denseMs[placement][0][1]) / 19.0;
                std::printf("dense  %-4s per added layer (20 layers less 1, / 19): %8.2f ms | pixman: %8.2f ms, "
                            "ours / pixman %.2fx\n",
                            placement == 0 ? "fit" : "1:1", ours, pixman, pixman > 0 ? ours / pixman : 0.0);
            }
            std::fflush(stdout);
        }
    }
    view.makeCurrent();
    vertexArray.destroy();
    canvas.shutDown();
    return 0;
}
