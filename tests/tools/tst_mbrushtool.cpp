#include "mbrush.h"
#include "mbrushlist.h"
#include "mbrushsettinginfolist.h"
#include "mbrushtool.h"
#include "mcanvas.h"
#include "mcolorlist.h"
#include "mcurve.h"
#include "mevent.h"
#include "mrullertool.h"
#include "msettings.h"
#include "msymmetrytool.h"
#include "mtestcanvas.h"
#include "mtesttool.h"
#include "mtesttoolrig.h"
#include "mtestview.h"
#include "mtexturelayer.h"
#include "mtools.h"
#include "mtoolvalues.h"
#include "mtransform.h"
#include "mwidget.h"

#include <QAbstractAnimation>
#include <QApplication>
#include <QMainWindow>
#include <QMouseEvent>
#include <QPainterPath>
#include <QTabletEvent>
#include <QTest>
#include <QUndoStack>
#include <QWheelEvent>

#include <cmath>

// The brush tool in a real canvas view: synthetic pointer, tablet, wheel and
// key input painting into the current layer of the view's document.
namespace {
const QColor paint(10, 20, 200);

void mouse(QWidget *w, QEvent::Type type, const QPointF &p, Qt::MouseButton button, Qt::MouseButtons buttons,
           Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QMouseEvent e(type, p, w->mapToGlobal(p.toPoint()), button, buttons, modifiers);
    QApplication::sendEvent(w, &e);
}

void tablet(QWidget *w, QEvent::Type type, const QPointF &p, double pressure, Qt::MouseButtons buttons)
{
    QTabletEvent e(type, p, w->mapToGlobal(p.toPoint()), QTabletEvent::Stylus, QTabletEvent::Pen, pressure, 0, 0,
                   0, 0, 0, Qt::NoModifier, 1, Qt::LeftButton, buttons);
    QApplication::sendEvent(w, &e);
}

// A pointer drag from a to b in steps of about `step` view pixels; with a
// pressure the pen touches a tablet first, as the framework sends it.
void dragLine(QWidget *w, const QPointF &a, const QPointF &b, double pressure = -1,
              Qt::KeyboardModifiers modifiers = Qt::NoModifier, double step = 5)
{
    const bool pen = pressure >= 0;
    if (pen)
        tablet(w, QEvent::TabletPress, a, pressure, Qt::LeftButton);
    mouse(w, QEvent::MouseButtonPress, a, Qt::LeftButton, Qt::LeftButton, modifiers);
    const int steps = std::max(1, int(QLineF(a, b).length() / step));
    for (int i = 1; i <= steps; ++i) {
        const QPointF p = a + (b - a) * (double(i) / steps);
        if (pen)
            tablet(w, QEvent::TabletMove, p, pressure, Qt::LeftButton);
        mouse(w, QEvent::MouseMove, p, Qt::NoButton, Qt::LeftButton, modifiers);
    }
    if (pen)
        tablet(w, QEvent::TabletRelease, b, 0.0, Qt::NoButton);
    mouse(w, QEvent::MouseButtonRelease, b, Qt::LeftButton, Qt::NoButton, modifiers);
}

void click(QWidget *w, const QPointF &p, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    mouse(w, QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton, modifiers);
    mouse(w, QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton, modifiers);
}

void wheel(QWidget *w, int delta, Qt::KeyboardModifiers m)
{
    const QPointF p(50, 50);
    QWheelEvent e(p, w->mapToGlobal(p.toPoint()), QPoint(), QPoint(0, delta), Qt::NoButton, m, Qt::NoScrollPhase,
                  false);
    QApplication::sendEvent(w, &e);
}

using Points = QVector<QPointF>;

// A perspective guide that sends every segment straight down.
class DownwardGuide : public MTool
{
    Q_OBJECT
public:
    DownwardGuide()
        : MTool(PerspectiveTool)
    {
    }
    Q_INVOKABLE QLineF alignToPerspective(const QLineF &l) const
    {
        return QLineF(l.p1(), l.p1() + QPointF(0, l.length()));
    }
};
} // namespace

class TestMBrushTool : public MTestToolRig
{
    Q_OBJECT

public:
    TestMBrushTool()
        : MTestToolRig(MTool::BrushTool)
    {
    }

private:
    double defaultRadius = 0.0;

    static MBrush *brush() { return MBrushList::instance()->currentBrush(); }
    MBrushTool *tool() const { return tools()->tool<MBrushTool>(MTool::BrushTool); }
    MSymmetryTool *symmetry() const { return tools()->tool<MSymmetryTool>(MTool::SymmetryTool); }
    MRullerTool *ruler() const { return tools()->tool<MRullerTool>(MTool::RullerTool); }

    bool painted(const QPointF &p) const
    {
        canvas()->makeCurrent();
        return qAlpha(MTestCanvas::pixelAt(canvas()->current(), p.toPoint())) > 0;
    }

    // Painted rows of a canvas column between two heights.
    int paintedHeight(int x, int top, int bottom) const
    {
        canvas()->makeCurrent();
        const QImage image = MTestCanvas::layerImage(canvas()->current(), QRect(x, top, 1, bottom - top + 1));
        int rows = 0;
        for (int y = 0; y < image.height(); ++y)
            rows += qAlpha(image.pixel(0, y)) > 0;
        return rows;
    }

    // Shown, focused and settled: needed where keys must reach the view.
    void showView()
    {
        view()->show();
        view()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(view()));
        view()->setFocus();
        QTRY_VERIFY(view()->hasFocus());
        QTRY_VERIFY(view()->findChildren<QAbstractAnimation *>().isEmpty());
    }

    QPointF onView(const QPointF &canvasPoint) const { return view()->transform()->map(canvasPoint); }

    // The mirror axis x = 350, shown or not.
    void useMirror(bool shown)
    {
        tools()->activate(MTool::SymmetryTool, shown);
        symmetry()->setPoints({QPointF(350, 150), QPointF(350, 0)});
        symmetry()->setSymmetryNumber(1);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(MTestView::prepare(QSize(1200, 600)));
        MSettings::instance()->set_textDuration(1);
        useTestBrushes();
        // The library's first brush is the one a first start paints with.
        QCOMPARE(brush()->description(), QStringLiteral("round brush"));
        QVERIFY(brush()->curve(MEnum::bsRadius, MEnum::biPressure));
        defaultRadius = brush()->radius();
        MColorList::instance()->setColor(paint);
        tools()->init(&window);
        QVERIFY(tool());
        QVERIFY(symmetry());
        QVERIFY(ruler());
    }

    void init()
    {
        MSettings::instance()->set_alignToGrid(true);
        MSettings::instance()->set_alignToGridSize(10);
        openView(QSize(700, 300));
        tools()->activate(MTool::SymmetryTool, false);
        tools()->activate(MTool::RullerTool, false);
        tool()->init();
        brush()->setRadius(defaultRadius);
        // Hard edges, so that a stamp's painted pixels are exactly its disc.
        brush()->setHardness(1.0);
        brush()->setBaseValue(MEnum::bsAntialiasing, MEnum::NoAntialiasing);
        canvas()->setAutoExtent(false);
        undo()->clear();
    }

    void cleanup() { closeView(); }

    void dragPaintsOneUndoStep_data()
    {
        QTest::addColumn<double>("pressure");
        QTest::newRow("mouse") << -1.0;
        QTest::newRow("tablet pen") << 0.8;
    }

    void dragPaintsOneUndoStep()
    {
        QFETCH(double, pressure);
        dragLine(view(), QPointF(100, 100), QPointF(400, 100), pressure);
        QCOMPARE(undo()->count(), 1);
        QCOMPARE(undo()->command(0)->text(), QStringLiteral("Brush stroke: round brush, #0a14c8"));
        QVERIFY(!MTestCanvas::macroOpen(canvas()));
        QVERIFY(undo()->canUndo());
        QVERIFY(!canvas()->strokeInProgress());
        for (int x : {110, 200, 300, 380})
            QVERIFY2(painted(QPointF(x, 100)), qPrintable(QString::number(x)));
        QVERIFY(!painted(QPointF(250, 130)));
        QVERIFY(!painted(QPointF(60, 100)));
        canvas()->undo();
        QVERIFY(!painted(QPointF(200, 100)));
    }

    // The stroke reaches the release point however far apart the moves
    // were, without painting past it.
    void strokeEndsWhereThePenLifts_data()
    {
        QTest::addColumn<double>("step");
        QTest::addColumn<QPointF>("end");
        QTest::newRow("moves 5 px apart") << 5.0 << QPointF(400, 100);
        QTest::newRow("moves 30 px apart") << 30.0 << QPointF(400, 100);
        QTest::newRow("moves 60 px apart") << 60.0 << QPointF(400, 100);
        QTest::newRow("moves 60 px apart, upwards") << 60.0 << QPointF(160, 20);
    }

    void strokeEndsWhereThePenLifts()
    {
        QFETCH(double, step);
        QFETCH(QPointF, end);
        const QPointF start(100, 260);
        const QPointF direction = (end - start) / QLineF(start, end).length();
        dragLine(view(), start, end, -1, Qt::NoModifier, step);
        QCOMPARE(undo()->count(), 1);
        QVERIFY(painted(end));
        // Halfway along the last move and short of the end by a radius.
        QVERIFY(painted(end - direction * (step / 2)));
        QVERIFY(painted(end - direction * brush()->radius() * 0.5));
        QVERIFY(!painted(end + direction * (brush()->radius() + 3)));
    }

    // Two hundred moves sent in one go, handled long after they were sent:
    // every part of the path is painted.
    void fastDragPaintsItsWholePath()
    {
        const QPointF a(60, 200), b(640, 40);
        mouse(view(), QEvent::MouseButtonPress, a, Qt::LeftButton, Qt::LeftButton);
        constexpr int moves = 200;
        for (int i = 1; i <= moves; ++i) {
            const QPointF p = a + (b - a) * (double(i) / moves);
            QCoreApplication::postEvent(view(), new QMouseEvent(QEvent::MouseMove, p, view()->mapToGlobal(p.toPoint()),
                                                                Qt::NoButton, Qt::LeftButton, Qt::NoModifier));
        }
        QCoreApplication::postEvent(view(), new QMouseEvent(QEvent::MouseButtonRelease, b,
                                                            view()->mapToGlobal(b.toPoint()), Qt::LeftButton,
                                                            Qt::NoButton, Qt::NoModifier));
        QTRY_VERIFY(!canvas()->strokeInProgress());
        QCOMPARE(undo()->count(), 1);
        QStringList gaps;
        for (int i = 0; i <= 100; ++i) {
            const QPointF p = a + (b - a) * (i / 100.0);
            if (!painted(p))
                gaps << QStringLiteral("(%1, %2)").arg(p.x()).arg(p.y());
        }
        QVERIFY2(gaps.isEmpty(), qPrintable(gaps.join(QLatin1Char(' '))));
    }

    void pressureSetsTheStampSize_data()
    {
        QTest::addColumn<double>("pressure");
        QTest::newRow("full") << 1.0;
        QTest::newRow("medium") << 0.6;
        QTest::newRow("light") << 0.2;
    }

    void pressureSetsTheStampSize()
    {
        QFETCH(double, pressure);
        const double radius = brush()->curve(MEnum::bsRadius, MEnum::biPressure)->apply(pressure, brush()->radius());
        QVERIFY(radius < brush()->radius() + 1e-9);
        dragLine(view(), QPointF(100, 100.5), QPointF(400, 100.5), pressure);
        const int height = paintedHeight(250, 60, 140);
        QVERIFY2(std::abs(height - 2 * radius) <= 1.5,
                 qPrintable(QStringLiteral("%1 rows for radius %2").arg(height).arg(radius)));
    }

    void symmetryPaintsEveryImageInOneMacro_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<Points>("images");
        QTest::addColumn<Points>("untouched");
        // Axis through (350, 150) and (350, 0); the stroke's middle is (285, 120).
        QTest::newRow("1: mirror") << 1 << Points{{285, 120}, {415, 120}} << Points{{415, 180}, {285, 180}};
        QTest::newRow("2: both axes") << 2 << Points{{285, 120}, {415, 120}, {415, 180}, {285, 180}}
                                      << Points{{380, 85}, {320, 215}};
        QTest::newRow("4: quarter turns") << 4 << Points{{285, 120}, {380, 85}, {415, 180}, {320, 215}}
                                          << Points{{415, 120}, {285, 180}};
    }

    void symmetryPaintsEveryImageInOneMacro()
    {
        QFETCH(int, number);
        QFETCH(Points, images);
        QFETCH(Points, untouched);
        tools()->activate(MTool::SymmetryTool, true);
        symmetry()->setPoints({QPointF(350, 150), QPointF(350, 0)});
        symmetry()->setSymmetryNumber(number);
        // A press beside the guide's handles reaches the brush.
        dragLine(view(), QPointF(250, 120), QPointF(320, 120));
        QVERIFY(!MTestCanvas::macroOpen(canvas()));
        QCOMPARE(undo()->count(), 1);
        QCOMPARE(undo()->command(0)->text(), QStringLiteral("Symmetry brush stroke: round brush, #0a14c8"));
        for (const QPointF &p : images)
            QVERIFY2(painted(p), qPrintable(QStringLiteral("%1, %2").arg(p.x()).arg(p.y())));
        for (const QPointF &p : untouched)
            QVERIFY2(!painted(p), qPrintable(QStringLiteral("%1, %2").arg(p.x()).arg(p.y())));
        canvas()->undo();
        for (const QPointF &p : images)
            QVERIFY(!painted(p));
    }

    void straightLinesFollowTheRuler_data()
    {
        QTest::addColumn<int>("rulerAngle"); // -1: no ruler
        QTest::addColumn<Points>("onLine");
        QTest::addColumn<Points>("offLine");
        // Ctrl+click (100.3, 50.2), click (300.6, 118.1): the grid makes them
        // (100, 50) and (300, 120); the ruler keeps the start and the length.
        QTest::newRow("free") << -1 << Points{{100, 50}, {200, 85}, {300, 120}} << Points{{200, 50}, {100, 200}};
        QTest::newRow("horizontal ruler") << 0 << Points{{100, 50}, {200, 50}, {310, 50}}
                                          << Points{{200, 85}, {300, 120}};
        QTest::newRow("vertical ruler") << 90 << Points{{100, 50}, {100, 150}, {100, 260}}
                                        << Points{{200, 85}, {200, 50}};
    }

    void straightLinesFollowTheRuler()
    {
        QFETCH(int, rulerAngle);
        QFETCH(Points, onLine);
        QFETCH(Points, offLine);
        if (rulerAngle >= 0) {
            tools()->activate(MTool::RullerTool, true);
            ruler()->setPoints({QPointF(500, 280), QPointF(500, 280) + QLineF::fromPolar(100, -rulerAngle).p2()});
        }
        click(view(), QPointF(100.3, 50.2), Qt::ControlModifier);
        QCOMPARE(tool()->mode(), int(MBrushTool::LineStarted));
        QCOMPARE(undo()->count(), 0);
        mouse(view(), QEvent::MouseMove, QPointF(200, 200), Qt::NoButton, Qt::NoButton);
        click(view(), QPointF(300.6, 118.1));
        QCOMPARE(tool()->mode(), int(MBrushTool::Idle));
        QCOMPARE(undo()->count(), 1);
        for (const QPointF &p : onLine)
            QVERIFY2(painted(p), qPrintable(QStringLiteral("%1, %2").arg(p.x()).arg(p.y())));
        for (const QPointF &p : offLine)
            QVERIFY2(!painted(p), qPrintable(QStringLiteral("%1, %2").arg(p.x()).arg(p.y())));
    }

    // The ruler comes first; a perspective guide aligns when the ruler is off.
    void straightLinesFollowThePerspective_data()
    {
        QTest::addColumn<bool>("withRuler");
        QTest::addColumn<Points>("onLine");
        QTest::addColumn<Points>("offLine");
        QTest::newRow("perspective") << false << Points{{100, 50}, {100, 150}, {100, 250}} << Points{{200, 85}};
        QTest::newRow("ruler and perspective") << true << Points{{200, 50}, {300, 50}} << Points{{100, 150}, {200, 85}};
    }

    void straightLinesFollowThePerspective()
    {
        QFETCH(bool, withRuler);
        QFETCH(Points, onLine);
        QFETCH(Points, offLine);
        DownwardGuide perspective;
        tools()->setTool(&perspective);
        tools()->activate(MTool::PerspectiveTool, true);
        if (withRuler) {
            tools()->activate(MTool::RullerTool, true);
            ruler()->setPoints({QPointF(0, 0), QPointF(300, 0)});
        }
        click(view(), QPointF(100, 50), Qt::ControlModifier);
        click(view(), QPointF(300, 120));
        tools()->activate(MTool::PerspectiveTool, false);
        QCOMPARE(undo()->count(), 1);
        for (const QPointF &p : onLine)
            QVERIFY2(painted(p), qPrintable(MTestTool::text(p)));
        for (const QPointF &p : offLine)
            QVERIFY2(!painted(p), qPrintable(MTestTool::text(p)));
    }

    // Free strokes are held on a visible ruler through their first point.
    void freeStrokesFollowTheRuler()
    {
        tools()->activate(MTool::RullerTool, true);
        ruler()->setPoints({QPointF(0, 0), QPointF(300, 0)});
        dragLine(view(), QPointF(100.5, 100.5), QPointF(300.5, 160.5));
        QCOMPARE(undo()->count(), 1);
        QVERIFY(painted(QPointF(250, 100)));
        QVERIFY(!painted(QPointF(250, 145)));
    }

    // The dashed preview follows the pointer, and only inside the view.
    void linePreviewOnlyWhileThePointerIsInside()
    {
        click(view(), QPointF(100, 50), Qt::ControlModifier);
        mouse(view(), QEvent::MouseMove, QPointF(300, 50), Qt::NoButton, Qt::NoButton);
        QCOMPARE(tool()->lineEnd(), QPointF(300, 50));
        auto overlay = [this]() {
            const QImage image = MTestTool::overlay(tool(), QSize(700, 300));
            int dark = 0;
            for (int x = 100; x <= 300; ++x)
                dark += qAlpha(image.pixel(x, 50)) > 0;
            return dark;
        };
        QVERIFY(overlay() > 50);
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(view(), &leave);
        QCOMPARE(overlay(), 0);
    }

    void escapeCancelsTheLine()
    {
        showView();
        click(view(), onView(QPointF(100, 50)), Qt::ControlModifier);
        QCOMPARE(tool()->mode(), int(MBrushTool::LineStarted));
        QTest::keyClick(view(), Qt::Key_Escape);
        QCOMPARE(tool()->mode(), int(MBrushTool::Idle));
        QCOMPARE(undo()->count(), 0);
        // Away from a line, Escape is not the brush tool's.
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QVERIFY(!tool()->keyPressEvent(&escape));
        view()->shutDown();
    }

    void altWheelChangesTheRadius_data()
    {
        QTest::addColumn<double>("radius");
        QTest::addColumn<int>("delta");
        QTest::addColumn<double>("expected");
        const MField *info = MBrushSettingInfoList::instance()->info(MEnum::bsRadius);
        QTest::newRow("up") << 30.0 << 120 << 36.0;
        QTest::newRow("down") << 30.0 << -120 << 24.0;
        QTest::newRow("up to the maximum") << info->maximum() / 1.1 << 120 << info->maximum();
        QTest::newRow("down to the minimum") << info->minimum() * 1.1 << -120 << info->minimum();
    }

    void altWheelChangesTheRadius()
    {
        QFETCH(double, radius);
        QFETCH(int, delta);
        QFETCH(double, expected);
        brush()->setRadius(radius);
        wheel(view(), delta, Qt::AltModifier);
        QCOMPARE(brush()->radius(), expected);
        QCOMPARE(view()->text(), QStringLiteral("Brush radius: %1 px.").arg(QString::asprintf("%3.2f", expected)));
        // Without Alt the wheel zooms the view and leaves the brush alone.
        wheel(view(), delta, Qt::NoModifier);
        QCOMPARE(brush()->radius(), expected);
    }

    void cursorFollowsTheBrushSize_data()
    {
        QTest::addColumn<double>("radius");
        QTest::addColumn<double>("scale");
        QTest::addColumn<int>("side");
        QTest::addColumn<QPoint>("drawn");
        QTest::addColumn<QPoint>("clear");
        // The small cross has arms and a hole in the middle; circles reach the
        // edges; big circles get a cross at the centre.
        QTest::newRow("radius 1: small cross") << 1.0 << 1.0 << 17 << QPoint(8, 2) << QPoint(8, 8);
        QTest::newRow("radius 2: cross up to 5 pixels") << 2.0 << 1.0 << 17 << QPoint(14, 8) << QPoint(0, 0);
        QTest::newRow("radius 4: at least 15 pixels") << 4.0 << 1.0 << 15 << QPoint(0, 7) << QPoint(7, 7);
        QTest::newRow("radius 10 zoomed out") << 10.0 << 0.5 << 15 << QPoint(7, 0) << QPoint(7, 7);
        QTest::newRow("radius 10") << 10.0 << 1.0 << 21 << QPoint(0, 10) << QPoint(10, 10);
        QTest::newRow("radius 300 zoomed in: at most 400") << 300.0 << 2.0 << 400 << QPoint(200, 197)
                                                           << QPoint(200, 150);
    }

    void cursorFollowsTheBrushSize()
    {
        QFETCH(double, radius);
        QFETCH(double, scale);
        QFETCH(int, side);
        QFETCH(QPoint, drawn);
        QFETCH(QPoint, clear);
        brush()->setRadius(radius);
        QVERIFY(tool()->updateCursor(QPointF(), scale));
        // The same size keeps the cursor.
        QVERIFY(!tool()->updateCursor(QPointF(), scale));
        const QCursor cursor = tool()->cursor();
        QCOMPARE(cursor.pixmap().size(), QSize(side, side));
        QCOMPARE(cursor.hotSpot(), QPoint(side / 2, side / 2));
        const QImage image = cursor.pixmap().toImage();
        QVERIFY(qAlpha(image.pixel(drawn)) > 0);
        QCOMPARE(qAlpha(image.pixel(clear)), 0);
    }

    void withoutBrushNothingHappens()
    {
        MTestFolder empty;
        MBrushList *library = MBrushList::instance();
        MBrushList none(empty.path(), empty.path());
        none.clear();
        QObject *fallback = none.defaultItem();
        none.setDefaultItem(nullptr);
        MBrushList::setInstance(&none);
        QVERIFY(!brush());
        QCOMPARE(tool()->size(), 0.0);
        QVERIFY(tool()->updateCursor(QPointF(), 1.0));
        QCOMPARE(tool()->cursor().shape(), Qt::ArrowCursor);
        dragLine(view(), QPointF(100, 100), QPointF(200, 100));
        click(view(), QPointF(100, 50), Qt::ControlModifier);
        click(view(), QPointF(200, 50));
        wheel(view(), 120, Qt::AltModifier);
        tools()->activate(MTool::SymmetryTool, true);
        dragLine(view(), QPointF(100, 100), QPointF(200, 100));
        MBrushList::setInstance(library);
        none.setDefaultItem(fallback);
        QCOMPARE(undo()->count(), 0);
        QVERIFY(!painted(QPointF(150, 100)));
        QVERIFY(!canvas()->strokeInProgress());
    }

    // A press that comes while a stroke still waits for its release ends
    // that stroke, with its macro, before the new one starts.
    void pressDuringAStrokeEndsItFirst_data()
    {
        QTest::addColumn<bool>("mirrored");
        QTest::newRow("single") << false;
        QTest::newRow("mirrored") << true;
    }

    void pressDuringAStrokeEndsItFirst()
    {
        QFETCH(bool, mirrored);
        useMirror(mirrored);
        send(MEvent::Press, QPointF(100, 100));
        send(MEvent::Move, QPointF(200, 100));
        send(MEvent::Press, QPointF(100, 200));
        QVERIFY(undo()->count() > 0);
        QCOMPARE(undo()->command(0)->text(), mirrored ? QStringLiteral("Symmetry brush stroke: round brush, #0a14c8")
                                                      : QStringLiteral("Brush stroke: round brush, #0a14c8"));
        // Only the new stroke's own macro may be open: a symmetry stroke opens
        // one at its press, beside the ended stroke, not inside it.
        QCOMPARE(MTestCanvas::macroOpen(canvas()), mirrored);
        QCOMPARE(undo()->count(), mirrored ? 2 : 1);
        send(MEvent::Move, QPointF(200, 200));
        send(MEvent::Release, QPointF(200, 200));
        QVERIFY(!MTestCanvas::macroOpen(canvas()));
        QCOMPARE(undo()->count(), 2);
        QVERIFY(undo()->canUndo());
        QVERIFY(!canvas()->strokeInProgress());
        QVERIFY(painted(QPointF(150, 100)));
        QVERIFY(painted(QPointF(150, 200)));
        // The first stroke ended where it was, not at the new press.
        QVERIFY(!painted(QPointF(100, 150)));
        canvas()->undo();
        QVERIFY(!painted(QPointF(150, 200)));
        QVERIFY(painted(QPointF(150, 100)));
    }

    // Switching the guide during a stroke neither leaves its macro open nor
    // closes one that was never opened.
    void guideSwitchedDuringAStroke_data()
    {
        QTest::addColumn<bool>("mirroredFirst");
        QTest::newRow("switched off") << true;
        QTest::newRow("switched on") << false;
    }

    void guideSwitchedDuringAStroke()
    {
        QFETCH(bool, mirroredFirst);
        useMirror(mirroredFirst);
        send(MEvent::Press, QPointF(100, 100));
        send(MEvent::Move, QPointF(150, 100));
        tools()->activate(MTool::SymmetryTool, !mirroredFirst);
        send(MEvent::Move, QPointF(200, 100));
        send(MEvent::Release, QPointF(200, 100));
        QVERIFY(!MTestCanvas::macroOpen(canvas()));
        QCOMPARE(undo()->count(), 1);
        QVERIFY(undo()->canUndo());
        QVERIFY(painted(QPointF(175, 100)));
    }

    void strokesFollowTheSelectionOutline()
    {
        QPainterPath ellipse;
        ellipse.addEllipse(QRectF(100, 50, 300, 200));
        canvas()->setClipPath(ellipse);
        tool()->set_drawOnPath(true);
        dragLine(view(), QPointF(150, 150), QPointF(250, 150));
        QVERIFY(!canvas()->clipStroke());
        QCOMPARE(undo()->count(), 1);
        // Samples near the left of the ellipse land on its left end.
        QVERIFY(painted(QPointF(101, 150)));
        QVERIFY(!painted(QPointF(200, 150)));
    }

    // Shift+click asks the magic wand; without one nothing is painted.
    void shiftClickDoesNotPaint()
    {
        click(view(), QPointF(150, 150), Qt::ShiftModifier);
        QCOMPARE(undo()->count(), 0);
        QVERIFY(!painted(QPointF(150, 150)));
    }
};

QTEST_MAIN(TestMBrushTool)
#include "tst_mbrushtool.moc"
