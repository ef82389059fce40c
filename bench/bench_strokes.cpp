// Brush strokes on a 4000 x 4000 document: stamps per second and milliseconds
// per move event of the stroke-to runner for several radii, spacings and
// antialiasing, beside the stamping pass alone drawing the same stamps (the
// GPU floor of the runner, also per CPU second, which a loaded machine
// disturbs less); then the time to end a stroke touching 1, 4 and
// 16 tiles and the time to make its undo records from the queued read-backs,
// beside merging the same tiles without undo records; the same for the
// paste of a bucket fill's tiles, beside uploading them without undo.
//
// Run under a display (xvfb-run -a) with LIBGL_ALWAYS_SOFTWARE=1.

#include "mbrush.h"
#include "mbufferlayer.h"
#include "mcanvas.h"
#include "mevent.h"
#include "mlogger.h"
#include "mopengl.h"
#include "mpaintengine.h"
#include "msettings.h"
#include "mshareddata.h"
#include "mstroketorunner.h"
#include "mtestpixels.h"
#include "mtestcanvas.h"
#include "mtexturelayer.h"
#include "mtexturetile.h"
#include "mundostream.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QUndoStack>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <vector>

#ifdef KALMI_BENCH_LIBMYPAINT
extern "C" {
#include <libmypaint/mypaint-brush.h>
#include <libmypaint/mypaint-fixed-tiled-surface.h>
}
#endif

namespace {

constexpr int documentSize = 4000;
constexpr double moveStep = 4.0;          // pixels between two move events
constexpr qint64 budgetNs = 1000000000;   // per configuration
constexpr qint64 passStamps = 3000;        // drawn by the stamping pass alone
// The painted-tiles figures first paint the same rows for longer than they
// are timed, so that the timed stroke runs over paint all along.
constexpr qint64 prePaintNs = 2 * budgetNs;

// CPU time of all the process' threads, the software rasterizer's included:
// the work a pass costs, whatever else the machine runs.
double processCpuSeconds()
{
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + t.tv_nsec / 1e9;
}

void finishGpu(MCanvas *canvas)
{
    canvas->makeCurrent();
    canvas->context()->functions()->glFinish();
}

MEvent eventAt(int type, const QPointF &p)
{
    MEvent event;
    event.type = type;
    event.inputs[MEnum::biPositionX] = p.x();
    event.inputs[MEnum::biPositionY] = p.y();
    return event;
}

struct Config
{
    double radius;
    bool minimumSpacing;
    bool antialiasing;
};

void configure(MBrush *brush, const Config &config)
{
    brush->resetValues();
    brush->setRadius(config.radius);
    if (config.minimumSpacing) {
        brush->setSpacingType(MEnum::ConstantSpacing);
        brush->setSpacing(0.01);
    }
    brush->setBaseValue(MEnum::bsAntialiasing, config.antialiasing ? MEnum::Antialiasing : MEnum::NoAntialiasing);
}

// A press, through the document's stroke entry, that starts or restarts
// the stroke in slot 0; the stamps already counted are added to total.
void press(MCanvas *canvas, MBrush *brush, const QPointF &p, qint64 &total)
{
    total += canvas->sharedData()->stampCounter();
    MEvent event = eventAt(MEvent::Press, p);
    canvas->startStroke(&event, brush, Qt::darkBlue, Qt::white, 0);
}

void newDocument(MCanvas *canvas)
{
    canvas->reset();
    canvas->setPaintedRect(QRectF(-documentSize / 2, -documentSize / 2, documentSize, documentSize));
}

struct Figures
{
    double stampsPerSecond = 0.0;
    double msPerMove = 0.0;
    double megapixelsPerSecond = 0.0; // of dab area
};

// The CPU peer: the same rows, move step, radius and spacing drawn by
// libmypaint into a fixed tiled surface of the same size.
Figures measureLibmypaint(const Config &config, double spacing, bool overPainted)
{
    Figures figures;
#ifdef KALMI_BENCH_LIBMYPAINT
    MyPaintFixedTiledSurface *fixed = mypaint_fixed_tiled_surface_new(documentSize, documentSize);
    MyPaintSurface *surface = mypaint_fixed_tiled_surface_interface(fixed);
    MyPaintBrush *brush = mypaint_brush_new();
    mypaint_brush_from_defaults(brush);
    mypaint_brush_set_base_value(brush, MYPAINT_BRUSH_SETTING_RADIUS_LOGARITHMIC, float(std::log(config.radius)));
    mypaint_brush_set_base_value(brush, MYPAINT_BRUSH_SETTING_DABS_PER_BASIC_RADIUS, 0.0f);
    mypaint_brush_set_base_value(brush, MYPAINT_BRUSH_SETTING_DABS_PER_SECOND, 0.0f);
    mypaint_brush_set_base_value(brush, MYPAINT_BRUSH_SETTING_DABS_PER_ACTUAL_RADIUS,
                                 float(config.radius / spacing));
    mypaint_brush_set_base_value(brush, MYPAINT_BRUSH_SETTING_ANTI_ALIASING, config.antialiasing ? 1.0f : 0.0f);
    mypaint_brush_set_base_value(brush, MYPAINT_BRUSH_SETTING_OPAQUE, 1.0f);
    mypaint_brush_set_base_value(brush, MYPAINT_BRUSH_SETTING_HARDNESS, 0.8f);
    mypaint_brush_set_base_value(brush, MYPAINT_BRUSH_SETTING_COLOR_V, 0.5f);
    const double half = documentSize / 2.0;
    QPointF p;
    qint64 moves = 0;
    double travelled = 0.0;
    QElapsedTimer timer;
    auto strokeTo = [&](const QPointF &q) {
        mypaint_surface_begin_atomic(surface);
        mypaint_brush_stroke_to(brush, surface, float(q.x() + half), float(q.y() + half), 1.0f, 0.0f, 0.0f, 0.01);
        MyPaintRectangle roi;
        mypaint_surface_end_atomic(surface, &roi);
    };
    auto rows = [&](qint64 budget) {
        p = QPointF(-1900, -1900);
        moves = 0;
        travelled = 0.0;
        mypaint_brush_reset(brush);
        mypaint_brush_new_stroke(brush);
        timer.start();
        strokeTo(p);
        while (timer.nsecsElapsed() < budget) {
            p.rx() += moveStep;
            if (p.x() > 1900) {
                p = QPointF(-1900, p.y() + 3 * config.radius);
                mypaint_brush_reset(brush);
                mypaint_brush_new_stroke(brush);
                strokeTo(p);
            } else {
                travelled += moveStep;
            }
            strokeTo(p);
            ++moves;
        }
    };
    if (overPainted)
        rows(prePaintNs);
    rows(budgetNs);
    const double seconds = timer.nsecsElapsed() / 1e9;
    const double dabs = travelled / spacing;
    figures.stampsPerSecond = dabs / seconds;
    figures.msPerMove = seconds * 1000.0 / double(moves);
    figures.megapixelsPerSecond = dabs * M_PI * config.radius * config.radius / 1e6 / seconds;
    mypaint_brush_unref(brush);
    mypaint_surface_unref(surface);
#else
    Q_UNUSED(config)
    Q_UNUSED(spacing)
#endif
    return figures;
}

// Moves along rows across the document until the time budget is spent.
// The rows as one stroke per row, until the budget is spent; the stroke is
// left open at p.
void strokeRows(MCanvas *canvas, MBrush *brush, const Config &config, qint64 budget, QPointF &p, qint64 &stamps,
                qint64 &moves, QElapsedTimer &timer)
{
    p = QPointF(-1900, -1900);
    stamps = 0;
    moves = 0;
    timer.start();
    MEvent first = eventAt(MEvent::Press, p);
    canvas->startStroke(&first, brush, Qt::darkBlue, Qt::white, 0);
    while (timer.nsecsElapsed() < budget) {
        p.rx() += moveStep;
        if (p.x() > 1900) {
            p = QPointF(-1900, p.y() + 3 * config.radius);
            press(canvas, brush, p, stamps);
        }
        MEvent move = eventAt(MEvent::Move, p);
        canvas->stroke(&move, 0);
        ++moves;
    }
    finishGpu(canvas);
}

void measureStrokeTo(MCanvas *canvas, MBrush *brush, const Config &config, bool print = true,
                     bool overPainted = false)
{
    newDocument(canvas);
    configure(brush, config);
    MSharedData *shared = canvas->sharedData();
    QPointF p;
    qint64 stamps = 0;
    qint64 moves = 0;
    QElapsedTimer timer;
    if (overPainted) {
        strokeRows(canvas, brush, config, prePaintNs, p, stamps, moves, timer);
        MEvent release = eventAt(MEvent::Release, p);
        canvas->endStroke(&release, 0);
        finishGpu(canvas);
    }
    strokeRows(canvas, brush, config, budgetNs, p, stamps, moves, timer);
    const double seconds = timer.nsecsElapsed() / 1e9;
    stamps += shared->stampCounter();
    const double spacing = qMax(shared->slotValues(0)[MEnum::bsSpacing], MStrokeToRunner::minimumAdvance);

    // The same number of stamps along rows, placed beforehand and drawn by
    // the stamping pass alone.
    MStrokeToRunner runner(shared, 0, eventAt(MEvent::Move, p));
    MStrokeToRunner::Vertices vertices;
    MStrokeToRunner::Tiles tiles;
    QPointF q(-1900, -1900);
    const qint64 passCount = qMin(stamps, passStamps);
    for (qint64 i = 0; i < passCount; ++i) {
        q.rx() += spacing;
        if (q.x() > 1900)
            q = QPointF(-1900, q.y() + 3 * config.radius);
        const QRectF rect = runner.computeStamp(vertices, q, Qt::darkBlue);
        runner.collectTiles(rect, canvas->strokeLayer(), tiles);
    }
    finishGpu(canvas);
    const double cpuBefore = processCpuSeconds();
    timer.restart();
    runner.renderStamps(tiles, vertices, QPointF(0, 0));
    finishGpu(canvas);
    const double passSeconds = timer.nsecsElapsed() / 1e9;
    const double passCpuSeconds = processCpuSeconds() - cpuBefore;

    if (print) {
        const double megapixels = stamps * M_PI * config.radius * config.radius / 1e6 / seconds;
        std::printf("%-13s radius %4.0f  spacing %-7s  aa %-3s : %9.0f stamps/s  %8.3f ms/move  %8.1f MP/s of dabs"
                    "  (%lld stamps, %lld moves)   | stamping pass alone: %9.0f stamps/s, %9.0f per CPU second\n",
                    overPainted ? "painted tiles" : "fresh tiles", config.radius, config.minimumSpacing ? "minimum" : "default", config.antialiasing ? "on" : "off",
                    stamps / seconds, seconds * 1000.0 / double(moves), megapixels, stamps, moves,
                    passCount / passSeconds, passCount / std::max(passCpuSeconds, 1e-9));
#ifdef KALMI_BENCH_LIBMYPAINT
        const Figures peer = measureLibmypaint(config, spacing, overPainted);
        std::printf("%52s   libmypaint: %9.0f dabs/s    %8.3f ms/move  %8.1f MP/s of dabs"
                    "   | ours / libmypaint: %.3fx\n",
                    "", peer.stampsPerSecond, peer.msPerMove, peer.megapixelsPerSecond,
                    megapixels / std::max(peer.megapixelsPerSecond, 1e-9));
#endif
    }
    std::fflush(stdout);
    MEvent release = eventAt(MEvent::Release, p);
    canvas->endStroke(&release, 0);
}

// The centre of cell i of a square block of n (1, 4 or 16) cells.
QPointF blockCell(int i, int n)
{
    const int side = n == 1 ? 1 : (n == 4 ? 2 : 4);
    return QPointF(-1750 + 500 * (i % side), -1750 + 500 * (i / side));
}

// A short stroke inside each of n cells (a square block of them), one
// stroke; gives the point where it stopped.
QPointF paintCells(MCanvas *canvas, MBrush *brush, int n)
{
    qint64 stamps = 0;
    QPointF last;
    for (int i = 0; i < n; ++i) {
        const QPointF centre = blockCell(i, n);
        press(canvas, brush, centre - QPointF(100, 0), stamps);
        last = centre + QPointF(100, 0);
        MEvent move = eventAt(MEvent::Move, last);
        canvas->stroke(&move, 0);
    }
    finishGpu(canvas);
    return last;
}

void measureEndStroke(MCanvas *canvas, MBrush *brush, int n)
{
    constexpr int rounds = 5;
    newDocument(canvas);
    brush->resetValues();
    brush->setRadius(30);
    double endMs = 0.0;
    double mergeMs = 0.0;
    double recordsMs = 0.0;
    int touched = 0;
    QElapsedTimer timer;
    for (int round = 0; round < rounds; ++round) {
        const QPointF last = paintCells(canvas, brush, n);
        touched = canvas->strokeLayer()->touchedTiles().size();
        MEvent release = eventAt(MEvent::Release, last);
        timer.start();
        canvas->endStroke(&release, 0);
        finishGpu(canvas);
        endMs += timer.nsecsElapsed() / 1e6;
        // The undo records whose read-backs the stroke end only queued.
        timer.start();
        canvas->undoStream()->completeReads();
        recordsMs += timer.nsecsElapsed() / 1e6;

        // The same tiles blended into the layer with nothing kept for undo.
        paintCells(canvas, brush, n);
        MTextureLayer *layer = canvas->current();
        timer.start();
        const QSet<MTile *> tiles = canvas->strokeLayer()->touchedTiles();
        for (MTile *t : tiles) {
            auto *tile = static_cast<MTextureTile *>(t);
            auto *target = static_cast<MTextureTile *>(layer->addTile(QRectF(tile->rectWithBorder()).center()));
            target->ensureTexture();
            // The blit of the stroke end, cut to the same touched blocks.
            QRect area;
            for (MTile *block : tile->touchedBlocks())
                area |= block->rectWithBorder();
            canvas->blitTile(target, tile, QStringLiteral("blit"), 1.0, area & QRect(0, 0, target->tileSize(), target->tileSize()));
            canvas->clearTile(tile);
        }
        finishGpu(canvas);
        mergeMs += timer.nsecsElapsed() / 1e6;
        canvas->strokeLayer()->touchedTiles().clear();
        canvas->setStrokeInProgress(false);
        canvas->undoStack()->clear();
    }
    std::printf("end of stroke, %2d touched tiles: %8.2f ms, then its undo records %6.2f ms (together %8.2f ms)"
                "   | merging the same tiles without undo: %8.2f ms\n",
                touched, endMs / rounds, recordsMs / rounds, (endMs + recordsMs) / rounds, mergeMs / rounds);
    std::fflush(stdout);
}

// A bucket fill's last step on n cells (a square block): the buffer tiles,
// read from the layer and changed on the CPU, pasted as undoable tile
// commands; beside the same uploads with nothing kept for undo.
void measureFillPaste(MCanvas *canvas, int n)
{
    constexpr int rounds = 5;
    newDocument(canvas);
    double pasteMs = 0.0;
    double recordsMs = 0.0;
    double togetherMs = 0.0;
    double uploadMs = 0.0;
    QElapsedTimer timer;
    QElapsedTimer whole;
    for (int round = 0; round < 2 * rounds; ++round) {
        const bool withUndo = round % 2 == 0;
        canvas->makeCurrent();
        MTextureLayer *layer = canvas->current();
        MBufferLayer buffer;
        buffer.configure(layer);
        for (int i = 0; i < n; ++i) {
            const QPointF centre = blockCell(i, n);
            auto *tile = static_cast<MTextureTile *>(layer->addTile(centre));
            tile->ensureTexture();
            tile->setData(MTestPixels::randomBytes(quint32(round * 16 + i), tile->byteSize()).constData());
            MBufferTile *pixels = buffer.tile(centre, canvas, layer);
            std::fill(pixels->data(), pixels->data() + pixels->byteSize(), uchar(round * 8 + 1));
        }
        finishGpu(canvas);
        // The paste is timed as the painter waits for it (the GPU not
        // drained); the whole as far as the records and the GPU are done.
        whole.start();
        timer.start();
        if (withUndo) {
            canvas->pasteBuffer(&buffer, canvas->currentRow(), QStringLiteral("Fill"));
            pasteMs += timer.nsecsElapsed() / 1e6;
            timer.start();
            canvas->undoStream()->completeReads();
            recordsMs += timer.nsecsElapsed() / 1e6;
        } else {
            buffer.writeBack(canvas, layer, false);
        }
        finishGpu(canvas);
        (withUndo ? togetherMs : uploadMs) += whole.nsecsElapsed() / 1e6;
        canvas->undoStack()->clear();
    }
    std::printf("bucket fill paste, %2d tiles: %8.2f ms, then its undo records %6.2f ms (all done %8.2f ms)"
                "   | uploading the same tiles without undo: %8.2f ms\n",
                n, pasteMs / rounds, recordsMs / rounds, togetherMs / rounds, uploadMs / rounds);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QGuiApplication app(argc, argv);
    if (qEnvironmentVariableIsSet("BENCH_NO_MIPMAPS"))
        MSettings::instance()->set_generateMipmaps(false);
    std::unique_ptr<MCanvas> canvas = MTestCanvas::createDocument(QSize(documentSize, documentSize));
    if (!canvas) {
        std::fprintf(stderr, "no OpenGL 3.3 core context with a document\n");
        return 1;
    }
    MBrush brush;
    // Programs and first textures are made before anything is timed.
    measureStrokeTo(canvas.get(), &brush, {30, false, true}, false);
    std::printf("Stroke-to runner on a %d x %d document, one move event every %.0f pixels:\n", documentSize,
                documentSize, moveStep);
    // "--end": only the stroke-end figures; "--radius N": only the stroke
    // rows of that radius.
    const bool endOnly = argc > 1 && qstrcmp(argv[1], "--end") == 0;
    const double onlyRadius = argc > 2 && qstrcmp(argv[1], "--radius") == 0 ? std::atof(argv[2]) : 0.0;
    const std::vector<bool> spacings = endOnly ? std::vector<bool>{} : std::vector<bool>{false, true};
    for (double radius : {5.0, 30.0, 100.0}) {
        if (onlyRadius > 0.0 && radius != onlyRadius)
            continue;
        for (bool minimumSpacing : spacings)
            for (bool antialiasing : {true, false})
                for (bool overPainted : {false, true})
                    measureStrokeTo(canvas.get(), &brush, {radius, minimumSpacing, antialiasing}, true, overPainted);
    }
    if (onlyRadius > 0.0) {
        canvas.reset();
        return 0;
    }
    for (int n : {1, 4, 16})
        measureEndStroke(canvas.get(), &brush, n);
    for (int n : {1, 4, 16})
        measureFillPaste(canvas.get(), n);
    canvas.reset();
    return 0;
}
