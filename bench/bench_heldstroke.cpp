// One held stroke in the real main window, for a GL call tracer to count
// what each frame of it costs in context switches and pipeline waits: a
// press, moves every 8 ms at the mouse's rate (moves due while the view is
// busy folded into the newest, as the window system folds them), a rest with
// the button down, a release. The held part, after the press and before the
// release, is marked in the GL call stream with the debug messages
// "held-begin" and "held-end" (in the view's context), so that a trace can be
// cut to it; scripts/glframes.py counts the calls of each frame between them.
// `--bare` gives the same inputs to a bare OpenGL widget of the view's size
// that only clears: what the framework's own frame costs, to subtract.
// Printed: frames shown and moves handed to the view within the held part,
// moves per frame, the document's own count of context changes and pipeline
// waits over the held part, and the load average.
//
// Run under a display with LIBGL_ALWAYS_SOFTWARE=1, e.g.
//   xvfb-run -a -s "-screen 0 1920x1080x24" apitrace trace -o /tmp/held.trace build/test/bin/bench_heldstroke [--bare]
//   apitrace dump --color=never /tmp/held.trace | python3 scripts/glframes.py --between held-begin held-end

#include "benchfigures.h"
#include "benchhome.h"
#include "mcanvas.h"
#include "mgpudevice.h"
#include "mmainwindow.h"
#include "mtestglcontext.h"
#include "mtestmainwindow.h"
#include "mtestpaintingwindow.h"
#include "mwidget.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QOpenGLWidget>
#include <QSurface>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <cstdio>
#include <memory>

namespace {

constexpr int moveIntervalMs = 8;
constexpr int movesPerStroke = 150;
constexpr double moveStep = 6.0; // view pixels between two moves
constexpr int holdMs = 200;      // the pointer rests before the release
constexpr int settleMs = 400;

// The GL enums of the debug output, which Qt's own headers may not carry.
constexpr unsigned debugSourceApplication = 0x824A;
constexpr unsigned debugTypeMarker = 0x8268;
constexpr unsigned debugSeverityNotification = 0x826B;

class ClearingWidget : public QOpenGLWidget
{
protected:
    void paintGL() override
    {
        QOpenGLFunctions *gl = context()->functions();
        gl->glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
        gl->glClear(GL_COLOR_BUFFER_BIT);
    }
};

// Puts a message into the widget's GL call stream, where a tracer records it;
// nothing when the driver has no debug output. Whatever context was current
// before is current again after.
void insertMarker(QOpenGLWidget *widget, const char *text)
{
    QOpenGLContext *previous = QOpenGLContext::currentContext();
    QSurface *previousSurface = previous ? previous->surface() : nullptr;
    widget->makeCurrent();
    using InsertFunction = void (*)(unsigned, unsigned, unsigned, unsigned, int, const char *);
    const auto insert = reinterpret_cast<InsertFunction>(widget->context()->getProcAddress("glDebugMessageInsert"));
    if (insert)
        insert(debugSourceApplication, debugTypeMarker, 0, debugSeverityNotification, -1, text);
    if (previous && previousSurface)
        previous->makeCurrent(previousSurface);
    else
        widget->doneCurrent();
}

// Gives one stroke to a widget on the mouse's schedule from a timer of the
// event loop, so that frames are drawn between the inputs as they would be.
class HeldStroke : public QObject
{
public:
    HeldStroke(QOpenGLWidget *widget, bool bare, const QPointF &start, MGpuDevice *device)
        : m_widget(widget)
        , m_bare(bare)
        , m_start(start)
        , m_device(device)
    {
        m_timer.setSingleShot(true);
        m_timer.setTimerType(Qt::PreciseTimer);
        connect(&m_timer, &QTimer::timeout, this, &HeldStroke::step);
        connect(widget, &QOpenGLWidget::frameSwapped, this, [this] {
            if (m_held)
                ++framesHeld;
        });
    }

    int framesHeld = 0;
    int movesHanded = 0; // moves that reached the widget, after folding
    double heldMs = 0.0;
    // The document's counts at the two marks.
    MGpuDevice::Counts countsBegin;
    MGpuDevice::Counts countsEnd;

    // Runs the stroke, with the held part marked when `marked`; false when
    // it did not finish in time.
    bool run(bool marked)
    {
        m_marked = marked;
        framesHeld = movesHanded = 0;
        m_movesDone = 0;
        QEventLoop loop;
        m_loop = &loop;
        send(QEvent::MouseButtonPress, m_start);
        mark("held-begin");
        if (m_device)
            countsBegin = m_device->counts();
        m_held = true;
        m_clock.start();
        m_timer.start(moveIntervalMs);
        QTimer::singleShot(20000, &loop, [&loop] { loop.exit(1); });
        const bool finished = loop.exec() == 0;
        m_loop = nullptr;
        m_timer.stop();
        return finished;
    }

private:
    QPointF movePosition(int i) const { return m_start + QPointF(i * moveStep, 60.0 * std::sin(i / 12.0)); }

    void send(QEvent::Type type, const QPointF &position)
    {
        if (m_bare) {
            m_widget->update();
            return;
        }
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        MTestMainWindow::mouse(m_widget, type, position, button, buttons);
    }

    void mark(const char *text)
    {
        if (m_marked)
            insertMarker(m_widget, text);
    }

    void step()
    {
        const qint64 now = m_clock.elapsed();
        if (m_movesDone < movesPerStroke) {
            // Every move due by now, the newest standing for the others.
            const int due = std::min<int>(movesPerStroke, int(now / moveIntervalMs));
            if (due > m_movesDone) {
                m_movesDone = due;
                ++movesHanded;
                send(QEvent::MouseMove, movePosition(due));
            }
            const qint64 next = m_movesDone < movesPerStroke ? qint64(m_movesDone + 1) * moveIntervalMs
                                                             : qint64(movesPerStroke) * moveIntervalMs + holdMs;
            m_timer.start(int(std::max<qint64>(0, next - m_clock.elapsed())));
            return;
        }
        heldMs = double(m_clock.nsecsElapsed()) / 1e6;
        m_held = false;
        if (m_device)
            countsEnd = m_device->counts();
        mark("held-end");
        send(QEvent::MouseButtonRelease, movePosition(movesPerStroke));
        m_loop->exit(0);
    }

    QOpenGLWidget *m_widget;
    bool m_bare;
    QPointF m_start;
    MGpuDevice *m_device;
    bool m_marked = false;
    bool m_held = false;
    int m_movesDone = 0;
    QElapsedTimer m_clock;
    QTimer m_timer;
    QEventLoop *m_loop = nullptr;
};

} // namespace

int main(int argc, char **argv)
{
    const QTemporaryDir root;
    if (!BenchHome::useFreshFolders(root))
        return 1;
    bool bare = false;
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--bare") == 0)
            bare = true;
    }
    MTestGLContext::prepareSharedContexts();
    QApplication application(argc, argv);
    MTestPaintingWindow painting;
    if (!painting.open(QSize(3000, 2000))) {
        std::fprintf(stderr, "no OpenGL 3.3 context, or the window never showed\n");
        return 1;
    }
    painting.paintWith(12.0, 0.8, QColor(30, 40, 160));
    MWidget *view = painting.view();

    // The bare widget stands alone on the screen, so that every frame
    // between the marks is its own.
    std::unique_ptr<ClearingWidget> clearing;
    QOpenGLWidget *target = view;
    if (bare) {
        clearing = std::make_unique<ClearingWidget>();
        clearing->resize(view->size());
        painting.window()->hide();
        clearing->show();
        if (!QTest::qWaitForWindowExposed(clearing.get()))
            return 1;
        target = clearing.get();
    }
    QTest::qWait(settleMs);

    // A first stroke elsewhere makes the brush's programs and the first tiles,
    // which a painter's session has long had by the stroke that is counted.
    MGpuDevice *device = bare ? nullptr : view->canvas()->gpuDevice();
    HeldStroke warmUp(target, bare, QPointF(60.0, 480.0), device);
    HeldStroke stroke(target, bare, QPointF(60.0, 160.0), device);
    const double loadBefore = BenchFigures::loadAverage();
    if (!warmUp.run(false))
        return 1;
    QTest::qWait(settleMs);
    if (!stroke.run(true)) {
        std::fprintf(stderr, "the stroke never finished\n");
        return 1;
    }
    QTest::qWait(settleMs);
    std::printf("Held stroke in the %s (%d x %d): %d moves every %d ms, %.0f view px apart, held %d ms\n",
                bare ? "bare widget that only clears" : "main window's view", view->width(), view->height(),
                movesPerStroke, moveIntervalMs, moveStep, holdMs);
    std::printf("  between held-begin and held-end (%.0f ms): %d frames, %d moves handed (%d folded)\n",
                stroke.heldMs, stroke.framesHeld, stroke.movesHanded, movesPerStroke - stroke.movesHanded);
    std::printf("  moves per frame %.2f; load %.1f before, %.1f after\n",
                stroke.framesHeld > 0 ? double(stroke.movesHanded) / stroke.framesHeld : std::nan(""), loadBefore,
                BenchFigures::loadAverage());
    if (device && stroke.framesHeld > 0) {
        const int switches = stroke.countsEnd.switches - stroke.countsBegin.switches;
        const int finishes = stroke.countsEnd.finishes - stroke.countsBegin.finishes;
        std::printf("  the document's device: %d context changes, %d waits (%.2f and %.2f per frame)\n", switches,
                    finishes, double(switches) / stroke.framesHeld, double(finishes) / stroke.framesHeld);
    }
    std::fflush(stdout);
    clearing.reset();
    painting.close();
    return 0;
}
