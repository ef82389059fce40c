// A zig-zag played on the X server's own pointer while the program is busy
// and reads none of it: when the program gets to the samples, the stroke
// still turns at every corner.

#include "mcanvas.h"
#include "mmainwindow.h"
#include "mtestglcontext.h"
#include "mtestmainwindow.h"
#include "mtestpaintingwindow.h"
#include "mtestscreenshot.h"
#include "mtestxinput.h"
#include "mtransform.h"
#include "mwidget.h"

#include <QElapsedTimer>
#include <QTest>
#include <QUndoStack>

namespace {
constexpr int W = 400;
constexpr int H = 300;

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
        QVERIFY(m_painting.open(QSize(W, H)));
        m_painting.paintWith(3.0, 1.0, QColor(20, 20, 20));
    }

    void cleanupTestCase() { m_painting.close(); }

    // Eleven corners, the pointer moved in small steps between them while
    // the program stays busy 80 ms a segment: every corner is painted.
    void everyCornerOfABusyZigZag()
    {
        MTestXInput pointer;
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
        pointer.button(1, true);
        for (int i = 1; i < corners.size(); ++i) {
            const QPointF from = corners.at(i - 1), to = corners.at(i);
            for (int step = 1; step <= 8; ++step) {
                pointer.moveTo(onScreen(from + (to - from) * (step / 8.0)));
                busyFor(10);
            }
        }
        pointer.button(1, false);
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
