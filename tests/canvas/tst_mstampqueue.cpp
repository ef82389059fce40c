// Stamps queued across moves and drawn together: the stroke layer, the merged
// layer and the undo history are those of stamps drawn after every move,
// whatever the brush changes from stamp to stamp; and whatever reads or
// changes the document's tiles sees every stamp placed so far.

#include "mbrush.h"
#include "mcanvas.h"
#include "mcurve.h"
#include "mevent.h"
#include "mshaderprogramlist.h"
#include "mstampqueue.h"
#include "mstrokes.h"
#include "mstrokesession.h"
#include "mtestcanvas.h"
#include "mtestfolder.h"
#include "mtestglcontext.h"
#include "mtexturelayer.h"

#include <QOpenGLContext>
#include <QOpenGLExtraFunctions>
#include <QPainterPath>
#include <QTest>
#include <QUndoStack>

#include <cmath>
#include <functional>
#include <memory>

using namespace MTestCanvas;

namespace {
const QRectF document(-600, -300, 1200, 600);
const QRect whole = document.toRect();

// How a case sets up the document and the brush before the stroke.
using Setup = std::function<void(MCanvas *, MBrush *)>;
// What a case does to the document in the middle of a stroke; the path of a
// document file it may load.
using Change = std::function<void(MCanvas *, const QString &)>;

// What one stroke left: the stroke layer before the release, the layer after
// it, and the layer after an undo.
struct Outcome
{
    QImage stroke;
    QImage merged;
    QImage undone;
    int undoSteps = 0;
};

// The document around a change made in the middle of a stroke: whether
// stamps were still queued after it, the stroke layer and every layer after
// it, then after the release.
struct Changed
{
    bool queuedAfter = false;
    QList<QImage> after;
    QList<QImage> released;
    int undoIndex = 0;
};
} // namespace

Q_DECLARE_METATYPE(Setup)
Q_DECLARE_METATYPE(Change)

class TestMStampQueue : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MCanvas> canvas;

    void send(int type, const QPointF &p, double pressure, MBrush *brush)
    {
        MEvent event;
        event.type = type;
        event.inputs[MEnum::biPositionX] = p.x();
        event.inputs[MEnum::biPositionY] = p.y();
        event.inputs[MEnum::biPressure] = pressure;
        if (type == MEvent::Press)
            canvas->startStroke(&event, MStrokePaint{brush, QColor(40, 90, 200), QColor(250, 200, 20)}, 0);
        else
            canvas->stroke(&event, 0, MStrokePaint());
    }

    // A zigzag over several tiles with moves short and long and the
    // pressure rising and falling, left pressed at its last point, returned;
    // the stamps drawn after every move, or left queued.
    QPointF zigzag(MBrush *brush, int moves, bool drawEveryMove)
    {
        send(MEvent::Press, QPointF(-560, -240), 0.2, brush);
        QPointF p(-560, -240);
        for (int i = 1; i <= moves; ++i) {
            const double step = 3.0 + (i % 7) * 6.0;
            p += QPointF(step, (i / 6) % 2 ? 9.0 : -7.0);
            send(MEvent::Move, p, 0.5 + 0.45 * std::sin(i * 0.4), brush);
            if (drawEveryMove)
                canvas->flushStrokes();
        }
        return p;
    }

    // The stroke layer and every layer of the document.
    QList<QImage> documentImages() const
    {
        QList<QImage> images{layerImage(canvas->strokeLayer(), whole)};
        for (int row = 0; row < canvas->count(); ++row)
            images.append(layerImage(canvas->at(row), whole));
        return images;
    }

    // The stamps drawn after every move, or only when something reads the
    // layers.
    Outcome paint(const Setup &setup, bool drawEveryMove)
    {
        canvas->reset();
        canvas->setPaintedRect(document);
        MBrush brush;
        brush.setRadius(14);
        setup(canvas.get(), &brush);
        Outcome outcome;
        const int before = canvas->undoStack()->index();
        const QPointF p = zigzag(&brush, 60, drawEveryMove);
        canvas->flushStrokes();
        outcome.stroke = layerImage(canvas->strokeLayer(), whole);
        send(MEvent::Release, p, 0.0, &brush);
        outcome.merged = layerImage(canvas->current(), whole);
        outcome.undoSteps = canvas->undoStack()->index() - before;
        canvas->undo();
        outcome.undone = layerImage(canvas->current(), whole);
        return outcome;
    }

    // Over a painted layer, with a brush whose stamps read it (masked by the
    // layer below), a stroke is left pressed with its stamps queued, the
    // change is made (after a flush when flushFirst), and the stroke released.
    Changed changeDuringStroke(const Change &change, const QString &file, bool flushFirst)
    {
        canvas->reset();
        canvas->setPaintedRect(document);
        paintRect(canvas->current(), QRect(-600, -300, 500, 600), qRgba(90, 90, 90, 255));
        canvas->appendLayer();
        MBrush brush;
        brush.setRadius(14);
        brush.setInheritAlphaUnder(true);
        const QPointF p = zigzag(&brush, 30, false);
        Changed changed;
        if (canvas->strokes()->stampQueue()->isEmpty())
            return changed;
        if (flushFirst)
            canvas->flushStrokes();
        change(canvas.get(), file);
        changed.queuedAfter = !canvas->strokes()->stampQueue()->isEmpty();
        changed.after = documentImages();
        send(MEvent::Release, p, 0.0, &brush);
        changed.released = documentImages();
        changed.undoIndex = canvas->undoStack()->index();
        return changed;
    }

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase()
    {
        canvas = createDocument(document.size().toSize());
        QVERIFY(canvas);
    }

    void cleanupTestCase() { canvas.reset(); }

    void sameAsDrawingEveryMove_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::newRow("a brush that never changes") << Setup([](MCanvas *, MBrush *) {});
        QTest::newRow("flow, radius and hardness following the pressure") << Setup([](MCanvas *, MBrush *b) {
            b->addCurve(MEnum::bsFlow, MEnum::biPressure);
            b->addCurve(MEnum::bsRadius, MEnum::biPressure);
            b->addCurve(MEnum::bsHardness, MEnum::biPressure);
        });
        QTest::newRow("antialiased hard edge, turned and flattened") << Setup([](MCanvas *, MBrush *b) {
            b->setHardness(1.0);
            b->setAngle(30.0);
            b->setRatio(0.5);
        });
        QTest::newRow("multiply over paint, hard edged") << Setup([](MCanvas *c, MBrush *b) {
            paintRect(c->current(), QRect(-400, -300, 500, 400), qRgba(200, 120, 40, 255));
            b->setCompositionMode(13);
            b->setBaseValue(MEnum::bsAntialiasing, MEnum::NoAntialiasing);
        });
        QTest::newRow("thinned by density, rounded square") << Setup([](MCanvas *, MBrush *b) {
            b->setDensity(0.4);
            b->setShape(1);
        });
        QTest::newRow("clipped to a selection") << Setup([](MCanvas *c, MBrush *) {
            QPainterPath path;
            path.addEllipse(QRectF(-500, -280, 420, 300));
            c->setClipPath(path);
        });
        QTest::newRow("border colour, only over the layer's paint") << Setup([](MCanvas *c, MBrush *b) {
            paintRect(c->current(), QRect(-600, -260, 300, 120), qRgba(30, 160, 60, 255));
            b->setUseBorderColor(true);
            b->setInheritAlphaCurrent(true);
        });
        QTest::newRow("masked by the layer below") << Setup([](MCanvas *c, MBrush *b) {
            paintRect(c->current(), QRect(-500, -300, 200, 600), qRgba(90, 90, 90, 255));
            c->appendLayer();
            b->setInheritAlphaUnder(true);
        });
        QTest::newRow("colour picked up from the layer") << Setup([](MCanvas *c, MBrush *b) {
            paintRect(c->current(), QRect(-600, -300, 350, 600), qRgba(220, 20, 20, 255));
            b->setColorAbsorbtionRate(0.6);
            b->setColorFlowingRate(0.3);
        });
    }

    void sameAsDrawingEveryMove()
    {
        QFETCH(Setup, setup);
        const Outcome everyMove = paint(setup, true);
        const Outcome queued = paint(setup, false);
        QVERIFY(everyMove.stroke != QImage(whole.size(), everyMove.stroke.format()));
        QCOMPARE(queued.stroke, everyMove.stroke);
        QCOMPARE(queued.merged, everyMove.merged);
        QCOMPARE(queued.undoSteps, 1);
        QCOMPARE(everyMove.undoSteps, 1);
        QCOMPARE(queued.undone, everyMove.undone);
        QVERIFY(queued.merged != queued.undone);
    }

    // The programs a brush needs are there before its first press, for the
    // document as it is (here clipped to a selection, over a masking layer).
    void programsReadyBeforeThePress()
    {
        canvas->reset();
        canvas->setPaintedRect(document);
        QPainterPath path;
        path.addRect(QRectF(-200, -200, 400, 400));
        canvas->setClipPath(path);
        canvas->appendLayer();
        MBrush brush;
        brush.setShape(1);
        brush.setUseBorderColor(true);
        brush.setInheritAlphaUnder(true);
        brush.setCompositionMode(17);
        double values[MEnum::bsCount];
        for (int setting = 0; setting < MEnum::bsCount; ++setting)
            values[setting] = brush.value(setting);
        const QByteArray defines = MStampFeatures::fromValues(values, false, true, true).defines();
        MShaderProgramList *programs = canvas->shaderProgramList();
        QVERIFY(!programs->hasVariant(QStringLiteral("stamping"), defines));
        canvas->prepareBrush(&brush);
        QVERIFY(programs->hasVariant(QStringLiteral("stamping"), defines));
        // The stroke paints with that very program.
        send(MEvent::Press, QPointF(0, 0), 1.0, &brush);
        send(MEvent::Move, QPointF(40, 0), 1.0, &brush);
        QCOMPARE(canvas->strokes()->stampQueue()->stampCount() > 0, true);
        QCOMPARE(canvas->strokes()->session(0)->passState(QPointF()).features.defines(), defines);
        send(MEvent::Release, QPointF(40, 0), 0.0, &brush);
        QVERIFY(qAlpha(pixelAt(canvas->current(), QPoint(20, 0))) > 0);
    }

    // Whatever replaces, clears or reads the tiles the stamps draw into or
    // read, in the middle of a stroke, first draws the stamps queued before
    // it: the document is as a flush just before would have left it, and no
    // stamp is left naming a tile that is gone.
    void changesFindQueuedStamps_data()
    {
        QTest::addColumn<Change>("change");
        QTest::newRow("undo takes the stroke's layer away") << Change([](MCanvas *c, const QString &) { c->undo(); });
        QTest::newRow("the layer below removed") << Change([](MCanvas *c, const QString &) { c->removeLayer(0); });
        QTest::newRow("merged into the layer below")
            << Change([](MCanvas *c, const QString &) { c->mergeLayerWithLower(); });
        QTest::newRow("the layer below filled") << Change([](MCanvas *c, const QString &) {
            c->setCurrentRow(0);
            c->fill(QColor(20, 200, 90));
        });
        QTest::newRow("an image pasted below") << Change([](MCanvas *c, const QString &) {
            QImage image(300, 200, QImage::Format_ARGB32_Premultiplied);
            image.fill(QColor(200, 30, 160));
            c->pasteImage(QPointF(-450, -200), image, false, QString(), 0, QRectF(), 0);
        });
        QTest::newRow("a region of the layer below selected")
            << Change([](MCanvas *c, const QString &) { c->fillSelection(QPoint(-300, 0), true, 0, 0); });
        QTest::newRow("an image read back")
            << Change([](MCanvas *c, const QString &) { c->grabLayer(c->strokeLayer(), QStringLiteral("basic")); });
        QTest::newRow("the document cleared") << Change([](MCanvas *c, const QString &) { c->clear(); });
        QTest::newRow("another document loaded")
            << Change([](MCanvas *c, const QString &file) { QVERIFY(c->loadFromFile(file)); });
    }

    void changesFindQueuedStamps()
    {
        QFETCH(Change, change);
        const MTestFolder folder;
        const QString file = folder.filePath(QStringLiteral("other.kxd"));
        canvas->reset();
        paintRect(canvas->current(), QRect(-200, -100, 300, 200), qRgba(10, 60, 120, 255));
        QVERIFY(canvas->saveToFile(file));
        const Changed flushed = changeDuringStroke(change, file, true);
        const Changed queued = changeDuringStroke(change, file, false);
        QVERIFY(!flushed.after.isEmpty());
        QVERIFY(!queued.queuedAfter);
        QCOMPARE(queued.after, flushed.after);
        QCOMPARE(queued.released, flushed.released);
        QCOMPARE(queued.undoIndex, flushed.undoIndex);
    }

    // Nothing waits for a view: a read through the document, a merge or the
    // next stroke finds the stamps queued before it.
    void readersFindQueuedStamps()
    {
        canvas->reset();
        canvas->setPaintedRect(document);
        MBrush brush;
        brush.setRadius(6);
        brush.setHardness(1.0);
        brush.setBaseValue(MEnum::bsAntialiasing, MEnum::NoAntialiasing);
        send(MEvent::Press, QPointF(-100.5, 0.5), 1.0, &brush);
        send(MEvent::Move, QPointF(100.5, 0.5), 1.0, &brush);
        QVERIFY(!canvas->strokes()->stampQueue()->isEmpty());
        const QImage read = canvas->grabLayer(canvas->strokeLayer(), QStringLiteral("basic"));
        QVERIFY(canvas->strokes()->stampQueue()->isEmpty());
        QCOMPARE(qAlpha(read.pixel(-whole.topLeft())), 255);
        QCOMPARE(qAlpha(pixelAt(canvas->strokeLayer(), QPoint(0, 0))), 255);

        send(MEvent::Move, QPointF(100.5, 100.5), 1.0, &brush);
        QVERIFY(!canvas->strokes()->stampQueue()->isEmpty());
        send(MEvent::Release, QPointF(100.5, 100.5), 0.0, &brush);
        QVERIFY(canvas->strokes()->stampQueue()->isEmpty());
        QCOMPARE(qAlpha(pixelAt(canvas->current(), QPoint(100, 50))), 255);
        QCOMPARE(qAlpha(pixelAt(canvas->strokeLayer(), QPoint(100, 50))), 0);
    }

    // Whatever the stamps set to draw (blending on, their own blend
    // functions, the tile's framebuffer and viewport, other texture units)
    // is put back by the flush, with blending found on or off.
    void flushLeavesGlStateAsFound_data()
    {
        QTest::addColumn<bool>("blend");
        QTest::newRow("blending off") << false;
        QTest::newRow("blending on") << true;
    }

    void flushLeavesGlStateAsFound()
    {
        QFETCH(bool, blend);
        canvas->reset();
        canvas->setPaintedRect(document);
        MBrush brush;
        brush.setRadius(10);
        send(MEvent::Press, QPointF(-50, 0), 1.0, &brush);
        send(MEvent::Move, QPointF(50, 20), 1.0, &brush);
        QVERIFY(!canvas->strokes()->stampQueue()->isEmpty());

        // The context alone leaves the stamps queued.
        QVERIFY(canvas->makeCurrent());
        QOpenGLExtraFunctions *f = QOpenGLContext::currentContext()->extraFunctions();
        blend ? f->glEnable(GL_BLEND) : f->glDisable(GL_BLEND);
        f->glBlendFuncSeparate(GL_ONE, GL_ZERO, GL_ZERO, GL_ONE);
        f->glBlendEquationSeparate(GL_FUNC_REVERSE_SUBTRACT, GL_MAX);
        f->glBindFramebuffer(GL_FRAMEBUFFER, 0);
        f->glViewport(3, 4, 50, 60);
        f->glActiveTexture(GL_TEXTURE5);
        const QVector<int> before = MTestGLContext::glState();

        QVERIFY(!canvas->strokes()->stampQueue()->isEmpty());
        canvas->flushStrokes();
        QVERIFY(canvas->strokes()->stampQueue()->isEmpty());
        QCOMPARE(QOpenGLContext::currentContext(), canvas->context());
        QCOMPARE(MTestGLContext::glState(), before);
        f->glActiveTexture(GL_TEXTURE0);
        send(MEvent::Release, QPointF(50, 20), 0.0, &brush);
        QVERIFY(qAlpha(pixelAt(canvas->current(), QPoint(0, 10))) > 0);
    }
};

QTEST_MAIN(TestMStampQueue)
#include "tst_mstampqueue.moc"
