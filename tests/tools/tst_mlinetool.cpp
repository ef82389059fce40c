#include "mbrush.h"
#include "mbrushlist.h"
#include "mcanvas.h"
#include "mcolorlist.h"
#include "mevent.h"
#include "mlinetool.h"
#include "mperspectivetool.h"
#include "mrandom.h"
#include "mrullertool.h"
#include "msettings.h"
#include "mtestcanvas.h"
#include "mtesttool.h"
#include "mtesttoolrig.h"
#include "mtestview.h"
#include "mtexturelayer.h"
#include "mtools.h"
#include "mtoolvalues.h"
#include "mwidget.h"

#include <QKeyEvent>
#include <QMainWindow>
#include <QSignalSpy>
#include <QTest>
#include <QUndoStack>
#include <QVector2D>

#include <cmath>

// The line tool in a real canvas view that was never shown (view and canvas
// positions agree): points placed by clicks, the preview it builds, the
// guides it follows and the line it paints with the current brush.
namespace {
using Points = QVector<QPointF>;
using MTestTool::near;
using MTestTool::text;

// The points of every subpath of a path, in order.
QList<Points> subpaths(const QPainterPath &path)
{
    QList<Points> list;
    for (const QPolygonF &polygon : path.toSubpathPolygons(QTransform()))
        list << Points(polygon);
    return list;
}

bool samePoints(const Points &a, const Points &b, double tolerance = 1e-3)
{
    if (a.size() != b.size())
        return false;
    for (int i = 0; i < a.size(); ++i) {
        if (!near(a.at(i), b.at(i), tolerance))
            return false;
    }
    return true;
}

QString text(const Points &points)
{
    QStringList list;
    for (const QPointF &p : points)
        list << MTestTool::text(p);
    return list.join(QLatin1Char(' '));
}
} // namespace

class TestMLineTool : public MTestToolRig
{
    Q_OBJECT

public:
    TestMLineTool()
        : MTestToolRig(MTool::LineTool)
    {
    }

private:
    static MLineTool *tool() { return tools()->tool<MLineTool>(MTool::LineTool); }
    static MPerspectiveTool *perspective() { return tools()->tool<MPerspectiveTool>(MTool::PerspectiveTool); }
    static MRullerTool *ruler() { return tools()->tool<MRullerTool>(MTool::RullerTool); }

    bool painted(const QPointF &p) const
    {
        canvas()->makeCurrent();
        return qAlpha(MTestCanvas::pixelAt(canvas()->current(), p.toPoint())) > 0;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(MTestView::prepare(QSize(1200, 600)));
        MSettings::instance()->set_textDuration(1);
        useTestBrushes();
        MColorList::instance()->setColor(QColor(10, 20, 200));
        tools()->init(&window);
        QVERIFY(tool());
        QVERIFY(perspective());
    }

    void init()
    {
        MSettings::instance()->set_alignToGrid(false);
        MSettings::instance()->set_showInstructions(true);
        openView(QSize(700, 300));
        tools()->activate(MTool::PerspectiveTool, false);
        tools()->activate(MTool::RullerTool, false);
        tool()->init();
        MBrush *brush = MBrushList::instance()->currentBrush();
        brush->setRadius(3);
        brush->setHardness(1.0);
        canvas()->setAutoExtent(false);
        undo()->clear();
    }

    void cleanup() { closeView(); }

    // What the preview is for each type, from the clicked points and the
    // pointer's last position.
    void previewFollowsTheType_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("close");
        QTest::addColumn<Points>("clicks");
        QTest::addColumn<QPointF>("pointer");
        QTest::addColumn<QList<Points>>("expected");
        const QPointF a(100, 100), b(300, 100), c(300, 200);
        QTest::newRow("single, moving end") << int(MLineTool::SingleLineType) << false << Points{a} << b
                                            << QList<Points>{{a, b}};
        QTest::newRow("polyline to the pointer") << int(MLineTool::PolyLineType) << false << Points{a, b} << c
                                                 << QList<Points>{{a, b, c}};
        QTest::newRow("closed polyline") << int(MLineTool::PolyLineType) << true << Points{a, b} << c
                                         << QList<Points>{{a, b, c, a}};
        QTest::newRow("close figure ignored by a single line") << int(MLineTool::SingleLineType) << true << Points{a}
                                                               << c << QList<Points>{{a, c}};
    }

    void previewFollowsTheType()
    {
        QFETCH(int, type);
        QFETCH(bool, close);
        QFETCH(Points, clicks);
        QFETCH(QPointF, pointer);
        QFETCH(QList<Points>, expected);
        tool()->set_lineType(type);
        tool()->set_closeFigure(close);
        for (const QPointF &p : clicks)
            QVERIFY(press(p));
        hover(pointer);
        QCOMPARE(tool()->points(), clicks);
        const QList<Points> built = subpaths(tool()->buildPath());
        QCOMPARE(built.size(), expected.size());
        for (int i = 0; i < built.size(); ++i)
            QVERIFY2(samePoints(built.at(i), expected.at(i)), qPrintable(text(built.at(i))));
        QCOMPARE(undo()->count(), 0);
    }

    // The preview is dashed, in the guide colour, and only while the tool is on.
    void previewIsDashed()
    {
        press(QPointF(100, 100));
        hover(QPointF(300, 100));
        auto dashes = [this]() {
            const QImage image = MTestTool::overlay(tool(), view()->size());
            int count = 0;
            for (int x = 100; x <= 300; ++x) {
                const QColor c = image.pixelColor(x, 100);
                count += c.alpha() > 100 && c.red() > 200 && c.blue() < 150;
            }
            return count;
        };
        const int drawn = dashes();
        QVERIFY2(drawn > 60 && drawn < 190, qPrintable(QString::number(drawn)));
        tools()->activate(MTool::LineTool, false);
        QCOMPARE(dashes(), 0);
        // The line in progress waits for the tool's return.
        tools()->activate(MTool::LineTool, true);
        QCOMPARE(dashes(), drawn);
    }

    // A curve runs through the midpoints of its control polygon, from the
    // first click to the pointer; closed, it comes back round.
    void curveRunsFromTheFirstClickToThePointer()
    {
        tool()->set_lineType(MLineTool::CurvedLineType);
        press(QPointF(100, 100));
        press(QPointF(200, 250));
        hover(QPointF(300, 100));
        const QPainterPath open = tool()->buildPath();
        QVERIFY(near(open.pointAtPercent(0), QPointF(100, 100)));
        QVERIFY(near(open.pointAtPercent(1), QPointF(300, 100)));
        // Through the midpoint of the first edge, below the chord.
        QVERIFY(open.boundingRect().bottom() > 150);
        tool()->set_closeFigure(true);
        const QPainterPath closed = tool()->buildPath();
        QVERIFY(near(closed.pointAtPercent(0), closed.pointAtPercent(1)));
        // The hand-drawn option leaves curves smooth.
        tool()->set_handDraw(true);
        QCOMPARE(subpaths(tool()->buildPath()).size(), 1);
    }

    // Control holds the end on the step below the pointer's angle about the
    // first point: truncated, not rounded, and the hint says so.
    void angleStepWithControl_data()
    {
        QTest::addColumn<int>("step");
        QTest::addColumn<QPointF>("pointer");
        QTest::addColumn<QPointF>("end");
        QTest::addColumn<int>("angle");
        const double r = QLineF(QPointF(), QPointF(100, 3)).length();
        QTest::newRow("slightly above") << 5 << QPointF(100, -3) << QPointF(r, 0) << 0;
        QTest::newRow("slightly below") << 5 << QPointF(100, 3) << QLineF::fromPolar(r, 355).p2() << 355;
        QTest::newRow("step 0 is 1") << 0 << QPointF(100, 3) << QLineF::fromPolar(r, 358).p2() << 358;
        QTest::newRow("negative step is 1") << -7 << QPointF(100, -3) << QLineF::fromPolar(r, 1).p2() << 1;
        QTest::newRow("step above 360 is 360") << 500 << QPointF(0, -100) << QPointF(100, 0) << 0;
        QTest::newRow("45 degrees") << 45 << QPointF(-50, -100) << QLineF::fromPolar(QLineF(0, 0, -50, -100).length(), 90).p2()
                                    << 90;
    }

    void angleStepWithControl()
    {
        QFETCH(int, step);
        QFETCH(QPointF, pointer);
        QFETCH(QPointF, end);
        QFETCH(int, angle);
        tool()->set_angleStep(step);
        QVERIFY(press(QPointF(0, 0)));
        QSignalSpy hints(tools(), &MTools::showText);
        hover(pointer, Qt::ControlModifier);
        QVERIFY2(near(tool()->cursorPoint(), end), qPrintable(text(tool()->cursorPoint())));
        QCOMPARE(hints.count(), 1);
        QCOMPARE(hints.at(0).at(0).toString(), QString("Angle: %1°").arg(angle));
        // A Control-click ends the line on the held angle.
        QVERIFY(press(pointer, Qt::ControlModifier));
        QCOMPARE(undo()->count(), 1);
        QCOMPARE(tool()->pointCount(), 0);
    }

    void withoutControlTheEndIsFree()
    {
        press(QPointF(0, 0));
        QSignalSpy hints(tools(), &MTools::showText);
        hover(QPointF(100, 3));
        QCOMPARE(tool()->cursorPoint(), QPointF(100, 3));
        QCOMPARE(hints.count(), 0);
    }

    // Pieces of about 25 pixels, at least 4 a segment, each its own
    // subpath, with control points that stray at most 4 pixels.
    void handDrawnPieces_data()
    {
        QTest::addColumn<double>("length");
        QTest::addColumn<int>("pieces");
        QTest::addColumn<double>("reach");
        QTest::newRow("short segment") << 50.0 << 4 << 1.0;
        QTest::newRow("fractional count ends short") << 110.0 << 4 << 0.0;
        QTest::newRow("long segment") << 500.0 << 20 << 1.0;
    }

    void handDrawnPieces()
    {
        QFETCH(double, length);
        QFETCH(int, pieces);
        QFETCH(double, reach);
        QPainterPath straight;
        straight.moveTo(0, 0);
        straight.lineTo(length, 0);
        MRandom::seed(7);
        const QPainterPath rough = MLineTool::handDrawn(straight);
        const QList<Points> parts = subpaths(rough);
        QCOMPARE(parts.size(), pieces);
        // Ends chain up; the last ends at the eased position of the last whole piece.
        for (int i = 1; i < parts.size(); ++i)
            QVERIFY(near(parts.at(i).first(), parts.at(i - 1).last()));
        const double m = std::max(4.0, length / 25.0);
        const double u = reach > 0 ? 1.0 : std::floor(m) / m;
        const double eased = ((6 * u - 15) * u + 10) * u * u * u;
        QVERIFY2(near(parts.last().last(), QPointF(length * eased, 0)), qPrintable(text(parts.last().last())));
        if (reach == 0.0)
            QVERIFY(parts.last().last().x() < length - 0.01);
        for (int i = 0; i < rough.elementCount(); ++i) {
            const QPainterPath::Element e = rough.elementAt(i);
            QVERIFY(std::abs(e.y) <= 4.0 + 1e-9);
        }
        // The randomness is the system's generator: the same seed, the same line.
        MRandom::seed(7);
        QCOMPARE(MLineTool::handDrawn(straight), rough);
        MRandom::seed(8);
        QVERIFY(MLineTool::handDrawn(straight) != rough);
    }

    void handDrawnOptionRoughensThePreview()
    {
        press(QPointF(100, 100));
        hover(QPointF(200, 100));
        QCOMPARE(subpaths(tool()->buildPath()).size(), 1);
        tool()->set_handDraw(true);
        QCOMPARE(subpaths(tool()->buildPath()).size(), 4);
        QVERIFY(press(QPointF(200, 100)));
        QCOMPARE(undo()->count(), 1);
        QVERIFY(painted(QPointF(150, 100)) || painted(QPointF(150, 99)) || painted(QPointF(150, 101)));
    }

    // A single line paints on its second click, with the brush, as one step.
    void singleLinePaintsOnTheSecondClick()
    {
        QVERIFY(press(QPointF(100, 100)));
        QCOMPARE(undo()->count(), 0);
        QVERIFY(!press(QPointF(150, 50), Qt::NoModifier, Qt::RightButton));
        QCOMPARE(tool()->pointCount(), 1);
        QVERIFY(press(QPointF(400, 100)));
        QCOMPARE(undo()->count(), 1);
        QCOMPARE(undo()->text(0), QString("Brush stroke"));
        QCOMPARE(tool()->pointCount(), 0);
        QVERIFY(tool()->buildPath().isEmpty());
        for (int x : {105, 250, 395})
            QVERIFY2(painted(QPointF(x, 100)), qPrintable(QString::number(x)));
        QVERIFY(!painted(QPointF(250, 130)));
        QVERIFY(!painted(QPointF(420, 100)));
        canvas()->undo();
        QVERIFY(!painted(QPointF(250, 100)));
    }

    // A closed polyline paints every edge and the closing one, ending at the
    // last hover position.
    void closedPolylineEndsWithControlClick()
    {
        tool()->set_lineType(MLineTool::PolyLineType);
        tool()->set_closeFigure(true);
        QSignalSpy hints(tools(), &MTools::showText);
        press(QPointF(100, 50));
        QCOMPARE(hints.count(), 1);
        press(QPointF(400, 50));
        hover(QPointF(400, 250));
        QVERIFY(press(QPointF(600, 280), Qt::ControlModifier));
        QCOMPARE(undo()->count(), 1);
        QCOMPARE(tool()->pointCount(), 0);
        for (const QPointF &p : Points{{250, 50}, {400, 150}, {250, 150}})
            QVERIFY2(painted(p), qPrintable(MTestTool::text(p)));
        QVERIFY(!painted(QPointF(600, 280)));
        QVERIFY(!painted(QPointF(300, 80)));
    }

    void doubleClickEndsTheFigure()
    {
        tool()->set_lineType(MLineTool::PolyLineType);
        press(QPointF(100, 50));
        press(QPointF(300, 50));
        MEvent e = MTestTool::leftSample(MEvent::DoubleClick, QPointF(300, 50));
        tool()->mouseDoubleClickEvent(&e);
        QCOMPARE(undo()->count(), 1);
        QVERIFY(painted(QPointF(200, 50)));
    }

    // Keys: removing the last point, giving up, and painting; the keypad's
    // Enter paints like Return.
    void keys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("taken");
        QTest::addColumn<int>("pointsLeft");
        QTest::addColumn<int>("steps");
        QTest::newRow("backspace") << int(Qt::Key_Backspace) << int(Qt::NoModifier) << true << 2 << 0;
        QTest::newRow("control delete") << int(Qt::Key_Delete) << int(Qt::ControlModifier) << true << 2 << 0;
        QTest::newRow("escape") << int(Qt::Key_Escape) << int(Qt::NoModifier) << true << 0 << 0;
        QTest::newRow("return") << int(Qt::Key_Return) << int(Qt::NoModifier) << true << 0 << 1;
        QTest::newRow("keypad enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << true << 0 << 1;
        QTest::newRow("space") << int(Qt::Key_Space) << int(Qt::NoModifier) << true << 0 << 1;
        QTest::newRow("other key") << int(Qt::Key_A) << int(Qt::NoModifier) << false << 3 << 0;
    }

    void keys()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, taken);
        QFETCH(int, pointsLeft);
        QFETCH(int, steps);
        tool()->set_lineType(MLineTool::PolyLineType);
        for (const QPointF &p : Points{{100, 50}, {300, 50}, {300, 200}})
            press(p);
        hover(QPointF(100, 200));
        QCOMPARE(this->key(key, Qt::KeyboardModifiers(modifiers)), taken);
        QCOMPARE(tool()->pointCount(), pointsLeft);
        QCOMPARE(undo()->count(), steps);
        if (pointsLeft == 2)
            QVERIFY(samePoints(subpaths(tool()->buildPath()).value(0), Points{{100, 50}, {300, 50}, {100, 200}}));
        if (steps)
            QVERIFY(painted(QPointF(300, 120)));
    }

    void backspaceWithoutPointsChangesNothing()
    {
        QVERIFY(key(Qt::Key_Backspace));
        QCOMPARE(tool()->pointCount(), 0);
        QVERIFY(tool()->buildPath().isEmpty());
        QVERIFY(key(Qt::Key_Return));
        QCOMPARE(undo()->count(), 0);
    }

    void changingTheTypeDropsTheLine()
    {
        tool()->set_lineType(MLineTool::PolyLineType);
        press(QPointF(100, 50));
        press(QPointF(300, 50));
        tool()->set_lineType(MLineTool::CurvedLineType);
        QCOMPARE(tool()->pointCount(), 0);
        QVERIFY(tool()->buildPath().isEmpty());
    }

    // Guides: the perspective wins over the ruler for single lines; the
    // ruler is never used for polylines; each polyline segment is aligned
    // from the stored previous point.
    void linesFollowTheGuides_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("withPerspective");
        QTest::addColumn<bool>("withRuler");
        QTest::addColumn<Points>("clicks");
        QTest::addColumn<QPointF>("pointer");
        QTest::addColumn<Points>("expected");
        const double r = QLineF(0, 0, 100, 20).length();
        const QPointF onRuler = QPointF(r, r) / std::sqrt(2.0);
        QTest::newRow("no guide") << int(MLineTool::SingleLineType) << false << false << Points{{0, 0}}
                                  << QPointF(100, 20) << Points{{0, 0}, {100, 20}};
        QTest::newRow("ruler") << int(MLineTool::SingleLineType) << false << true << Points{{0, 0}} << QPointF(100, 20)
                               << Points{{0, 0}, onRuler};
        QTest::newRow("perspective") << int(MLineTool::SingleLineType) << true << false << Points{{0, 0}}
                                     << QPointF(100, 10) << Points{{0, 0}, {100, 0}};
        QTest::newRow("perspective wins over the ruler")
            << int(MLineTool::SingleLineType) << true << true << Points{{0, 0}} << QPointF(100, 10)
            << Points{{0, 0}, {100, 0}};
        QTest::newRow("polyline ignores the ruler") << int(MLineTool::PolyLineType) << false << true
                                                    << Points{{0, 0}, {100, 20}} << QPointF(100, 120)
                                                    << Points{{0, 0}, {100, 20}, {100, 120}};
        // The last segment heads for the vertical vanishing point from the
        // clicked (100, 10), not from the aligned (100, 0).
        const QVector2D down = QVector2D(QPointF(0, 2000) - QPointF(100, 10)).normalized();
        const QPointF last = QPointF(100, 10) + (down * QVector2D::dotProduct(QVector2D(5, 100), down)).toPointF();
        QTest::newRow("polyline segments from the stored points")
            << int(MLineTool::PolyLineType) << true << false << Points{{0, 0}, {100, 10}} << QPointF(105, 110)
            << Points{{0, 0}, {100, 0}, last};
    }

    void linesFollowTheGuides()
    {
        QFETCH(int, type);
        QFETCH(bool, withPerspective);
        QFETCH(bool, withRuler);
        QFETCH(Points, clicks);
        QFETCH(QPointF, pointer);
        QFETCH(Points, expected);
        tools()->activate(MTool::PerspectiveTool, withPerspective);
        perspective()->set_lockLines(true);
        perspective()->set_lockAngle(20);
        perspective()->resetPoints();
        tools()->activate(MTool::RullerTool, withRuler);
        ruler()->setPoints({QPointF(0, 0), QPointF(100, 100)});
        tool()->set_lineType(type);
        for (const QPointF &p : clicks)
            press(p);
        hover(pointer);
        const Points built = subpaths(tool()->buildPath()).value(0);
        QVERIFY2(samePoints(built, expected, 0.05), qPrintable(text(built)));
    }
};

QTEST_MAIN(TestMLineTool)
#include "tst_mlinetool.moc"
