// Counted undo memory against its limit during a burst of strokes, as quick
// painting makes them: strokes of a wide brush one after another on a
// 4000 x 4000 document, a pass of the event loop after every input event and
// never a wait for anything else. Prints, per round, the highest counted
// memory seen after any event and where it ended, beside the limit, and how
// long the burst took; then the same burst with the disk full for this
// process (its file size limit at 0), where no record can be written.
//
//   bench_undospill [strokes] [limit in MB] [rounds]     (defaults 80 1 3)
//
// Run under a display (xvfb-run -a) with LIBGL_ALWAYS_SOFTWARE=1.

#include "mbrush.h"
#include "mcanvas.h"
#include "mevent.h"
#include "msettings.h"
#include "mtestcanvas.h"
#include "mtestfilesizelimit.h"
#include "mtesttool.h"
#include "mundostream.h"
#include "mutility.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QRandomGenerator>
#include <QUndoStack>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

constexpr int documentSize = 4000;
constexpr double megabyte = 1048576.0;

struct Round
{
    double peakMb = 0.0;
    double endMb = 0.0;
    double seconds = 0.0;
    int files = 0;
};

int cacheFiles()
{
    return QDir(MUtility::cacheDirectory()).entryList(QDir::Files).size();
}

// Lets the spill writer finish and drops the history, so that a round starts
// from nothing.
void settle(MCanvas *canvas)
{
    QElapsedTimer waited;
    waited.start();
    while (canvas->undoStream()->workerCount() > 0 && waited.elapsed() < 30000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    canvas->undoStack()->clear();
    QCoreApplication::processEvents();
}

Round burst(MCanvas *canvas, MBrush *brush, int strokes, quint32 seed)
{
    canvas->reset();
    canvas->setPaintedRect(QRectF(-documentSize / 2, -documentSize / 2, documentSize, documentSize));
    canvas->undoStack()->clear();
    canvas->undoStack()->setUndoLimit(0);
    QRandomGenerator random(seed);
    Round round;
    auto sample = [&round, canvas] {
        round.peakMb = std::max(round.peakMb, canvas->undoStream()->memorySize() / megabyte);
    };
    QElapsedTimer timer;
    timer.start();
    for (int s = 0; s < strokes; ++s) {
        QPointF at(random.bounded(3000) - 1500, random.bounded(3000) - 1500);
        MEvent press = MTestTool::leftSample(MEvent::Press, at);
        canvas->startStroke(&press, MStrokePaint{brush, QColor(random.bounded(256), 80, 160), Qt::white}, 0);
        QCoreApplication::processEvents();
        sample();
        // A zig-zag over several tiles.
        for (int m = 0; m < 12; ++m) {
            at += QPointF(40, m % 2 ? 35 : -35);
            MEvent move = MTestTool::leftSample(MEvent::Move, at);
            canvas->stroke(&move, 0, MStrokePaint());
            QCoreApplication::processEvents();
            sample();
        }
        MEvent release = MTestTool::leftSample(MEvent::Release, at);
        canvas->endStroke(&release, 0);
        sample();
        QCoreApplication::processEvents();
        sample();
    }
    canvas->makeCurrent();
    canvas->context()->functions()->glFinish();
    round.seconds = timer.nsecsElapsed() / 1e9;
    round.endMb = canvas->undoStream()->memorySize() / megabyte;
    settle(canvas);
    round.files = cacheFiles();
    return round;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

void report(const char *what, const std::vector<Round> &rounds, double limitMb)
{
    std::vector<double> peaks, ends, seconds;
    for (const Round &r : rounds) {
        peaks.push_back(r.peakMb);
        ends.push_back(r.endMb);
        seconds.push_back(r.seconds);
    }
    const auto range = [](const std::vector<double> &v) {
        return std::make_pair(*std::min_element(v.begin(), v.end()), *std::max_element(v.begin(), v.end()));
    };
    const auto peak = range(peaks), end = range(ends), time = range(seconds);
    std::printf("%-10s counted undo memory, limit %.2f MB: peak median %8.2f MB (%.2f..%.2f), %6.1f x the limit;"
                " at the end %8.2f MB (%.2f..%.2f); burst %.2f s (%.2f..%.2f)\n",
                what, limitMb, median(peaks), peak.first, peak.second, median(peaks) / limitMb, median(ends),
                end.first, end.second, median(seconds), time.first, time.second);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QGuiApplication app(argc, argv);
    const int strokes = argc > 1 ? std::atoi(argv[1]) : 80;
    const double limitMb = argc > 2 ? std::atof(argv[2]) : 1.0;
    const int rounds = argc > 3 ? std::atoi(argv[3]) : 3;
    // The warning about a full disk is answered at once.
    MUtility::setDialogHandler([](MUtility::DialogRequest &) { return int(QMessageBox::Ok); });
    std::unique_ptr<MCanvas> canvas = MTestCanvas::createDocument(QSize(documentSize, documentSize));
    if (!canvas) {
        std::fprintf(stderr, "no OpenGL 3.3 core context with a document\n");
        return 1;
    }
    MBrush brush;
    brush.resetValues();
    brush.setRadius(40);
    MSettings::instance()->set_undoMemoryMax(limitMb);
    // The total starts from nothing, as the application sets it at start-up.
    MSettings::instance()->set_undoMemorySize(0.0);
    // Programs and first textures are made before anything is measured.
    burst(canvas.get(), &brush, 3, 1);

    std::printf("%d strokes of 12 moves, radius 40, on a %d x %d document:\n", strokes, documentSize, documentSize);
    std::vector<Round> free, full;
    for (int r = 0; r < rounds; ++r)
        free.push_back(burst(canvas.get(), &brush, strokes, 100 + r));
    report("disk free", free, limitMb);
    for (int r = 0; r < rounds; ++r) {
        MTestFileSizeLimit limit(0);
        full.push_back(burst(canvas.get(), &brush, strokes, 100 + r));
    }
    report("disk full", full, limitMb);
    canvas.reset();
    return 0;
}
