#include "mcanvas.h"
#include "mcontrol.h"
#include "mevent.h"
#include "mlogger.h"
#include "mmousefunctions.h"
#include "mopengl.h"
#include "mshader.h"
#include "mshaderlist.h"
#include "msettings.h"
#include "mtablet.h"
#include "mtestcanvas.h"
#include "mtestglcontext.h"
#include "mtestview.h"
#include "mtexturelayer.h"
#include "mtool.h"
#include "mtools.h"
#include "mtransform.h"
#include "mwidget.h"

#include <QAbstractAnimation>
#include <QAnimationGroup>
#include <QApplication>
#include <QDataStream>
#include <QMimeData>
#include <QMouseEvent>
#include <QTabletEvent>
#include <QTest>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QUndoStack>
#include <QWheelEvent>

#include <cmath>

namespace {
constexpr QSize documentSize(100, 80);

// Keeps every sample the view hands the tools.
class RecordingTool : public MTool
{
public:
    RecordingTool()
        : MTool(MTool::BrushTool)
    {
    }
    double toolSize = 0.0;
    QVector<MEvent> events;
    // Where the samples are also painted as a stroke, when set.
    MCanvas *strokeCanvas = nullptr;
    double size() const override { return toolSize; }
    bool mousePressEvent(MEvent *e) override
    {
        keep(e);
        return true;
    }
    void mouseMoveEvent(MEvent *e) override { keep(e); }
    void mouseHoverEvent(MEvent *e) override { events << *e; }
    void mouseReleaseEvent(MEvent *e) override { keep(e); }
    void keep(MEvent *e)
    {
        events << *e;
        if (strokeCanvas)
            strokeCanvas->stroke(e, 0, MTool::currentPaint());
    }
    QString types() const
    {
        QString s;
        for (const MEvent &e : events)
            s += QString::number(e.type);
        return s;
    }
};

// The context panel is a modal loop its owner runs; here it only counts.
class View : public MWidget
{
public:
    View() { connect(this, &MWidget::contextPanelRequested, this, [this] { ++panelsOpened; }); }
    int panelsOpened = 0;
};

QPointF position(const MEvent &e)
{
    return QPointF(e.inputs[MEnum::biPositionX], e.inputs[MEnum::biPositionY]);
}

void mouse(QWidget *w, QEvent::Type type, const QPointF &p, Qt::MouseButton button, Qt::MouseButtons buttons,
           Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QMouseEvent e(type, p, w->mapToGlobal(p.toPoint()), button, buttons, modifiers);
    QApplication::sendEvent(w, &e);
}

void press(QWidget *w, const QPointF &p, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers m = {})
{
    mouse(w, QEvent::MouseButtonPress, p, b, b, m);
}

void drag(QWidget *w, const QPointF &p, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers m = {})
{
    mouse(w, QEvent::MouseMove, p, Qt::NoButton, b, m);
}

void release(QWidget *w, const QPointF &p, Qt::MouseButton b = Qt::LeftButton)
{
    mouse(w, QEvent::MouseButtonRelease, p, b, Qt::NoButton);
}

void wheel(QWidget *w, const QPointF &p, int delta, Qt::KeyboardModifiers m)
{
    QWheelEvent e(p, w->mapToGlobal(p.toPoint()), QPoint(), QPoint(0, delta), Qt::NoButton, m, Qt::NoScrollPhase,
                  false);
    QApplication::sendEvent(w, &e);
}

// Counts the frames the view paints.
class PaintCounter : public QObject
{
public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};
} // namespace

Q_DECLARE_METATYPE(Qt::KeyboardModifiers)

class TestMWidget : public QObject
{
    Q_OBJECT

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private:
    RecordingTool tool;
    std::unique_ptr<View> view;

    // A view of a fresh document that was never shown: identity transform,
    // so view and canvas positions agree.
    void makeView()
    {
        view.reset(new View);
        view->resize(700, 300);
        tool.events.clear();
        tool.strokeCanvas = nullptr;
        tool.toolSize = 0.0;
    }

    // makeView(), shown and settled, its document's context current; at
    // zoom one, one view pixel per canvas pixel, the document 30, 20 from the
    // corner.
    bool showView(bool zoomOne)
    {
        makeView();
        view->show();
        if (!QTest::qWaitForWindowExposed(view.get())
            || !QTest::qWaitFor([this] { return view->findChildren<QAbstractAnimation *>().isEmpty(); }))
            return false;
        MCanvas *canvas = view->canvas();
        if (!canvas->makeCurrent())
            return false;
        if (zoomOne) {
            view->transform()->reset();
            view->transform()->setTranslation(QPointF(30, 20) - QPointF(canvas->paintedRect().toRect().topLeft()));
        }
        return true;
    }

private slots:
    void initTestCase()
    {
        MLogger::instance();
        QVERIFY(MOpenGL::instance()->initialize());
        MSettings::instance()->set_defaultWidth(documentSize.width());
        MSettings::instance()->set_defaultHeight(documentSize.height());
        MTools::instance()->setTool(&tool);
        MSettings::instance()->set_textDuration(0);
        // The layer thumbnails along the view's edge would take the
        // gestures aimed at the view's corner.
        MSettings::instance()->set_showThumbnails(false);
    }

    void cleanup() { view.reset(); }

    void framesShowBackgroundLayersTilingAndGrid_data()
    {
        QTest::addColumn<bool>("showTiling");
        QTest::addColumn<bool>("smoothPixels");
        QTest::newRow("plain") << false << true;
        QTest::newRow("tiling preview") << true << true;
        QTest::newRow("pixel grid") << false << false;
    }

    void framesShowBackgroundLayersTilingAndGrid()
    {
        QFETCH(bool, showTiling);
        QFETCH(bool, smoothPixels);
        MSettings *settings = MSettings::instance();
        settings->set_widgetBackgroundColor(QColor(10, 20, 30));
        settings->set_showTiling(showTiling);
        settings->set_smoothPixels(smoothPixels);
        makeView();
        MCanvas *canvas = view->canvas();
        QVERIFY(canvas->current());
        QVERIFY(canvas->makeCurrent());
        const QRgb red = qRgba(255, 0, 0, 255);
        const QRgb background = qRgb(10, 20, 30);
        const QRect area = canvas->paintedRect().toRect();
        QCOMPARE(area.size(), documentSize);
        MTestCanvas::paintRect(canvas->current(), QRect(area.topLeft(), QSize(50, 80)), red);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
        // The first frame animates to the canvas fitted 30 pixels inside the view.
        const double fitted = std::min((700.0 - 60) / documentSize.width(), (300.0 - 60) / documentSize.height());
        QTRY_VERIFY(std::abs(view->scale() - fitted) < 1e-9);
        const QImage frame = view->grabFramebuffer();
        settings->set_showTiling(false);
        settings->set_smoothPixels(true);
        QCOMPARE(frame.size(), QSize(700, 300));
        QCOMPARE(frame.pixel(3, 3), background);
        const QPoint left = view->transform()->map(QPointF(area.topLeft()) + QPointF(25.3, 40.3)).toPoint();
        const QPoint right = view->transform()->map(QPointF(area.topLeft()) + QPointF(75.3, 40.3)).toPoint();
        QVERIFY(frame.pixel(right) != red);
        QVERIFY(frame.pixel(right) != background);
        // The right-hand copy of the canvas starts one canvas width further.
        const QPoint copy = left + QPoint(qRound(documentSize.width() * fitted), 0);
        QCOMPARE(frame.pixel(copy), showTiling ? red : background);
        // Along a row of the red half, grid lines break the colour.
        int broken = 0;
        for (int x = left.x() - 40; x <= left.x() + 40; ++x)
            broken += frame.pixel(x, left.y()) != red;
        QCOMPARE(broken > 0, !smoothPixels);
        view->shutDown();
    }

    // At one view pixel per canvas pixel the view shows each texel as it is,
    // blended over the paper, and nothing of a layer outside the document;
    // also in the first frame after a resize, which makes a new target.
    void zoomOneFramesShowTheTexels_data()
    {
        QTest::addColumn<bool>("resized");
        QTest::newRow("shown") << false;
        QTest::newRow("after a resize") << true;
    }

    void zoomOneFramesShowTheTexels()
    {
        QFETCH(bool, resized);
        makeView();
        MCanvas *canvas = view->canvas();
        QVERIFY(canvas->makeCurrent());
        const QRect area = canvas->paintedRect().toRect();
        const QRgb red = qRgba(255, 0, 0, 255);
        const QRgb blue = MTestCanvas::premultiplied(QColor(0, 0, 255, 100));
        // Red reaches past the document's left edge, into the tile's ring.
        MTestCanvas::paintRect(canvas->current(), QRect(area.topLeft() - QPoint(20, 0), QSize(60, 40)), red);
        MTestCanvas::paintRect(canvas->current(), QRect(area.topLeft() + QPoint(60, 0), QSize(30, 40)), blue);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
        QTRY_VERIFY(view->findChildren<QAbstractAnimation *>().isEmpty());
        if (resized) {
            view->grabFramebuffer();
            view->resize(650, 280);
            QTRY_COMPARE(view->width(), 650);
        }
        view->transform()->reset();
        view->transform()->setTranslation(QPointF(30, 20) - QPointF(area.topLeft()));
        const QImage frame = view->grabFramebuffer();
        const QRgb background = frame.pixel(5, 5);
        const QRgb paper = frame.pixel(30 + 50, 20 + 60);
        QVERIFY(paper != background);
        QCOMPARE(frame.pixel(30, 20), red);
        QCOMPARE(frame.pixel(30 + 39, 20 + 39), red);
        QCOMPARE(frame.pixel(29, 20), background);
        QCOMPARE(frame.pixel(30 + 40, 20), paper);
        QCOMPARE(frame.pixel(30 + 99, 20 + 79), paper);
        QCOMPARE(frame.pixel(30 + 100, 20 + 79), background);
        const QRgb expected = MTestCanvas::over(paper, blue);
        const QRgb shown = frame.pixel(30 + 70, 20 + 20);
        for (int shift : {0, 8, 16, 24})
            QVERIFY2(std::abs(int((shown >> shift) & 0xff) - int((expected >> shift) & 0xff)) <= 1,
                     qPrintable(QStringLiteral("%1 against %2").arg(shown, 8, 16).arg(expected, 8, 16)));
        view->shutDown();
    }

    // Zoomed out, a view samples the smaller levels of a tile: they must
    // follow the pixels however the tile was last changed (a stroke merged
    // into it, then pixels replaced), and every level must be there.
    void zoomedOutViewsShowWhatTheTilesHold()
    {
        makeView();
        MCanvas *canvas = view->canvas();
        QVERIFY(canvas->makeCurrent());
        const QRect area = canvas->paintedRect().toRect();
        canvas->drawLine(area.topLeft() + QPointF(5, 30), area.topRight() + QPointF(-5, 30),
                         MTool::currentPaint());
        QCOMPARE(canvas->undoStack()->count(), 1);
        // Stripes two pixels wide: at a quarter of their size only the
        // smaller levels blend them evenly.
        const QRgb red = qRgba(255, 0, 0, 255), blue = qRgba(0, 0, 255, 255);
        for (int x = 0; x < area.width(); x += 2)
            MTestCanvas::paintRect(canvas->current(), QRect(area.left() + x, area.top(), 2, 60),
                                   (x / 2) % 2 ? blue : red);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
        QTRY_VERIFY(view->findChildren<QAbstractAnimation *>().isEmpty());
        view->transform()->reset();
        view->transform()->setScale(0.25, QPointF(0, 0));
        view->transform()->setTranslation(QPointF(100.25, 100));
        const QImage frame = view->grabFramebuffer();
        // Within the tile right of the canvas origin.
        const QPoint first = view->transform()->map(QPointF(8, area.top() + 30)).toPoint();
        const QPoint last = view->transform()->map(QPointF(area.right() - 8, area.top() + 30)).toPoint();
        QVERIFY(last.x() - first.x() >= 8);
        for (int x = first.x(); x <= last.x(); ++x) {
            const QColor c = frame.pixelColor(x, first.y());
            QVERIFY2(std::abs(c.red() - c.blue()) < 40 && c.green() < 20,
                     qPrintable(QStringLiteral("%1: %2").arg(x).arg(c.name())));
        }
        // The tile changes again: the zoomed-out view follows.
        MTestCanvas::paintRect(canvas->current(), QRect(area.topLeft(), QSize(area.width(), 60)), blue);
        const QImage after = view->grabFramebuffer();
        QCOMPARE(after.pixel(first), blue);
        view->shutDown();
    }

    // A frame during a stroke composites again only the area the stroke
    // changed; the stroke's end brings the whole view up to date.
    void strokeFramesRecompositeWhatTheStrokeChanged_data()
    {
        QTest::addColumn<bool>("zoomOne");
        QTest::newRow("fitted") << false;
        QTest::newRow("one view pixel per canvas pixel") << true;
    }

    void strokeFramesRecompositeWhatTheStrokeChanged()
    {
        QFETCH(bool, zoomOne);
        QVERIFY(showView(zoomOne));
        MCanvas *canvas = view->canvas();
        const QRect area = canvas->paintedRect().toRect();
        const QPointF from = area.topLeft() + QPointF(10, 10), to = area.topLeft() + QPointF(40, 10);
        const QPointF elsewhere = area.topLeft() + QPointF(70, 60);
        MEvent event;
        event.type = MEvent::Press;
        event.inputs[MEnum::biPositionX] = from.x();
        event.inputs[MEnum::biPositionY] = from.y();
        canvas->stroke(&event, 0, MTool::currentPaint());
        QVERIFY(canvas->strokeInProgress());
        const QImage before = view->grabFramebuffer();
        const QPoint strokeOnView = view->transform()->map(QPointF(30, 10) + area.topLeft()).toPoint();
        const QPoint elsewhereOnView = view->transform()->map(elsewhere).toPoint();

        event.type = MEvent::Move;
        event.inputs[MEnum::biPositionX] = to.x();
        canvas->stroke(&event, 0, MTool::currentPaint());
        // Changed behind the view's back, away from the stroke.
        QVERIFY(canvas->makeCurrent());
        MTestCanvas::paintRect(canvas->current(), QRect(elsewhere.toPoint() - QPoint(3, 3), QSize(7, 7)),
                               qRgba(0, 255, 0, 255));
        view->refresh(false, QRectF(from, to).adjusted(-15, -15, 15, 15));
        const QImage during = view->grabFramebuffer();
        QVERIFY(during.pixel(strokeOnView) != before.pixel(strokeOnView));
        QCOMPARE(during.pixel(elsewhereOnView), before.pixel(elsewhereOnView));

        event.type = MEvent::Release;
        canvas->stroke(&event, 0, MTool::currentPaint());
        QVERIFY(!canvas->strokeInProgress());
        const QImage after = view->grabFramebuffer();
        QCOMPARE(after.pixel(strokeOnView), during.pixel(strokeOnView));
        QCOMPARE(after.pixel(elsewhereOnView), qRgb(0, 255, 0));
        view->shutDown();
    }

    // Stroke frames draw and resolve only the area the stroke changed: what
    // the view shows after a stroke that follows a scroll, a zoom or a resize
    // must be the whole frame, not parts of earlier ones.
    void partialFramesLeaveNoStaleArea_data()
    {
        QTest::addColumn<QString>("change");
        QTest::newRow("strokes only") << QString();
        QTest::newRow("scrolled") << QStringLiteral("scroll");
        QTest::newRow("zoomed") << QStringLiteral("zoom");
        QTest::newRow("resized") << QStringLiteral("resize");
    }

    void partialFramesLeaveNoStaleArea()
    {
        QFETCH(QString, change);
        QVERIFY(showView(false));
        MCanvas *canvas = view->canvas();
        tool.strokeCanvas = canvas;
        QSignalSpy frames(view.get(), &QOpenGLWidget::frameSwapped);
        const auto settle = [this] {
            QTRY_VERIFY(view->findChildren<QAbstractAnimation *>().isEmpty());
            view->repaint();
        };
        // A stroke drawn move by move, each move shown before the next.
        const auto stroke = [&](double y) {
            const auto onView = [&](double x) {
                return view->transform()->map(canvas->paintedRect().topLeft() + QPointF(x, y));
            };
            press(view.get(), onView(10));
            for (double x = 20; x <= 90; x += 10) {
                const int shown = frames.count();
                drag(view.get(), onView(x));
                QTRY_VERIFY(frames.count() > shown);
            }
            const int shown = frames.count();
            release(view.get(), onView(90));
            QTRY_VERIFY(frames.count() > shown);
        };
        stroke(60);
        settle();
        if (change == QLatin1String("scroll"))
            view->setTranslation(view->translation() + QPointF(37, -23));
        else if (change == QLatin1String("zoom"))
            view->setScale(view->scale() * 1.7);
        else if (change == QLatin1String("resize"))
            view->resize(560, 380);
        settle();
        stroke(15);
        const QImage shown = MTestView::lastFrame(view.get());
        view->updateNow();
        const QImage whole = view->grabFramebuffer().convertToFormat(shown.format());
        QCOMPARE(shown.size(), whole.size());
        QCOMPARE(shown, whole);
        view->shutDown();
    }

    // The thumbnails hide while a stroke lasts: the frame of the press takes
    // them off, the frame of the release brings them back with the merged
    // stroke; those two frames recomposite the stroke and the controls only,
    // so a change elsewhere behind the view's back does not show yet.
    void strokeEdgeFramesHideAndBringBackTheControls()
    {
        MSettings::instance()->set_showThumbnails(true);
        const auto restore = qScopeGuard([] { MSettings::instance()->set_showThumbnails(false); });
        QVERIFY(showView(true));
        MCanvas *canvas = view->canvas();
        tool.strokeCanvas = canvas;
        const QPoint corner = canvas->paintedRect().toRect().topLeft();
        // Well away from the thumbnails along the view's edge.
        view->transform()->setTranslation(QPointF(300, 150) - QPointF(corner));
        auto onView = [&](int x, int y) { return view->transform()->map(QPointF(corner + QPoint(x, y))); };
        const QPoint thumbnail = view->controls().first()->rect().center().toPoint();
        const QPoint stroke = onView(75, 30).toPoint();
        const QPoint elsewhere = onView(15, 70).toPoint();
        QVERIFY(!view->controls().first()->rect().contains(elsewhere));
        view->repaint();
        QTest::qWait(50);
        const QImage idle = MTestView::lastFrame(view.get());

        press(view.get(), onView(60, 30));
        for (int x : {70, 80, 90})
            drag(view.get(), onView(x, 30));
        QVERIFY(canvas->strokeInProgress());
        QTest::qWait(60);
        const QImage during = MTestView::lastFrame(view.get());
        QVERIFY(during.pixel(thumbnail) != idle.pixel(thumbnail));
        QVERIFY(during.pixel(stroke) != idle.pixel(stroke));

        QVERIFY(canvas->makeCurrent());
        MTestCanvas::paintRect(canvas->current(), QRect(corner + QPoint(12, 67), QSize(7, 7)), qRgba(0, 255, 0, 255));
        release(view.get(), onView(90, 30));
        QVERIFY(!canvas->strokeInProgress());
        QTest::qWait(60);
        const QImage after = MTestView::lastFrame(view.get());
        QCOMPARE(after.pixel(thumbnail), idle.pixel(thumbnail));
        QCOMPARE(after.pixel(stroke), during.pixel(stroke));
        QCOMPARE(after.pixel(elsewhere), idle.pixel(elsewhere));
        // Any whole frame shows it.
        view->repaint();
        QTest::qWait(50);
        QCOMPARE(MTestView::lastFrame(view.get()).pixel(elsewhere), qRgb(0, 255, 0));
        view->shutDown();
    }

    void throttledRefreshWaitsForTheNextFrame()
    {
        makeView();
        // A long interval, so that a busy machine does not let one pass
        // between two calls that must fall inside it.
        const int interval = 300;
        view->setFrameRate(1000.0 / interval);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
        QTRY_VERIFY(view->findChildren<QAbstractAnimation *>().isEmpty());
        PaintCounter counter;
        view->installEventFilter(&counter);
        QVERIFY(view->refresh(false, QRectF(0, 0, 10, 10)));
        QVERIFY(!view->refresh(true, QRectF()));
        QVERIFY(!view->refresh(true, QRectF(0, 0, 10, 10)));
        QVERIFY(view->refresh(false, QRectF()));
        QTRY_VERIFY(counter.paints > 0);
        QTest::qWait(interval + 5);
        counter.paints = 0;
        QVERIFY(view->refresh(true, QRectF()));
        QTRY_VERIFY(counter.paints > 0);

        // A throttled request alone, right after a frame, still gets its
        // frame once the interval is over, without another request.
        QTest::qWait(interval + 5);
        QVERIFY(view->refresh(false, QRectF(0, 0, 10, 10)));
        QTRY_VERIFY(counter.paints > 1);
        counter.paints = 0;
        QVERIFY(!view->refresh(true, QRectF(20, 20, 10, 10)));
        QTRY_VERIFY(counter.paints > 0);
        view->shutDown();
    }

    // Stroke frames recomposite only their dirty area: areas of throttled
    // requests must reach the frame that follows, or their stamps stay off
    // the screen (a dashed stroke while the pen is down).
    void throttledStrokeAreasAllReachTheScreen()
    {
        QVERIFY(showView(true));
        MCanvas *canvas = view->canvas();
        const QRect area = canvas->paintedRect().toRect();
        MEvent event;
        event.type = MEvent::Press;
        event.inputs[MEnum::biPositionX] = area.left() + 10;
        event.inputs[MEnum::biPositionY] = area.top() + 40;
        canvas->stroke(&event, 0, MTool::currentPaint());
        QTest::qWait(30);
        const QImage before = view->grabFramebuffer();
        // Moves in quick succession, each refreshing its own segment.
        for (int x = 20; x <= 90; x += 10) {
            event.type = MEvent::Move;
            event.inputs[MEnum::biPositionX] = area.left() + x;
            canvas->stroke(&event, 0, MTool::currentPaint());
            QCoreApplication::processEvents();
        }
        QTest::qWait(60);
        const QImage shown = MTestView::lastFrame(view.get());
        for (int x = 15; x <= 85; x += 5) {
            const QPoint p = view->transform()->map(QPointF(area.left() + x, area.top() + 40)).toPoint();
            QVERIFY2(shown.pixel(p) != before.pixel(p), qPrintable(QString::number(x)));
        }
        event.type = MEvent::Release;
        canvas->stroke(&event, 0, MTool::currentPaint());
        view->shutDown();
    }

    void clicksDeliverPressThenRelease_data()
    {
        QTest::addColumn<double>("toolSize");
        QTest::newRow("size 0") << 0.0;
        QTest::newRow("sized tool") << 15.0;
    }

    void clicksDeliverPressThenRelease()
    {
        QFETCH(double, toolSize);
        makeView();
        tool.toolSize = toolSize;
        press(view.get(), QPointF(20, 30));
        release(view.get(), QPointF(20, 30));
        QCOMPARE(tool.types(), QStringLiteral("03"));
        for (const MEvent &e : tool.events)
            QCOMPARE(position(e), QPointF(20, 30));
        QCOMPARE(tool.events.first().inputs[MEnum::biSpeed], 2.0);
        QCOMPARE(tool.events.first().inputs[MEnum::biDirectionX], 0.0);
        QCOMPARE(tool.events.last().inputs[MEnum::biDistanceToPrevious], 0.0);
        QCOMPARE(tool.events.first().inputs[MEnum::biPressure], 1.0);
    }

    void dragsDispatchInterpolatedSegmentsOneBehind()
    {
        makeView();
        press(view.get(), QPointF(10, 10));
        drag(view.get(), QPointF(10.1, 10)); // shorter than the minimum move
        drag(view.get(), QPointF(30, 10));
        QCOMPARE(tool.types(), QStringLiteral("0"));
        drag(view.get(), QPointF(38, 10));
        drag(view.get(), QPointF(40, 10));
        release(view.get(), QPointF(80, 10));
        // press, 4 samples from the press to the first move, then the 2 ends
        // of a segment shorter than 10 pixels (positions low-pass filtered:
        // 38 gives 34); at the release the segments still held back are
        // sent, the last one ending at the release point itself.
        QCOMPARE(tool.types(), QStringLiteral("02222222222223"));
        QCOMPARE(position(tool.events.at(1)), QPointF(10, 10));
        QCOMPARE(position(tool.events.at(4)), QPointF(30, 10));
        QCOMPARE(position(tool.events.at(5)), QPointF(30, 10));
        QCOMPARE(position(tool.events.at(6)), QPointF(34, 10));
        // 40 filtered gives 37; the release point itself is not filtered.
        QCOMPARE(position(tool.events.at(7)), QPointF(34, 10));
        QCOMPARE(position(tool.events.at(8)), QPointF(37, 10));
        QCOMPARE(position(tool.events.at(9)), QPointF(37, 10));
        QCOMPARE(position(tool.events.at(12)), QPointF(80, 10));
        for (int i = 10; i < 12; ++i) {
            QVERIFY(position(tool.events.at(i)).x() > position(tool.events.at(i - 1)).x());
            QVERIFY(position(tool.events.at(i)).x() < 80);
        }
        QCOMPARE(position(tool.events.last()), QPointF(80, 10));
        QVERIFY(tool.events.at(2).inputs[MEnum::biPositionX] > 10);
        QVERIFY(tool.events.at(2).inputs[MEnum::biPositionX] < 30);
    }

    // The pen rests for a frame with the button down: the segment the spline
    // holds back and the way from the smoothed position to the pointer
    // itself reach the tool without a release; moving on goes on from there,
    // never back towards where the smoothing had been.
    void restingPointerGetsTheStrokeUpToIt()
    {
        makeView();
        press(view.get(), QPointF(10, 10));
        for (double x : {30.0, 50.0, 70.0})
            drag(view.get(), QPointF(x, 10));
        QVERIFY(position(tool.events.last()).x() < 60);
        QTRY_COMPARE(position(tool.events.last()), QPointF(70, 10));
        QVERIFY(!tool.types().contains(QLatin1Char('3')));
        const int rested = tool.events.size();
        // Resting longer sends nothing more.
        QTest::qWait(60);
        QCOMPARE(tool.events.size(), rested);

        for (double x : {90.0, 110.0, 130.0})
            drag(view.get(), QPointF(x, 10));
        QVERIFY(tool.events.size() > rested);
        for (int i = rested; i < tool.events.size(); ++i)
            QVERIFY2(position(tool.events.at(i)).x() >= 70.0, qPrintable(QString::number(i)));
        release(view.get(), QPointF(130, 10));
        QCOMPARE(tool.types().right(1), QStringLiteral("3"));
        QCOMPARE(position(tool.events.last()), QPointF(130, 10));
        // Positions never went back along the whole gesture.
        for (int i = 1; i < tool.events.size(); ++i)
            QVERIFY(position(tool.events.at(i)).x() >= position(tool.events.at(i - 1)).x());
    }

    void sizedToolsGetTheirPressWithTheFirstFarSample()
    {
        makeView();
        tool.toolSize = 15.0;
        mouse(view.get(), QEvent::MouseMove, QPointF(40, 5), Qt::NoButton, Qt::NoButton);
        mouse(view.get(), QEvent::MouseMove, QPointF(45, 5), Qt::NoButton, Qt::NoButton); // hover too short
        QCOMPARE(tool.types(), QStringLiteral("1"));
        tool.events.clear();
        press(view.get(), QPointF(10, 10));
        drag(view.get(), QPointF(20, 10)); // too short for the tool
        drag(view.get(), QPointF(30, 10));
        drag(view.get(), QPointF(50, 10));
        QCOMPARE(tool.types(), QStringLiteral("0222"));
        release(view.get(), QPointF(50, 10));
        QCOMPARE(tool.types().right(1), QStringLiteral("3"));
    }

    void contextPanelLeavesNoGestureBehind()
    {
        makeView();
        press(view.get(), QPointF(40, 40), Qt::RightButton, Qt::ControlModifier);
        QCOMPARE(view->panelsOpened, 1);
        // The panel took the release: later moves are hovers, and a stray
        // release reaches no tool.
        drag(view.get(), QPointF(60, 40), Qt::RightButton);
        release(view.get(), QPointF(60, 40), Qt::RightButton);
        QCOMPARE(tool.types(), QStringLiteral("1"));
        const QPointF t = view->transform()->translation();
        QCOMPARE(t, QPointF());
    }

    void rightDragPansByWholePixels()
    {
        makeView();
        press(view.get(), QPointF(40, 40), Qt::RightButton);
        drag(view.get(), QPointF(47.4, 43.6), Qt::RightButton);
        drag(view.get(), QPointF(47.6, 43.6), Qt::RightButton);
        QCOMPARE(view->transform()->translation(), QPointF(7, 4));
        release(view.get(), QPointF(47.6, 43.6), Qt::RightButton);
        // The press and release reach the tool, the pan moves do not.
        QCOMPARE(tool.types(), QStringLiteral("03"));
    }

    void wheelTurnsZoomsAndScrolls_data()
    {
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<double>("startRotation");
        QTest::addColumn<int>("delta");
        QTest::addColumn<double>("rotation");
        QTest::addColumn<QPointF>("translation");
        QTest::addColumn<int>("toolEvents");
        const QPointF none;
        QTest::newRow("rotate past 360") << Qt::KeyboardModifiers(Qt::ControlModifier) << 355.0 << -120 << 5.0 << none << 0;
        QTest::newRow("rotate past -360") << Qt::KeyboardModifiers(Qt::ControlModifier) << -355.0 << 120 << -5.0 << none << 0;
        QTest::newRow("scroll down") << Qt::KeyboardModifiers(Qt::ShiftModifier) << 0.0 << -120 << 0.0 << QPointF(0, 30) << 0;
        QTest::newRow("scroll right") << Qt::KeyboardModifiers(Qt::ShiftModifier | Qt::ControlModifier) << 0.0 << 120 << 0.0 << QPointF(-30, 0) << 0;
        QTest::newRow("no turn") << Qt::KeyboardModifiers(Qt::ControlModifier) << 0.0 << 0 << 0.0 << none << 0;
    }

    void wheelTurnsZoomsAndScrolls()
    {
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(double, startRotation);
        QFETCH(int, delta);
        QFETCH(double, rotation);
        QFETCH(QPointF, translation);
        makeView();
        view->transform()->setRotation(startRotation);
        wheel(view.get(), QPointF(50, 50), delta, modifiers);
        QCOMPARE(view->transform()->rotation(), rotation);
        QCOMPARE(view->transform()->translation(), translation);
    }

    void wheelZoomRecentresWhileTheCanvasFits()
    {
        makeView();
        view->transform()->setRotation(30);
        wheel(view.get(), QPointF(10, 10), 120, Qt::NoModifier);
        QCOMPARE(view->scale(), 1.2);
        QCOMPARE(view->rotation(), 0.0);
        QCOMPARE(view->transform()->map(view->canvas()->paintedRect().center()), QPointF(350, 150));
        // 100 x 80 at 4.32 no longer fits 700 x 300: zoom about the cursor.
        view->transform()->setScale(3.6, QPointF(350, 150));
        const QPointF under = view->transform()->mapFromView(QPointF(10, 10));
        wheel(view.get(), QPointF(10, 10), 120, Qt::NoModifier);
        QVERIFY(std::abs(view->scale() - 3.6 * 1.2) < 1e-9);
        const QPointF still = view->transform()->map(under);
        QVERIFY(std::abs(still.x() - 10) < 1e-6 && std::abs(still.y() - 10) < 1e-6);
    }

    void keysMoveThePictureAndSpacePans()
    {
        makeView();
        view->show();
        view->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(view.get()));
        view->setFocus();
        // The view takes keys only while it has the focus.
        QTRY_VERIFY(view->hasFocus());
        QTRY_VERIFY(view->findChildren<QAbstractAnimation *>().isEmpty());
        struct Step
        {
            int key;
            Qt::KeyboardModifiers modifiers;
            QPointF delta;
        };
        const Step steps[] = {{Qt::Key_Left, Qt::NoModifier, {10, 0}},       {Qt::Key_Left, Qt::ControlModifier, {200, 0}},
                              {Qt::Key_Right, Qt::NoModifier, {-10, 0}},     {Qt::Key_Right, Qt::ControlModifier, {-200, 0}},
                              {Qt::Key_Up, Qt::ControlModifier, {0, 10}},    {Qt::Key_Down, Qt::NoModifier, {0, -10}},
                              {Qt::Key_PageUp, Qt::NoModifier, {0, 200}},    {Qt::Key_PageDown, Qt::NoModifier, {0, -200}}};
        for (const Step &step : steps) {
            const QPointF before = view->translation();
            QTest::keyClick(view.get(), Qt::Key(step.key), step.modifiers);
            QCOMPARE(view->translation() - before, step.delta);
        }
        // Space held: a left drag pans and never reaches a tool.
        tool.events.clear();
        const QPointF before = view->translation();
        QTest::keyPress(view.get(), Qt::Key_Space);
        press(view.get(), QPointF(100, 100));
        drag(view.get(), QPointF(112.6, 95.2));
        release(view.get(), QPointF(112.6, 95.2));
        QTest::keyRelease(view.get(), Qt::Key_Space);
        QCOMPARE(view->translation() - before, QPointF(13, -5));
        QCOMPARE(tool.types(), QString());
        // Delete with Shift is the tools' key, not an erase.
        QVERIFY(view->canvas()->makeCurrent());
        MTestCanvas::paintRect(view->canvas()->current(), view->canvas()->paintedRect().toRect(), qRgba(0, 0, 255, 255));
        const QPoint inside = view->canvas()->paintedRect().center().toPoint();
        QTest::keyClick(view.get(), Qt::Key_Delete, Qt::ShiftModifier);
        QVERIFY(view->canvas()->makeCurrent());
        QCOMPARE(MTestCanvas::pixelAt(view->canvas()->current(), inside), qRgba(0, 0, 255, 255));
        QTest::keyClick(view.get(), Qt::Key_Delete);
        QVERIFY(view->canvas()->makeCurrent());
        QCOMPARE(MTestCanvas::pixelAt(view->canvas()->current(), inside), qRgba(0, 0, 0, 0));
        view->shutDown();
    }

    void statusLineJoinsWhatStopsPainting()
    {
        makeView();
        MCanvas *canvas = view->canvas();
        QCOMPARE(view->statusLine(), QString());
        canvas->set_hasSelection(true);
        QCOMPARE(view->statusLine(), QStringLiteral("selection is active"));
        canvas->current()->setLocked(true);
        QCOMPARE(view->statusLine(), QStringLiteral("the current layer is locked - selection is active"));
        canvas->current()->setVisible(false);
        QCOMPARE(view->statusLine(), QStringLiteral("the current layer is hidden - selection is active"));
    }

    // Over a layer that cannot take paint the view shows the shipped
    // forbidden picture, centred on the pointer, whatever the tool wants.
    void hiddenOrLockedLayersShowTheForbiddenCursor_data()
    {
        QTest::addColumn<bool>("visible");
        QTest::addColumn<bool>("locked");
        QTest::addColumn<bool>("forbidden");
        QTest::newRow("paintable") << true << false << false;
        QTest::newRow("locked") << true << true << true;
        QTest::newRow("hidden") << false << false << true;
    }

    void hiddenOrLockedLayersShowTheForbiddenCursor()
    {
        QFETCH(bool, visible);
        QFETCH(bool, locked);
        QFETCH(bool, forbidden);
        makeView();
        view->canvas()->current()->setVisible(visible);
        view->canvas()->current()->setLocked(locked);
        view->setCursor(Qt::CrossCursor);
        view->updateCursor(QPointF(50, 50));
        if (!forbidden) {
            QVERIFY(view->cursor().shape() != Qt::BitmapCursor);
            return;
        }
        QCOMPARE(view->cursor().shape(), Qt::BitmapCursor);
        const QPixmap picture = view->cursor().pixmap();
        QVERIFY(!picture.isNull());
        QCOMPARE(view->cursor().hotSpot(), QPoint(picture.width() / 2, picture.height() / 2));
    }

    void paintedRectMessagesAndNarrowViews()
    {
        makeView();
        view->onPaintedRectChanged(QRectF(0, 0, 1920, 1080));
        QCOMPARE(view->text(), QStringLiteral("1920 - 1080"));
        // Too narrow to fit anything: no animation is started.
        view->resize(50, 50);
        const int running = view->findChildren<QAbstractAnimation *>().size();
        view->adjustToWidth();
        QCOMPARE(view->findChildren<QAbstractAnimation *>().size(), running);
        view->resize(400, 300);
        view->adjustToWidth();
        QCOMPARE(view->findChildren<QAbstractAnimation *>().size(), running + 2);
    }

    // A view closed while it zooms, the zoom it replaced stopped but not yet
    // deleted: both go with the view and neither reaches it half destroyed
    // (the address and undefined behaviour sanitizers' build stops there).
    void viewClosedWhileItZooms()
    {
        QVERIFY(showView(false));
        view->fitToView();
        view->adjustToWidth();
        const QList<QAnimationGroup *> zooms = view->findChildren<QAnimationGroup *>(QString(), Qt::FindDirectChildrenOnly);
        QCOMPARE(zooms.size(), 2);
        QCOMPARE(zooms.first()->state(), QAbstractAnimation::Stopped);
        QCOMPARE(zooms.last()->state(), QAbstractAnimation::Running);
        view.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void droppedEffectsGoOnTheCurrentLayer_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("accepted");
        QByteArray first;
        QDataStream(&first, QIODevice::WriteOnly) << 0;
        QByteArray missing;
        QDataStream(&missing, QIODevice::WriteOnly) << 100000;
        QTest::newRow("effect row") << first << true;
        QTest::newRow("row without effect") << missing << false;
        QTest::newRow("no bytes") << QByteArray() << false;
        QTest::newRow("short bytes") << QByteArray(2, 'x') << false;
    }

    void droppedEffectsGoOnTheCurrentLayer()
    {
        QFETCH(QByteArray, data);
        QFETCH(bool, accepted);
        makeView();
        MShaderList *effects = MShaderList::instance();
        QVERIFY(effects->shaderAt(0));
        QMimeData mime;
        mime.setData(effects->mimeType(), data);
        QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view.get(), &enter);
        QCOMPARE(enter.isAccepted(), accepted);
        QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view.get(), &drop);
        MTextureLayer *layer = view->canvas()->current();
        QCOMPARE(layer->shaderId(), accepted ? effects->shaderAt(0)->id() : QString());
        if (accepted)
            QVERIFY(layer->isShaderActive());
    }

    void tabletPenGivesPressureAndTilt()
    {
        makeView();
        QTabletEvent pen(QEvent::TabletPress, QPointF(20, 20), view->mapToGlobal(QPoint(20, 20)),
                         QTabletEvent::Stylus, QTabletEvent::Pen, 0.4, 12, -7, 0.25, 0, 0, Qt::NoModifier, 1,
                         Qt::LeftButton, Qt::LeftButton);
        QApplication::sendEvent(view.get(), &pen);
        press(view.get(), QPointF(20, 20));
        QTabletEvent lift(QEvent::TabletRelease, QPointF(20, 20), view->mapToGlobal(QPoint(20, 20)),
                          QTabletEvent::Stylus, QTabletEvent::Pen, 0.0, 0, 0, 0, 0, 0, Qt::NoModifier, 1,
                          Qt::LeftButton, Qt::NoButton);
        QApplication::sendEvent(view.get(), &lift);
        release(view.get(), QPointF(20, 20));
        QCOMPARE(tool.types(), QStringLiteral("03"));
        const MEvent &p = tool.events.first();
        QCOMPARE(p.inputSource, 2);
        QVERIFY(std::abs(p.inputs[MEnum::biPressure] - 0.4) < 1e-6);
        QCOMPARE(p.inputs[MEnum::biXTilt], 12.0);
        QCOMPARE(p.inputs[MEnum::biYTilt], -7.0);
        QCOMPARE(tool.events.last().inputSource, 1);
        QCOMPARE(tool.events.last().inputs[MEnum::biPressure], 1.0);
    }
};

QTEST_MAIN(TestMWidget)
#include "tst_mwidget.moc"
