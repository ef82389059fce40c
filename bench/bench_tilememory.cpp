// Resident memory of a document beside what its tiles hold. A square
// document of ten layers is painted over its whole painted rectangle (a fill
// and two brush strokes on each layer, and a bucket fill over the top one),
// saved, undone over, redone and saved again; after each stage the process's
// VmRSS and VmHWM are printed beside the pixel data plus mip-maps of the
// document's tiles (tile bytes x 4/3), as a ratio, and beside the same less
// the process before the document existed.
//
//   bench_tilememory [side ...]         (default 4096 2048)
//
// Each side runs in a process of its own, so that VmHWM is that document's.
// Run under a display (xvfb-run -a) with LIBGL_ALWAYS_SOFTWARE=1.

#include "mbrush.h"
#include "mcanvas.h"
#include "mevent.h"
#include "mquickfill.h"
#include "msettings.h"
#include "mtestcanvas.h"
#include "mtestglcontext.h"
#include "mtesttool.h"
#include "mtexturetile.h"
#include "mundostream.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QProcess>
#include <QTemporaryDir>
#include <QUndoStack>

#include <cstdio>
#include <malloc.h>
#include <cstdlib>
#include <memory>

namespace {

constexpr int kLayers = 10;
constexpr double kMegabyte = 1048576.0;

struct Status
{
    double rss = 0;
    double hwm = 0;
};

// VmRSS and VmHWM of this process, in MiB.
Status status()
{
    Status s;
    QFile file(QStringLiteral("/proc/self/status"));
    if (!file.open(QIODevice::ReadOnly))
        return s;
    for (const QByteArray &line : file.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 2)
            continue;
        if (fields[0] == "VmRSS:")
            s.rss = fields[1].toDouble() / 1024.0;
        else if (fields[0] == "VmHWM:")
            s.hwm = fields[1].toDouble() / 1024.0;
    }
    return s;
}

// Bytes of pixel data plus mip-maps the tiles of these layers hold.
double heldMb(MCanvas &canvas, int *tiles)
{
    double bytes = 0;
    *tiles = 0;
    for (int row = 0; row < canvas.count(); ++row) {
        MTextureLayer *layer = canvas.at(row);
        for (int i = 0; i < layer->tileCount(); ++i) {
            if (layer->tileAt(i)->isValid()) {
                bytes += layer->tileAt(i)->byteSize() * 4.0 / 3.0;
                ++*tiles;
            }
        }
    }
    return bytes / kMegabyte;
}

int validTiles(MTextureLayer *layer)
{
    int count = 0;
    for (int i = 0; i < layer->tileCount(); ++i)
        count += layer->tileAt(i)->isValid() ? 1 : 0;
    return count;
}

// The undo writer done and the driver idle, so that the figures are those of
// the document at rest.
void settle(MCanvas &canvas)
{
    QElapsedTimer waited;
    waited.start();
    do
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    while (canvas.undoStream()->workerCount() > 0 && waited.elapsed() < 60000);
    canvas.makeCurrent();
    canvas.context()->functions()->glFinish();
    QCoreApplication::processEvents();
}

void report(const char *stage, MCanvas &canvas, const Status &before, double seconds)
{
    settle(canvas);
    int tiles = 0;
    const double held = heldMb(canvas, &tiles);
    const Status now = status();
    std::printf("  %-12s %5.1f s  tiles %5d, held %7.1f MiB | VmRSS %7.1f MiB (%.2fx, %.2fx above start) | "
                "VmHWM %7.1f MiB (%.2fx, %.2fx above start) | undo in memory %6.1f MiB, free in the heap %6.1f MiB, "
                "stroke tiles %d\n",
                stage, seconds, tiles, held, now.rss, held > 0 ? now.rss / held : 0.0,
                held > 0 ? (now.rss - before.rss) / held : 0.0, now.hwm, held > 0 ? now.hwm / held : 0.0,
                held > 0 ? (now.hwm - before.rss) / held : 0.0, canvas.undoStream()->memorySize() / kMegabyte,
                mallinfo2().fordblks / kMegabyte, validTiles(canvas.strokeLayer()));
    std::fflush(stdout);
}

// A stroke across the document from one side to the other.
void stroke(MCanvas &canvas, MBrush &brush, const QPointF &from, const QPointF &to, const QColor &color)
{
    MEvent press = MTestTool::leftSample(MEvent::Press, from);
    canvas.startStroke(&press, MStrokePaint{&brush, color, Qt::white}, 0);
    QCoreApplication::processEvents();
    const int moves = 40;
    for (int m = 1; m <= moves; ++m) {
        MEvent move = MTestTool::leftSample(MEvent::Move, from + (to - from) * m / double(moves));
        canvas.stroke(&move, 0, MStrokePaint());
        QCoreApplication::processEvents();
    }
    MEvent release = MTestTool::leftSample(MEvent::Release, to);
    canvas.endStroke(&release, 0);
    QCoreApplication::processEvents();
}

int runOne(int side)
{
    MSettings::instance()->set_undoLimit(64);
    // The total of the undo histories starts from nothing, as the
    // application sets it at start-up.
    MSettings::instance()->set_undoMemorySize(0.0);
    const Status start = status();
    std::unique_ptr<MCanvas> document = MTestCanvas::createDocument(QSize(side, side));
    if (!document) {
        std::fprintf(stderr, "no OpenGL 3.3 context\n");
        return 1;
    }
    MCanvas &canvas = *document;
    QTemporaryDir folder;
    if (!folder.isValid())
        return 1;
    std::printf("%d x %d, %d layers; the process held VmRSS %.1f MiB before the document\n", side, side, kLayers,
                start.rss);
    canvas.reset();
    for (int i = 1; i < kLayers; ++i)
        canvas.appendLayer();
    canvas.undoStack()->clear();
    const QRectF rect = canvas.paintedRect();
    std::printf("  painted rectangle %g, %g, %g x %g\n", rect.x(), rect.y(), rect.width(), rect.height());
    // Strokes keep a brush radius inside, so that only the painted
    // rectangle's tiles are painted.
    const QRectF painted = canvas.paintedRect().adjusted(80, 80, -80, -80);
    report("layers", canvas, start, 0);

    QElapsedTimer timer;
    timer.start();
    MBrush brush;
    brush.resetValues();
    brush.setRadius(60);
    MQuickFill bucket;
    bucket.setEdits(canvas.layerEdits());
    for (int row = 0; row < kLayers; ++row) {
        canvas.setCurrentRow(row);
        canvas.fill(QColor::fromHsv(row * 36, 200, 220));
        if (row == kLayers - 1)
            bucket.fillAt(painted.center(), QColor(20, 120, 60), row);
        const double y = painted.top() + painted.height() * (row + 0.5) / kLayers;
        stroke(canvas, brush, QPointF(painted.left(), y), QPointF(painted.right(), painted.top() + painted.bottom() - y),
               QColor::fromHsv((row * 36 + 180) % 360, 255, 160));
        stroke(canvas, brush, QPointF(painted.center().x(), painted.top()),
               QPointF(painted.left() + painted.width() * row / kLayers, painted.bottom()), Qt::black);
    }
    report("painted", canvas, start, timer.nsecsElapsed() / 1e9);
    QRect bounds;
    for (int row = 0; row < canvas.count(); ++row)
        for (int i = 0; i < canvas.at(row)->tileCount(); ++i)
            bounds |= canvas.at(row)->tileAt(i)->rect();
    std::printf("  the tiles cover %d, %d, %d x %d\n", bounds.x(), bounds.y(), bounds.width(), bounds.height());

    const QString first = folder.filePath(QStringLiteral("first.kxd"));
    const QString second = folder.filePath(QStringLiteral("second.kxd"));
    timer.restart();
    if (!canvas.saveToFile(first)) {
        std::fprintf(stderr, "the save failed\n");
        return 1;
    }
    report("saved", canvas, start, timer.nsecsElapsed() / 1e9);

    timer.restart();
    while (canvas.undoStack()->canUndo())
        canvas.undo();
    report("undone", canvas, start, timer.nsecsElapsed() / 1e9);

    timer.restart();
    while (canvas.undoStack()->canRedo())
        canvas.redo();
    report("redone", canvas, start, timer.nsecsElapsed() / 1e9);

    timer.restart();
    if (!canvas.saveToFile(second)) {
        std::fprintf(stderr, "the second save failed\n");
        return 1;
    }
    report("saved again", canvas, start, timer.nsecsElapsed() / 1e9);

    QFile a(first), b(second);
    const bool same = a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly) && a.readAll() == b.readAll();
    std::printf("  the two saves are %s\n", same ? "identical" : "DIFFERENT");
    canvas.shutDown();
    return same ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && QByteArray(argv[1]) == "--one") {
        MTestGLContext::prepareSharedContexts();
        QGuiApplication application(argc, argv);
        return runOne(std::atoi(argv[2]));
    }
    QCoreApplication application(argc, argv);
    QStringList sides = application.arguments().mid(1);
    if (sides.isEmpty())
        sides = QStringList{QStringLiteral("4096"), QStringLiteral("2048")};
    int failed = 0;
    for (const QString &side : qAsConst(sides)) {
        std::fflush(stdout);
        if (QProcess::execute(application.applicationFilePath(), {QStringLiteral("--one"), side}) != 0)
            ++failed;
    }
    return failed ? 1 : 0;
}
