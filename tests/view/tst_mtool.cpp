#include "mcanvas.h"
#include "mevent.h"
#include "msettings.h"
#include "mstrokestyle.h"
#include "mtestdialogscript.h"
#include "mtestglcontext.h"
#include "mtestview.h"
#include "mtexturelayer.h"
#include "mtool.h"
#include "mtools.h"
#include "mtoolvalues.h"
#include "mtransform.h"
#include "mwidget.h"

#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include <memory>

// The base class's own behaviour, seen through a tool that keeps its points
// in the line-point list of the current view.
class TestMTool : public QObject
{
    Q_OBJECT

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private:
    std::unique_ptr<MWidget> view;
    std::unique_ptr<MTool> tool;

    void useView()
    {
        view.reset(new MWidget);
        view->resize(200, 150);
        MTools::instance()->set_widget(view.get());
    }

private slots:
    void initTestCase()
    {
        qRegisterMetaType<MTool *>();
        QVERIFY(MTestView::prepare(QSize(100, 80)));
    }

    void init()
    {
        tool.reset(new MTool(MTool::LineTool));
        tool->set_pointId(MToolValues::LinePoints);
    }

    void cleanup()
    {
        tool.reset();
        MTools::instance()->set_widget(nullptr);
        if (view)
            view->shutDown();
        view.reset();
        MSettings::instance()->set_showInstructions(true);
    }

    void freshToolAndThePointSizePreference()
    {
        MTool fresh(MTool::ZoomTool);
        QCOMPARE(fresh.toolId(), int(MTool::ZoomTool));
        QCOMPARE(fresh.pointId(), -1);
        QVERIFY(!fresh.visible());
        QVERIFY(!fresh.locked());
        QCOMPARE(fresh.selectedPoint(), -1);
        QCOMPARE(fresh.pointSize(), 12);
        QVERIFY(fresh.applyOnDeactivate());
        QCOMPARE(fresh.cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(fresh.lineStyle()->strokeColor(), QColor(QStringLiteral("#FF6666")));
        QCOMPARE(fresh.lineStyle()->strokeStyle(), int(MStrokeStyle::DashLine));
        QCOMPARE(fresh.lineStyle()->parent(), &fresh);
        QCOMPARE(fresh.property("lineStyle").value<MStrokeStyle *>(), fresh.lineStyle());
        QCOMPARE(fresh.property("cursor").value<QCursor>().shape(), Qt::ArrowCursor);
        QCOMPARE(fresh.defaultPen().color(), QColor(Qt::darkGray));
        QCOMPARE(fresh.defaultPen().widthF(), 1.0);
        QCOMPARE(fresh.defaultBrush().color(), QColor(QStringLiteral("#3399FF")));
        QCOMPARE(fresh.defaultBrush().style(), Qt::SolidPattern);
        // A change in the preferences reaches every tool at once.
        MSettings::instance()->set_pointSize(20);
        QCOMPARE(fresh.pointSize(), 20);
        QCOMPARE(tool->pointSize(), 20);
        MTool later(MTool::PanTool);
        QCOMPARE(later.pointSize(), 20);
        MSettings::instance()->set_pointSize(12);
        QCOMPARE(fresh.pointSize(), 12);
    }

    void resizeRect_data()
    {
        QTest::addColumn<int>("handle");
        QTest::addColumn<QPointF>("delta");
        QTest::addColumn<QRectF>("rect");
        QTest::addColumn<bool>("free");
        QTest::addColumn<QRectF>("expected");
        const QRectF r(0, 0, 100, 50);
        QTest::newRow("none") << 0 << QPointF(5, 5) << r << true << r;
        QTest::newRow("inside") << 1 << QPointF(5, 5) << r << false << r;
        QTest::newRow("unknown handle") << 10 << QPointF(5, 5) << r << true << r;
        QTest::newRow("top free") << 2 << QPointF(3, 10) << r << true << QRectF(0, 10, 100, 40);
        QTest::newRow("top kept ratio") << 2 << QPointF(0, 10) << r << false << QRectF(20, 10, 60, 30);
        QTest::newRow("bottom free") << 3 << QPointF(0, 10) << r << true << QRectF(0, 0, 100, 60);
        QTest::newRow("bottom kept ratio grows both ways") << 3 << QPointF(0, 10) << r << false
                                                          << QRectF(-20, -10, 140, 70);
        QTest::newRow("left free") << 4 << QPointF(20, 0) << r << true << QRectF(20, 0, 80, 50);
        QTest::newRow("left kept ratio") << 4 << QPointF(20, 0) << r << false << QRectF(20, 10, 60, 30);
        QTest::newRow("right free") << 5 << QPointF(20, 0) << r << true << QRectF(0, 0, 120, 50);
        QTest::newRow("right kept ratio at the smallest edge")
            << 5 << QPointF(-50, 0) << r << false << QRectF(45, 22.5, 10, 5);
        QTest::newRow("top-left free") << 6 << QPointF(10, 20) << r << true << QRectF(10, 20, 90, 30);
        QTest::newRow("top-left kept ratio") << 6 << QPointF(10, 20) << r << false << QRectF(10, 5, 90, 45);
        QTest::newRow("top-right free") << 7 << QPointF(10, -10) << r << true << QRectF(0, -10, 110, 60);
        QTest::newRow("top-right kept ratio") << 7 << QPointF(10, -10) << r << false << QRectF(0, -5, 110, 55);
        QTest::newRow("bottom-left free") << 8 << QPointF(10, 10) << r << true << QRectF(10, 0, 90, 60);
        QTest::newRow("bottom-left kept ratio") << 8 << QPointF(10, 10) << r << false << QRectF(10, 0, 90, 45);
        QTest::newRow("bottom-right free clamps both") << 9 << QPointF(-95, -45) << r << true
                                                      << QRectF(0, 0, 10, 10);
        QTest::newRow("bottom-right kept ratio clamps the width only")
            << 9 << QPointF(-95, -45) << r << false << QRectF(0, 0, 10, 5);
        QTest::newRow("flat rectangle has no ratio to keep")
            << 3 << QPointF(0, 10) << QRectF(0, 0, 0, 50) << false << QRectF(0, 0, 0, 60);
        QTest::newRow("zero-height rectangle has no ratio to keep")
            << 5 << QPointF(10, 0) << QRectF(0, 0, 50, 0) << false << QRectF(0, 0, 60, 0);
    }

    void resizeRect()
    {
        QFETCH(int, handle);
        QFETCH(QPointF, delta);
        QFETCH(QRectF, rect);
        QFETCH(bool, free);
        QFETCH(QRectF, expected);
        QCOMPARE(MTool::resizeRect(handle, delta, rect, free), expected);
    }

    void hitTestingIsInViewPixels_data()
    {
        QTest::addColumn<double>("scale");
        QTest::addColumn<bool>("locked");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QPointF>("offset"); // view pixels from the first handle's centre
        QTest::addColumn<int>("expected");
        QTest::newRow("centre") << 1.0 << false << true << QPointF(0, 0) << 0;
        QTest::newRow("6 pixels off, edge included") << 1.0 << false << true << QPointF(-6, 6) << 0;
        QTest::newRow("just outside") << 1.0 << false << true << QPointF(-6.01, 0) << -1;
        QTest::newRow("overlap: lower index") << 1.0 << false << true << QPointF(3, 0) << 0;
        QTest::newRow("second handle alone") << 1.0 << false << true << QPointF(7, 0) << 1;
        QTest::newRow("zoomed in: still 6 pixels") << 4.0 << false << true << QPointF(6, -6) << 0;
        QTest::newRow("zoomed in: second handle farther") << 4.0 << false << true << QPointF(13, 0) << 1;
        QTest::newRow("zoomed in: beyond both") << 4.0 << false << true << QPointF(15, 0) << -1;
        QTest::newRow("zoomed out") << 0.25 << false << true << QPointF(6, 0) << 0;
        QTest::newRow("locked") << 1.0 << true << true << QPointF(0, 0) << -1;
        QTest::newRow("hidden") << 1.0 << false << false << QPointF(0, 0) << -1;
    }

    void hitTestingIsInViewPixels()
    {
        QFETCH(double, scale);
        QFETCH(bool, locked);
        QFETCH(bool, shown);
        QFETCH(QPointF, offset);
        QFETCH(int, expected);
        QCOMPARE(tool->pointIndex(QPointF(0, 0)), -1); // no view
        useView();
        view->transform()->setScale(scale, QPointF(30, 20));
        tool->setPoints({QPointF(50, 40), QPointF(52, 40)});
        tool->set_visible(shown);
        tool->set_locked(locked);
        const QPointF at = view->transform()->map(QPointF(50, 40)) + offset;
        QCOMPARE(tool->pointIndex(at), expected);
        // Events are hit by their view position, not their canvas position.
        MEvent e;
        e.init();
        e.viewPosition = at;
        e.inputs[MEnum::biPositionX] = -500;
        e.inputs[MEnum::biPositionY] = -500;
        QCOMPARE(tool->pointIndexAt(&e), expected);
    }

    void activationAndFlagsNotify()
    {
        QSignalSpy visible(tool.get(), &MTool::visibleChanged);
        QSignalSpy changed(tool.get(), &MTool::toolChanged);
        tool->activate(true);
        QCOMPARE(visible.count(), 1);
        QCOMPARE(changed.count(), 2);
        tool->activate(true);
        QCOMPARE(visible.count(), 1);
        QCOMPARE(changed.count(), 3);
        tool->set_visible(true);
        tool->set_locked(false);
        QCOMPARE(changed.count(), 3);
        QSignalSpy locked(tool.get(), &MTool::lockedChanged);
        tool->set_locked(true);
        QCOMPARE(locked.count(), 1);
        QCOMPARE(changed.count(), 4);
        tool->activate(false);
        QVERIFY(!tool->visible());
        QCOMPARE(visible.last().first().toBool(), false);
    }

    void pointsLiveInTheCurrentView()
    {
        QSignalSpy changed(tool.get(), &MTool::toolChanged);
        // Without a view nothing is stored and nothing is announced.
        tool->addPoint(QPointF(1, 2));
        tool->setValue(MToolValues::GridSize, 5);
        tool->moveTo(QPointF(9, 9));
        QCOMPARE(changed.count(), 0);
        QCOMPARE(tool->pointCount(), 0);
        QCOMPARE(tool->point(0), QPointF());
        QVERIFY(!tool->value(MToolValues::GridSize).isValid());
        QCOMPARE(tool->intValue(MToolValues::GridSize), 0);

        useView();
        tool->addPoint(QPointF(0, 0));
        tool->addPoint(QPointF(5, 5));
        QCOMPARE(changed.count(), 2);
        tool->setPoint(7, QPointF(1, 1)); // no such point: nothing changes
        QCOMPARE(changed.count(), 2);
        tool->moveTo(QPointF(0, 0));
        QCOMPARE(changed.count(), 2);
        tool->moveTo(QPointF(10, -10));
        QCOMPARE(tool->points(), QVector<QPointF>({QPointF(10, -10), QPointF(15, -5)}));
        QVERIFY(changed.count() >= 3);
        tool->setValue(MToolValues::GridSize, 44);
        QCOMPARE(tool->doubleValue(MToolValues::GridSize), 44.0);

        // Another view has points of its own; the same tool edits them.
        MWidget other;
        MTools::instance()->set_widget(&other);
        QCOMPARE(tool->pointCount(), 0);
        tool->addPoint(QPointF(3, 3));
        MTools::instance()->set_widget(view.get());
        QCOMPARE(tool->pointCount(), 2);
        tool->removePoint();
        tool->removePoint(0);
        QCOMPARE(tool->pointCount(), 0);
        MTools::instance()->set_widget(&other);
        QCOMPARE(tool->polygon(), QPolygonF({QPointF(3, 3)}));
        tool->clearPoints();
        QCOMPARE(tool->pointCount(), 0);
        MTools::instance()->set_widget(view.get());
        other.shutDown();
    }

    void canDrawAsksOnlyWhenTold_data()
    {
        QTest::addColumn<bool>("withView");
        QTest::addColumn<bool>("layerLocked");
        QTest::addColumn<bool>("layerHidden");
        QTest::addColumn<bool>("showMessage");
        QTest::addColumn<bool>("expected");
        QTest::newRow("editable layer") << true << false << false << true << true;
        QTest::newRow("no view, quiet") << false << false << false << false << false;
        QTest::newRow("no view, told") << false << false << false << true << false;
        QTest::newRow("locked layer, told") << true << true << false << true << false;
        QTest::newRow("hidden layer, quiet") << true << false << true << false << false;
    }

    void canDrawAsksOnlyWhenTold()
    {
        QFETCH(bool, withView);
        QFETCH(bool, layerLocked);
        QFETCH(bool, layerHidden);
        QFETCH(bool, showMessage);
        QFETCH(bool, expected);
        if (withView) {
            useView();
            QVERIFY(view->canvas()->current());
            view->canvas()->current()->setLocked(layerLocked);
            view->canvas()->current()->setVisible(!layerHidden);
        }
        MTestDialogScript script;
        QCOMPARE(tool->canDraw(showMessage), expected);
        const bool asked = showMessage && !expected;
        QCOMPARE(script.requests().size(), asked ? 1 : 0);
        if (asked) {
            QCOMPARE(script.requests().first().icon, QMessageBox::Critical);
            QCOMPARE(script.requests().first().title, QStringLiteral("Layer"));
            QCOMPARE(script.requests().first().text, QStringLiteral("Can't draw: layer is locked or canvas is empty"));
        }
    }

    void instructionsFollowThePreference()
    {
        QSignalSpy shown(MTools::instance(), &MTools::showText);
        MSettings::instance()->set_showInstructions(false);
        tool->showText(QStringLiteral("Click to start"));
        QCOMPARE(shown.count(), 0);
        MSettings::instance()->set_showInstructions(true);
        tool->showText(QStringLiteral("Click to start"));
        QCOMPARE(shown.count(), 1);
        QCOMPARE(shown.first().first().toString(), QStringLiteral("Click to start"));
    }

    void handlesAndInfiniteLinesAreDrawnWhereTheyBelong()
    {
        QImage image(200, 150, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        {
            QPainter p(&image);
            tool->drawPointDefault(&p, QPointF(40, 40), true); // no view: nothing
        }
        QCOMPARE(image.pixel(40, 40), qRgb(255, 255, 255));
        useView();
        view->transform()->setScale(2.0, QPointF(0, 0));
        const QPoint mapped = view->transform()->map(QPointF(40, 40)).toPoint();
        {
            QPainter p(&image);
            p.translate(-30, -30); // the handle resets the transform it is given
            tool->drawPointDefault(&p, QPointF(40, 40), true);
            tool->drawPoint(&p, QPointF(150, 20), QPen(Qt::NoPen), QBrush(Qt::red), false);
        }
        QCOMPARE(image.pixel(mapped), QColor(QStringLiteral("#3399FF")).rgb());
        QCOMPARE(image.pixel(mapped + QPoint(8, 0)), qRgb(255, 255, 255));
        QCOMPARE(image.pixel(150, 20), qRgb(255, 0, 0));

        QImage lines(100, 100, QImage::Format_ARGB32_Premultiplied);
        lines.fill(Qt::white);
        {
            QPainter p(&lines);
            p.setPen(QPen(Qt::black, 1));
            MTool::drawInfiniteLine(&p, QPointF(40, 10.5), QPointF(50, 10.5), QRectF(0, 0, 100, 100));
            MTool::drawInfiniteLine(&p, QPointF(30.5, 60), QPointF(30.5, 60), QRectF(0, 0, 100, 100));
        }
        QCOMPARE(lines.pixel(0, 10), qRgb(0, 0, 0));
        QCOMPARE(lines.pixel(99, 10), qRgb(0, 0, 0));
        // Equal points have no direction: nothing but a dot at the point.
        QCOMPARE(lines.pixel(30, 0), qRgb(255, 255, 255));
        QCOMPARE(lines.pixel(30, 99), qRgb(255, 255, 255));
    }
};

QTEST_MAIN(TestMTool)
#include "tst_mtool.moc"
