#include "mcanvas.h"
#include "mevent.h"
#include "mpantool.h"
#include "mrotatetool.h"
#include "msettings.h"
#include "mtestglcontext.h"
#include "mtestview.h"
#include "mtools.h"
#include "mtransform.h"
#include "mwidget.h"
#include "mzoomtool.h"

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMouseEvent>
#include <QPaintEngine>
#include <QTest>

#include <cmath>
#include <memory>

namespace {

MEvent at(int type, const QPointF &viewPosition)
{
    MEvent e;
    e.init();
    e.type = type;
    e.viewPosition = viewPosition;
    return e;
}

// Drives a tool through a gesture of view positions: press, moves, release.
void gesture(MTool *tool, const QVector<QPointF> &positions)
{
    MEvent press = at(MEvent::Press, positions.first());
    QVERIFY(tool->mousePressEvent(&press));
    for (int i = 1; i < positions.size(); ++i) {
        MEvent move = at(MEvent::Move, positions.at(i));
        tool->mouseMoveEvent(&move);
    }
    MEvent release = at(MEvent::Release, positions.last());
    tool->mouseReleaseEvent(&release);
}

// Keeps the texts painted on it.
class TextRecorder : public QPaintDevice
{
public:
    QStringList texts;

    QPaintEngine *paintEngine() const override { return &m_engine; }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth:
        case PdmHeight:
            return 1000;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 96;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(QPaintDevice::devicePixelRatioFScale());
        case PdmDepth:
            return 32;
        default:
            return 1;
        }
    }

private:
    class Engine : public QPaintEngine
    {
    public:
        explicit Engine(TextRecorder *device)
            : m_device(device)
        {
        }
        bool begin(QPaintDevice *) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState &) override {}
        void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}
        void drawPolygon(const QPointF *, int, PolygonDrawMode) override {}
        void drawPath(const QPainterPath &) override {}
        void drawTextItem(const QPointF &, const QTextItem &item) override { m_device->texts << item.text(); }
        Type type() const override { return User; }

    private:
        TextRecorder *m_device;
    };
    mutable Engine m_engine{this};
};

} // namespace

class TestMViewTools : public QObject
{
    Q_OBJECT

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private:
    std::unique_ptr<MWidget> view;

    MTransform *transform() const { return view->transform(); }
    QPointF shownCentre() const { return transform()->map(view->canvas()->paintedRect().center()); }

private slots:
    void initTestCase()
    {
        QVERIFY(MTestView::prepare(QSize(100, 80)));
        // The layer thumbnails along the view's edge would take the
        // gestures aimed at the view's corner.
        MSettings::instance()->set_showThumbnails(false);
    }

    void init()
    {
        view.reset(new MWidget);
        view->resize(400, 300);
        transform()->setTranslation(QPointF(200, 150));
        MTools::instance()->set_widget(view.get());
    }

    void cleanup()
    {
        MTools::destroyInstance();
        view->shutDown();
        view.reset();
    }

    void panMovesByWholePixels_data()
    {
        QTest::addColumn<QVector<QPointF>>("positions");
        QTest::addColumn<QPointF>("moved");
        QTest::newRow("half a pixel moves one") << QVector<QPointF>{{10, 10}, {10.5, 10}} << QPointF(1, 0);
        QTest::newRow("0.4 does not move") << QVector<QPointF>{{10, 10}, {10.4, 10}} << QPointF(0, 0);
        QTest::newRow("each move measures from the last position")
            << QVector<QPointF>{{10, 10}, {10.4, 10}, {10.8, 10}, {11.2, 10}} << QPointF(0, 0);
        QTest::newRow("minus half a pixel rounds up to nothing") << QVector<QPointF>{{10, 10}, {9.5, 10}} << QPointF(0, 0);
        QTest::newRow("drag") << QVector<QPointF>{{10, 10}, {30, 5}, {-20.6, 40}} << QPointF(-31, 30);
    }

    void panMovesByWholePixels()
    {
        QFETCH(QVector<QPointF>, positions);
        QFETCH(QPointF, moved);
        MPanTool pan;
        QCOMPARE(pan.toolId(), int(MTool::PanTool));
        const QPointF before = transform()->translation();
        const double scale = transform()->scale();
        gesture(&pan, positions);
        QCOMPARE(transform()->translation() - before, moved);
        QCOMPARE(transform()->scale(), scale);
    }

    void panThroughTheViewWithHandCursors()
    {
        QMainWindow window;
        auto *action = new QAction(&window);
        action->setObjectName(QStringLiteral("actionPanTool"));
        action->setCheckable(true);
        window.addAction(action);
        // The brush tool's action, so that choosing the pan tool switches the brush off.
        auto *brushAction = new QAction(&window);
        brushAction->setObjectName(QStringLiteral("actionBrushTool"));
        brushAction->setCheckable(true);
        window.addAction(brushAction);
        MTools *tools = MTools::instance();
        tools->init(&window);
        action->trigger();
        QCOMPARE(tools->currentToolId(), int(MTool::PanTool));
        QVERIFY(tools->updateCursor(QPointF(50, 50), 1.0));
        QCOMPARE(view->cursor().shape(), Qt::OpenHandCursor);
        const QPointF before = transform()->translation();
        auto send = [this](QEvent::Type type, const QPointF &p, Qt::MouseButtons buttons) {
            QMouseEvent e(type, p, view->mapToGlobal(p.toPoint()), Qt::LeftButton, buttons, Qt::NoModifier);
            QApplication::sendEvent(view.get(), &e);
        };
        send(QEvent::MouseButtonPress, QPointF(50, 50), Qt::LeftButton);
        QCOMPARE(view->cursor().shape(), Qt::ClosedHandCursor);
        for (int x = 60; x <= 150; x += 10)
            send(QEvent::MouseMove, QPointF(x, 50), Qt::LeftButton);
        send(QEvent::MouseButtonRelease, QPointF(150, 50), Qt::NoButton);
        QCOMPARE(view->cursor().shape(), Qt::OpenHandCursor);
        // The view hands the tool its samples as they come: the canvas follows
        // the pointer along the drag, never past it.
        const QPointF moved = transform()->translation() - before;
        QCOMPARE(moved.y(), 0.0);
        QVERIFY2(moved.x() >= 50 && moved.x() <= 100, qPrintable(QString::number(moved.x())));
    }

    void rotateFollowsThePointerAroundTheCanvasCentre_data()
    {
        QTest::addColumn<double>("turn"); // degrees the pointer travels, clockwise on screen
        QTest::addColumn<double>("added");
        QTest::newRow("quarter clockwise") << 90.0 << 90.0;
        QTest::newRow("full turn clockwise") << 360.0 << 360.0;
        QTest::newRow("small step back") << -10.0 << -10.0;
        QTest::newRow("full turn back") << -360.0 << -360.0;
    }

    void rotateFollowsThePointerAroundTheCanvasCentre()
    {
        QFETCH(double, turn);
        QFETCH(double, added);
        transform()->setCentre(view->canvas()->paintedRect().center());
        transform()->setRotation(30.0);
        const QPointF c = shownCentre();
        QVector<QPointF> positions;
        const int steps = 36;
        for (int i = 0; i <= steps; ++i) {
            const double a = (turn * i / steps) * M_PI / 180.0;
            positions << c + 120.0 * QPointF(std::cos(a), std::sin(a));
        }
        MRotateTool rotate;
        gesture(&rotate, positions);
        QVERIFY2(std::abs(transform()->rotation() - (30.0 + added)) < 1e-6,
                 qPrintable(QString::number(transform()->rotation())));
        QVERIFY((shownCentre() - c).manhattanLength() < 1e-9);
    }

    void rotateShowsTheAngle_data()
    {
        QTest::addColumn<double>("rotation");
        QTest::addColumn<QString>("text");
        QTest::newRow("200 shows the way back") << 200.0 << QStringLiteral("160°");
        QTest::newRow("90") << 90.0 << QStringLiteral("90°");
        QTest::newRow("past a full turn") << 400.7 << QStringLiteral("40°");
        QTest::newRow("180") << 180.0 << QStringLiteral("180°");
    }

    void rotateShowsTheAngle()
    {
        QFETCH(double, rotation);
        QFETCH(QString, text);
        MRotateTool rotate;
        transform()->setRotation(rotation);
        TextRecorder hidden;
        {
            QPainter p(&hidden);
            rotate.paint(&p);
        }
        QVERIFY(hidden.texts.isEmpty());
        rotate.activate(true);
        TextRecorder shown;
        {
            QPainter p(&shown);
            rotate.paint(&p);
        }
        QCOMPARE(shown.texts, QStringList{text});
        // While dragging the rotate tool leaves the cursor to the guides.
        MEvent press = at(MEvent::Press, QPointF(10, 10));
        rotate.mousePressEvent(&press);
        QVERIFY(!rotate.updateCursor(QPointF(10, 10), 1.0));
        QCOMPARE(rotate.cursor().shape(), Qt::ClosedHandCursor);
    }

    void zoomByDragging_data()
    {
        QTest::addColumn<QVector<QPointF>>("positions");
        QTest::addColumn<double>("expected"); // times the start scale
        QTest::newRow("400 right doubles") << QVector<QPointF>{{100, 100}, {500, 100}} << 2.0;
        QTest::newRow("200 down: one and a half") << QVector<QPointF>{{100, 100}, {100, 300}} << 1.5;
        QTest::newRow("back to the press point") << QVector<QPointF>{{100, 100}, {300, 300}, {100, 100}} << 1.0;
        QTest::newRow("400 left asks for nothing, gets the least")
            << QVector<QPointF>{{450, 200}, {50, 200}} << -1.0;
    }

    void zoomByDragging()
    {
        QFETCH(QVector<QPointF>, positions);
        QFETCH(double, expected);
        transform()->setScale(0.5, QPointF(0, 0));
        const QPointF centre = shownCentre();
        MZoomTool zoom;
        gesture(&zoom, positions);
        const double wanted = expected < 0 ? MTransform::minimumScale : 0.5 * expected;
        QVERIFY2(std::abs(transform()->scale() - wanted) < 1e-6, qPrintable(QString::number(transform()->scale())));
        // Unlike the wheel, the zoom keeps the canvas centre where it is shown.
        QVERIFY((shownCentre() - centre).manhattanLength() < 1e-6);
        QVERIFY(zoom.updateCursor(QPointF(), 1.0));
        QCOMPARE(zoom.cursor().shape(), Qt::OpenHandCursor);
    }

    void withoutAViewNothingMoves()
    {
        MTools::instance()->set_widget(nullptr);
        MPanTool pan;
        MRotateTool rotate;
        MZoomTool zoom;
        for (MTool *tool : {static_cast<MTool *>(&pan), static_cast<MTool *>(&rotate), static_cast<MTool *>(&zoom)})
            gesture(tool, {{0, 0}, {50, 50}});
        QCOMPARE(transform()->translation(), QPointF(200, 150));
        QCOMPARE(transform()->scale(), 1.0);
        QCOMPARE(transform()->rotation(), 0.0);
    }
};

QTEST_MAIN(TestMViewTools)
#include "tst_mviewtools.moc"
