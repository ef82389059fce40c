// Time from process start to the main window shown, median of several runs,
// beside a bare framework window with an OpenGL widget, started the same
// way, in the same run.
//
// Run under a display, e.g.: xvfb-run -a build/test/bin/bench_startup [runs]

#include "mapplication.h"
#include "mmainwindow.h"
#include "mtestwindowrun.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QOpenGLWidget>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

int childApplication(char **argv)
{
    onMainWindowShown([](MMainWindow *window) {
        std::printf("shown\n");
        std::fflush(stdout);
        window->close();
    });
    // The mode is the bench's, not a file for the application to open.
    int arguments = 1;
    return MApplication::runMain(arguments, argv);
}

int childBaseline(int argc, char **argv)
{
    // Started the way the application starts: shared contexts and an
    // OpenGL widget in the window.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    QMainWindow window;
    window.setCentralWidget(new QOpenGLWidget(&window));
    window.resize(1280, 800);
    window.show();
    QTimer::singleShot(0, &window, [&window]() {
        std::printf("shown\n");
        std::fflush(stdout);
        window.close();
    });
    return application.exec();
}

double timeToShown(const QString &program, const QString &mode, const QProcessEnvironment &environment)
{
    QProcess child;
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::SeparateChannels);
    child.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    child.start(program, {mode});
    double shown = -1.0;
    while (child.waitForReadyRead(60000)) {
        if (child.readAll().contains("shown")) {
            shown = timer.nsecsElapsed() / 1e6;
            break;
        }
    }
    child.waitForFinished(60000);
    return shown;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--child-application") == 0)
        return childApplication(argv);
    if (argc > 1 && std::strcmp(argv[1], "--child-baseline") == 0)
        return childBaseline(argc, argv);

    QCoreApplication application(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;

    // One private home for all runs: after the first, starts are warm starts.
    QTemporaryDir home;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "TMPDIR"})
        environment.insert(QString::fromLatin1(name), home.path() + QLatin1Char('/') + QString::fromLatin1(name).toLower());

    const QString program = QCoreApplication::applicationFilePath();
    std::vector<double> applicationTimes, baselineTimes;
    for (int i = 0; i < runs; ++i) {
        baselineTimes.push_back(timeToShown(program, QStringLiteral("--child-baseline"), environment));
        applicationTimes.push_back(timeToShown(program, QStringLiteral("--child-application"), environment));
    }
    if (*std::min_element(applicationTimes.begin(), applicationTimes.end()) < 0
        || *std::min_element(baselineTimes.begin(), baselineTimes.end()) < 0) {
        std::fprintf(stderr, "a child never showed its window (is there a display?)\n");
        return 1;
    }
    const double app = median(applicationTimes), base = median(baselineTimes);
    std::printf("start-up to main window shown, median of %d runs\n", runs);
    std::printf("  KalmiDraw:                %8.1f ms\n", app);
    std::printf("  bare window, OpenGL widget: %6.1f ms (baseline)\n", base);
    std::printf("  ratio:                    %8.2f\n", app / base);
    return 0;
}
