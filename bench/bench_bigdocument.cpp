// A big document in the real main window: a 4000 x 3000 document of 10
// layers painted with noise (480 full tiles, about 503 MB of pixels) opened
// from the command line. For each run it prints the time from process start
// to the window shown, to the first frame of the canvas widget showing the
// document, to idle (every tile in, no view animation, a frame drawn since and
// the event loop waiting), one repaint of the whole view, the save, and the
// process's VmHWM; beside the same program started with no document, and
// beside writing the same bytes with the save's sync and rename. At the first
// frame, while the tiles still come in, a key and a stroke's press are sent
// to the view: how long the key took, how long until the next frame after the
// press and until the press was handled, beside the same on no document.
// Rounds alternate; medians with their ranges, and the load average, are printed.
//
// Run under a display, e.g.: xvfb-run -a build/cc/bench/bench_bigdocument [runs]

#include "benchfigures.h"
#include "benchplainfile.h"
#include "mapplication.h"
#include "mcanvas.h"
#include "mlayerdescription.h"
#include "mmainwindow.h"
#include "mtestcanvas.h"
#include "mtestglcontext.h"
#include "mtestwindowrun.h"
#include "mtexturetile.h"
#include "mwidget.h"

#include <QAbstractAnimation>
#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QUndoStack>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <map>
#include <vector>

namespace {

constexpr int documentWidth = 4000;
constexpr int documentHeight = 3000;
constexpr int layerCount = 10;

qint64 now()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return qint64(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

void report(const char *what, double value)
{
    std::printf("%s %.3f\n", what, value);
    std::fflush(stdout);
}

double vmHwmMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return -1;
}

// The document, made once: premultiplied noise that no compressor shrinks.
int childMake(int argc, char **argv)
{
    MTestGLContext::prepareSharedContexts();
    QGuiApplication application(argc, argv);
    const std::unique_ptr<MCanvas> canvas = MTestCanvas::createDocument(QSize(documentWidth, documentHeight));
    if (!canvas)
        return 1;
    canvas->makeCurrent();
    while (canvas->count() < layerCount)
        canvas->appendLayer();
    quint64 state = 0x9E3779B97F4A7C15ULL;
    std::vector<uchar> pixels(size_t(512 * 512 * 4));
    for (int row = 0; row < canvas->count(); ++row) {
        QSet<MTile *> tiles;
        canvas->at(row)->tilesInRect(canvas->paintedRect(), tiles);
        for (MTile *t : qAsConst(tiles)) {
            for (size_t p = 0; p < pixels.size(); p += 4) {
                state ^= state << 13;
                state ^= state >> 7;
                state ^= state << 17;
                const uchar alpha = uchar(64 + (state & 191));
                pixels[p + 3] = alpha;
                for (int c = 0; c < 3; ++c)
                    pixels[p + c] = uchar(((state >> (8 + 8 * c)) & 255) * alpha / 255);
            }
            auto *tile = static_cast<MTextureTile *>(t);
            if (!tile->ensureTexture() || !tile->setData(pixels.data()))
                return 1;
        }
    }
    const bool saved = canvas->saveToFile(QString::fromLocal8Bit(argv[2]));
    canvas->shutDown();
    return saved ? 0 : 1;
}

int validTiles(MCanvas *canvas)
{
    int tiles = 0;
    for (int row = 0; row < canvas->count(); ++row) {
        MTextureLayer *layer = canvas->at(row);
        for (int i = 0; i < layer->tileCount(); ++i) {
            auto *tile = static_cast<MTextureTile *>(layer->tileAt(i));
            tiles += tile && tile->isValid() ? 1 : 0;
        }
    }
    return tiles;
}

bool animating(QWidget *view)
{
    const QList<QAbstractAnimation *> animations = view->findChildren<QAbstractAnimation *>();
    return std::any_of(animations.begin(), animations.end(),
                       [](QAbstractAnimation *a) { return a->state() == QAbstractAnimation::Running; });
}

// Watches the window from its showing: the first frame of the document, then
// idle, then one repaint, the save and the peak memory; closes the window.
class Watch : public QObject
{
public:
    Watch(MMainWindow *window, int expectedTiles, const QString &savePath)
        : m_window(window)
        , m_expectedTiles(expectedTiles)
        , m_savePath(savePath)
    {
        MWidget *view = window->view();
        connect(view, &QOpenGLWidget::frameSwapped, this, [this]() { onFrame(); });
        connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
                [this]() { onAboutToBlock(); });
        // A ready document that asks for no frame of its own still gets one.
        m_poke.setInterval(1000);
        connect(&m_poke, &QTimer::timeout, this, [this]() {
            if (m_ready && !m_framedSinceReady)
                m_window->view()->update();
        });
        m_poke.start();
    }

private:
    bool documentShown() const
    {
        return m_expectedTiles == 0 || m_window->view()->canvas()->count() == layerCount;
    }

    void updateReady()
    {
        MWidget *view = m_window->view();
        const bool loaded = m_expectedTiles == 0 || validTiles(view->canvas()) == m_expectedTiles;
        if (loaded && !m_loaded && m_firstFrame) {
            m_loaded = true;
            report("loaded", now() / 1e6);
        }
        const bool ready = !animating(view) && loaded;
        if (ready && !m_ready)
            m_framedSinceReady = false;
        m_ready = ready;
    }

    void onFrame()
    {
        if (m_pressAt > 0 && !m_framedSincePress) {
            m_framedSincePress = true;
            report("pressframe", (now() - m_pressAt) / 1e6);
        }
        if (!m_firstFrame && documentShown()) {
            m_firstFrame = true;
            report("frame", now() / 1e6);
            QTimer::singleShot(0, this, [this]() { probeInput(); });
        }
        updateReady();
        if (m_ready)
            m_framedSinceReady = true;
    }

    void onAboutToBlock()
    {
        if (m_done || !m_firstFrame)
            return;
        updateReady();
        if (!m_ready || !m_framedSinceReady)
            return;
        m_done = true;
        report("idle", now() / 1e6);
        QTimer::singleShot(0, this, [this]() { measure(); });
    }

    // Input as soon as the document shows, while its tiles still come in:
    // how long a key takes, and how long a stroke's press leaves the window
    // without a frame.
    void probeInput()
    {
        MWidget *view = m_window->view();
        const QPointF centre(view->width() / 2.0, view->height() / 2.0);
        qint64 start = now();
        QKeyEvent key(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier);
        QApplication::sendEvent(view, &key);
        QKeyEvent keyUp(QEvent::KeyRelease, Qt::Key_Shift, Qt::NoModifier);
        QApplication::sendEvent(view, &keyUp);
        report("key", (now() - start) / 1e6);
        m_pressAt = start = now();
        QMouseEvent press(QEvent::MouseButtonPress, centre, view->mapToGlobal(centre.toPoint()), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view, &press);
        report("pressreturn", (now() - start) / 1e6);
        QMouseEvent release(QEvent::MouseButtonRelease, centre, view->mapToGlobal(centre.toPoint()), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(view, &release);
        view->update();
    }

    void measure()
    {
        MWidget *view = m_window->view();
        MCanvas *canvas = view->canvas();
        std::vector<double> repaints;
        for (int i = 0; i < 3; ++i) {
            const qint64 start = now();
            // The frame drawn as for the screen, and the view's pixels read back.
            view->grabFramebuffer();
            repaints.push_back((now() - start) / 1e6);
        }
        std::sort(repaints.begin(), repaints.end());
        report("repaint", repaints[1]);
        if (m_expectedTiles > 0) {
            const qint64 start = now();
            const bool saved = canvas->saveToFile(m_savePath);
            report("save", saved ? (now() - start) / 1e6 : -1.0);
            QFile::remove(m_savePath);
        }
        report("hwm", vmHwmMegabytes());
        canvas->undoStack()->setClean();
        m_window->close();
    }

    MMainWindow *m_window;
    int m_expectedTiles;
    QString m_savePath;
    QTimer m_poke;
    bool m_firstFrame = false;
    bool m_loaded = false;
    bool m_ready = false;
    bool m_framedSinceReady = false;
    bool m_done = false;
    qint64 m_pressAt = 0;
    bool m_framedSincePress = false;
};

int childApplication(const char *document, const char *savePath, int expectedTiles, char **argv)
{
    onMainWindowShown([=](MMainWindow *window) {
        report("shown", now() / 1e6);
        new Watch(window, expectedTiles, QString::fromLocal8Bit(savePath));
    });
    static char *arguments[] = {argv[0], const_cast<char *>(document), nullptr};
    int count = document ? 2 : 1;
    return MApplication::runMain(count, arguments);
}

using Figures = std::map<std::string, double>;

// Starts a child and reads its figures; the times become milliseconds since the start.
Figures runChild(const QString &program, const QStringList &arguments, const QProcessEnvironment &environment)
{
    QProcess child;
    child.setProcessEnvironment(environment);
    // Kept for a run that fails, to say why.
    child.setProcessChannelMode(QProcess::SeparateChannels);
    const double start = now() / 1e6;
    child.start(program, arguments);
    child.waitForFinished(600000);
    Figures figures;
    for (const QByteArray &line : child.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> parts = line.trimmed().split(' ');
        if (parts.size() != 2)
            continue;
        const std::string name = parts[0].toStdString();
        double value = parts[1].toDouble();
        if (name == "shown" || name == "frame" || name == "loaded" || name == "idle")
            value -= start;
        figures[name] = value;
    }
    if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0) {
        figures["failed"] = 1;
        const QByteArray errors = child.readAllStandardError();
        std::fprintf(stderr, "%s %s: %s (exit %d); its last words:\n%s\n", qPrintable(program),
                     qPrintable(arguments.value(0)),
                     child.exitStatus() == QProcess::CrashExit ? "crashed" : "failed", child.exitCode(),
                     errors.right(2000).constData());
    }
    return figures;
}

struct Series
{
    std::vector<double> values;
    void add(double value) { values.push_back(value); }
    QString text() const
    {
        if (values.empty())
            return QStringLiteral("-");
        std::vector<double> sorted = values;
        std::sort(sorted.begin(), sorted.end());
        return QStringLiteral("%1 (%2-%3)")
            .arg(sorted[sorted.size() / 2], 0, 'f', 0)
            .arg(sorted.front(), 0, 'f', 0)
            .arg(sorted.back(), 0, 'f', 0);
    }
    double median() const
    {
        std::vector<double> sorted = values;
        std::sort(sorted.begin(), sorted.end());
        return sorted.empty() ? 0.0 : sorted[sorted.size() / 2];
    }
};

} // namespace

int main(int argc, char **argv)
{
    if (argc > 2 && std::strcmp(argv[1], "--child-make") == 0)
        return childMake(argc, argv);
    if (argc > 3 && std::strcmp(argv[1], "--child-document") == 0)
        return childApplication(argv[2], argv[3], (documentWidth / 500) * (documentHeight / 500) * layerCount, argv);
    if (argc > 1 && std::strcmp(argv[1], "--child-empty") == 0)
        return childApplication(nullptr, "", 0, argv);

    QCoreApplication application(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    // Kept where the saves go, on the disk under test, not in memory.
    const QString where = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QDir::currentPath();
    QTemporaryDir home(where + QStringLiteral("/bench_bigdocument-XXXXXX"));
    if (!home.isValid())
        return 1;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "TMPDIR"})
        environment.insert(QString::fromLatin1(name), home.path() + QLatin1Char('/') + QString::fromLatin1(name).toLower());
    const QString program = QCoreApplication::applicationFilePath();
    const QString document = home.filePath(QStringLiteral("big.kxd"));
    const QString copy = home.filePath(QStringLiteral("saved.kxd"));

    QProcess make;
    make.setProcessEnvironment(environment);
    make.start(program, {QStringLiteral("--child-make"), document});
    if (!make.waitForFinished(600000) || make.exitCode() != 0 || !QFileInfo::exists(document)) {
        std::fprintf(stderr, "the document could not be made (is there a display?)\n");
        return 1;
    }
    QByteArray bytes;
    {
        QFile file(document);
        if (!file.open(QIODevice::ReadOnly))
            return 1;
        bytes = file.readAll();
    }
    std::printf("%d x %d, %d layers, %.1f MB file; %d runs, alternated; load average before %s\n", documentWidth,
                documentHeight, layerCount, bytes.size() / 1e6, runs, qPrintable(BenchFigures::loadAverages()));
    std::fflush(stdout);

    Series emptyShown, emptyFrame, emptyIdle, emptyHwm, emptyKey, emptyPressFrame, emptyPressReturn;
    Series shown, frame, loaded, idle, repaint, save, hwm, write, key, pressFrame, pressReturn, toCome;
    for (int i = 0; i < runs; ++i) {
        Figures empty = runChild(program, {QStringLiteral("--child-empty")}, environment);
        Figures full = runChild(program, {QStringLiteral("--child-document"), document, copy}, environment);
        const double written = BenchPlainFile::write(bytes, copy, MLayerDescription::TileBytes + 16);
        QFile::remove(copy);
        if (empty.count("failed") || full.count("failed") || !full.count("save") || full["save"] < 0 || written < 0) {
            std::fprintf(stderr, "run %d failed:%s%s%s%s\n", i + 1, empty.count("failed") ? " no document's run" : "",
                         full.count("failed") ? " document's run" : "",
                         !full.count("save") || full["save"] < 0 ? " the document's save" : "",
                         written < 0 ? " the plain write" : "");
            return 1;
        }
        emptyShown.add(empty["shown"]);
        emptyFrame.add(empty["frame"]);
        emptyIdle.add(empty["idle"]);
        emptyHwm.add(empty["hwm"]);
        shown.add(full["shown"]);
        frame.add(full["frame"]);
        loaded.add(full["loaded"]);
        idle.add(full["idle"]);
        repaint.add(full["repaint"]);
        save.add(full["save"]);
        hwm.add(full["hwm"]);
        write.add(written);
        emptyKey.add(empty["key"]);
        emptyPressFrame.add(empty["pressframe"]);
        emptyPressReturn.add(empty["pressreturn"]);
        key.add(full["key"]);
        pressFrame.add(full["pressframe"]);
        pressReturn.add(full["pressreturn"]);
        toCome.add(full["loaded"] - full["frame"]);
        std::fprintf(stderr, "run %d: empty frame %.0f ms, document frame %.0f ms, tiles in %.0f ms, idle %.0f ms, save %.0f ms\n",
                     i + 1, empty["frame"], full["frame"], full["loaded"], full["idle"], full["save"]);
    }
    std::printf("milliseconds from process start, median (range) of %d runs\n", runs);
    std::printf("  no document:  shown %s, first frame %s, idle %s, VmHWM %s MB\n", qPrintable(emptyShown.text()),
                qPrintable(emptyFrame.text()), qPrintable(emptyIdle.text()), qPrintable(emptyHwm.text()));
    std::printf("  document:     shown %s, first frame %s, all tiles in %s, idle %s, VmHWM %s MB\n",
                qPrintable(shown.text()), qPrintable(frame.text()), qPrintable(loaded.text()), qPrintable(idle.text()),
                qPrintable(hwm.text()));
    std::printf("  one repaint of the document %s ms\n", qPrintable(repaint.text()));
    std::printf("  save %s ms; write + sync + rename of the same bytes %s ms\n", qPrintable(save.text()),
                qPrintable(write.text()));
    std::printf("  first frame / no document's first frame %.2f, idle / no document's idle %.2f, save / write %.2f\n",
                frame.median() / emptyFrame.median(), idle.median() / emptyIdle.median(),
                save.median() / write.median());
    std::printf("  input at the first frame, tiles still to come for %s ms:\n", qPrintable(toCome.text()));
    std::printf("    a key answered after %s ms (no document %s)\n", qPrintable(key.text()), qPrintable(emptyKey.text()));
    std::printf("    a stroke's press: next frame after %s ms (no document %s), press handled after %s ms (no document %s)\n",
                qPrintable(pressFrame.text()), qPrintable(emptyPressFrame.text()), qPrintable(pressReturn.text()),
                qPrintable(emptyPressReturn.text()));
    std::printf("load average after %s\n", qPrintable(BenchFigures::loadAverages()));
    return 0;
}
