#include "mcanvas.h"
#include "mcanvasfill.h"
#include "mlayeredits.h"
#include "mlogger.h"
#include "mopengl.h"
#include "msettings.h"
#include "mtestcanvas.h"
#include "mtestglcontext.h"

#include <QPainterPath>
#include <QTest>
#include <QUndoStack>

#include <memory>

using namespace MTestCanvas;

namespace {
// The document spans (-300, -60) to (299, 59). Layer 0 holds a red square
// on the left; layer 1 is empty and current.
const QRect area(-300, -60, 600, 120);
const QRect square(-280, -40, 40, 40);
const QRgb red = qRgba(200, 0, 0, 255);
const QRgb green = qRgba(0, 255, 0, 255);

QPainterPath rectPath(const QRect &rect)
{
    QPainterPath path;
    path.addRect(QRectF(rect));
    return path;
}
} // namespace

class TestMCanvasFill : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MCanvas> canvas;

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase()
    {
        canvas = MTestCanvas::createDocument(area.size());
        QVERIFY(canvas);
    }

    void init()
    {
        canvas->reset();
        canvas->setPaintedRect(QRectF(area));
        canvas->appendLayer();
        canvas->makeCurrent();
        paintRect(canvas->at(0), square, red);
        canvas->undoStack()->clear();
        QCOMPARE(canvas->currentRow(), 1);
    }

    void cleanupTestCase() { canvas.reset(); }

    // The image is one pixel larger than the path on every side, so the
    // antialiased edges are kept, and the path sits in its middle.
    void renderPathKeepsAMargin()
    {
        const QImage image = MCanvasFill::renderPath(rectPath(QRect(10, 20, 30, 10)), Qt::green);
        QCOMPARE(image.size(), QSize(32, 12));
        QCOMPARE(image.pixel(0, 0), QRgb(0));
        QCOMPARE(image.pixel(31, 11), QRgb(0));
        QCOMPARE(image.pixel(1, 1), green);
        QCOMPARE(image.pixel(30, 10), green);
    }

    void fillPath_data()
    {
        QTest::addColumn<QRect>("path");      // empty: no selection
        QTest::addColumn<QPoint>("inside");
        QTest::addColumn<QPoint>("outside");  // (0, 0) with nothing outside
        QTest::newRow("a path") << QRect(100, -10, 50, 30) << QPoint(149, 19) << QPoint(150, 0);
        QTest::newRow("no path: the whole document") << QRect() << QPoint(-300, 59) << QPoint();
    }

    // One undo step "Fill path" in the current layer; undo empties it again.
    void fillPath()
    {
        QFETCH(QRect, path);
        QFETCH(QPoint, inside);
        QFETCH(QPoint, outside);
        QVERIFY(canvas->fillPath(path.isEmpty() ? QPainterPath() : rectPath(path), Qt::green, -1));
        QCOMPARE(canvas->undoStack()->count(), 1);
        QCOMPARE(canvas->undoStack()->text(0), QStringLiteral("Fill path"));
        canvas->makeCurrent();
        QCOMPARE(pixelAt(canvas->at(1), inside), green);
        QCOMPARE(pixelAt(canvas->at(1), QPoint(299, -60)) == green, path.isEmpty());
        if (!outside.isNull())
            QCOMPARE(pixelAt(canvas->at(1), outside), QRgb(0));
        QCOMPARE(pixelAt(canvas->at(0), square.topLeft()), red);
        canvas->undo();
        canvas->makeCurrent();
        QCOMPARE(pixelAt(canvas->at(1), inside), QRgb(0));
        canvas->redo();
        canvas->makeCurrent();
        QCOMPARE(pixelAt(canvas->at(1), inside), green);
    }

    void fillPathRefusesAHiddenLayer()
    {
        canvas->at(1)->setVisible(false);
        QVERIFY(!canvas->fillPath(QPainterPath(), Qt::green, -1));
        QCOMPARE(canvas->undoStack()->count(), 0);
    }

    void fillLayer_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QColor>("color");
        QTest::addColumn<QRect>("selection");   // empty: none
        QTest::addColumn<bool>("recorded");
        QTest::addColumn<QPoint>("probe");
        QTest::addColumn<QRgb>("expected");
        QTest::addColumn<QPoint>("untouched");   // keeps its pixel, (0, 0): not checked
        QTest::newRow("fill an empty layer") << 1 << QColor(Qt::green) << QRect() << true << QPoint(299, 59)
                                             << green << QPoint();
        QTest::newRow("fill an empty layer's selection") << 1 << QColor(Qt::green) << QRect(100, -10, 50, 30)
                                                         << true << QPoint(120, 0) << green << QPoint(99, 0);
        QTest::newRow("fill a painted layer") << 0 << QColor(Qt::green) << QRect() << true << square.topLeft()
                                              << green << QPoint();
        QTest::newRow("erase a painted layer") << 0 << QColor(Qt::transparent) << QRect() << true
                                               << square.topLeft() << QRgb(0) << QPoint();
        QTest::newRow("erase inside a selection") << 0 << QColor(Qt::transparent) << QRect(-280, -40, 20, 40)
                                                  << true << QPoint(-270, -30) << QRgb(0) << QPoint(-250, -30);
        QTest::newRow("erase an empty layer") << 1 << QColor(Qt::transparent) << QRect() << false << QPoint(0, 0)
                                              << QRgb(0) << QPoint();
        QTest::newRow("no such layer") << 5 << QColor(Qt::green) << QRect() << false << QPoint(0, 0) << QRgb(0)
                                       << QPoint();
    }

    // Filling and erasing are the one undo step "Clear", inside the
    // selection; undo and redo give back the pixels before and after.
    void fillLayer()
    {
        QFETCH(int, row);
        QFETCH(QColor, color);
        QFETCH(QRect, selection);
        QFETCH(bool, recorded);
        QFETCH(QPoint, probe);
        QFETCH(QRgb, expected);
        QFETCH(QPoint, untouched);
        if (!selection.isEmpty())
            canvas->setClipPath(rectPath(selection));
        canvas->makeCurrent();
        const QRgb before = pixelAt(canvas->at(qMin(row, 1)), probe);
        const QRgb kept = untouched.isNull() ? 0 : pixelAt(canvas->at(qMin(row, 1)), untouched);
        canvas->layerEdits()->fillLayer(row, color);
        QCOMPARE(canvas->undoStack()->count(), recorded ? 1 : 0);
        if (!recorded) {
            QVERIFY(!MTestCanvas::macroOpen(canvas.get()));
            return;
        }
        QCOMPARE(canvas->undoStack()->text(0), QStringLiteral("Clear"));
        for (int round = 0; round < 2; ++round) {
            canvas->makeCurrent();
            QCOMPARE(pixelAt(canvas->at(row), probe), expected);
            if (!untouched.isNull())
                QCOMPARE(pixelAt(canvas->at(row), untouched), kept);
            canvas->undo();
            canvas->makeCurrent();
            QCOMPARE(pixelAt(canvas->at(row), probe), before);
            canvas->redo();
        }
    }

    // The document's fill and erase fill the current layer, and only where
    // painting is allowed.
    void documentFillAndErase()
    {
        canvas->fill(Qt::green);
        canvas->setCurrentRow(0);
        canvas->erase();
        QCOMPARE(canvas->undoStack()->count(), 2);
        QCOMPARE(canvas->undoStack()->text(1), QStringLiteral("Clear"));
        canvas->at(0)->setLocked(true);
        canvas->erase();
        QCOMPARE(canvas->undoStack()->count(), 2);
    }
};

QTEST_MAIN(TestMCanvasFill)
#include "tst_mcanvasfill.moc"
