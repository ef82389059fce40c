#include "mcanvas.h"
#include "mcolorlist.h"
#include "mevent.h"
#include "mgradientitem.h"
#include "mgradienttool.h"
#include "msettings.h"
#include "mtestcanvas.h"
#include "mtestpixels.h"
#include "mtesttool.h"
#include "mtesttoolrig.h"
#include "mtestview.h"
#include "mtexturelayer.h"
#include "mtools.h"
#include "mwidget.h"

#include <QKeyEvent>
#include <QMainWindow>
#include <QPainter>
#include <QTest>
#include <QUndoStack>

#include <memory>

// The gradient tool in a canvas view that was never shown (view and canvas
// positions agree) over a painted rectangle of (0, 0, 1000, 1000): its stops,
// how they follow the end points, the gradient they make and its rasterization.
namespace {
using Points = QVector<QPointF>;
using MTestTool::near;
using MTestTool::text;

const QPointF start(250, 500);
const QPointF end(750, 500);

} // namespace

class TestMGradientTool : public MTestToolRig
{
    Q_OBJECT

public:
    TestMGradientTool()
        : MTestToolRig(MTool::GradientTool)
    {
    }

private:
    static MGradientTool *tool() { return tools()->tool<MGradientTool>(MTool::GradientTool); }

    Points stopPoints() const
    {
        Points list;
        for (int i = 0; i < tool()->count(); ++i)
            list << tool()->item(i)->point();
        return list;
    }
    QVector<double> stopValues() const
    {
        QVector<double> list;
        for (int i = 0; i < tool()->count(); ++i)
            list << tool()->item(i)->stop();
        return list;
    }

    // Grabs the stop's handle and drags it to p.
    void drag(int index, const QPointF &p)
    {
        QVERIFY(!press(tool()->item(index)->point()));
        QCOMPARE(tool()->selectedPoint(), index);
        move(p);
    }
    // An inner stop added by a Control press at p.
    void addInner(const QPointF &p)
    {
        const int before = tool()->count();
        QVERIFY(press(p, Qt::ControlModifier));
        QCOMPARE(tool()->count(), before + 1);
    }
    QRgb pixel(const QPointF &p) const
    {
        canvas()->makeCurrent();
        return MTestCanvas::pixelAt(canvas()->current(), p.toPoint());
    }

private slots:
    void initTestCase()
    {
        QVERIFY(MTestView::prepare(QSize(1000, 1000)));
        MSettings::instance()->set_textDuration(1);
        MTestTool::initRegistry(&window, QStringLiteral("GradientTool"));
        QVERIFY(tool());
    }

    void init()
    {
        MSettings::instance()->set_alignToGrid(false);
        openView(QSize(1200, 1200));
        canvas()->setAutoExtent(false);
        canvas()->setPaintedRect(QRectF(0, 0, 1000, 1000));
        tool()->set_type(MGradientTool::Linear);
        tool()->set_spread(MGradientTool::PadSpread);
        tool()->set_locked(false);
        tool()->resetPoints();
        MColorList::instance()->setColor(QColor(10, 200, 20));
        undo()->clear();
    }

    void cleanup() { closeView(); }

    // Red to blue over the middle half of the painted area, or a fixed pair
    // of points when there is no view; the first overlay makes them.
    void defaultStops_data()
    {
        QTest::addColumn<bool>("withView");
        QTest::addColumn<Points>("expected");
        QTest::newRow("view") << true << Points{start, end};
        QTest::newRow("no view") << false << Points{QPointF(0, 0), QPointF(300, 300)};
    }

    void defaultStops()
    {
        QFETCH(bool, withView);
        QFETCH(Points, expected);
        if (!withView)
            tools()->set_widget(nullptr);
        tool()->resetPoints();
        QCOMPARE(stopPoints(), expected);
        QCOMPARE(stopValues(), (QVector<double>{0.0, 1.0}));
        QCOMPARE(tool()->item(0)->color(), QColor(Qt::red));
        QCOMPARE(tool()->item(1)->color(), QColor(Qt::blue));
        QCOMPARE(tool()->selectedPoint(), 1);
    }

    void firstOverlayMakesTheStops()
    {
        std::unique_ptr<MGradientTool> fresh(new MGradientTool(MTool::GradientTool));
        fresh->activate(true);
        QCOMPARE(fresh->count(), 0);
        MTestTool::overlay(fresh.get(), view()->size());
        QCOMPARE(fresh->count(), 2);
        QCOMPARE(fresh->item(1)->point(), end);
    }

    // A Control press adds a stop at its projection on the segment, start
    // included and end excluded, with the current colour; elsewhere nothing.
    void addingProjectsOnTheSegment_data()
    {
        QTest::addColumn<QPointF>("at");
        QTest::addColumn<bool>("added");
        QTest::addColumn<QPointF>("expected");
        QTest::addColumn<double>("stop");
        QTest::newRow("beside the segment") << QPointF(400, 620) << true << QPointF(400, 500) << 0.3;
        QTest::newRow("on the start") << QPointF(250, 480) << true << start << 0.0;
        QTest::newRow("on the end") << QPointF(750, 400) << false << QPointF() << 0.0;
        QTest::newRow("beyond the end") << QPointF(900, 500) << false << QPointF() << 0.0;
        QTest::newRow("before the start") << QPointF(100, 300) << false << QPointF() << 0.0;
    }

    void addingProjectsOnTheSegment()
    {
        QFETCH(QPointF, at);
        QFETCH(bool, added);
        QFETCH(QPointF, expected);
        QFETCH(double, stop);
        QCOMPARE(press(at, Qt::ControlModifier), true);
        QCOMPARE(tool()->count(), added ? 3 : 2);
        if (!added)
            return;
        QVERIFY2(near(tool()->item(2)->point(), expected), qPrintable(text(tool()->item(2)->point())));
        QCOMPARE(tool()->item(2)->color(), QColor(10, 200, 20));
        QVERIFY(qAbs(tool()->item(2)->stop() - stop) < 1e-9);
        QCOMPARE(tool()->selectedPoint(), 2);
        QCOMPARE(stopValues().mid(0, 2), (QVector<double>{0.0, 1.0}));
    }

    void zeroLengthSegmentTakesNoInnerStop()
    {
        drag(1, start);
        QCOMPARE(tool()->item(1)->point(), start);
        press(QPointF(250, 520), Qt::ControlModifier);
        QCOMPARE(tool()->count(), 2);
        const QGradient gradient = tool()->makeGradient(stopPoints(), {Qt::red, Qt::blue});
        QCOMPARE(gradient.stops(), (QGradientStops{{0.0, Qt::red}, {1.0, Qt::blue}}));
    }

    // Moving an end point re-places the inner stops so that their ratios hold.
    void stretchingKeepsTheRatios_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QPointF>("to");
        QTest::newRow("end twice as far") << 1 << QPointF(1250, 500);
        QTest::newRow("end turned a quarter") << 1 << QPointF(250, 1000);
        QTest::newRow("start moved past the end") << 0 << QPointF(900, 200);
    }

    void stretchingKeepsTheRatios()
    {
        QFETCH(int, index);
        QFETCH(QPointF, to);
        addInner(QPointF(350, 500));
        addInner(QPointF(650, 510));
        const QVector<double> before = stopValues();
        drag(index, to);
        QCOMPARE(tool()->item(index)->point(), to);
        QCOMPARE(stopValues(), before);
        const QPointF p0 = tool()->item(0)->point(), p1 = tool()->item(1)->point();
        for (int i = 2; i < tool()->count(); ++i) {
            const QPointF expected = p0 + (p1 - p0) * before.at(i);
            QVERIFY2(near(tool()->item(i)->point(), expected, 1e-6), qPrintable(text(tool()->item(i)->point())));
        }
    }

    // An inner stop moves along the segment only while its projection stays on it.
    void draggingAnInnerStop_data()
    {
        QTest::addColumn<QPointF>("to");
        QTest::addColumn<QPointF>("expected");
        QTest::addColumn<double>("stop");
        QTest::newRow("along, off the line") << QPointF(600, 300) << QPointF(600, 500) << 0.7;
        QTest::newRow("past the end") << QPointF(800, 500) << QPointF(400, 500) << 0.3;
        QTest::newRow("before the start") << QPointF(200, 500) << QPointF(400, 500) << 0.3;
    }

    void draggingAnInnerStop()
    {
        QFETCH(QPointF, to);
        QFETCH(QPointF, expected);
        QFETCH(double, stop);
        addInner(QPointF(400, 500));
        drag(2, to);
        QVERIFY2(near(tool()->item(2)->point(), expected), qPrintable(text(tool()->item(2)->point())));
        QVERIFY(qAbs(tool()->item(2)->stop() - stop) < 1e-9);
    }

    // The start never goes and the gradient keeps two stops; an inner stop
    // goes, by the bar or by Control+Delete.
    void removingStops_data()
    {
        QTest::addColumn<int>("inner");
        QTest::addColumn<int>("selected");
        QTest::addColumn<bool>("byKey");
        QTest::addColumn<int>("left");
        QTest::newRow("start") << 1 << 0 << true << 3;
        QTest::newRow("end of two") << 0 << 1 << false << 2;
        QTest::newRow("end of two by key") << 0 << 1 << true << 2;
        QTest::newRow("inner") << 1 << 2 << false << 2;
        QTest::newRow("inner by key") << 1 << 2 << true << 2;
        QTest::newRow("end of three") << 1 << 1 << false << 2;
        QTest::newRow("nothing selected") << 1 << -1 << true << 3;
    }

    void removingStops()
    {
        QFETCH(int, inner);
        QFETCH(int, selected);
        QFETCH(bool, byKey);
        QFETCH(int, left);
        if (inner)
            addInner(QPointF(500, 500));
        tool()->setSelectedPoint(selected);
        if (byKey)
            QVERIFY(key(Qt::Key_Delete, Qt::ControlModifier));
        else
            tool()->removePoint();
        QCOMPARE(tool()->count(), left);
        QCOMPARE(tool()->item(0)->point(), start);
        QCOMPARE(stopValues().mid(0, 2), (QVector<double>{0.0, 1.0}));
        // Still a gradient from start to end, drawn and rasterized.
        QCOMPARE(tool()->gradient().stops().size(), left == 3 ? 3 : 2);
        MTestTool::overlay(tool(), view()->size());
        tool()->apply();
        QCOMPARE(canvas()->undoStack()->count(), 1);
    }

    // The gradient is built from the stops: geometry by type, colours by
    // stop, inner stops by their distance ratio.
    void gradientConstruction_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<Points>("points");
        QTest::addColumn<QVector<QColor>>("colors");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QGradientStops>("stops");
        const Points line{QPointF(10, 20), QPointF(10, 120)};
        QTest::newRow("linear") << int(MGradientTool::Linear) << line << QVector<QColor>{Qt::red, Qt::blue}
                                << int(QGradient::LinearGradient)
                                << QGradientStops{{0.0, Qt::red}, {1.0, Qt::blue}};
        QTest::newRow("radial with an inner stop")
            << int(MGradientTool::Radial) << (line + Points{QPointF(10, 45)})
            << QVector<QColor>{Qt::red, Qt::blue, Qt::green} << int(QGradient::RadialGradient)
            << QGradientStops{{0.0, Qt::red}, {0.25, Qt::green}, {1.0, Qt::blue}};
        QTest::newRow("conical, inner stop on the start")
            << int(MGradientTool::Conical) << (line + Points{QPointF(10, 20)})
            << QVector<QColor>{Qt::red, Qt::blue, Qt::green} << int(QGradient::ConicalGradient)
            << QGradientStops{{0.0, Qt::green}, {1.0, Qt::blue}};
        QTest::newRow("inner stop beyond the end skipped")
            << int(MGradientTool::Linear) << (line + Points{QPointF(10, 300)})
            << QVector<QColor>{Qt::red, Qt::blue, Qt::green} << int(QGradient::LinearGradient)
            << QGradientStops{{0.0, Qt::red}, {1.0, Qt::blue}};
        QTest::newRow("lists differ") << int(MGradientTool::Radial) << line << QVector<QColor>{Qt::red}
                                      << int(QGradient::RadialGradient) << QGradientStops{};
        QTest::newRow("a single stop") << int(MGradientTool::Linear) << Points{QPointF(1, 1)}
                                       << QVector<QColor>{Qt::red} << int(QGradient::LinearGradient)
                                       << QGradientStops{};
    }

    void gradientConstruction()
    {
        QFETCH(int, type);
        QFETCH(Points, points);
        QFETCH(QVector<QColor>, colors);
        QFETCH(int, kind);
        QFETCH(QGradientStops, stops);
        tool()->set_type(type);
        const QGradient gradient = tool()->makeGradient(points, colors);
        QCOMPARE(int(gradient.type()), kind);
        if (stops.isEmpty()) {
            // A bare gradient: the default stops of the framework.
            QCOMPARE(gradient.stops(), QGradient().stops());
            return;
        }
        QCOMPARE(gradient.stops(), stops);
        if (kind == QGradient::RadialGradient) {
            const auto &radial = static_cast<const QRadialGradient &>(gradient);
            QCOMPARE(radial.center(), points.at(0));
            QCOMPARE(radial.focalPoint(), points.at(0));
            QCOMPARE(radial.radius(), 100.0);
        } else if (kind == QGradient::ConicalGradient) {
            const auto &conical = static_cast<const QConicalGradient &>(gradient);
            QCOMPARE(conical.center(), points.at(0));
            // Straight down on the screen is 270 degrees counter-clockwise.
            QCOMPARE(conical.angle(), 270.0);
        } else {
            const auto &linear = static_cast<const QLinearGradient &>(gradient);
            QCOMPARE(linear.start(), points.at(0));
            QCOMPARE(linear.finalStop(), points.at(1));
        }
    }

    // Beyond its end the gradient pads, repeats or mirrors.
    void spreadModes_data()
    {
        QTest::addColumn<int>("spread");
        QTest::addColumn<int>("spreadType");
        QTest::addColumn<QColor>("beyond");
        QTest::newRow("pad") << int(MGradientTool::PadSpread) << int(QGradient::PadSpread) << QColor(0, 0, 255);
        QTest::newRow("repeat") << int(MGradientTool::RepeatSpread) << int(QGradient::RepeatSpread)
                                << QColor(230, 0, 25);
        QTest::newRow("reflect") << int(MGradientTool::ReflectSpread) << int(QGradient::ReflectSpread)
                                 << QColor(25, 0, 230);
    }

    void spreadModes()
    {
        QFETCH(int, spread);
        QFETCH(int, spreadType);
        QFETCH(QColor, beyond);
        tool()->set_spread(spread);
        const QGradient gradient = tool()->makeGradient({QPointF(0, 0), QPointF(100, 0)}, {Qt::red, Qt::blue});
        QCOMPARE(int(gradient.spread()), spreadType);
        QImage image(300, 1, QImage::Format_ARGB32);
        QPainter painter(&image);
        painter.fillRect(image.rect(), QBrush(gradient));
        painter.end();
        // A tenth of the length beyond the end.
        const QRgb p = image.pixel(110, 0);
        QVERIFY2(MTestPixels::near(p, beyond.rgba(), 8), qPrintable(MTestPixels::text(p)));
        const QRgb inside = image.pixel(10, 0);
        QVERIFY2(MTestPixels::near(inside, qRgb(230, 0, 25), 8), qPrintable(MTestPixels::text(inside)));
    }

    // The picked colour goes to the selected stop, whichever tool is active.
    void pickedColourRecoloursTheSelectedStop()
    {
        tools()->activate(MTool::BrushTool, true);
        tool()->setSelectedPoint(0);
        MColorList::instance()->setColor(QColor(1, 2, 3), Qt::ShiftModifier);
        QCOMPARE(tool()->item(0)->color(), QColor(1, 2, 3));
        QCOMPARE(tool()->item(1)->color(), QColor(Qt::blue));
        tool()->setSelectedPoint(1);
        tool()->resetColor();
        QCOMPARE(tool()->item(1)->color(), QColor(Qt::transparent));
        tool()->setSelectedPoint(-1);
        MColorList::instance()->setColor(QColor(4, 5, 6));
        QCOMPARE(tool()->item(0)->color(), QColor(1, 2, 3));
    }

    // Handles are hit on their square; a locked tool has none.
    void hitTestAndCursor()
    {
        QCOMPARE(tool()->pointIndex(end + QPointF(4, -4)), 1);
        QVERIFY(tool()->updateCursor(end, 1.0));
        QCOMPARE(tool()->cursor().shape(), Qt::SizeAllCursor);
        QCOMPARE(tool()->pointIndex(QPointF(500, 500)), -1);
        QVERIFY(!tool()->updateCursor(QPointF(500, 500), 1.0));
        QCOMPARE(tool()->cursor().shape(), Qt::ArrowCursor);
        tool()->set_locked(true);
        QCOMPARE(tool()->pointIndex(end), -1);
        QVERIFY(!press(QPointF(500, 500), Qt::ControlModifier));
    }

    // Return rasterizes inside the selection as one undo step and hands over
    // to the brush tool; the stops stay for the next time.
    void rasterizingInsideTheSelection()
    {
        QPainterPath selection;
        selection.addEllipse(QRectF(300.5, 300.5, 400, 201));
        canvas()->setClipPath(selection);
        const QImage image = tool()->renderImage();
        QCOMPARE(image.size(), QRectF(300.5, 300.5, 400, 201).toAlignedRect().size());
        QCOMPARE(qAlpha(image.pixel(2, 2)), 0);
        QCOMPARE(qAlpha(image.pixel(200, 100)), 255);
        QVERIFY(key(Qt::Key_Return));
        QCOMPARE(canvas()->undoStack()->count(), 1);
        QCOMPARE(canvas()->undoStack()->undoText(), QStringLiteral("Rasterize gradient"));
        QCOMPARE(tools()->currentToolId(), int(MTool::BrushTool));
        QCOMPARE(tool()->count(), 2);
        // Half way between red at 250 and blue at 750.
        const QRgb middle = pixel(QPointF(500, 400));
        QVERIFY2(MTestPixels::near(middle, qRgb(128, 0, 127), 8), qPrintable(MTestPixels::text(middle)));
        QCOMPARE(qAlpha(pixel(QPointF(310, 310))), 0);
        QCOMPARE(qAlpha(pixel(QPointF(500, 250))), 0);
        canvas()->undoStack()->undo();
        QCOMPARE(qAlpha(pixel(QPointF(500, 400))), 0);
    }

    // A layer that cannot be painted is left alone; the tool still hands over.
    void lockedLayerIsLeftAlone()
    {
        canvas()->current()->setLocked(true);
        tool()->apply();
        canvas()->current()->setLocked(false);
        QCOMPARE(canvas()->undoStack()->count(), 0);
        QCOMPARE(tools()->currentToolId(), int(MTool::BrushTool));
    }
};

QTEST_MAIN(TestMGradientTool)
#include "tst_mgradienttool.moc"
