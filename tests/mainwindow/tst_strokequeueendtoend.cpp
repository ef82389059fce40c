// A painter chooses a brush in the brush list and drags a long stroke with
// the mouse: the brush's programs are ready before the press, the view shows
// the stamps placed so far while the button is held, and the layer keeps a
// stroke without gaps once it is released.

#include "mbrush.h"
#include "mbrushlist.h"
#include "mbrushlistwidget.h"
#include "mbrushwidget.h"
#include "mcanvas.h"
#include "mcolorlist.h"
#include "mlistpanel.h"
#include "mmainwindow.h"
#include "mrandom.h"
#include "mshaderprogramlist.h"
#include "mstampfeatures.h"
#include "mtestglcontext.h"
#include "mtestmainwindow.h"
#include "mtestpaintingwindow.h"
#include "mtestscreenshot.h"
#include "mtexturelayer.h"
#include "mtransform.h"
#include "mwidget.h"

#include <QDockWidget>
#include <QTest>
#include <QUndoStack>

#include <memory>

namespace {
constexpr int W = 400;
constexpr int H = 300;

bool reddened(const QColor &c)
{
    return c.red() > 150 && c.red() > c.green() + 80;
}
} // namespace

class TestStrokeQueueEndToEnd : public QObject
{
    Q_OBJECT

private:
    MTestPaintingWindow m_painting;

    MCanvas *canvas() const { return m_painting.canvas(); }

    // The stamping program the brush paints with in the document as it is.
    QByteArray definesFor(const MBrush *brush) const
    {
        double values[MEnum::bsCount];
        for (int setting = 0; setting < MEnum::bsCount; ++setting)
            values[setting] = brush->value(setting);
        return MStampFeatures::fromValues(values, false, canvas()->clipToSelection(), false).defines();
    }

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_painting.prepare(QSize(W, H), {QStringLiteral("u:pens/round"), QStringLiteral("u:pens/square")}));
        // A brush unlike the current one: a soft rounded square with a rim.
        MBrush *square = MBrushList::instance()->brush(1);
        square->setShape(1);
        square->setRadius(9);
        square->setHardness(0.6);
        square->setUseBorderColor(true);
        QVERIFY(m_painting.show());
        m_painting.window()->showPanel(m_painting.window()->findChild<QDockWidget *>(QStringLiteral("brushDockWidget")));
        QVERIFY(MTestMainWindow::focusView(m_painting.view()));
    }

    void cleanupTestCase() { m_painting.close(); }

    void chosenBrushDragsAStrokeWithoutGaps()
    {
        MBrushList *brushes = MBrushList::instance();
        MBrush *square = brushes->brush(1);
        MShaderProgramList *programs = canvas()->shaderProgramList();
        const QByteArray defines = definesFor(square);
        QVERIFY(!programs->hasVariant(QStringLiteral("stamping"), defines));

        // A click on the brush's row in the list.
        MListPanel *list = m_painting.window()->brushWidget()->brushListWidget()->panel();
        QTRY_VERIFY(list->isVisible() && list->height() > 0);
        const QRectF row = m_painting.window()->brushWidget()->brushListWidget()->rowRect(1).translated(0, -list->firstY());
        QVERIFY(list->rect().contains(row.center().toPoint()));
        QTest::mouseClick(list, Qt::LeftButton, Qt::NoModifier, row.center().toPoint());
        QCOMPARE(brushes->currentRow(), 1);
        // Compiled once the choice is made, before any press.
        QTRY_VERIFY(programs->hasVariant(QStringLiteral("stamping"), defines));
        MColorList::instance()->setColor(QColor(220, 30, 30));

        MWidget *view = m_painting.view();
        QVERIFY(MTestMainWindow::focusView(view));
        const QPointF from = view->transform()->map(QPointF(-150, 20));
        const QPointF to = view->transform()->map(QPointF(150, 20));
        const int steps = canvas()->undoStack()->index();
        MTestMainWindow::mouse(view, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        for (int i = 1; i <= 120; ++i)
            MTestMainWindow::mouse(view, QEvent::MouseMove, from + (to - from) * (i / 120.0), Qt::NoButton,
                                   Qt::LeftButton);
        // Held still at the end: the view shows the stamps placed so far.
        QVERIFY(canvas()->strokeInProgress());
        for (double x : {-120.0, -40.0, 40.0, 100.0})
            QTRY_VERIFY2(reddened(MTestMainWindow::shownAt(view, QPointF(x, 20))),
                         qPrintable(MTestMainWindow::shownAt(view, QPointF(x, 20)).name()));
        MTestScreenshot::keep(view->grabFramebuffer(), QStringLiteral("strokequeue-pen-down.png"));
        QVERIFY(canvas()->strokeInProgress());
        MTestMainWindow::mouse(view, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
        QCOMPARE(canvas()->undoStack()->index(), steps + 1);
        QCOMPARE(canvas()->undoStack()->text(steps), QStringLiteral("Brush stroke: square, #dc1e1e"));

        // The merged layer: paint all along the drag, one stroke, nothing far off it.
        const QImage painted = MTestMainWindow::layerPixels(canvas());
        const QPoint corner = canvas()->paintedRect().topLeft().toPoint();
        for (int x = -140; x <= 140; x += 2) {
            const QRgb pixel = painted.pixel(QPoint(x, 20) - corner);
            QVERIFY2(qAlpha(pixel) > 200 && qRed(pixel) > qGreen(pixel) + 80,
                     qPrintable(QStringLiteral("gap at x = %1").arg(x)));
        }
        QCOMPARE(qAlpha(painted.pixel(QPoint(0, -60) - corner)), 0);
        QCOMPARE(qAlpha(painted.pixel(QPoint(0, 100) - corner)), 0);
        QTRY_VERIFY(reddened(MTestMainWindow::shownAt(view, QPointF(0, 20))));
        MTestScreenshot::keep(m_painting.window()->grab(), QStringLiteral("strokequeue-window.png"));
    }

    // Choosing a brush draws a stroke of it that nobody sees, so that the
    // press finds the driver's code built: it must leave the document as it
    // was, over paint and over a layer with no tile at all.
    void choosingABrushLeavesTheDocumentAsItWas()
    {
        MWidget *view = m_painting.view();
        MListPanel *list = m_painting.window()->brushWidget()->brushListWidget()->panel();
        for (bool emptyLayer : {false, true}) {
            if (emptyLayer)
                canvas()->appendLayer();
            MTextureLayer *layer = canvas()->current();
            const int tiles = layer->tileCount();
            QVERIFY(emptyLayer ? tiles == 0 : tiles > 0);
            const QImage pixels = MTestMainWindow::layerPixels(canvas());
            const int steps = canvas()->undoStack()->index();
            const bool modified = canvas()->isModified();
            const QRectF painted = canvas()->paintedRect();
            const QColor shown = MTestMainWindow::shownAt(view, QPointF(0, 20));
            MRandom::seed(11);
            const int rehearsals = view->rehearsalCount();

            const int row = MBrushList::instance()->currentRow() == 0 ? 1 : 0;
            const QRectF rect = m_painting.window()->brushWidget()->brushListWidget()->rowRect(row).translated(0, -list->firstY());
            QTest::mouseClick(list, Qt::LeftButton, Qt::NoModifier, rect.center().toPoint());
            QTRY_COMPARE(view->rehearsalCount(), rehearsals + 1);

            QCOMPARE(layer->tileCount(), tiles);
            QCOMPARE(MTestMainWindow::layerPixels(canvas()), pixels);
            QCOMPARE(canvas()->undoStack()->index(), steps);
            QCOMPARE(canvas()->isModified(), modified);
            QCOMPARE(canvas()->paintedRect(), painted);
            QVERIFY(!canvas()->strokeInProgress());
            QCOMPARE(MTestMainWindow::paintedPixels(canvas()->grabLayer(canvas()->strokeLayer(), QStringLiteral("basic"))), 0);
            QCOMPARE(MTestMainWindow::shownAt(view, QPointF(0, 20)), shown);
            // Seeded strokes draw the same numbers as without the rehearsal.
            const int drawn = MRandom::next();
            MRandom::seed(11);
            QCOMPARE(drawn, MRandom::next());
        }
        MTestScreenshot::keep(m_painting.window()->grab(), QStringLiteral("strokequeue-brush-chosen.png"));
    }
};

QTEST_MAIN(TestStrokeQueueEndToEnd)
#include "tst_strokequeueendtoend.moc"
