// Compositing cost: documents of 1, 5 and 20 dense 4000 x 4000 layers (every
// tile painted, each layer with pixels of its own) drawn into a 1920 x 1080
// target the way the canvas view draws a frame, fitted and at zoom 1; beside
// pixman compositing as many distinct layer images of the same pixels on the
// CPU (where installed), the two alternated frame by frame, and copying the
// same bytes with memcpy. Then a stroke's repaint, fitted, with the stroke on
// the middle layer of 3 and of 20 (the layers under and over it drawn from
// the view's images of them), alternated frame by frame.
// Figures are medians over the frames, with their ranges.
//
// Run under a display with LIBGL_ALWAYS_SOFTWARE=1, e.g.
//   xvfb-run -a -s "-screen 0 1920x1080x24" build/cc/bin/bench_compositing [--frames N]

#include "benchfigures.h"
#include "mcanvas.h"
#include "mgeometry.h"
#include "mlayercache.h"
#include "mlogger.h"
#include "mopengl.h"
#include "mpaintparams.h"
#include "msettings.h"
#include "mtestcanvas.h"
#include "mtestglcontext.h"
#include "mtexturelayer.h"
#include "mtexturetile.h"
#include "mtransform.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QOpenGLVertexArrayObject>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

#ifdef KALMI_BENCH_PIXMAN
#include <pixman.h>
#endif

namespace {
using BenchFigures::loadAverage;
using BenchFigures::median;
using BenchFigures::percentile;

constexpr int documentSize = 4000;
constexpr int targetWidth = 1920;
constexpr int targetHeight = 1080;
constexpr int tileSize = 512;

// The premultiplied texels of every tile of a layer: semi-transparent, in a
// colour of the layer's own, so that every layer counts in the result.
std::vector<unsigned char> layerTexels(int index)
{
    std::vector<unsigned char> pixels(size_t(tileSize * tileSize * 4));
    for (size_t i = 0; i < pixels.size(); i += 4) {
        pixels[i] = (unsigned char)(40 * index % 128);
        pixels[i + 1] = (unsigned char)((i / 4 + size_t(index) * 13) % 97);
        pixels[i + 2] = 60;
        pixels[i + 3] = 128;
    }
    return pixels;
}

void paintLayer(MCanvas *canvas, MTextureLayer *layer, int index)
{
    const std::vector<unsigned char> pixels = layerTexels(index);
    QSet<MTile *> tiles;
    layer->tilesInRect(canvas->paintedRect(), tiles);
    for (MTile *tile : qAsConst(tiles)) {
        auto *texture = static_cast<MTextureTile *>(tile);
        texture->ensureTexture();
        texture->setData(pixels.data());
    }
}

QString figure(const std::vector<double> &v)
{
    return QStringLiteral("%1 ms [%2 .. %3]")
        .arg(median(v), 7, 'f', 2)
        .arg(percentile(v, 0.0), 6, 'f', 2)
        .arg(percentile(v, 1.0), 6, 'f', 2);
}

// Two frames alternated, a warm-up of each first; milliseconds per frame.
// What each needs set up first is done before its clock starts.
void alternate(int frames, const std::function<void()> &a, const std::function<void()> &b, std::vector<double> &aMs,
               std::vector<double> &bMs, const std::function<void()> &beforeA = [] {},
               const std::function<void()> &beforeB = [] {})
{
    beforeA();
    a();
    beforeB();
    b();
    QElapsedTimer timer;
    for (int i = 0; i < frames; ++i) {
        beforeA();
        timer.start();
        a();
        aMs.push_back(double(timer.nsecsElapsed()) / 1e6);
        beforeB();
        timer.start();
        b();
        bMs.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
}

#ifdef KALMI_BENCH_PIXMAN
// The CPU peer: one premultiplied image per layer, of the document's size,
// holding the layer's tile pixels repeated, composited over a grey target,
// scaled as the view scales them (bilinear when minified).
class PixmanDocument
{
public:
    explicit PixmanDocument(int layers)
    {
        for (int layer = 0; layer < layers; ++layer) {
            const std::vector<unsigned char> tile = layerTexels(layer);
            m_pixels.emplace_back(size_t(documentSize) * documentSize);
            std::vector<uint32_t> &pixels = m_pixels.back();
            for (int y = 0; y < documentSize; ++y) {
                for (int x = 0; x < documentSize; ++x) {
                    const unsigned char *t = tile.data() + ((y % tileSize) * tileSize + (x % tileSize)) * 4;
                    pixels[size_t(y) * documentSize + x] =
                        (uint32_t(t[3]) << 24) | (uint32_t(t[0]) << 16) | (uint32_t(t[1]) << 8) | t[2];
                }
            }
            m_images.push_back(pixman_image_create_bits(PIXMAN_a8r8g8b8, documentSize, documentSize, pixels.data(),
                                                        documentSize * 4));
        }
        m_target.assign(size_t(targetWidth) * targetHeight, 0xff808080u);
        m_targetImage =
            pixman_image_create_bits(PIXMAN_a8r8g8b8, targetWidth, targetHeight, m_target.data(), targetWidth * 4);
    }
    ~PixmanDocument()
    {
        for (pixman_image_t *image : m_images)
            pixman_image_unref(image);
        pixman_image_unref(m_targetImage);
    }

    void frame(int layers, double scale)
    {
        pixman_transform_t transform;
        pixman_transform_init_scale(&transform, pixman_double_to_fixed(1.0 / scale),
                                    pixman_double_to_fixed(1.0 / scale));
        const int width = int(std::min<double>(targetWidth, documentSize * scale));
        const int height = int(std::min<double>(targetHeight, documentSize * scale));
        std::fill(m_target.begin(), m_target.end(), 0xff808080u);
        for (int layer = 0; layer < layers; ++layer) {
            pixman_image_t *from = m_images[size_t(layer)];
            pixman_image_set_transform(from, &transform);
            pixman_image_set_filter(from, scale == 1.0 ? PIXMAN_FILTER_NEAREST : PIXMAN_FILTER_BILINEAR, nullptr, 0);
            pixman_image_composite32(PIXMAN_OP_OVER, from, nullptr, m_targetImage, 0, 0, 0, 0, 0, 0, width, height);
        }
    }

private:
    std::vector<std::vector<uint32_t>> m_pixels;
    std::vector<pixman_image_t *> m_images;
    std::vector<uint32_t> m_target;
    pixman_image_t *m_targetImage = nullptr;
};
#endif
} // namespace

int main(int argc, char **argv)
{
    int frames = 5;
    for (int i = 1; i + 1 < argc; ++i) {
        if (qstrcmp(argv[i], "--frames") == 0)
            frames = std::max(1, std::atoi(argv[i + 1]));
    }
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
    const QColor background(128, 128, 128);
    MLayerCache cache;

    auto placement = [&](bool fitted, MTransform &transform) {
        double scale = 1.0;
        MGeometry::fitRect(canvas.paintedRect(), viewport, scale);
        transform.reset();
        transform.setTranslation(viewport.center() - canvas.paintedRect().center());
        if (fitted)
            transform.setScale(scale, viewport.center());
        return fitted ? scale : 1.0;
    };
    // One frame of the view, as its widget draws it: through the images of
    // the layers under and over a stroke while one is under way.
    auto ourFrame = [&](MTransform &transform, MLayerCache &images) {
        view.makeCurrent();
        view.bindTarget(targetWidth, targetHeight);
        f->glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
        f->glClear(GL_COLOR_BUFFER_BIT);
        MPaintParams params;
        params.context = view.context();
        params.parts = canvas.parts();
        params.rect = canvas.paintedRect();
        params.programList = canvas.shaderProgramList();
        params.vertexArray = &vertexArray;
        params.viewport = viewport;
        params.transform = &transform;
        params.useDevicePixelRatio = false;
        params.matchLevel = true;
        if (!images.draw(&params, background, true))
            canvas.draw(&params);
        view.makeCurrent();
        f->glFinish();
    };

    canvas.makeCurrent();
    canvas.reset();
    canvas.setPaintedRect(QRectF(-documentSize / 2, -documentSize / 2, documentSize, documentSize));
#ifdef KALMI_BENCH_PIXMAN
    PixmanDocument cpu(20);
#endif
    std::printf("Dense %d x %d layers into %d x %d; ms per frame, median over %d alternated frames [range]; "
                "load %.1f\n",
                documentSize, documentSize, targetWidth, targetHeight, frames, loadAverage());
    // Per placement (fitted first), the medians of 1 and 20 layers, ours and
    // pixman's: their difference is what one more layer costs, without the
    // clear and paper every frame pays once.
    double denseMs[2][2][2] = {};
    int painted = 0;
    for (int layers : {1, 5, 20}) {
        canvas.makeCurrent();
        while (canvas.count() < layers)
            canvas.appendLayer();
        for (; painted < layers; ++painted)
            paintLayer(&canvas, canvas.at(painted), painted);
        canvas.makeCurrent();
        canvas.context()->functions()->glFinish();
        for (bool fitted : {true, false}) {
            MTransform transform;
            const double scale = placement(fitted, transform);
            std::vector<double> ours, pixman;
#ifdef KALMI_BENCH_PIXMAN
            alternate(
                frames, [&] { ourFrame(transform, cache); }, [&] { cpu.frame(layers, scale); }, ours, pixman);
#else
            std::vector<double> none;
            alternate(
                frames, [&] { ourFrame(transform, cache); }, [] {}, ours, none);
#endif
            const double shown = std::min<double>(targetWidth, documentSize * scale)
                * std::min<double>(targetHeight, documentSize * scale);
            // The bytes those layer pixels hold, copied once.
            const size_t bytes = size_t(shown) * 4 * size_t(layers);
            std::vector<unsigned char> from(bytes, 1), to(bytes, 0);
            std::memcpy(to.data(), from.data(), bytes); // warm-up: pages in place
            QElapsedTimer timer;
            timer.start();
            std::memcpy(to.data(), from.data(), bytes);
            const double copyMs = double(timer.nsecsElapsed()) / 1e6;
            const double oursMs = median(ours);
            const double pixmanMs = pixman.empty() ? 0.0 : median(pixman);
            std::printf("dense %-4s %2d layers: ours %s, %7.1f MP/s | pixman %s, ours / pixman %.2fx | "
                        "memcpy of %.1f MB: %6.2f ms\n",
                        fitted ? "fit" : "1:1", layers, qPrintable(figure(ours)),
                        shown * layers / 1e6 / (oursMs / 1000.0), qPrintable(figure(pixman)),
                        pixmanMs > 0 ? oursMs / pixmanMs : 0.0, bytes / 1e6, copyMs);
            std::fflush(stdout);
            if (layers == 1 || layers == 20) {
                denseMs[fitted ? 0 : 1][layers == 1 ? 0 : 1][0] = oursMs;
                denseMs[fitted ? 0 : 1][layers == 1 ? 0 : 1][1] = pixmanMs;
            }
        }
    }
    for (int place = 0; place < 2; ++place) {
        const double ours = (denseMs[place][1][0] - denseMs[place][0][0]) / 19.0;
        const double pixman = (denseMs[place][1][1] - denseMs[place][0][1]) / 19.0;
        std::printf("dense %-4s per added layer (20 layers less 1, / 19): ours %7.2f ms | pixman %7.2f ms, "
                    "ours / pixman %.2fx\n",
                    place == 0 ? "fit" : "1:1", ours, pixman, pixman > 0 ? ours / pixman : 0.0);
    }
    std::fflush(stdout);

    // A stroke's repaint: the stroke on the middle layer, over a band of
    // tiles across the document, the whole fitted view drawn. Three dense
    // layers are the first three of the twenty, the stroke's layer the middle
    // one of either.
    {
        MTextureLayer *stroke = canvas.strokeLayer();
        const std::vector<unsigned char> ink = layerTexels(7);
        QSet<MTile *> tiles;
        stroke->tilesInRect(QRectF(-documentSize / 2, -300, documentSize, 600), tiles);
        canvas.makeCurrent();
        for (MTile *tile : qAsConst(tiles)) {
            auto *texture = static_cast<MTextureTile *>(tile);
            texture->ensureTexture();
            texture->setData(ink.data());
        }
        canvas.setStrokeInProgress(true);
        MTransform transform;
        placement(true, transform);
        auto withLayers = [&](int layers) {
            canvas.makeCurrent();
            for (int row = 0; row < canvas.count(); ++row)
                canvas.at(row)->setVisible(row < layers);
            canvas.setCurrentRow(layers / 2);
        };
        // Each count with its images made once, as the first frame of a
        // stroke after a change makes them; the frames after only draw.
        MLayerCache three;
        MLayerCache twenty;
        std::vector<double> threeMs, twentyMs;
        alternate(
            frames, [&] { ourFrame(transform, three); }, [&] { ourFrame(transform, twenty); }, threeMs, twentyMs,
            [&] { withLayers(3); }, [&] { withLayers(20); });
        std::printf("stroke repaint, fit, stroke on the middle layer: 3 dense layers %s | 20 dense layers %s, "
                    "20 / 3 %.2fx (images made, under / over: %d / %d and %d / %d)\n",
                    qPrintable(figure(threeMs)), qPrintable(figure(twentyMs)), median(twentyMs) / median(threeMs),
                    three.belowBuilds(), three.aboveBuilds(), twenty.belowBuilds(), twenty.aboveBuilds());
        canvas.setStrokeInProgress(false);
        view.makeCurrent();
        three.release();
        twenty.release();
    }
    std::printf("load %.1f after\n", loadAverage());
    view.makeCurrent();
    cache.release();
    vertexArray.destroy();
    canvas.shutDown();
    return 0;
}
