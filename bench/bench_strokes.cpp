// Brush strokes on a 4000 x 4000 document, for several radii, spacings and
// antialiasing, in alternated rounds of four contenders along the same rows
// of moves: the stroke-to runner (stamps per second, milliseconds per move,
// dab area per second, beside its stamping pass alone drawing the same
// stamps), libmypaint drawing the same path into a tiled surface of the same
// size, and two floors: the same stamps drawn by a trivial antialiased-disc
// program into the same tiles, batched as the stamp queue batches them (one
// draw per touched tile and flush; "ours/floor" shows what is left to the
// stamping program itself), and one draw per touched tile and move. Rates
// are dab area per wall second and per CPU second of the whole process (the
// software rasterizer's threads included), medians over the rounds with
// their ranges; the ratios are taken round by round. Beside our row, the CPU
// time the calling thread spent per move (placing, queueing, draw calls). Then the
// time to end a stroke touching 1, 4 and 16 tiles and the time to make its
// undo records from the queued read-backs, beside merging the same tiles
// without undo records; the same for the paste of a bucket fill's tiles,
// beside uploading them without undo.
//
// Run under a display (xvfb-run -a) with LIBGL_ALWAYS_SOFTWARE=1; arguments:
// "--end" for the stroke-end figures only, "--radius N" for the stroke rows
// of one radius, "--rounds N" (default 3), "--painted" to add the rows over
// already painted tiles, "--ours" to draw only our antialiased rows at the
// default spacing (for a profiler, which then sees nothing else).

#include "benchfigures.h"
#include "mbrush.h"
#include "mbufferlayer.h"
#include "mcanvas.h"
#include "mevent.h"
#include "mlogger.h"
#include "mopengl.h"
#include "mpaintengine.h"
#include "msettings.h"
#include "mstrokes.h"
#include "mstrokesession.h"
#include "mtestpixels.h"
#include "mtestcanvas.h"
#include "mtesttool.h"
#include "mtexturelayer.h"
#include "mtexturetile.h"
#include "mundostream.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLineF>
#include <QMatrix4x4>
#include <QOpenGLBuffer>
#include <QOpenGLShaderProgram>
#include <QOpenGLVertexArrayObject>
#include <QVector4D>
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
constexpr qint64 budgetNs = 500000000;    // per contender, configuration and round
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

// CPU time of the calling thread alone: the placing, queueing and draw calls
// of our rows, without the rasterizer's threads.
double callingThreadCpuSeconds()
{
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + t.tv_nsec / 1e9;
}

void finishGpu(MCanvas *canvas)
{
    canvas->makeCurrent();
    canvas->context()->functions()->glFinish();
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
    total += canvas->strokes()->state()->stampCounter;
    MEvent event = MTestTool::leftSample(MEvent::Press, p);
    canvas->startStroke(&event, MStrokePaint{brush, Qt::darkBlue, Qt::white}, 0);
}

void newDocument(MCanvas *canvas)
{
    canvas->reset();
    canvas->setPaintedRect(QRectF(-documentSize / 2, -documentSize / 2, documentSize, documentSize));
}

// Dab area drawn in a timed run, with the wall and CPU time it took.
struct Rate
{
    double megapixels = 0.0;
    double seconds = 0.0;
    double cpuSeconds = 0.0;
    double threadCpuSeconds = 0.0;
    qint64 stamps = 0;
    qint64 moves = 0;

    double wall() const { return megapixels / std::max(seconds, 1e-9); }
    double perCpu() const { return megapixels / std::max(cpuSeconds, 1e-9); }
};

// Times a run from the first move to the GPU's last pixel.
class Stopwatch
{
public:
    void start()
    {
        m_cpu = processCpuSeconds();
        m_threadCpu = callingThreadCpuSeconds();
        m_timer.start();
    }
    qint64 elapsedNs() const { return m_timer.nsecsElapsed(); }
    void stop(Rate &rate) const
    {
        rate.seconds = m_timer.nsecsElapsed() / 1e9;
        rate.cpuSeconds = processCpuSeconds() - m_cpu;
        rate.threadCpuSeconds = callingThreadCpuSeconds() - m_threadCpu;
    }

private:
    QElapsedTimer m_timer;
    double m_cpu = 0.0;
    double m_threadCpu = 0.0;
};

double dabMegapixels(qint64 stamps, double radius)
{
    return double(stamps) * M_PI * radius * radius / 1e6;
}

// The rows every contender draws: one stroke per row, a move every
// moveStep pixels, rows 3 radii apart, until the budget is spent.
template <typename Press, typename Move>
void rows(double radius, qint64 budget, Stopwatch &watch, Press pressAt, Move moveTo)
{
    QPointF p(-1900, -1900);
    watch.start();
    pressAt(p);
    while (watch.elapsedNs() < budget) {
        p.rx() += moveStep;
        if (p.x() > 1900) {
            p = QPointF(-1900, p.y() + 3 * radius);
            pressAt(p);
        } else {
            moveTo(p);
        }
    }
}

// The CPU peer: the same rows, move step, radius and spacing drawn by
// libmypaint into a fixed tiled surface of the same size.
Rate measureLibmypaint(const Config &config, double spacing, bool overPainted)
{
    Rate rate;
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
    auto strokeTo = [&](const QPointF &q) {
        mypaint_surface_begin_atomic(surface);
        mypaint_brush_stroke_to(brush, surface, float(q.x() + half), float(q.y() + half), 1.0f, 0.0f, 0.0f, 0.01);
        MyPaintRectangle roi;
        mypaint_surface_end_atomic(surface, &roi);
    };
    double travelled = 0.0;
    auto pressAt = [&](const QPointF &q) {
        mypaint_brush_reset(brush);
        mypaint_brush_new_stroke(brush);
        strokeTo(q);
        strokeTo(q);
    };
    auto moveTo = [&](const QPointF &q) {
        travelled += moveStep;
        strokeTo(q);
        ++rate.moves;
    };
    Stopwatch watch;
    if (overPainted)
        rows(config.radius, prePaintNs, watch, pressAt, moveTo);
    travelled = 0.0;
    rate.moves = 0;
    rows(config.radius, budgetNs, watch, pressAt, moveTo);
    watch.stop(rate);
    rate.stamps = qint64(travelled / spacing);
    rate.megapixels = dabMegapixels(rate.stamps, config.radius);
    mypaint_brush_unref(brush);
    mypaint_surface_unref(surface);
#else
    Q_UNUSED(config)
    Q_UNUSED(spacing)
    Q_UNUSED(overPainted)
#endif
    return rate;
}

// The runner's rows, as one stroke per row through the document's stroke
// entry; the stroke is left open at p.
void strokeRows(MCanvas *canvas, MBrush *brush, const Config &config, qint64 budget, QPointF &p, Rate &rate)
{
    Stopwatch watch;
    rate.stamps = 0;
    rate.moves = 0;
    bool started = false;
    rows(config.radius, budget, watch,
         [&](const QPointF &q) {
             if (started) {
                 press(canvas, brush, q, rate.stamps);
             } else {
                 MEvent first = MTestTool::leftSample(MEvent::Press, q);
                 canvas->startStroke(&first, MStrokePaint{brush, Qt::darkBlue, Qt::white}, 0);
                 started = true;
             }
             p = q;
         },
         [&](const QPointF &q) {
             MEvent move = MTestTool::leftSample(MEvent::Move, q);
             canvas->stroke(&move, 0, MStrokePaint());
             ++rate.moves;
             p = q;
         });
    finishGpu(canvas);
    watch.stop(rate);
    rate.stamps += canvas->strokes()->state()->stampCounter;
    rate.megapixels = dabMegapixels(rate.stamps, config.radius);
}

struct Ours
{
    Rate rate;
    double spacing = 0.0;
    double passStampsPerSecond = 0.0;
    double passStampsPerCpuSecond = 0.0;
};

Ours measureStrokeTo(MCanvas *canvas, MBrush *brush, const Config &config, bool overPainted)
{
    newDocument(canvas);
    configure(brush, config);
    // As when the brush becomes current: its programs are built before the press.
    canvas->prepareBrush(brush);
    MStrokes *strokes = canvas->strokes();
    Ours ours;
    QPointF p;
    if (overPainted) {
        strokeRows(canvas, brush, config, prePaintNs, p, ours.rate);
        MEvent release = MTestTool::leftSample(MEvent::Release, p);
        canvas->endStroke(&release, 0);
        finishGpu(canvas);
    }
    strokeRows(canvas, brush, config, budgetNs, p, ours.rate);
    ours.spacing = qMax(strokes->session(0)->values()[MEnum::bsSpacing], MStrokeSession::minimumAdvance);

    // The same number of stamps along rows, placed beforehand and drawn by
    // the stamping pass alone.
    MStrokeSession *runner = strokes->session(0);
    MStrokeSession::Vertices vertices;
    MStrokeSession::Tiles tiles;
    QPointF q(-1900, -1900);
    const qint64 passCount = qMin(ours.rate.stamps, passStamps);
    for (qint64 i = 0; i < passCount; ++i) {
        q.rx() += ours.spacing;
        if (q.x() > 1900)
            q = QPointF(-1900, q.y() + 3 * config.radius);
        const QRectF rect = runner->computeStamp(vertices, q, Qt::darkBlue);
        runner->collectTiles(rect, canvas->strokeLayer(), tiles);
    }
    finishGpu(canvas);
    Rate pass;
    Stopwatch watch;
    watch.start();
    runner->renderStamps(tiles, vertices, QPointF(0, 0));
    finishGpu(canvas);
    watch.stop(pass);
    ours.passStampsPerSecond = passCount / std::max(pass.seconds, 1e-9);
    ours.passStampsPerCpuSecond = passCount / std::max(pass.cpuSeconds, 1e-9);
    MEvent release = MTestTool::leftSample(MEvent::Release, p);
    canvas->endStroke(&release, 0);
    finishGpu(canvas);
    return ours;
}

// What the driver does with the least program: antialiased (or hard) discs
// of the stamp's radius, premultiplied source-over.
const char *floorVertexShader = R"(#version 330 core
layout(location = 0) in vec2 position;
layout(location = 1) in vec2 unit;
uniform mat4 mvp;
out vec2 v_unit;
void main()
{
    v_unit = unit;
    gl_Position = mvp * vec4(position, 0.0, 1.0);
}
)";

const char *floorFragmentShader = R"(#version 330 core
in vec2 v_unit;
uniform float radius;
uniform int antialiasing;
uniform vec4 color;
out vec4 fragColor;
void main()
{
    float d = length(v_unit) * radius;
    float coverage = antialiasing != 0 ? clamp(radius - d + 0.5, 0.0, 1.0) : (d <= radius ? 1.0 : 0.0);
    fragColor = color * coverage;
}
)";

// The floors: the stamps the runner places along the same rows (one every
// `spacing` pixels), drawn into the stroke layer's tiles by the trivial disc
// program. "One draw per move" uploads each move's stamps and draws them into
// every tile the move touched; "batched" keeps them as the stamp queue does,
// until the next press or a stamp buffer's worth, then gives each touched
// tile, in the order first touched, one upload and one draw of the stamps
// that reach it.
Rate measureFloor(MCanvas *canvas, const Config &config, double spacing, bool batched)
{
    Rate rate;
    newDocument(canvas);
    canvas->makeCurrent();
    QOpenGLFunctions *f = canvas->context()->functions();
    QOpenGLShaderProgram program;
    if (!program.addShaderFromSourceCode(QOpenGLShader::Vertex, floorVertexShader)
        || !program.addShaderFromSourceCode(QOpenGLShader::Fragment, floorFragmentShader) || !program.link()) {
        std::fprintf(stderr, "the floor program failed: %s\n", qPrintable(program.log()));
        return rate;
    }
    QOpenGLVertexArrayObject vao;
    vao.create();
    QOpenGLBuffer buffer(QOpenGLBuffer::VertexBuffer);
    buffer.create();
    buffer.setUsagePattern(QOpenGLBuffer::StreamDraw);
    GLuint frameBuffer = 0;
    f->glGenFramebuffers(1, &frameBuffer);

    constexpr int floatsPerStamp = 6 * 4;
    const int capacityStamps = MStampSurface::stampBufferVertices / 6;
    MTextureLayer *layer = canvas->strokeLayer();
    const float r = float(config.radius);
    const float reach = (r + 1.0f) / r;
    std::vector<float> vertices;
    std::vector<QRectF> rects;
    std::vector<float> gathered;
    QVector<MTile *> order;
    QSet<MTile *> tiles;
    QSet<MTile *> stampTiles;
    double carried = 0.0; // distance from the last stamp to the row's position
    QPointF last;

    auto bindAll = [&] {
        vao.bind();
        buffer.bind();
        program.bind();
        program.enableAttributeArray(0);
        program.enableAttributeArray(1);
        program.setAttributeBuffer(0, GL_FLOAT, 0, 2, 4 * sizeof(float));
        program.setAttributeBuffer(1, GL_FLOAT, 2 * sizeof(float), 2, 4 * sizeof(float));
        program.setUniformValue("radius", r);
        program.setUniformValue("antialiasing", GLint(config.antialiasing ? 1 : 0));
        program.setUniformValue("color", QVector4D(0.0f, 0.0f, 0.545f, 1.0f));
        f->glBindFramebuffer(GL_FRAMEBUFFER, frameBuffer);
        f->glEnable(GL_BLEND);
        f->glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    };
    auto target = [&](MTextureTile *tile) {
        const QRect area = tile->rectWithBorder();
        f->glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, tile->textureId(), 0);
        f->glViewport(0, 0, area.width(), area.height());
        QMatrix4x4 mvp;
        mvp.ortho(0.0f, float(area.width()), 0.0f, float(area.height()), -1.0f, 1.0f);
        mvp.translate(float(-area.left()), float(-area.top()));
        program.setUniformValue("mvp", mvp);
    };
    auto draw = [&] {
        if (vertices.empty())
            return;
        if (!batched) {
            buffer.allocate(vertices.data(), int(vertices.size() * sizeof(float)));
            for (MTile *t : qAsConst(tiles)) {
                auto *tile = static_cast<MTextureTile *>(t);
                if (!tile->ensureTexture())
                    continue;
                target(tile);
                f->glDrawArrays(GL_TRIANGLES, 0, GLsizei(vertices.size() / 4));
            }
        } else {
            for (MTile *t : qAsConst(order)) {
                auto *tile = static_cast<MTextureTile *>(t);
                if (!tile->ensureTexture())
                    continue;
                const QRectF area(tile->rectWithBorder());
                gathered.clear();
                for (size_t i = 0; i < rects.size(); ++i)
                    if (rects[i].intersects(area))
                        gathered.insert(gathered.end(), vertices.begin() + i * floatsPerStamp,
                                        vertices.begin() + (i + 1) * floatsPerStamp);
                if (gathered.empty())
                    continue;
                target(tile);
                buffer.allocate(gathered.data(), int(gathered.size() * sizeof(float)));
                f->glDrawArrays(GL_TRIANGLES, 0, GLsizei(gathered.size() / 4));
            }
        }
        vertices.clear();
        rects.clear();
        order.clear();
        tiles.clear();
    };
    auto stamp = [&](const QPointF &c) {
        if (batched && int(rects.size()) >= capacityStamps)
            draw();
        const QRectF rect(c.x() - r - 1, c.y() - r - 1, 2 * r + 2, 2 * r + 2);
        stampTiles.clear();
        layer->tilesInRect(rect, stampTiles);
        for (MTile *tile : qAsConst(stampTiles))
            if (!tiles.contains(tile)) {
                tiles.insert(tile);
                order.append(tile);
            }
        const float corners[6][2] = {{-1, -1}, {1, -1}, {-1, 1}, {1, -1}, {1, 1}, {-1, 1}};
        for (const auto &k : corners) {
            vertices.push_back(float(c.x()) + k[0] * (r + 1));
            vertices.push_back(float(c.y()) + k[1] * (r + 1));
            vertices.push_back(k[0] * reach);
            vertices.push_back(k[1] * reach);
        }
        rects.push_back(rect);
        ++rate.stamps;
    };

    Stopwatch watch;
    bindAll();
    rows(config.radius, budgetNs, watch,
         [&](const QPointF &q) {
             draw();
             last = q;
             carried = 0.0;
             stamp(q);
             if (!batched)
                 draw();
         },
         [&](const QPointF &q) {
             const double distance = QLineF(last, q).length();
             double t = spacing - carried;
             while (t < distance) {
                 stamp(last + (q - last) * (t / distance));
                 t += spacing;
             }
             carried = distance - (t - spacing);
             last = q;
             if (!batched)
                 draw();
             ++rate.moves;
         });
    draw();
    f->glFinish();
    watch.stop(rate);
    rate.megapixels = dabMegapixels(rate.stamps, config.radius);
    f->glBindFramebuffer(GL_FRAMEBUFFER, canvas->context()->defaultFramebufferObject());
    f->glDeleteFramebuffers(1, &frameBuffer);
    program.release();
    vao.release();
    buffer.release();
    layer->clearTiles();
    return rate;
}

struct Spread
{
    double median = 0.0;
    double low = 0.0;
    double high = 0.0;
};

Spread spread(std::vector<double> values)
{
    Spread s;
    if (values.empty())
        return s;
    std::sort(values.begin(), values.end());
    s.median = values[values.size() / 2];
    if (values.size() % 2 == 0)
        s.median = (values[values.size() / 2 - 1] + values[values.size() / 2]) / 2.0;
    s.low = values.front();
    s.high = values.back();
    return s;
}

template <typename T, typename F>
Spread spreadOf(const std::vector<T> &rounds, F value)
{
    std::vector<double> values;
    for (const T &round : rounds)
        values.push_back(value(round));
    return spread(values);
}

void printSpread(const char *format, const Spread &s)
{
    std::printf(format, s.median);
    std::printf(" [%.3g..%.3g]", s.low, s.high);
}

// One configuration: the four contenders alternated over the rounds.
void measureConfig(MCanvas *canvas, MBrush *brush, const Config &config, bool overPainted, int roundCount)
{
    struct Round
    {
        Ours ours;
        Rate peer;
        Rate floor;
        Rate batchedFloor;
    };
    std::vector<Round> rounds;
    for (int i = 0; i < roundCount; ++i) {
        Round round;
        round.ours = measureStrokeTo(canvas, brush, config, overPainted);
        round.peer = measureLibmypaint(config, round.ours.spacing, overPainted);
        round.floor = measureFloor(canvas, config, round.ours.spacing, false);
        round.batchedFloor = measureFloor(canvas, config, round.ours.spacing, true);
        rounds.push_back(round);
    }
    std::printf("%-13s radius %4.0f  spacing %-7s (%.2f px)  aa %-3s\n", overPainted ? "painted tiles" : "fresh tiles",
                config.radius, config.minimumSpacing ? "minimum" : "default", rounds.front().ours.spacing,
                config.antialiasing ? "on" : "off");
    auto row = [&](const char *name, auto rateOf) {
        std::printf("    %-17s", name);
        printSpread(" %8.1f MP/s of dabs", spreadOf(rounds, [&](const Round &r) { return rateOf(r).wall(); }));
        printSpread("  %8.1f per CPU s", spreadOf(rounds, [&](const Round &r) { return rateOf(r).perCpu(); }));
        printSpread("  %9.0f stamps/s", spreadOf(rounds, [&](const Round &r) {
                        return rateOf(r).stamps / std::max(rateOf(r).seconds, 1e-9);
                    }));
        printSpread("  %7.3f ms/move", spreadOf(rounds, [&](const Round &r) {
                        return rateOf(r).seconds * 1000.0 / std::max<double>(double(rateOf(r).moves), 1.0);
                    }));
    };
    row("ours", [](const Round &r) { return r.ours.rate; });
    printSpread("  | main thread %6.4f CPU ms/move", spreadOf(rounds, [](const Round &r) {
                    return r.ours.rate.threadCpuSeconds * 1000.0 / std::max<double>(double(r.ours.rate.moves), 1.0);
                }));
    printSpread("  | stamping pass alone %9.0f stamps/s",
                spreadOf(rounds, [](const Round &r) { return r.ours.passStampsPerSecond; }));
    printSpread(", %9.0f per CPU s", spreadOf(rounds, [](const Round &r) { return r.ours.passStampsPerCpuSecond; }));
    std::printf("\n");
#ifdef KALMI_BENCH_LIBMYPAINT
    row("libmypaint", [](const Round &r) { return r.peer; });
    std::printf("\n");
#endif
    row("floor, batched", [](const Round &r) { return r.batchedFloor; });
    std::printf("\n");
    row("one draw per move", [](const Round &r) { return r.floor; });
    std::printf("\n    ratios           ");
#ifdef KALMI_BENCH_LIBMYPAINT
    printSpread(" ours/libmypaint %.3fx wall",
                spreadOf(rounds, [](const Round &r) { return r.ours.rate.wall() / std::max(r.peer.wall(), 1e-9); }));
    printSpread(", %.3fx per CPU s",
                spreadOf(rounds, [](const Round &r) { return r.ours.rate.perCpu() / std::max(r.peer.perCpu(), 1e-9); }));
    printSpread(" | floor/libmypaint %.3fx wall", spreadOf(rounds, [](const Round &r) {
                    return r.batchedFloor.wall() / std::max(r.peer.wall(), 1e-9);
                }));
    printSpread(", %.3fx per CPU s", spreadOf(rounds, [](const Round &r) {
                    return r.batchedFloor.perCpu() / std::max(r.peer.perCpu(), 1e-9);
                }));
    std::printf(" |");
#endif
    printSpread(" ours/floor %.3fx wall", spreadOf(rounds, [](const Round &r) {
                    return r.ours.rate.wall() / std::max(r.batchedFloor.wall(), 1e-9);
                }));
    printSpread(", %.3fx per CPU s", spreadOf(rounds, [](const Round &r) {
                    return r.ours.rate.perCpu() / std::max(r.batchedFloor.perCpu(), 1e-9);
                }));
    std::printf("\n");
    std::fflush(stdout);
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
        MEvent move = MTestTool::leftSample(MEvent::Move, last);
        canvas->stroke(&move, 0, MStrokePaint());
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
        MEvent release = MTestTool::leftSample(MEvent::Release, last);
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
            MBufferTile *pixels = buffer.tile(centre, canvas->gpuDevice(), layer);
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
            buffer.writeBack(canvas->gpuDevice(), layer, false);
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
    bool endOnly = false;
    bool painted = false;
    bool oursOnly = false;
    double onlyRadius = 0.0;
    int rounds = 3;
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--end") == 0)
            endOnly = true;
        else if (qstrcmp(argv[i], "--painted") == 0)
            painted = true;
        else if (qstrcmp(argv[i], "--ours") == 0)
            oursOnly = true;
        else if (qstrcmp(argv[i], "--radius") == 0 && i + 1 < argc)
            onlyRadius = std::atof(argv[++i]);
        else if (qstrcmp(argv[i], "--rounds") == 0 && i + 1 < argc)
            rounds = std::max(1, std::atoi(argv[++i]));
    }
    // Programs and first textures are made before anything is timed.
    measureStrokeTo(canvas.get(), &brush, {30, false, true}, false);
    if (oursOnly) {
        for (double radius : {5.0, 30.0, 100.0}) {
            if (onlyRadius > 0.0 && radius != onlyRadius)
                continue;
            for (int round = 0; round < rounds; ++round) {
                const Ours ours = measureStrokeTo(canvas.get(), &brush, {radius, false, true}, painted);
                const double moves = std::max<double>(double(ours.rate.moves), 1.0);
                std::printf("radius %4.0f: %8.1f MP/s of dabs, %8.1f per CPU s, %7.3f ms/move, main thread %6.4f "
                            "CPU ms/move\n",
                            radius, ours.rate.wall(), ours.rate.perCpu(), ours.rate.seconds * 1000.0 / moves,
                            ours.rate.threadCpuSeconds * 1000.0 / moves);
            }
        }
        canvas.reset();
        return 0;
    }
    measureFloor(canvas.get(), {30, false, true}, 3.0, true);
    std::printf("Strokes on a %d x %d document, one move event every %.0f pixels, %d alternated rounds of %.1f s "
                "per contender; median [range]; load average %s\n",
                documentSize, documentSize, moveStep, rounds, budgetNs / 1e9, qPrintable(BenchFigures::loadAverages()));
    const std::vector<bool> spacings = endOnly ? std::vector<bool>{} : std::vector<bool>{false, true};
    for (double radius : {5.0, 30.0, 100.0}) {
        if (onlyRadius > 0.0 && radius != onlyRadius)
            continue;
        for (bool minimumSpacing : spacings)
            for (bool antialiasing : {true, false})
                for (bool overPainted : {false, true})
                    if (painted || !overPainted)
                        measureConfig(canvas.get(), &brush, {radius, minimumSpacing, antialiasing}, overPainted,
                                      rounds);
    }
    if (!endOnly)
        std::printf("load average after: %s\n", qPrintable(BenchFigures::loadAverages()));
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
