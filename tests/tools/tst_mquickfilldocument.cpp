#include "mbufferlayer.h"
#include "mcanvas.h"
#include "mlogger.h"
#include "mopengl.h"
#include "mquickfill.h"
#include "msettings.h"
#include "mshaderlist.h"
#include "mtestcanvas.h"
#include "mtestglcontext.h"
#include "mtexturetransfert.h"
#include "mundostream.h"
#include "mutility.h"

#include <QDir>
#include <QPainterPath>
#include <QTest>
#include <QUndoStack>

#include <memory>

using namespace MTestCanvas;

namespace {
// The document spans (-300, -60) to (299, 59): three cells wide. Layer 0 is
// red on the left of x = 0 and blue on the right.
const QRect leftHalf(-300, -60, 300, 120);
const QRect rightHalf(0, -60, 300, 120);
const QRgb red = qRgba(200, 0, 0, 255);
const QRgb blue = qRgba(0, 0, 200, 255);

// Records what the fill hands to the document instead of committing it.
class RecordingFill : public MQuickFill
{
public:
    int pastes = 0;
    int row = -2;
    QString text;
    QRgb pixel = 0;
    QPoint probe;

protected:
    bool pasteIntoDocument(int targetRow, const QString &undoText) override
    {
        ++pastes;
        row = targetRow;
        text = undoText;
        uchar bytes[4];
        buffer()->pixelAt(probe.x(), probe.y(), bytes);
        pixel = qRgba(bytes[0], bytes[1], bytes[2], bytes[3]);
        return true;
    }
};
} // namespace

class TestMQuickFillDocument : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MCanvas> canvas;

    QRgb selected(const QPoint &p) const { return pixelAt(canvas->selectionLayer(), p); }

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase()
    {
        canvas = MTestCanvas::createDocument(QSize(600, 120));
        QVERIFY(canvas);
    }

    void init()
    {
        canvas->reset();
        canvas->setPaintedRect(QRectF(-300, -60, 600, 120));
        canvas->appendLayer();
        canvas->makeCurrent();
        paintRect(canvas->at(0), leftHalf, red);
        paintRect(canvas->at(0), rightHalf, blue);
        paintRect(canvas->at(1), QRect(-300, -60, 600, 120), blue);
    }

    void cleanup()
    {
        MShaderList::destroyInstance();
    }

    void cleanupTestCase()
    {
        canvas->makeCurrent();
        MTextureTransfert::instance()->release(canvas->context());
        canvas.reset();
    }

    void magicWand_data()
    {
        QTest::addColumn<bool>("clearSelection");
        QTest::newRow("a plain click replaces the selection") << true;
        QTest::newRow("with clearSelection off the region is added") << false;
    }

    // The region of the sampled layer lands in the selection layer; what was
    // selected before stays only when adding.
    void magicWand()
    {
        QFETCH(bool, clearSelection);
        QPainterPath earlier;
        earlier.addRect(QRectF(100, -20, 50, 40));
        canvas->setClipPath(earlier);
        QCOMPARE(selected(QPoint(120, 0)), qRgba(0, 0, 0, 255));
        MQuickFill fill;
        fill.setEdits(canvas->layerEdits());
        fill.set_clearSelection(clearSelection);
        const int steps = canvas->undoStack()->count();
        QVERIFY(fill.selectAt(QPointF(-150.4, 10.2), 0));
        QCOMPARE(fill.resultRect(), QRectF(leftHalf));
        for (const QPoint &p : {QPoint(-300, -60), QPoint(-1, 59), QPoint(-200, 0), QPoint(-150, 10)})
            QCOMPARE(qAlpha(selected(p)), 255);
        for (const QPoint &p : {QPoint(0, 0), QPoint(299, 59), QPoint(60, -60)})
            QCOMPARE(qAlpha(selected(p)), 0);
        QCOMPARE(qAlpha(selected(QPoint(120, 0))), clearSelection ? 0 : 255);
        // The layers themselves are untouched.
        QCOMPARE(pixelAt(canvas->at(0), QPoint(-150, 10)), red);
        QCOMPARE(canvas->undoStack()->count(), steps);
        QCOMPARE(fill.buffer()->tileCount(), 0);
        QVERIFY_GL_CLEAN();
    }

    void magicWandOutOfTimeChangesNothing()
    {
        QPainterPath earlier;
        earlier.addRect(QRectF(100, -20, 50, 40));
        canvas->setClipPath(earlier);
        MQuickFill fill;
        fill.setEdits(canvas->layerEdits());
        fill.setTimeLimit(0);
        QVERIFY(!fill.selectAt(QPointF(-150, 10), 0));
        QVERIFY(fill.resultRect().isNull());
        QCOMPARE(qAlpha(selected(QPoint(-150, 10))), 0);
        QCOMPARE(qAlpha(selected(QPoint(120, 0))), 255);
    }

    void bucket_data()
    {
        QTest::addColumn<QPointF>("click");
        QTest::addColumn<int>("row");
        QTest::addColumn<QColor>("color");
        QTest::addColumn<int>("timeLimit");
        QTest::addColumn<int>("pastedRow");    // -1: nothing handed over
        QTest::newRow("the given layer") << QPointF(-10.6, 3) << 0 << QColor(Qt::green) << 20000 << 0;
        QTest::newRow("the current layer") << QPointF(-10, 3) << -1 << QColor(Qt::green) << 20000 << 1;
        QTest::newRow("no such layer: the current one") << QPointF(-10, 3) << 7 << QColor(Qt::green) << 20000 << 1;
        QTest::newRow("outside the painted rectangle") << QPointF(-301, 3) << 0 << QColor(Qt::green) << 20000 << -1;
        QTest::newRow("the colour is there already") << QPointF(-10, 3) << 0 << QColor(200, 0, 0) << 20000 << -1;
        QTest::newRow("out of time") << QPointF(-10, 3) << 0 << QColor(Qt::green) << 0 << -1;
    }

    // A finished fill hands its buffer, read from the right layer, to the
    // document as the undo step "Fill"; anything else hands nothing over.
    void bucket()
    {
        QFETCH(QPointF, click);
        QFETCH(int, row);
        QFETCH(QColor, color);
        QFETCH(int, timeLimit);
        QFETCH(int, pastedRow);
        RecordingFill fill;
        fill.setEdits(canvas->layerEdits());
        fill.setTimeLimit(timeLimit);
        fill.probe = QPoint(-11, 3);
        QCOMPARE(fill.fillAt(click, color, row), pastedRow >= 0);
        QCOMPARE(fill.pastes, pastedRow >= 0 ? 1 : 0);
        // The copy of the layer is not kept once the fill is over.
        QCOMPARE(fill.buffer()->tileCount(), 0);
        if (pastedRow < 0)
            return;
        QCOMPARE(fill.row, pastedRow);
        QCOMPARE(fill.text, QStringLiteral("Fill"));
        QCOMPARE(fill.pixel, qRgba(0, 255, 0, 255));
        QCOMPARE(fill.resultRect(), pastedRow == 0 ? QRectF(leftHalf) : QRectF(-300, -60, 600, 120));
        // The layer waits for the document's paste.
        QCOMPARE(pixelAt(canvas->at(pastedRow), QPoint(-11, 3)), pastedRow == 0 ? red : blue);
    }

    void bucketFillThroughTheDocument_data()
    {
        QTest::addColumn<double>("undoMemory");
        QTest::newRow("history in memory") << 256.0;
        QTest::newRow("history spilled to disk") << 0.0;
    }

    // A real bucket fill is one undo step "Fill" on the layer; undo gives
    // back the old pixels and redo the filled ones, also from the disk.
    void bucketFillThroughTheDocument()
    {
        QFETCH(double, undoMemory);
        const double limit = MSettings::instance()->undoMemoryMax();
        MSettings::instance()->set_undoMemoryMax(undoMemory);
        struct Restore
        {
            double limit;
            ~Restore() { MSettings::instance()->set_undoMemoryMax(limit); }
        } restore{limit};
        canvas->undoStack()->clear();
        MQuickFill fill;
        fill.setEdits(canvas->layerEdits());
        QVERIFY(fill.fillAt(QPointF(-10, 3), Qt::green, 0));
        QCOMPARE(canvas->undoStack()->count(), 1);
        QCOMPARE(canvas->undoStack()->text(0), QStringLiteral("Fill"));
        if (undoMemory == 0.0) {
            // Both images of every tile, the filled one too, wait on the disk.
            while (canvas->undoStream()->workerCount() > 0)
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            const int tiles = canvas->undoStack()->command(0)->childCount();
            QVERIFY(tiles > 0);
            QCOMPARE(QDir(MUtility::cacheDirectory()).entryList({QStringLiteral("*.data")}, QDir::Files).size(),
                     2 * tiles);
            QCOMPARE(canvas->undoStream()->memorySize(), qint64(0));
        }
        const QRgb green = qRgba(0, 255, 0, 255);
        const struct
        {
            QPoint p;
            QRgb before;
            QRgb after;
        } probes[] = {{QPoint(-300, -60), red, green}, {QPoint(-1, 59), red, green}, {QPoint(0, 0), blue, blue},
                      {QPoint(299, 59), blue, blue}};
        for (int round = 0; round < 2; ++round) {
            canvas->makeCurrent();
            for (const auto &probe : probes)
                QCOMPARE(pixelAt(canvas->at(0), probe.p), probe.after);
            QCOMPARE(pixelAt(canvas->at(1), QPoint(-10, 3)), blue);
            canvas->undo();
            canvas->makeCurrent();
            for (const auto &probe : probes)
                QCOMPARE(pixelAt(canvas->at(0), probe.p), probe.before);
            canvas->redo();
        }
        canvas->undoStack()->clear();
    }
};

QTEST_MAIN(TestMQuickFillDocument)
#include "tst_mquickfilldocument.moc"
