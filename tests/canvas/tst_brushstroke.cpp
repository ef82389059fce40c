#include "mbrush.h"
#include "mbrushlist.h"
#include "mcanvas.h"
#include "mcolorlist.h"
#include "mevent.h"
#include "mtestcanvas.h"
#include "mtestfolder.h"
#include "mtestglcontext.h"
#include "mtexturelayer.h"

#include <QDir>
#include <QPainterPath>
#include <QSignalSpy>
#include <QTest>
#include <QUndoCommand>
#include <QUndoStack>

#include <cmath>
#include <memory>

using namespace MTestCanvas;

namespace {
const QRectF document(-600, -300, 1200, 600);
const QRgb red = qRgba(200, 0, 0, 255);
const QColor paint(10, 20, 200);
} // namespace

// Strokes through the document's stroke entry, from the input events to the
// layer's pixels and the undo history.
class TestBrushStroke : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MCanvas> canvas;
    MTestFolder folders;

    // A library over empty folders holds only its default brush, the current one.
    MBrush *brush() const { return MBrushList::instance()->currentBrush(); }
    QUndoStack *undo() const { return canvas->undoStack(); }
    // The brush and colours chosen, as the tools pass them at a press.
    MStrokePaint chosenPaint() const
    {
        const MColorList *colors = MColorList::instance();
        return MStrokePaint{brush(), colors->currentColor(), colors->secondColor()};
    }
    MTextureLayer *layer() const { return canvas->at(0); }

    void send(int type, const QPointF &p, int pointerType = 1)
    {
        MEvent event;
        event.type = type;
        event.pointerType = pointerType;
        event.inputs[MEnum::biPositionX] = p.x();
        event.inputs[MEnum::biPositionY] = p.y();
        canvas->stroke(&event, 0, chosenPaint());
    }

    // Press, a move every 3 pixels, release: the way a pointer sends a line.
    void strokeLine(const QPointF &from, const QPointF &to, int pointerType = 1)
    {
        send(MEvent::Press, from, pointerType);
        const QPointF step = to - from;
        const int moves = int(std::ceil(std::hypot(step.x(), step.y()) / 3.0));
        for (int i = 1; i <= moves; ++i)
            send(MEvent::Move, from + step * (double(i) / moves), pointerType);
        send(MEvent::Release, to, pointerType);
    }

    // A hard round brush: inside its radius every pixel is fully painted.
    void useHardBrush(double radius)
    {
        brush()->setRadius(radius);
        brush()->setHardness(1.0);
        brush()->setBaseValue(MEnum::bsAntialiasing, MEnum::NoAntialiasing);
    }

    static QStringList childTexts(const QUndoCommand *command)
    {
        QStringList texts;
        for (int i = 0; i < command->childCount(); ++i)
            texts << command->child(i)->text();
        return texts;
    }

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase()
    {
        QDir().mkpath(folders.filePath("system"));
        QDir().mkpath(folders.filePath("user"));
        MBrushList::destroyInstance();
        MBrushList::setInstance(new MBrushList(folders.filePath("system"), folders.filePath("user")));
        QVERIFY(brush());
        canvas = createDocument(QSize(1200, 600));
        QVERIFY(canvas);
        MColorList::instance()->setColor(paint);
    }

    void init()
    {
        canvas->reset();
        canvas->setAutoExtent(false);
        canvas->setPaintedRect(document);
        undo()->clear();
        brush()->resetValues();
        brush()->setDescription(QStringLiteral("Round"));
        canvas->makeCurrent();
        paintRect(layer(), QRect(380, 130, 240, 40), red);
    }

    void cleanupTestCase() { canvas.reset(); }

    // One stroke over two tiles is one undo step holding a tile command per
    // tile and the painted rectangle; undo gives back the exact pixels.
    void strokeIsOneUndoStep()
    {
        useHardBrush(8.0);
        const QRect area(380, 60, 240, 120);
        const QImage before = layerImage(layer(), area);
        QSignalSpy started(canvas.get(), &MCanvas::strokeStarted);
        strokeLine(QPointF(420.5, 100.5), QPointF(580.5, 100.5));
        QVERIFY(!canvas->strokeInProgress());
        QCOMPARE(undo()->count(), 1);
        const QUndoCommand *macro = undo()->command(0);
        QCOMPARE(macro->text(), QStringLiteral("Brush stroke: Round, #0a14c8"));
        QCOMPARE(childTexts(macro), (QStringList{QStringLiteral("Update tile"), QStringLiteral("Update tile"),
                                                 QStringLiteral("Resize painted rectangle: 1200, 600")}));
        QVERIFY(canvas->strokeLayer()->touchedTiles().isEmpty());
        // The stroke colour is told once, for the colour history.
        QCOMPARE(started.count(), 1);
        QCOMPARE(started.at(0).at(0).value<QColor>(), paint);

        const QImage after = layerImage(layer(), area);
        const QRgb painted = premultiplied(paint);
        for (int x = 420; x <= 580; ++x)
            QVERIFY2(after.pixel(x - area.left(), 100 - area.top()) == painted, qPrintable(QString::number(x)));
        // Away from the line nothing moved: the red band and the empty rows.
        QCOMPARE(after.copy(0, 150 - area.top(), area.width(), 30), before.copy(0, 150 - area.top(), area.width(), 30));
        QCOMPARE(after.copy(0, 0, area.width(), 25), before.copy(0, 0, area.width(), 25));
        // The stroke layer is empty again.
        QCOMPARE(qAlpha(pixelAt(canvas->strokeLayer(), QPoint(500, 100))), 0);

        canvas->undo();
        QCOMPARE(layerImage(layer(), area), before);
        canvas->redo();
        QCOMPARE(layerImage(layer(), area), after);
    }

    // The stroke layer lets its tiles go after a stroke over many of them
    // and keeps those of a short one; a stroke on tiles made anew paints
    // and undoes as on kept ones.
    void strokeLayerKeepsAFewTiles()
    {
        useHardBrush(8.0);
        canvas->setPaintedRect(QRectF(-4000, -300, 8000, 600));
        MTextureLayer *stroke = canvas->strokeLayer();
        strokeLine(QPointF(-3900.5, 0.5), QPointF(3900.5, 0.5));
        QCOMPARE(undo()->count(), 1);
        QVERIFY(undo()->command(0)->childCount() > 17);
        QCOMPARE(stroke->tileCount(), 0);

        const QRect area(380, 60, 240, 120);
        const QImage before = layerImage(layer(), area);
        for (int round = 0; round < 2; ++round) {
            strokeLine(QPointF(420.5, 100.5), QPointF(580.5, 100.5));
            QCOMPARE(stroke->tileCount(), 2);
            const QImage after = layerImage(layer(), area);
            for (int x = 420; x <= 580; ++x)
                QVERIFY2(after.pixel(x - area.left(), 100 - area.top()) == premultiplied(paint),
                         qPrintable(QString::number(x)));
            QCOMPARE(qAlpha(pixelAt(stroke, QPoint(500, 100))), 0);
            canvas->undo();
            QCOMPARE(layerImage(layer(), area), before);
        }
        QVERIFY_GL_CLEAN();
    }

    void eraserEndErases()
    {
        useHardBrush(6.0);
        strokeLine(QPointF(400.5, 150.5), QPointF(600.5, 150.5), 3);
        QCOMPARE(undo()->count(), 1);
        for (int x : {400, 499, 500, 600})
            QCOMPARE(pixelAt(layer(), QPoint(x, 150)), qRgba(0, 0, 0, 0));
        QCOMPARE(pixelAt(layer(), QPoint(500, 135)), red);
        canvas->undo();
        QCOMPARE(pixelAt(layer(), QPoint(500, 150)), red);
    }

    void seamless_data()
    {
        QTest::addColumn<QPointF>("from");
        QTest::addColumn<QPointF>("to");
        QTest::addColumn<QPoint>("shift");
        QTest::addColumn<QRect>("probe");
        // The same soft stroke across a border between cells and wholly
        // inside one cell must give the same pixels.
        QTest::newRow("across a vertical border") << QPointF(440.3, 100.6) << QPointF(560.3, 100.6) << QPoint(-300, 0)
                                                 << QRect(470, 60, 60, 80);
        QTest::newRow("across a horizontal border") << QPointF(200.3, -60.6) << QPointF(200.3, 60.6)
                                                   << QPoint(0, 200) << QRect(160, -30, 80, 60);
        QTest::newRow("across a corner") << QPointF(-40.3, -40.6) << QPointF(40.3, 40.6) << QPoint(200, 200)
                                        << QRect(-30, -30, 60, 60);
    }

    void seamless()
    {
        QFETCH(QPointF, from);
        QFETCH(QPointF, to);
        QFETCH(QPoint, shift);
        QFETCH(QRect, probe);
        canvas->clear();
        canvas->reset();
        canvas->setPaintedRect(document);
        brush()->setRadius(20.0);
        strokeLine(from, to);
        strokeLine(from + shift, to + shift);
        const QImage across = layerImage(layer(), probe);
        const QImage inside = layerImage(layer(), probe.translated(shift));
        QVERIFY(qAlpha(across.pixel(probe.width() / 2, probe.height() / 2)) > 200);
        QCOMPARE_IMAGES(across, inside, 2);
    }

    // A press with no stamp still ends in one step: the painted rectangle.
    void releaseWithoutStamp()
    {
        brush()->setAccumulatorDistance(5.0);
        send(MEvent::Press, QPointF(10, 10));
        send(MEvent::Release, QPointF(10, 10));
        QCOMPARE(undo()->count(), 1);
        QCOMPARE(childTexts(undo()->command(0)), QStringList{QStringLiteral("Resize painted rectangle: 1200, 600")});
    }

    void refusedStroke_data()
    {
        QTest::addColumn<int>("refusal");
        QTest::newRow("hidden layer") << 0;
        QTest::newRow("locked layer") << 1;
    }

    // A stroke that cannot paint leaves the document as it was, and a
    // layer that stops being paintable mid-stroke throws the stroke away:
    // nothing of it reaches the next stroke's undo step.
    void refusedStroke()
    {
        QFETCH(int, refusal);
        useHardBrush(6.0);
        auto refuse = [&](bool on) {
            if (refusal == 0)
                layer()->setVisible(!on);
            else
                layer()->setLocked(on);
        };
        const QRect area(-100, -100, 700, 300);
        const QImage before = layerImage(layer(), area);

        refuse(true);
        strokeLine(QPointF(0.5, 50.5), QPointF(100.5, 50.5));
        refuse(false);
        QCOMPARE(undo()->count(), 0);
        QCOMPARE(layerImage(layer(), area), before);

        send(MEvent::Press, QPointF(0.5, 50.5));
        send(MEvent::Move, QPointF(100.5, 50.5));
        QVERIFY(canvas->strokeInProgress());
        refuse(true);
        send(MEvent::Release, QPointF(100.5, 50.5));
        refuse(false);
        QVERIFY(!canvas->strokeInProgress());
        QVERIFY(canvas->strokeLayer()->touchedTiles().isEmpty());
        QCOMPARE(undo()->count(), 0);
        QCOMPARE(layerImage(layer(), area), before);

        // The next stroke, in another tile, holds only its own tile.
        strokeLine(QPointF(-80.5, -50.5), QPointF(-20.5, -50.5));
        QCOMPARE(undo()->count(), 1);
        QCOMPARE(undo()->command(0)->childCount(), 2);
        QCOMPARE(pixelAt(layer(), QPoint(50, 50)), qRgba(0, 0, 0, 0));
        QCOMPARE(pixelAt(layer(), QPoint(-50, -50)), premultiplied(paint));
    }

    // Moves that come without a press paint nothing.
    void dragWithoutPress()
    {
        send(MEvent::Move, QPointF(0, 0));
        send(MEvent::Move, QPointF(100, 0));
        send(MEvent::Release, QPointF(100, 0));
        QVERIFY(canvas->strokeLayer()->touchedTiles().isEmpty());
        QCOMPARE(undo()->count(), 0);
        QCOMPARE(qAlpha(pixelAt(layer(), QPoint(50, 0))), 0);
    }

    void drawLine()
    {
        useHardBrush(4.0);
        canvas->drawLine(QPointF(-200.5, 20.5), QPointF(200.5, 20.5), chosenPaint());
        QCOMPARE(undo()->count(), 1);
        const QUndoCommand *line = undo()->command(0);
        QCOMPARE(line->text(), QStringLiteral("Draw line"));
        QCOMPARE(line->childCount(), 1);
        QVERIFY(line->child(0)->text().startsWith(QStringLiteral("Brush stroke: ")));
        for (int x : {-200, -1, 0, 200})
            QCOMPARE(pixelAt(layer(), QPoint(x, 20)), premultiplied(paint));
    }

    void brushStroke()
    {
        useHardBrush(4.0);
        QPainterPath path;
        path.moveTo(-200.5, -20.5);
        path.lineTo(-100.5, -20.5);
        path.moveTo(100.5, 40.5);
        path.lineTo(100.5, 80.5);
        canvas->set_clipStroke(true);
        QCOMPARE(canvas->brushStroke(path, false, chosenPaint()), 1);
        QVERIFY(canvas->clipStroke());
        QCOMPARE(undo()->count(), 1);
        const QUndoCommand *macro = undo()->command(0);
        QCOMPARE(macro->text(), QStringLiteral("Brush stroke"));
        QCOMPARE(macro->childCount(), 2);
        for (const QPoint &p : {QPoint(-200, -21), QPoint(-101, -21), QPoint(100, 40), QPoint(100, 80)})
            QCOMPARE(pixelAt(layer(), p), premultiplied(paint));
        QCOMPARE(qAlpha(pixelAt(layer(), QPoint(0, 0))), 0);

        canvas->removeAt(0);
        QCOMPARE(canvas->brushStroke(path, false, chosenPaint()), 0);
    }

    // A press without a brush to paint with is refused: no stroke starts and
    // nothing is recorded.
    void noPaintNoStroke()
    {
        std::unique_ptr<MCanvas> bare = createDocument(QSize(200, 100));
        QVERIFY(bare);
        MEvent event;
        event.type = MEvent::Press;
        bare->stroke(&event, 0, MStrokePaint());
        QVERIFY(!bare->strokeInProgress());
        event.type = MEvent::Release;
        bare->stroke(&event, 0, MStrokePaint());
        QCOMPARE(bare->undoStack()->count(), 0);
    }
};

QTEST_MAIN(TestBrushStroke)
#include "tst_brushstroke.moc"
