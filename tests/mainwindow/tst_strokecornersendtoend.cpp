// A zig-zag played on the X server's own pointer while the program is busy
// and reads none of it: when the program gets to the samples, the stroke
// still turns at every corner.

#include "mcanvas.h"
#include "mmainwindow.h"
#include "mtestglcontext.h"
#include "mtestmainwindow.h"
#include "mtestpaintingwindow.h"
#include "mtestscreenshot.h"
#include "mtransform.h"
#include "mwidget.h"

#include <QElapsedTimer>
#include <QTest>
#include <QUndoStack>

#include <dlfcn.h>

// Last: the X headers define names the framework's headers use.
#include <X11/Xlib.h>

namespace {
constexpr int W = 400;
constexpr int H = 300;

// The pointer and its first button moved on the X server through the XTest
// extension (looked up at run time: the machine has the library but not its
// header), so that the samples queue up on the way in as a real pen's do.
class FakePointer
{
public:
    FakePointer()
    {
        m_library = dlopen("libXtst.so.6", RTLD_NOW);
        if (m_library) {
            m_motion = reinterpret_cast<Motion>(dlsym(m_library, "XTestFakeMotionEvent"));
            m_button = reinterpret_cast<Button>(dlsym(m_library, "XTestFakeButtonEvent"));
        }
        m_display = XOpenDisplay(nullptr);
    }
    ~FakePointer()
    {
        if (m_display)
            XCloseDisplay(m_display);
        if (m_library)
            dlclose(m_library);
    }
    bool usable() const { return m_motion && m_button && m_display; }
    void moveTo(const QPoint &screen)
    {
        m_motion(m_display, -1, screen.x(), screen.y(), 0);
        XFlush(m_display);
    }
    void button(bool down)
    {
        m_button(m_display, 1, down ? True : False, 0);
        XFlush(m_display);
    }
    // Until the server has taken every request sent so far.
    void sync() { XSync(m_display, False); }

private:
    using Motion = int (*)(Display *, int, int, int, unsigned long);
    using Button = int (*)(Display *, unsigned int, int, unsigned long);
    void *m_library = nullptr;
    Motion m_motion = nullptr;
    Button m_button = nullptr;
    Display *m_display = nullptr;
};

// The program at work elsewhere: the event loop is not reached meanwhile.
void busyFor(int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    while (!timer.hasExpired(milliseconds)) {
    }
}
} // namespace

class TestStrokeCornersEndToEnd : public QObject
{
    Q_OBJECT

private:
    MTestPaintingWindow m_painting;

    MCanvas *canvas() const { return m_painting.canvas(); }
    QPoint onScreen(const QPointF &document) const
    {
        MWidget *view = m_painting.view();
        return view->mapToGlobal(view->transform()->map(document).toPoint());
    }

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_painting.prepare(QSize(W, H)));
        QVERIFY(m_painting.show());
        m_painting.paintWith(3.0, 1.0, QColor(20, 20, 20));
    }

    void cleanupTestCase() { m_painting.close(); }

    // Eleven corners, the pointer moved in small steps between them while
    // the program stays busy 80 ms a segment: every corner is painted.
    void everyCornerOfABusyZigZag()
    {
        FakePointer pointer;
        if (!pointer.usable())
            QSKIP("no XTest on this X server");
        QVector<QPointF> corners;
        for (int i = 0; i < 11; ++i)
            corners.append(QPointF(-150 + 30 * i, i % 2 ? 60 : -60));
        const QRect viewOnScreen(m_painting.view()->mapToGlobal(QPoint(0, 0)), m_painting.view()->size());
        for (const QPointF &corner : qAsConst(corners))
            QVERIFY(viewOnScreen.contains(onScreen(corner)));
        const int steps = canvas()->undoStack()->index();

        pointer.moveTo(onScreen(corners.first()));
        pointer.sync();
        QTRY_VERIFY(m_painting.view()->underMouse());
        pointer.button(true);
        for (int i = 1; i < corners.size(); ++i) {
            const QPointF from = corners.at(i - 1), to = corners.at(i);
            for (int step = 1; step <= 8; ++step) {
                pointer.moveTo(onScreen(from + (to - from) * (step / 8.0)));
                busyFor(10);
            }
        }
        pointer.button(false);
        pointer.sync();
        QTRY_COMPARE(canvas()->undoStack()->index(), steps + 1);

        const QImage pixels = MTestMainWindow::layerPixels(canvas());
        MTestScreenshot::keep(m_painting.view()->grabFramebuffer(), QStringLiteral("busy-zigzag.png"));
        const QPoint corner = canvas()->paintedRect().topLeft().toPoint();
        // The view smooths the pointer's way, which rounds a corner off by
        // some pixels; a lost corner leaves the stroke a zig-zag's height away.
        for (const QPointF &c : qAsConst(corners)) {
            const QPoint at = c.toPoint() - corner;
            bool painted = false;
            for (int dy = -20; dy <= 20 && !painted; ++dy)
                for (int dx = -20; dx <= 20 && !painted; ++dx)
                    painted = dx * dx + dy * dy <= 400 && qAlpha(pixels.pixel(at + QPoint(dx, dy))) > 0;
            QVERIFY2(painted, qPrintable(QStringLiteral("corner %1,%2 not reached").arg(c.x()).arg(c.y())));
        }
    }
};

QTEST_MAIN(TestStrokeCornersEndToEnd)
#include "tst_strokecornersendtoend.moc"
