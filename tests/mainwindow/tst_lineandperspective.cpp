#include "mcanvas.h"
#include "mcolorlist.h"
#include "menumedit.h"
#include "mlinetool.h"
#include "mmainwindow.h"
#include "mperspectivetool.h"
#include "mtestcanvas.h"
#include "mtestglcontext.h"
#include "mtestmainwindow.h"
#include "mtestscreenshot.h"
#include "mtexturelayer.h"
#include "mtool.h"
#include "mtools.h"
#include "mtransform.h"
#include "mwidget.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QUndoStack>

#include <memory>

// The line tool and the perspective guide in the real window, chosen and
// used with the mouse as a painter would.
namespace {
constexpr int W = 600;
constexpr int H = 400;

void mouse(QWidget *w, QEvent::Type type, const QPointF &p, Qt::MouseButton button, Qt::MouseButtons buttons,
           Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QMouseEvent e(type, p, w->mapToGlobal(p.toPoint()), button, buttons, modifiers);
    QApplication::sendEvent(w, &e);
}

void click(QWidget *w, const QPointF &p, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    mouse(w, QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton, modifiers);
    mouse(w, QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton, modifiers);
}

void hover(QWidget *w, const QPointF &p)
{
    mouse(w, QEvent::MouseMove, p, Qt::NoButton, Qt::NoButton);
}
} // namespace

class TestLineAndPerspective : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MMainWindow> window;

    MWidget *view() const { return window->view(); }
    MCanvas *canvas() const { return view()->canvas(); }
    QPointF onView(const QPointF &canvasPoint) const { return view()->transform()->map(canvasPoint); }

    bool painted(const QPointF &canvasPoint) const
    {
        canvas()->makeCurrent();
        return qAlpha(MTestCanvas::pixelAt(canvas()->current(), canvasPoint.toPoint())) > 0;
    }

    // Clicks the tool's button in the tools bar.
    void chooseTool(const char *actionName)
    {
        auto *action = window->findChild<QAction *>(QLatin1String(actionName));
        QVERIFY(action && action->isEnabled());
        auto *bar = window->findChild<QToolBar *>(QStringLiteral("toolsToolBar"));
        QWidget *button = bar->widgetForAction(action);
        QVERIFY(button && button->isVisible());
        QTest::mouseClick(button, Qt::LeftButton);
    }

    void chooseLineType(int type)
    {
        auto *edit = window->findChild<MEnumEdit *>(QStringLiteral("lineTypeEdit"));
        QVERIFY(edit && edit->isVisible());
        auto *combo = edit->findChild<QComboBox *>();
        combo->setCurrentIndex(combo->findData(type));
    }

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase()
    {
        window = MTestMainWindow::open(QSize(W, H), QSize(1900, 1000));
        QVERIFY(window);
        MColorList::instance()->setColor(QColor(20, 40, 180));
    }

    void cleanupTestCase() { window.reset(); }

    void singleLineAndPolyline()
    {
        chooseTool("actionLineTool");
        QCOMPARE(MTools::instance()->currentToolId(), int(MTool::LineTool));
        auto *lineBar = window->findChild<QToolBar *>(QStringLiteral("lineToolBar"));
        QVERIFY(lineBar->isVisible());
        QVERIFY(!window->findChild<QToolBar *>(QStringLiteral("brushToolBar"))->isVisible());

        // A single line: two clicks.
        click(view(), onView(QPointF(-250, -150)));
        hover(view(), onView(QPointF(-50, -120)));
        click(view(), onView(QPointF(-50, -120)));
        QUndoStack *undo = canvas()->undoStack();
        QCOMPARE(undo->count(), 1);
        QCOMPARE(undo->text(0), QString("Brush stroke"));
        for (double t : {0.1, 0.5, 0.9})
            QVERIFY(painted(QPointF(-250, -150) + (QPointF(200, 30) * t)));
        QVERIFY(!painted(QPointF(-150, -100)));

        // A polyline: clicks, the pointer, and a Control-click to finish.
        chooseLineType(MLineTool::PolyLineType);
        for (const QPointF &p : {QPointF(-250, 0), QPointF(-50, 0), QPointF(-50, 150)}) {
            hover(view(), onView(p));
            click(view(), onView(p));
        }
        hover(view(), onView(QPointF(-250, 150)));
        // The polyline in progress, dashed, with the line bar.
        view()->update();
        QTest::qWait(200);
        MTestScreenshot::keep(window->screen()->grabWindow(window->winId()), QStringLiteral("kalmidraw-line-preview.png"));
        click(view(), onView(QPointF(200, 180)), Qt::ControlModifier);
        QCOMPARE(undo->count(), 2);
        for (const QPointF &p : {QPointF(-150, 0), QPointF(-50, 75), QPointF(-150, 150)})
            QVERIFY(painted(p));
        QVERIFY(!painted(QPointF(-250, 75)));
        QVERIFY(!painted(QPointF(-150, 75)));
        QVERIFY(!painted(QPointF(200, 180)));
    }

    // With the guide shown, a line drawn slightly off the horizon lands on it.
    void lineAlignedToThePerspective()
    {
        chooseTool("actionLineTool");
        chooseLineType(MLineTool::SingleLineType);
        chooseTool("actionPerspectiveTool");
        auto *perspective = MTools::instance()->tool<MPerspectiveTool>(MTool::PerspectiveTool);
        QVERIFY(perspective->visible());
        QCOMPARE(MTools::instance()->currentToolId(), int(MTool::LineTool));
        QVERIFY(window->findChild<QToolBar *>(QStringLiteral("perspectiveToolBar"))->isVisible());
        QVERIFY(window->findChild<QToolBar *>(QStringLiteral("lineToolBar"))->isVisible());
        QCOMPARE(perspective->point(0), QPointF(0, 0));

        const int before = canvas()->undoStack()->count();
        click(view(), onView(QPointF(20, -60)));
        hover(view(), onView(QPointF(250, -20)));
        click(view(), onView(QPointF(250, -20)));
        QCOMPARE(canvas()->undoStack()->count(), before + 1);
        // From (20, -60) towards the right vanishing point (2000, 0), the
        // direction nearest the segment: about (251, -53).
        const QLineF aligned(QPointF(20, -60), QPointF(251.0, -53.0));
        for (double t : {0.2, 0.5, 0.95})
            QVERIFY(painted(aligned.pointAt(t)));
        QVERIFY(!painted(QPointF(250, -20)));
        QVERIFY(!painted(QPointF(135, -40)));

        // What the painter sees: the guide, its box and its option bar.
        view()->update();
        QTest::qWait(200);
        // The screen's copy, so the view's overlays are in it.
        MTestScreenshot::keep(window->screen()->grabWindow(window->winId()), QStringLiteral("kalmidraw-perspective-window.png"));
        auto *button = window->findChild<QToolButton *>(QStringLiteral("perspectiveSettingsButton"));
        QVERIFY(button && button->isVisible());
        QMenu *menu = button->menu();
        menu->popup(button->mapToGlobal(QPoint(0, button->height())));
        QTRY_VERIFY(menu->isVisible());
        MTestScreenshot::keep(menu->grab(), QStringLiteral("kalmidraw-perspective-panel.png"));
        menu->hide();
    }
};

QTEST_MAIN(TestLineAndPerspective)
#include "tst_lineandperspective.moc"
