// Latency of the live stroke in the real main window: a pointer moved by a
// thread of its own at the mouse's rate (one move every 8 ms, as the window
// system delivers them, moves that queue up while the view is busy folded
// into the newest as the window system folds them), then held still and
// lifted. Printed: press-to-frame (the frame that shows the first stamp),
// move-to-frame (median, p95 and max over the moves of a stroke),
// release-to-frame (the frame that shows the pen's last segment),
// release-to-merged-frame (the first frame painted once the release was
// handled: the stroke merged into its layer), and the first press of the
// session, when the brush's
// programs may still be unmade. Baseline, alternated with the strokes: the
// same inputs each answered by a frame of a bare OpenGL widget of the view's
// size that only clears (what the framework and the driver cost per frame).
// Figures are medians over the rounds, with their ranges, at two loads: the
// machine as it comes, then with a CPU hog of the bench's own busy on every
// core.
//
// Run under a display with LIBGL_ALWAYS_SOFTWARE=1, e.g.
//   xvfb-run -a -s "-screen 0 1920x1080x24" build/cc/bin/bench_strokelatency [--rounds N] [--radius R]

#include "benchfigures.h"
#include "mbrush.h"
#include "mbrushlist.h"
#include "mcanvas.h"
#include "mcolorlist.h"
#include "mmainwindow.h"
#include "msettings.h"
#include "mtestbrushlibrary.h"
#include "mtestglcontext.h"
#include "mtestmainwindow.h"
#include "mtool.h"
#include "mtools.h"
#include "mtransform.h"
#include "mwidget.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QOpenGLWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {
using BenchFigures::loadAverage;
using BenchFigures::median;
using BenchFigures::percentile;


constexpr int moveIntervalMs = 8;
constexpr int movesPerStroke = 150;
constexpr double moveStep = 6.0; // view pixels between two moves
constexpr int holdMs = 200;      // the pointer rests before the release
constexpr int settleMs = 400;    // after the release, before the next round

const QEvent::Type inputEventType = QEvent::Type(QEvent::registerEventType());

struct Input
{
    QEvent::Type type;
    QPointF position;
    qint64 postedNs = 0;
    qint64 shownNs = -1;
    // The first frame painted after the input's handling ended (for a
    // release, the frame that shows the stroke merged into its layer).
    qint64 settledNs = -1;
};

// One input of the schedule, posted by the pointer thread.
class InputEvent : public QEvent
{
public:
    explicit InputEvent(int index)
        : QEvent(inputEventType)
        , index(index)
    {
    }
    const int index;
};

// Only clears: the frames of the baseline.
class BareView : public QOpenGLWidget
{
protected:
    void paintGL() override
    {
        context()->functions()->glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
        context()->functions()->glClear(GL_COLOR_BUFFER_BIT);
    }
};

// Hands the posted inputs to the view (or, for a bare view, only asks it for
// a frame) and notes which frame first showed each of them.
class Driver : public QObject
{
public:
    Driver(QOpenGLWidget *view, QElapsedTimer *clock, bool bare)
        : m_view(view)
        , m_clock(clock)
        , m_bare(bare)
    {
        view->installEventFilter(this);
        connect(view, &QOpenGLWidget::frameSwapped, this, [this] {
            const qint64 now = m_clock->nsecsElapsed();
            for (int i = m_shown; i < m_coveredByPaint; ++i)
                inputs[size_t(i)].shownNs = now;
            m_shown = std::max(m_shown, m_coveredByPaint);
            for (int i = m_settled; i < m_settledByPaint; ++i)
                inputs[size_t(i)].settledNs = now;
            m_settled = std::max(m_settled, m_settledByPaint);
            ++frames;
        });
    }

    std::vector<Input> inputs;
    std::atomic<int> posted{0};
    int frames = 0;

    void reset(std::vector<Input> schedule)
    {
        inputs = std::move(schedule);
        posted = 0;
        frames = 0;
        m_handled = m_coveredByPaint = m_shown = m_settledByPaint = m_settled = 0;
        m_handling = -1;
    }

    bool allShown() const { return m_shown >= int(inputs.size()) && m_settled >= int(inputs.size()); }

protected:
    bool event(QEvent *e) override
    {
        if (e->type() != inputEventType)
            return QObject::event(e);
        const int index = static_cast<InputEvent *>(e)->index;
        const Input &input = inputs[size_t(index)];
        // A move with a newer one already queued is folded into that one.
        const bool folded = input.type == QEvent::MouseMove && index + 1 < posted.load()
            && inputs[size_t(index) + 1].type == QEvent::MouseMove;
        if (!folded) {
            m_handling = index;
            if (m_bare) {
                m_view->update();
            } else {
                const Qt::MouseButton button = input.type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
                const Qt::MouseButtons buttons = input.type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
                MTestMainWindow::mouse(m_view, input.type, input.position, button, buttons);
            }
            m_handling = -1;
        }
        m_handled = index + 1;
        return true;
    }

    bool eventFilter(QObject *, QEvent *e) override
    {
        // Whatever was handled before a frame's paint is in that frame; so
        // is the input whose handler paints it (the view paints a release's
        // frame once the release's last segment is drawn).
        if (e->type() == QEvent::Paint) {
            m_coveredByPaint = m_handling >= 0 ? m_handling + 1 : m_handled;
            m_settledByPaint = m_handled;
        }
        return false;
    }

private:
    QOpenGLWidget *m_view;
    QElapsedTimer *m_clock;
    bool m_bare;
    int m_handled = 0;
    int m_handling = -1;
    int m_coveredByPaint = 0;
    int m_shown = 0;
    int m_settledByPaint = 0;
    int m_settled = 0;
};

// A press, a wavy drag across the view at the mouse's rate, a rest, a release.
std::vector<Input> strokeSchedule(const QPointF &start)
{
    std::vector<Input> inputs;
    inputs.push_back({QEvent::MouseButtonPress, start});
    for (int i = 1; i <= movesPerStroke; ++i)
        inputs.push_back({QEvent::MouseMove, start + QPointF(i * moveStep, 60.0 * std::sin(i / 12.0))});
    inputs.push_back({QEvent::MouseButtonRelease, inputs.back().position});
    return inputs;
}

// Posts the schedule's inputs at their times from a thread of its own.
void runPointer(Driver *driver, QElapsedTimer *clock)
{
    using namespace std::chrono;
    const auto begin = steady_clock::now();
    auto due = begin;
    const int count = int(driver->inputs.size());
    for (int i = 0; i < count; ++i) {
        if (i == 1)
            due += milliseconds(moveIntervalMs);
        else if (i == count - 1)
            due += milliseconds(holdMs);
        else if (i > 1)
            due += milliseconds(moveIntervalMs);
        std::this_thread::sleep_until(due);
        driver->inputs[size_t(i)].postedNs = clock->nsecsElapsed();
        driver->posted = i + 1;
        QCoreApplication::postEvent(driver, new InputEvent(i));
    }
}

struct Round
{
    double press = 0.0;
    double moveMedian = 0.0;
    double moveP95 = 0.0;
    double moveMax = 0.0;
    double release = 0.0;
    double releaseSettled = 0.0;
    double fps = 0.0;
};

Round runRound(Driver *driver, QElapsedTimer *clock, const QPointF &start)
{
    driver->reset(strokeSchedule(start));
    std::thread pointer(runPointer, driver, clock);
    const qint64 began = clock->nsecsElapsed();
    QElapsedTimer limit;
    limit.start();
    while (!(driver->posted.load() == int(driver->inputs.size()) && driver->allShown()) && limit.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    pointer.join();
    const qint64 ended = clock->nsecsElapsed();
    auto latency = [](const Input &input) {
        return input.shownNs < 0 ? std::nan("") : double(input.shownNs - input.postedNs) / 1e6;
    };
    Round round;
    const std::vector<Input> &inputs = driver->inputs;
    std::vector<double> moves;
    for (size_t i = 1; i + 1 < inputs.size(); ++i)
        moves.push_back(latency(inputs[i]));
    round.press = latency(inputs.front());
    round.release = latency(inputs.back());
    round.releaseSettled = inputs.back().settledNs < 0 ? std::nan("")
                                                       : double(inputs.back().settledNs - inputs.back().postedNs) / 1e6;
    round.moveMedian = median(moves);
    round.moveP95 = percentile(moves, 0.95);
    round.moveMax = percentile(moves, 1.0);
    round.fps = driver->frames / (double(ended - began) / 1e9);
    QTest::qWait(settleMs);
    return round;
}

// Threads that keep every core busy while they live.
class CpuHog
{
public:
    CpuHog()
    {
        const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
        for (unsigned i = 0; i < cores; ++i) {
            m_threads.emplace_back([this] {
                volatile unsigned long spin = 0;
                while (!m_stop.load(std::memory_order_relaxed))
                    spin = spin + 1;
            });
        }
    }
    ~CpuHog()
    {
        m_stop = true;
        for (std::thread &t : m_threads)
            t.join();
    }
    int threads() const { return int(m_threads.size()); }

private:
    std::atomic<bool> m_stop{false};
    std::vector<std::thread> m_threads;
};

void printFigure(const char *name, const std::vector<Round> &rounds, double Round::*field)
{
    std::vector<double> values;
    for (const Round &r : rounds)
        values.push_back(r.*field);
    std::printf("%s %8.1f [%6.1f .. %6.1f]", name, median(values), percentile(values, 0.0),
                percentile(values, 1.0));
}

} // namespace

int main(int argc, char **argv)
{
    // Fresh settings and folders: the window's settings are cleared below.
    QTemporaryDir root;
    if (!root.isValid())
        return 1;
    for (const char *name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
        qputenv(name, (root.path() + QLatin1Char('/') + QLatin1String(name)).toUtf8());
    int rounds = 7;
    double radius = 12.0;
    for (int i = 1; i + 1 < argc; ++i) {
        if (qstrcmp(argv[i], "--rounds") == 0)
            rounds = std::max(1, std::atoi(argv[i + 1]));
        else if (qstrcmp(argv[i], "--radius") == 0)
            radius = std::max(0.5, std::atof(argv[i + 1]));
    }
    MTestGLContext::prepareSharedContexts();
    QApplication application(argc, argv);
    if (!MTestMainWindow::prepare(QSize(3000, 2000))) {
        std::fprintf(stderr, "no OpenGL 3.3 context\n");
        return 1;
    }
    MTestBrushLibrary brushes({"u:pens/round"});
    auto window = std::make_unique<MMainWindow>();
    if (!MTestMainWindow::show(window.get(), QSize(1400, 900)) || !MTestMainWindow::focusView(window->view())) {
        std::fprintf(stderr, "the window never showed\n");
        return 1;
    }
    // BENCH_NO_MIPMAPS: the layers' tiles keep no reduced levels, to see what
    // rebuilding them costs the frames of a zoomed-out view.
    if (qEnvironmentVariableIsSet("BENCH_NO_MIPMAPS"))
        MSettings::instance()->set_generateMipmaps(false);
    MWidget *view = window->view();
    MTools::instance()->activate(MTool::BrushTool, true);
    MBrush *brush = MBrushList::instance()->currentBrush();
    brush->setRadius(radius);
    brush->setHardness(0.8);
    MColorList::instance()->setColor(QColor(30, 40, 160));

    BareView bare;
    bare.resize(view->size());
    bare.show();
    if (!QTest::qWaitForWindowExposed(&bare))
        return 1;
    window->activateWindow();
    // A painter's first press comes after the window has settled, not
    // within the repaint its activation brings.
    QTest::qWait(settleMs);

    QElapsedTimer clock;
    clock.start();
    Driver driver(view, &clock, false);
    Driver baseline(&bare, &clock, true);
    // Strokes and bare frames alternate, round by round; the first press of
    // the session counts once, not in the medians.
    double firstPress = 0.0;
    const auto measure = [&](const char *load, int hogThreads) {
        const double loadBefore = loadAverage();
        std::vector<Round> strokes, baselines;
        for (int i = 0; i < rounds; ++i) {
            // Rows down the view; later rounds paint over earlier ones.
            const QPointF start(60.0, 120.0 + (i % 6) * 120.0);
            strokes.push_back(runRound(&driver, &clock, start));
            baselines.push_back(runRound(&baseline, &clock, start));
        }
        if (firstPress == 0.0) {
            firstPress = strokes.front().press;
            if (rounds > 1) {
                strokes.erase(strokes.begin());
                baselines.erase(baselines.begin());
            }
        }
        std::printf("%s%s: median over %d rounds [range]; load %.1f before, %.1f after\n", load,
                    hogThreads > 0 ? qPrintable(QStringLiteral(" (%1 threads)").arg(hogThreads)) : "",
                    int(strokes.size()), loadBefore, loadAverage());
        const struct
        {
            const char *name;
            double Round::*field;
        } rows[] = {{"press to frame", &Round::press},         {"move to frame, median", &Round::moveMedian},
                    {"move to frame, p95", &Round::moveP95},     {"move to frame, max", &Round::moveMax},
                    {"release to frame", &Round::release},       {"release to merged frame", &Round::releaseSettled},
                    {"frames per second", &Round::fps}};
        std::printf("  %-22s %28s   | %s\n", "", "stroke", "baseline: bare widget, clear only");
        for (const auto &row : rows) {
            std::printf("  %-22s", row.name);
            printFigure("", strokes, row.field);
            std::printf("   |");
            printFigure("", baselines, row.field);
            std::printf("\n");
        }
        const auto ratio = [&](double Round::*field) {
            std::vector<double> a, b;
            for (const Round &r : strokes)
                a.push_back(r.*field);
            for (const Round &r : baselines)
                b.push_back(r.*field);
            return median(a) / median(b);
        };
        std::printf("  stroke / bare widget: release to frame %.2f, release to merged frame %.2f, move to frame p95 "
                    "%.2f\n",
                    ratio(&Round::release), ratio(&Round::releaseSettled), ratio(&Round::moveP95));
        std::fflush(stdout);
    };
    std::printf("Live stroke in the main window (1400 x 900), radius %.0f, %d moves every %d ms, %.0f view px "
                "apart, held %d ms; ms from input to the frame that shows it\n",
                radius, movesPerStroke, moveIntervalMs, moveStep, holdMs);
    measure("The machine as it comes", 0);
    {
        const CpuHog hog;
        measure("A CPU hog busy on every core", hog.threads());
    }
    std::printf("  first press of the session: %.1f ms\n", firstPress);
    std::fflush(stdout);
    window->view()->canvas()->undoStack()->setClean();
    window.reset();
    return 0;
}
