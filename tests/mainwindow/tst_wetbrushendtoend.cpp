// A painter blends with a wet brush across the document: the colours it
// picks up over a tile edge stay on their own sides, a stroke begun where
// nothing is painted yet picks up nothing from the stroke before, each
// stroke is one undo step however many tiles it crosses, and the saved
// document reopens with the same pixels.

#include "mbrush.h"
#include "mbrushlist.h"
#include "mcanvas.h"
#include "mmainwindow.h"
#include "mtestfolder.h"
#include "mtestglcontext.h"
#include "mtestmainwindow.h"
#include "mtestpaintingwindow.h"
#include "mtestscreenshot.h"
#include "mwidget.h"

#include <QAction>
#include <QTest>
#include <QUndoStack>

namespace {
constexpr int W = 600;
constexpr int H = 400;
const QColor red(220, 30, 30);
const QColor blue(30, 30, 220);

bool near(const QColor &a, const QColor &b)
{
    return a.alpha() == 255 && qAbs(a.red() - b.red()) < 24 && qAbs(a.green() - b.green()) < 24
           && qAbs(a.blue() - b.blue()) < 24;
}
} // namespace

class TestWetBrushEndToEnd : public QObject
{
    Q_OBJECT

private:
    MTestPaintingWindow m_painting;

    MCanvas *canvas() const { return m_painting.canvas(); }
    QAction *action(const char *name) const
    {
        return m_painting.window()->findChild<QAction *>(QString::fromLatin1(name));
    }
    // The layer's pixel under a document point.
    QColor layerAt(const QImage &layer, const QPointF &doc) const
    {
        return layer.pixelColor((doc - canvas()->paintedRect().topLeft()).toPoint());
    }

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_painting.prepare(QSize(W, H)));
        QVERIFY(m_painting.show());
    }

    void cleanupTestCase() { m_painting.close(); }

    void blendSaveAndReopen()
    {
        // Red left of the tile edge at x = 0, blue right of it.
        m_painting.paintWith(20.0, 1.0, red);
        for (int y = -80; y <= 80; y += 20)
            QVERIFY(MTestMainWindow::drag(m_painting.view(), QPointF(-150, y), QPointF(-30, y)));
        m_painting.paintWith(20.0, 1.0, blue);
        for (int y = -80; y <= 80; y += 20)
            QVERIFY(MTestMainWindow::drag(m_painting.view(), QPointF(30, y), QPointF(150, y)));
        // Up to the edge, each from its own side.
        m_painting.paintWith(12.0, 1.0, red);
        QVERIFY(MTestMainWindow::drag(m_painting.view(), QPointF(-12, -80), QPointF(-12, 80)));
        m_painting.paintWith(12.0, 1.0, blue);
        QVERIFY(MTestMainWindow::drag(m_painting.view(), QPointF(12, -80), QPointF(12, 80)));
        const int painted = canvas()->undoStack()->count();

        // A wet brush that lays down only what it picks up.
        m_painting.paintWith(12.0, 1.0, QColor(40, 200, 40));
        MBrush *brush = MBrushList::instance()->currentBrush();
        brush->setColorAbsorbtionRate(1.0);
        brush->setColorFlowingRate(0.0);
        const QImage before = MTestMainWindow::layerPixels(canvas(), 0);

        // Down the edge between the colours, across the edge at y = 0 too.
        QVERIFY(MTestMainWindow::drag(m_painting.view(), QPointF(0, -50), QPointF(0, 50)));
        QCOMPARE(canvas()->undoStack()->count(), painted + 1);
        const QImage blended = MTestMainWindow::layerPixels(canvas(), 0);
        for (int y : {-30, 0, 30}) {
            QVERIFY2(near(layerAt(blended, QPointF(-5, y)), red), qPrintable(layerAt(blended, QPointF(-5, y)).name()));
            QVERIFY2(near(layerAt(blended, QPointF(5, y)), blue), qPrintable(layerAt(blended, QPointF(5, y)).name()));
        }

        // On a new layer the brush finds nothing to pick up, and carries
        // nothing over from the stroke before.
        action("actionNewLayer")->trigger();
        QCOMPARE(canvas()->undoStack()->count(), painted + 2);
        const int wet = canvas()->currentRow();
        QVERIFY(MTestMainWindow::drag(m_painting.view(), QPointF(200, -120), QPointF(200, 120)));
        const QImage bare = MTestMainWindow::layerPixels(canvas(), wet);
        for (const QPointF &at : {QPointF(200, -120), QPointF(200, 0)}) {
            const QColor fresh = layerAt(bare, at);
            QVERIFY2(fresh.alpha() > 0 && fresh.red() == fresh.green() && fresh.green() == fresh.blue(),
                     qPrintable(fresh.name(QColor::HexArgb)));
        }
        MTestScreenshot::keep(m_painting.window()->grab(), QStringLiteral("wet-brush.png"));

        // One step per stroke, each undone and redone whole.
        QCOMPARE(canvas()->undoStack()->count(), painted + 3);
        action("actionUndo")->trigger();
        QCOMPARE(MTestMainWindow::paintedPixels(MTestMainWindow::layerPixels(canvas(), wet)), 0);
        action("actionUndo")->trigger();
        action("actionUndo")->trigger();
        QCOMPARE(MTestMainWindow::layerPixels(canvas(), 0), before);
        for (int i = 0; i < 3; ++i)
            action("actionRedo")->trigger();
        QCOMPARE(MTestMainWindow::layerPixels(canvas(), 0), blended);
        QCOMPARE(MTestMainWindow::layerPixels(canvas(), wet), bare);

        // Saved straight after, and reopened.
        MTestFolder folder;
        const QString path = folder.filePath(QStringLiteral("wet.kxd"));
        QVERIFY(canvas()->saveToFile(path));
        QVERIFY(canvas()->loadFromFile(path));
        QCOMPARE(MTestMainWindow::layerPixels(canvas(), 0), blended);
        QCOMPARE(MTestMainWindow::layerPixels(canvas(), wet), bare);
    }
};

QTEST_MAIN(TestWetBrushEndToEnd)
#include "tst_wetbrushendtoend.moc"
