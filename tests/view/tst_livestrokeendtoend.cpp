// A painter's fast drag in the real window, then the pen held still: while
// the button is down the view must already show every stamp placed so far
// and the stroke must reach the held pointer; after the release the same
// stroke is in the layer and on the screen.

#include "mcanvas.h"
#include "msettings.h"
#include "mtestglcontext.h"
#include "mtestmainwindow.h"
#include "mtestpaintingwindow.h"
#include "mtestscreenshot.h"
#include "mtestview.h"
#include "mtransform.h"
#include "mwidget.h"

#include <QTest>
#include <QUndoStack>

#include <memory>

namespace {
constexpr int W = 800;
constexpr int H = 500;

bool isStroke(const QColor &c)
{
    return c.red() > 150 && c.green() < 110 && c.blue() < 110;
}

// While a button is down the window system keeps the pointer with the view
// (its implicit grab); synthetic input has no grab, so windows of other tests
// on the same display could make the view think it was left mid-drag.
class PointerGrab : public QObject
{
public:
    explicit PointerGrab(QWidget *view)
        : m_view(view)
    {
        view->installEventFilter(this);
    }
    ~PointerGrab() override { m_view->removeEventFilter(this); }
    bool eventFilter(QObject *, QEvent *e) override
    {
        return e->type() == QEvent::Leave || e->type() == QEvent::Enter;
    }

private:
    QWidget *m_view;
};

// The view points along the straight path that the frame does not show as
// stroke, as "x,y" strings.
QStringList gapsAlong(const QImage &frame, const QPointF &from, const QPointF &to)
{
    QStringList gaps;
    const int samples = int(QLineF(from, to).length());
    for (int i = 0; i <= samples; ++i) {
        const QPoint p = (from + (to - from) * (double(i) / samples)).toPoint();
        if (!isStroke(frame.pixelColor(p)))
            gaps << QStringLiteral("%1,%2").arg(p.x()).arg(p.y());
    }
    return gaps;
}
} // namespace

class TestLiveStrokeEndToEnd : public QObject
{
    Q_OBJECT

private:
    MTestPaintingWindow m_painting;
    // Where the pointer was last held down.
    QPointF m_held;

    MWidget *view() const { return m_painting.view(); }
    MCanvas *canvas() const { return view()->canvas(); }

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_painting.prepare(QSize(W, H)));
        // The layer thumbnails along the view's edge would cover the ends.
        MSettings::instance()->set_showThumbnails(false);
        QVERIFY(m_painting.show());
        m_painting.paintWith(5, 1.0, QColor(220, 10, 10));
    }

    // A failed case leaves no button held for the next one.
    void cleanup()
    {
        if (canvas()->strokeInProgress())
            MTestMainWindow::mouse(view(), QEvent::MouseButtonRelease, m_held, Qt::LeftButton, Qt::NoButton);
    }

    void cleanupTestCase() { m_painting.close(); }

    // Straight drags fast enough that several moves come within one frame
    // interval, then a rest; by pixels of the view's last frame, before the
    // release: no gap from the press to the held pointer.
    void fastDragShowsTheWholeStrokeUpToTheHeldPointer_data()
    {
        QTest::addColumn<QPointF>("docFrom");
        QTest::addColumn<QPointF>("docTo");
        QTest::addColumn<int>("moves");
        QTest::newRow("rightwards, 30 moves") << QPointF(-300, -150) << QPointF(300, -150) << 30;
        QTest::newRow("diagonal, 12 long moves") << QPointF(-300, 150) << QPointF(250, -50) << 12;
        QTest::newRow("leftwards, 60 short moves") << QPointF(300, 100) << QPointF(-200, 100) << 60;
    }

    void fastDragShowsTheWholeStrokeUpToTheHeldPointer()
    {
        QFETCH(QPointF, docFrom);
        QFETCH(QPointF, docTo);
        QFETCH(int, moves);
        QVERIFY(MTestMainWindow::focusView(view()));
        const QPointF from = view()->transform()->map(docFrom);
        const QPointF to = view()->transform()->map(docTo);
        QVERIFY(view()->rect().contains(from.toPoint()) && view()->rect().contains(to.toPoint()));
        const int steps = canvas()->undoStack()->count();

        m_held = from;
        const PointerGrab grab(view());
        MTestMainWindow::mouse(view(), QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        for (int i = 1; i <= moves; ++i) {
            m_held = from + (to - from) * (double(i) / moves);
            MTestMainWindow::mouse(view(), QEvent::MouseMove, m_held, Qt::NoButton, Qt::LeftButton);
            // Input comes faster than frames: a few milliseconds a move.
            QTest::qWait(3);
        }
        // Held still for a few frames, the button still down.
        QTest::qWait(150);
        QVERIFY(canvas()->strokeInProgress());
        const QImage held = MTestView::lastFrame(view());
        MTestScreenshot::keep(held, QStringLiteral("livestroke-held-%1.png").arg(QTest::currentDataTag()));
        const QStringList gaps = gapsAlong(held, from, to);
        QVERIFY2(gaps.isEmpty(), qPrintable(QStringLiteral("%1 of %2 points not shown, first %3, last %4")
                                                .arg(gaps.size())
                                                .arg(int(QLineF(from, to).length()) + 1)
                                                .arg(gaps.value(0), gaps.value(gaps.size() - 1))));

        MTestMainWindow::mouse(view(), QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
        QVERIFY(!canvas()->strokeInProgress());
        QCOMPARE(canvas()->undoStack()->count(), steps + 1);
        QTRY_VERIFY(gapsAlong(MTestView::lastFrame(view()), from, to).isEmpty());
        // The layer holds the same stroke, end to end.
        const QImage pixels = MTestMainWindow::layerPixels(canvas(), canvas()->currentRow());
        const QPointF corner = canvas()->paintedRect().topLeft();
        for (double t : {0.0, 0.25, 0.5, 0.75, 1.0}) {
            const QPoint p = (docFrom + (docTo - docFrom) * t - corner).toPoint();
            QVERIFY2(isStroke(pixels.pixelColor(p)), qPrintable(QStringLiteral("%1,%2").arg(p.x()).arg(p.y())));
        }
    }
};

QTEST_MAIN(TestLiveStrokeEndToEnd)
#include "tst_livestrokeendtoend.moc"
