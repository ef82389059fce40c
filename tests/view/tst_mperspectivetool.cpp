#include "mbrush.h"
#include "mbrushlist.h"
#include "mbrushtool.h"
#include "mcanvas.h"
#include "mcolorlist.h"
#include "mevent.h"
#include "mperspectivetool.h"
#include "mperspectivewidget.h"
#include "msettings.h"
#include "mtestcanvas.h"
#include "mtestfolder.h"
#include "mtestglcontext.h"
#include "mtestspy.h"
#include "mtesttool.h"
#include "mtestview.h"
#include "mtexturelayer.h"
#include "mtools.h"
#include "mtoolvalues.h"
#include "mwidget.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QMainWindow>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QUndoStack>
#include <QVector2D>

#include <memory>

// The perspective guide of the registry over a real canvas view that was
// never shown (view and canvas positions agree): its boxes, the alignment it
// offers other tools, its handles, printing, its settings and its panel.
namespace {
using Points = QVector<QPointF>;
using MTestTool::near;
using MTestTool::text;

// The distance from p to the infinite line through a and b.
double offLine(const QPointF &p, const QPointF &a, const QPointF &b)
{
    const QVector2D d = QVector2D(b - a).normalized();
    const QVector2D v(p - a);
    return std::abs(double(v.x() * d.y() - v.y() * d.x()));
}
} // namespace

class TestMPerspectiveTool : public QObject
{
    Q_OBJECT

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private:
    MTestFolder folders;
    QMainWindow window;
    std::unique_ptr<MWidget> view;

    static MTools *tools() { return MTools::instance(); }
    static MPerspectiveTool *tool() { return tools()->tool<MPerspectiveTool>(MTool::PerspectiveTool); }
    MCanvas *canvas() const { return view->canvas(); }
    QUndoStack *undo() const { return canvas()->undoStack(); }

    bool painted(const QPointF &p) const
    {
        canvas()->makeCurrent();
        return qAlpha(MTestCanvas::pixelAt(canvas()->current(), p.toPoint())) > 0;
    }

    bool press(const QPointF &p, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        MEvent e = MTestTool::leftSample(MEvent::Press, p);
        e.modifiers = modifiers;
        return tool()->mousePressEvent(&e);
    }

    void drag(const QPointF &from, const QPointF &to, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QVERIFY(press(from, modifiers));
        MEvent e = MTestTool::leftSample(MEvent::Move, to);
        e.modifiers = modifiers;
        tool()->mouseMoveEvent(&e);
    }

    // One figure at the default corner, all vanishing points in use.
    void oneFigure()
    {
        while (!tool()->figures().isEmpty())
            tool()->removeControlPoint();
        tool()->addControlPoint();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(MTestView::prepare(QSize(1200, 600)));
        MSettings::instance()->remove(QStringLiteral("Perspective"));
        MBrushList::destroyInstance();
        MBrushList::setInstance(new MBrushList(QStringLiteral(KALMI_BIN_DIR "/datas/brushes/"), folders.path()));
        MColorList::instance()->setColor(QColor(200, 20, 10));
        tools()->init(&window);
        QVERIFY(tool());
    }

    void init()
    {
        MSettings::instance()->set_alignToGrid(false);
        view.reset(new MWidget);
        view->resize(700, 300);
        tools()->set_widget(view.get());
        tool()->set_locked(false);
        for (const char *flag : {"leftVanishingPoint", "rightVanishingPoint", "verticalVanishingPoint", "showLines",
                                 "lockLines"})
            tool()->setProperty(flag, true);
        tool()->set_lockAngle(20);
        tool()->reset();
        tool()->resetPoints();
        tools()->activate(MTool::PerspectiveTool, true);
        oneFigure();
        MBrush *brush = MBrushList::instance()->currentBrush();
        brush->setRadius(2);
        brush->setHardness(1.0);
        canvas()->setAutoExtent(false);
        undo()->clear();
    }

    void cleanup()
    {
        tools()->activate(MTool::PerspectiveTool, false);
        tools()->set_widget(nullptr);
        view.reset();
    }

    void cleanupTestCase() { MBrushList::destroyInstance(); }

    // The arms head for the vanishing points in use, else run along the
    // canvas axes; every other corner is where construction lines meet.
    void figureGeometry_data()
    {
        QTest::addColumn<bool>("left");
        QTest::addColumn<bool>("right");
        QTest::addColumn<bool>("vertical");
        QTest::addColumn<QPointF>("L");
        QTest::addColumn<QPointF>("R");
        QTest::addColumn<QPointF>("T");
        const QPointF c(100, -100);
        auto towards = [&c](const QPointF &v) { return c + (QVector2D(v - c).normalized() * 200).toPointF(); };
        const QPointF L = towards({-2000, 0}), R = towards({2000, 0}), T = towards({0, 2000});
        QTest::newRow("three points") << true << true << true << L << R << T;
        QTest::newRow("no vertical point") << true << true << false << L << R << c - QPointF(0, 200);
        QTest::newRow("no left point") << false << true << true << c - QPointF(200, 0) << R << T;
        QTest::newRow("one point") << false << true << false << c - QPointF(200, 0) << R << c - QPointF(0, 200);
    }

    void figureGeometry()
    {
        QFETCH(bool, left);
        QFETCH(bool, right);
        QFETCH(bool, vertical);
        QFETCH(QPointF, L);
        QFETCH(QPointF, R);
        QFETCH(QPointF, T);
        tool()->set_leftVanishingPoint(left);
        tool()->set_rightVanishingPoint(right);
        tool()->set_verticalVanishingPoint(vertical);
        MPerspectiveTool::Figure *figure = tool()->figures().first();
        QCOMPARE(figure->corner, QPointF(100, -100));
        const MPerspectiveTool::Corners k = figure->corners();
        QVERIFY2(near(k.L, L) && near(k.R, R) && near(k.T, T), qPrintable(text(k.L) + text(k.R) + text(k.T)));
        // The lines always head for the points' positions, in use or not.
        const QPointF VL(-2000, 0), VR(2000, 0), VV(0, 2000);
        QVERIFY(offLine(k.G, k.L, VR) < 1e-3 && offLine(k.G, k.R, VL) < 1e-3);
        QVERIFY(offLine(k.TL, k.T, VL) < 1e-3 && offLine(k.TR, k.T, VR) < 1e-3);
        QVERIFY(offLine(k.K, k.TL, VR) < 1e-3 && offLine(k.K, k.TR, VL) < 1e-3);
        if (vertical) {
            QVERIFY(offLine(k.TL, k.L, VV) < 1e-3 && offLine(k.TR, k.R, VV) < 1e-3);
            QVERIFY(k.T.y() > k.c.y());
        } else {
            // Verticals stay parallel to the canvas's y axis.
            QVERIFY(std::abs(k.TL.x() - k.L.x()) < 1e-6 && std::abs(k.TR.x() - k.R.x()) < 1e-6);
        }
    }

    // Construction lines that run parallel meet nowhere: the corner stays
    // where it was rather than jumping to the origin.
    void parallelLinesKeepTheLastCorner()
    {
        MPerspectiveTool::Figure *figure = tool()->figures().first();
        const QPointF before = figure->corners().G;
        QVERIFY(!near(before, QPointF(0, 0)));
        // On the horizon both ground lines are the horizon itself.
        figure->corner = QPointF(100, 0);
        const MPerspectiveTool::Corners k = figure->corners();
        QCOMPARE(k.G, before);
        // A box that never had one is completed as a parallelogram.
        tool()->addControlPoint();
        MPerspectiveTool::Figure *fresh = tool()->figures().last();
        fresh->corner = QPointF(100, 0);
        const MPerspectiveTool::Corners f = fresh->corners();
        QVERIFY2(near(f.G, f.L + f.R - f.c), qPrintable(text(f.G)));
    }

    void alignToPerspective_data()
    {
        QTest::addColumn<QString>("options");
        QTest::addColumn<QLineF>("segment");
        QTest::addColumn<QPointF>("end");
        const QLineF diagonal(0, 0, 100, -100);
        QTest::newRow("near the horizon") << "" << QLineF(0, 0, 100, 10) << QPointF(100, 0);
        QTest::newRow("45 degrees stays") << "" << diagonal << diagonal.p2();
        QTest::newRow("lock off") << "unlocked" << QLineF(0, 0, 100, 10) << QPointF(100, 10);
        QTest::newRow("lock angle smaller than the deviation") << "angle5" << QLineF(0, 0, 100, 10) << QPointF(100, 10);
        QTest::newRow("near vertical heads for the vertical point") << "" << QLineF(0, -100, 10, 0) << QPointF(0, 0);
        QTest::newRow("straight up without the vertical point") << "novertical" << QLineF(0, -100, 10, -200)
                                                                << QPointF(0, -200);
        // Off the horizon both horizontal directions deviate alike: left wins.
        QTest::newRow("tie goes left") << "" << QLineF(0, -100, 100, -100) << QPointF(99.7503, -104.9875);
        QTest::newRow("right alone") << "noleft" << QLineF(0, -100, 100, -100) << QPointF(99.7503, -95.0125);
        QTest::newRow("no direction in use nearby") << "noleft noright" << QLineF(0, -100, 100, -100)
                                                    << QPointF(100, -100);
    }

    void alignToPerspective()
    {
        QFETCH(QString, options);
        QFETCH(QLineF, segment);
        QFETCH(QPointF, end);
        tool()->set_lockLines(!options.contains("unlocked"));
        if (options.contains("angle5"))
            tool()->set_lockAngle(5);
        tool()->set_leftVanishingPoint(!options.contains("noleft"));
        tool()->set_rightVanishingPoint(!options.contains("noright"));
        tool()->set_verticalVanishingPoint(!options.contains("novertical"));
        const QLineF aligned = tool()->alignToPerspective(segment);
        QCOMPARE(aligned.p1(), segment.p1());
        QVERIFY2(near(aligned.p2(), end, 1e-3), qPrintable(text(aligned.p2())));
    }

    // Dragging a vanishing point moves it along its axis only.
    void vanishingPointDrags_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QPointF>("to");
        QTest::addColumn<Points>("points");
        QTest::addColumn<QString>("property");
        QTest::addColumn<double>("distance");
        QTest::newRow("left") << 1 << QPointF(-500, 40) << Points{{0, 0}, {-500, 0}, {2000, 0}, {0, 2000}}
                              << "leftDistance" << 500.0;
        QTest::newRow("left past the centre") << 1 << QPointF(50, 30) << Points{{0, 0}, {-10, 0}, {2000, 0}, {0, 2000}}
                                              << "leftDistance" << 10.0;
        QTest::newRow("right") << 2 << QPointF(700, -20) << Points{{0, 0}, {-2000, 0}, {700, 0}, {0, 2000}}
                               << "rightDistance" << 700.0;
        QTest::newRow("vertical above") << 3 << QPointF(30, -300) << Points{{0, 0}, {-2000, 0}, {2000, 0}, {0, -300}}
                                        << "verticalDistance" << -300.0;
        QTest::newRow("vertical onto the horizon") << 3 << QPointF(30, 4)
                                                   << Points{{0, 0}, {-2000, 0}, {2000, 0}, {0, 10}}
                                                   << "verticalDistance" << 10.0;
    }

    void vanishingPointDrags()
    {
        QFETCH(int, index);
        QFETCH(QPointF, to);
        QFETCH(Points, points);
        QFETCH(QString, property);
        QFETCH(double, distance);
        const QByteArray signal = QByteArray("2") + property.toLatin1() + "Changed(double)";
        QSignalSpy spy(tool(), signal.constData());
        drag(tool()->point(index), to);
        QCOMPARE(tool()->dragMode(), 1);
        QCOMPARE(tool()->points(), points);
        QCOMPARE(tool()->property(property.toLatin1().constData()).toDouble(), distance);
        QCOMPARE(spyValues(spy), QVariantList({distance}));
        QCOMPARE(tool()->figures().first()->corner, QPointF(100, -100));
    }

    void centreDragMovesTheFiguresUnlessControl_data()
    {
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QPointF>("corner");
        QTest::newRow("plain") << int(Qt::NoModifier) << QPointF(150, -70);
        QTest::newRow("control") << int(Qt::ControlModifier) << QPointF(100, -100);
    }

    void centreDragMovesTheFiguresUnlessControl()
    {
        QFETCH(int, modifiers);
        QFETCH(QPointF, corner);
        drag(QPointF(0, 0), QPointF(50, 30), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(tool()->points(), (Points{{50, 30}, {-1950, 30}, {2050, 30}, {50, 2030}}));
        QCOMPARE(tool()->figures().first()->corner, corner);
    }

    // The corner follows the (snapped) pointer; the arms keep their
    // directions and take the pointer's distance, at least 10.
    void figureHandleDrags_data()
    {
        QTest::addColumn<int>("handle");
        QTest::addColumn<QPointF>("to");
        QTest::addColumn<QPointF>("corner");
        QTest::addColumn<QVector<double>>("arms");
        QTest::newRow("corner") << 1 << QPointF(133, -77) << QPointF(130, -80) << QVector<double>{200, 200, 200};
        QTest::newRow("left arm") << 2 << QPointF(100, -400) << QPointF(100, -100) << QVector<double>{300, 200, 200};
        QTest::newRow("right arm") << 3 << QPointF(103, -96) << QPointF(100, -100) << QVector<double>{200, 10, 200};
        QTest::newRow("vertical arm") << 4 << QPointF(100, 50) << QPointF(100, -100) << QVector<double>{200, 200, 150};
    }

    void figureHandleDrags()
    {
        QFETCH(int, handle);
        QFETCH(QPointF, to);
        QFETCH(QPointF, corner);
        QFETCH(QVector<double>, arms);
        MSettings::instance()->set_alignToGrid(true);
        MSettings::instance()->set_alignToGridSize(10);
        MPerspectiveTool::Figure *figure = tool()->figures().first();
        const MPerspectiveTool::Corners k = figure->corners();
        const QPointF from[] = {QPointF(), k.c, k.L, k.R, k.T};
        drag(from[handle], to);
        QCOMPARE(tool()->dragMode(), 2);
        QCOMPARE(tool()->figureHandle(), handle);
        QCOMPARE(figure->corner, corner);
        QCOMPARE(QVector<double>({figure->leftLength, figure->rightLength, figure->height}), arms);
        MSettings::instance()->set_alignToGrid(false);
    }

    void pressesNotTaken_data()
    {
        QTest::addColumn<QString>("state");
        QTest::newRow("away from every handle") << "";
        QTest::newRow("locked") << "locked";
        QTest::newRow("hidden") << "hidden";
    }

    void pressesNotTaken()
    {
        QFETCH(QString, state);
        tool()->set_locked(state == "locked");
        if (state == "hidden")
            tools()->activate(MTool::PerspectiveTool, false);
        const QPointF target = state.isEmpty() ? QPointF(300, 200) : QPointF(0, 0);
        QVERIFY(!press(target));
        QCOMPARE(tool()->dragMode(), 0);
        QCOMPARE(tool()->updateCursor(target, 1.0), false);
        QCOMPARE(tool()->cursor().shape(), Qt::ArrowCursor);
        if (state.isEmpty())
            QVERIFY(tool()->updateCursor(QPointF(100, -100), 1.0));
    }

    // Every edge of every box is drawn with the brush, all in one step.
    void printIsOneMacro_data()
    {
        QTest::addColumn<bool>("left");
        QTest::addColumn<int>("lines");
        QTest::addColumn<bool>("viaAlt");
        QTest::newRow("two points, from the bar") << true << 12 << false;
        QTest::newRow("right only, alt-click") << false << 4 << true;
    }

    void printIsOneMacro()
    {
        QFETCH(bool, left);
        QFETCH(int, lines);
        QFETCH(bool, viaAlt);
        tool()->set_leftVanishingPoint(left);
        if (viaAlt)
            QVERIFY(press(QPointF(400, 250), Qt::AltModifier));
        else
            tool()->print();
        QVERIFY(!MTestCanvas::macroOpen(canvas()));
        QCOMPARE(undo()->count(), 1);
        QCOMPARE(undo()->text(0), QString("Print perspective"));
        // One line of the brush per edge inside the step.
        QCOMPARE(undo()->command(0)->childCount(), lines);
        for (int i = 0; i < lines; ++i)
            QCOMPARE(undo()->command(0)->child(i)->text(), QString("Draw line"));
        const MPerspectiveTool::Corners k = tool()->figures().first()->corners();
        const QPointF middle = (k.T + k.c) / 2;
        QVERIFY(painted(middle));
        QCOMPARE(painted((k.L + k.c) / 2), left);
        QVERIFY(!painted(QPointF(300, 250)));
        canvas()->undo();
        QVERIFY(!painted(middle));
    }

    void printWithoutFiguresRecordsNothing()
    {
        tool()->removeControlPoint();
        QVERIFY(tool()->figures().isEmpty());
        tool()->print();
        QCOMPARE(undo()->count(), 0);
    }

    void figuresAddedDiagonallyAndRemovedFromTheEnd()
    {
        tool()->addControlPoint();
        tool()->addControlPoint();
        QCOMPARE(tool()->figures().size(), 3);
        QCOMPARE(tool()->figures().at(2)->corner, QPointF(130, -130));
        tool()->removeControlPoint();
        QCOMPARE(tool()->figures().size(), 2);
        QCOMPARE(tool()->figures().at(1)->corner, QPointF(115, -115));
    }

    // The distances announce what they store: at least 10 to the sides, and
    // never 0 for the vertical one.
    void distanceSettersAnnounceTheStoredValue_data()
    {
        QTest::addColumn<QString>("property");
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("stored");
        QTest::newRow("left below the limit") << "leftDistance" << 4.0 << 10.0;
        QTest::newRow("right negative") << "rightDistance" << -300.0 << 10.0;
        QTest::newRow("right") << "rightDistance" << 640.0 << 640.0;
        QTest::newRow("vertical 0") << "verticalDistance" << 0.0 << 10.0;
        QTest::newRow("vertical just above") << "verticalDistance" << -0.5 << -10.0;
        QTest::newRow("vertical above") << "verticalDistance" << -800.0 << -800.0;
    }

    void distanceSettersAnnounceTheStoredValue()
    {
        QFETCH(QString, property);
        QFETCH(double, value);
        QFETCH(double, stored);
        const QByteArray signal = QByteArray("2") + property.toLatin1() + "Changed(double)";
        QSignalSpy spy(tool(), signal.constData());
        QVERIFY(tool()->setProperty(property.toLatin1().constData(), value));
        QCOMPARE(tool()->property(property.toLatin1().constData()).toDouble(), stored);
        QCOMPARE(spyValues(spy), QVariantList({stored}));
        // The vanishing points are laid at the stored distance.
        const QPointF expected[] = {{-stored, 0}, {stored, 0}, {0, stored}};
        const int index = property == "leftDistance" ? 1 : property == "rightDistance" ? 2 : 3;
        QCOMPARE(tool()->point(index), expected[index - 1]);
        // The same value again says nothing.
        tool()->setProperty(property.toLatin1().constData(), value);
        QCOMPARE(spy.count(), 1);
    }

    void resetPutsEverythingBack()
    {
        drag(QPointF(0, 0), QPointF(50, 30));
        tool()->set_leftDistance(500);
        QSignalSpy spy(tool(), &MPerspectiveTool::leftDistanceChanged);
        tool()->reset();
        QCOMPARE(tool()->points(), (Points{{0, 0}, {-2000, 0}, {2000, 0}, {0, 2000}}));
        QCOMPARE(tool()->figures().first()->corner, QPointF(100, -100));
        QCOMPARE(spyValues(spy), QVariantList({2000.0}));
    }

    // A fresh start finds the options the last run left.
    void settingsAreReadBackOnAFreshStart()
    {
        MSettings *settings = MSettings::instance();
        settings->remove(QStringLiteral("Perspective"));
        {
            MPerspectiveTool first(MTool::PerspectiveTool);
            QCOMPARE(first.leftDistance(), 2000.0);
            QCOMPARE(first.lockAngle(), 20);
            QVERIFY(!first.showCursorLines());
            first.set_leftVanishingPoint(false);
            first.set_rightVanishingPoint(false);
            first.set_verticalVanishingPoint(false);
            first.set_leftDistance(1500);
            first.set_rightDistance(2500);
            first.set_verticalDistance(-900);
            first.set_showLines(false);
            first.set_showCursorLines(true);
            first.set_lockLines(false);
            first.set_lockAngle(33);
        }
        QCOMPARE(settings->value(QStringLiteral("Perspective/rightDistance")).toDouble(), 2500.0);
        QCOMPARE(settings->value(QStringLiteral("Perspective/lockAngle")).toInt(), 33);
        MPerspectiveTool second(MTool::PerspectiveTool);
        QVERIFY(!second.leftVanishingPoint() && !second.rightVanishingPoint() && !second.verticalVanishingPoint());
        QCOMPARE(second.leftDistance(), 1500.0);
        QCOMPARE(second.rightDistance(), 2500.0);
        QCOMPARE(second.verticalDistance(), -900.0);
        QVERIFY(!second.showLines());
        QVERIFY(second.showCursorLines());
        QVERIFY(!second.lockLines());
        QCOMPARE(second.lockAngle(), 33);
        // Built while the view is current: its points lie at the stored distances.
        QCOMPARE(second.points(), (Points{{0, 0}, {-1500, 0}, {2500, 0}, {0, -900}}));
        settings->remove(QStringLiteral("Perspective"));
    }

    // The panel shows the guide as it is each time it opens, and writes only
    // what the painter edits.
    void panelRefreshesAndWritesBack()
    {
        MPerspectiveWidget panel;
        drag(tool()->point(1), QPointF(-750, 0));
        panel.objectToWidgets();
        auto *leftBox = panel.findChild<QCheckBox *>("leftCheckBox");
        auto *left = panel.findChild<QDoubleSpinBox *>("leftDistanceSpinBox");
        auto *vertical = panel.findChild<QDoubleSpinBox *>("verticalDistanceSpinBox");
        auto *angle = panel.findChild<QSpinBox *>("lockAngleSpinBox");
        QVERIFY(leftBox && left && vertical && angle);
        QCOMPARE(panel.windowTitle(), QString("Grid"));
        QCOMPARE(left->value(), 750.0);
        QVERIFY(leftBox->isChecked());
        QCOMPARE(left->minimum(), 10.0);
        QCOMPARE(left->maximum(), 100000.0);
        QCOMPARE(vertical->minimum(), -100000.0);
        QCOMPARE(angle->minimum(), 5);
        QCOMPARE(angle->maximum(), 45);

        QSignalSpy toolChanges(tool(), &MTool::toolChanged);
        QSignalSpy rights(tool(), &MPerspectiveTool::rightDistanceChanged);
        vertical->setValue(-400);
        QCOMPARE(tool()->verticalDistance(), -400.0);
        QCOMPARE(tool()->point(3), QPointF(0, -400));
        QCOMPARE(rights.count(), 0);
        QVERIFY(toolChanges.count() >= 1);
        leftBox->click();
        QVERIFY(!tool()->leftVanishingPoint());
        // The left arm now runs horizontally.
        const MPerspectiveTool::Corners k = tool()->figures().first()->corners();
        QCOMPARE(k.L, QPointF(-100, -100));
        angle->setValue(12);
        QCOMPARE(tool()->lockAngle(), 12);

        // Changes made elsewhere show at the next opening, and filling the
        // boxes writes nothing back.
        tool()->set_rightDistance(3300);
        QSignalSpy verticals(tool(), &MPerspectiveTool::verticalDistanceChanged);
        panel.objectToWidgets();
        QCOMPARE(panel.findChild<QDoubleSpinBox *>("rightDistanceSpinBox")->value(), 3300.0);
        QCOMPARE(verticals.count(), 0);
    }

    // The horizon and the vertical axis in the guide colour, the box's
    // handles while unlocked, nothing while hidden.
    void paintShowsTheGuide()
    {
        tool()->setCenter(QPointF(350, 150));
        auto guidePixels = [](const QImage &image, int y) {
            int count = 0;
            for (int x = 0; x < 300; ++x)
                count += image.pixelColor(x, y).red() > 200 && image.pixelColor(x, y).alpha() > 100;
            return count;
        };
        QImage image = MTestTool::overlay(tool(), view->size());
        // Dashed: many pixels of the line, not all.
        const int horizon = guidePixels(image, 150);
        QVERIFY2(horizon > 100 && horizon < 300, qPrintable(QString::number(horizon)));
        const QPointF corner = tool()->figures().first()->corner;
        QCOMPARE(image.pixelColor(corner.toPoint()), QColor("#FF6666"));
        tool()->set_locked(true);
        image = MTestTool::overlay(tool(), view->size());
        QVERIFY(image.pixelColor(corner.toPoint()) != QColor("#FF6666"));
        tools()->activate(MTool::PerspectiveTool, false);
        image = MTestTool::overlay(tool(), view->size());
        QCOMPARE(guidePixels(image, 150), 0);
    }

    // The brush tool's straight line follows the shown guide.
    void brushLinesFollowTheGuide()
    {
        tools()->activate(MTool::BrushTool, true);
        auto *brush = tools()->tool<MBrushTool>(MTool::BrushTool);
        brush->init();
        MEvent start = MTestTool::leftSample(MEvent::Press, QPointF(100, -50));
        start.modifiers = Qt::ControlModifier;
        tools()->mousePressEvent(&start);
        MEvent end = MTestTool::leftSample(MEvent::Press, QPointF(300, -20));
        tools()->mousePressEvent(&end);
        QCOMPARE(undo()->count(), 1);
        // Towards the right vanishing point through the start, the direction
        // closest to the segment: it ends near (300.7, -44.7).
        QVERIFY(painted(QPointF(200, -48)));
        QVERIFY(painted(QPointF(290, -45)));
        QVERIFY(!painted(QPointF(300, -20)));
        QVERIFY(!painted(QPointF(200, -35)));
    }
};

QTEST_MAIN(TestMPerspectiveTool)
#include "tst_mperspectivetool.moc"
