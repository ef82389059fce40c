// Time from process start to the main window shown, and to the first frame
// of its OpenGL widget on the screen (the window composited with it), median
// of several runs, beside a bare framework window with an OpenGL widget,
// started the same way, of 1280 x 800 and as large as ours, in the same run;
// the rounds alternate.
//
// Run under a display, e.g.: xvfb-run -a build/test/bin/bench_startup [runs]

#include "benchfigures.h"
#include "mapplication.h"
#include "mmainwindow.h"
#include "mtestwindowrun.h"
#include "mwidget.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMainWindow>
#include <QOpenGLWidget>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

void say(const char *what)
{
    std::printf("%s\n", what);
    std::fflush(stdout);
}

// The window closes once it was both shown and framed, in whichever order.
void markAndClose(QWidget *window, bool *mark, const bool &other, const char *what)
{
    if (*mark)
        return;
    *mark = true;
    say(what);
    if (other)
        window->close();
}

bool s_shown = false;
bool s_framed = false;

// Meets the main window when it is first shown and watches its view's frames
// from then on: the window closes at the first one on the screen.
class FrameWatch : public QObject
{
public:
    using QObject::QObject;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *window = qobject_cast<MMainWindow *>(watched);
        if (event->type() == QEvent::Show && window && !m_watching) {
            m_watching = true;
            connect(window->view(), &QOpenGLWidget::frameSwapped, window,
                    [window]() { markAndClose(window, &s_framed, s_shown, "frame"); }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    bool m_watching = false;
};

void watchFrames()
{
    QCoreApplication::instance()->installEventFilter(new FrameWatch(QCoreApplication::instance()));
}

int childApplication(char **argv)
{
    onMainWindowShown([](MMainWindow *window) { markAndClose(window, &s_shown, s_framed, "shown"); });
    qAddPreRoutine(&watchFrames);
    // The mode is the bench's, not a file for the application to open.
    int arguments = 1;
    return MApplication::runMain(arguments, argv);
}

// A bare window of 1280 x 800, or with wide as large as the main window's
// first showing (the screen's free area less 50 pixels a side): composing a
// window that holds an OpenGL widget costs by its area.
int childBaseline(int argc, char **argv, bool wide)
{
    // Started the way the application starts: shared contexts and an
    // OpenGL widget in the window.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    QMainWindow window;
    auto *view = new QOpenGLWidget(&window);
    window.setCentralWidget(view);
    QScreen *screen = QGuiApplication::primaryScreen();
    if (wide && screen)
        window.setGeometry(screen->availableGeometry().adjusted(50, 50, -50, -50));
    else
        window.resize(1280, 800);
    QObject::connect(view, &QOpenGLWidget::frameSwapped, &window,
                     [&window]() { markAndClose(&window, &s_framed, s_shown, "frame"); }, Qt::QueuedConnection);
    window.show();
    QTimer::singleShot(0, &window, [&window]() { markAndClose(&window, &s_shown, s_framed, "shown"); });
    return application.exec();
}

struct Times
{
    double shown = -1.0;
    double frame = -1.0;
};

// Milliseconds from the child's start to its window shown and to its first frame on the screen.
Times timesOf(const QString &program, const QString &mode, const QProcessEnvironment &environment)
{
    QProcess child;
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::SeparateChannels);
    child.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    child.start(program, {mode});
    Times times;
    QByteArray said;
    while ((times.frame < 0 || times.shown < 0) && child.waitForReadyRead(60000)) {
        said += child.readAll();
        const double now = timer.nsecsElapsed() / 1e6;
        if (times.shown < 0 && said.contains("shown"))
            times.shown = now;
        if (times.frame < 0 && said.contains("frame"))
            times.frame = now;
    }
    child.waitForFinished(60000);
    return times;
}

QString figure(const std::vector<double> &values)
{
    return QStringLiteral("%1 ms (%2-%3)")
        .arg(BenchFigures::median(values), 7, 'f', 1)
        .arg(*std::min_element(values.begin(), values.end()), 0, 'f', 0)
        .arg(*std::max_element(values.begin(), values.end()), 0, 'f', 0);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--child-application") == 0)
        return childApplication(argv);
    if (argc > 1 && std::strcmp(argv[1], "--child-baseline") == 0)
        return childBaseline(argc, argv, false);
    if (argc > 1 && std::strcmp(argv[1], "--child-wide-baseline") == 0)
        return childBaseline(argc, argv, true);

    QCoreApplication application(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;

    // One private home for all runs: after the first, starts are warm starts.
    QTemporaryDir home;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "TMPDIR"})
        environment.insert(QString::fromLatin1(name), home.path() + QLatin1Char('/') + QString::fromLatin1(name).toLower());

    const QString program = QCoreApplication::applicationFilePath();
    const QString loadBefore = BenchFigures::loadAverages();
    std::vector<double> applicationShown, applicationFrame, baselineShown, baselineFrame, wideShown, wideFrame;
    for (int i = 0; i < runs; ++i) {
        const Times base = timesOf(program, QStringLiteral("--child-baseline"), environment);
        const Times app = timesOf(program, QStringLiteral("--child-application"), environment);
        const Times wide = timesOf(program, QStringLiteral("--child-wide-baseline"), environment);
        if (std::min({base.shown, base.frame, app.shown, app.frame, wide.shown, wide.frame}) < 0) {
            std::fprintf(stderr, "a child never showed its window (is there a display?)\n");
            return 1;
        }
        baselineShown.push_back(base.shown);
        baselineFrame.push_back(base.frame);
        applicationShown.push_back(app.shown);
        applicationFrame.push_back(app.frame);
        wideShown.push_back(wide.shown);
        wideFrame.push_back(wide.frame);
    }
    const auto ratio = [](const std::vector<double> &ours, const std::vector<double> &theirs) {
        return BenchFigures::median(ours) / BenchFigures::median(theirs);
    };
    std::printf("start-up, median (range) of %d alternated runs; load average before %s, after %s\n", runs,
                qPrintable(loadBefore), qPrintable(BenchFigures::loadAverages()));
    std::printf("  to the main window shown: KalmiDraw %s; bare window with an OpenGL widget, 1280 x 800 %s, "
                "as large as ours %s; ratios %.2f, %.2f\n",
                qPrintable(figure(applicationShown)), qPrintable(figure(baselineShown)), qPrintable(figure(wideShown)),
                ratio(applicationShown, baselineShown), ratio(applicationShown, wideShown));
    std::printf("  to its first frame on the screen: KalmiDraw %s; bare window, 1280 x 800 %s, as large as ours %s; "
                "ratios %.2f, %.2f\n",
                qPrintable(figure(applicationFrame)), qPrintable(figure(baselineFrame)), qPrintable(figure(wideFrame)),
                ratio(applicationFrame, baselineFrame), ratio(applicationFrame, wideFrame));
    return 0;
}
