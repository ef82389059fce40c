#include "mevent.h"
#include "mgridtool.h"
#include "minterfaceitem.h"
#include "msettings.h"
#include "mtestglcontext.h"
#include "mtestview.h"
#include "mtool.h"
#include "mtools.h"
#include "mwidget.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDockWidget>
#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMetaEnum>
#include <QMouseEvent>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QWheelEvent>
#include <QWidgetAction>

#include <memory>

namespace {

// Notes what reaches it; takes presses and keys and claims the cursor as told.
class FakeTool : public MTool
{
public:
    explicit FakeTool(ToolId id, Qt::CursorShape shape = Qt::CrossCursor)
        : MTool(id)
        , shape(shape)
    {
    }
    bool takesPress = false;
    bool takesKey = false;
    bool claimsCursor = true;
    Qt::CursorShape shape;
    QStringList log;

    bool mousePressEvent(MEvent *) override
    {
        log << QStringLiteral("press");
        return takesPress;
    }
    void mouseMoveEvent(MEvent *) override { log << QStringLiteral("move"); }
    void mouseReleaseEvent(MEvent *) override { log << QStringLiteral("release"); }
    void mouseHoverEvent(MEvent *) override { log << QStringLiteral("hover"); }
    void mouseDoubleClickEvent(MEvent *) override { log << QStringLiteral("double"); }
    void wheelEvent(QWheelEvent *) override { log << QStringLiteral("wheel"); }
    bool keyPressEvent(QKeyEvent *) override
    {
        log << QStringLiteral("key");
        return takesKey;
    }
    bool updateCursor(const QPointF &, double) override
    {
        setCursor(shape);
        return claimsCursor;
    }
};

// An editor action that counts how often its menu asked it to refresh.
class CountingWidgetAction : public QWidgetAction
{
    Q_OBJECT
public:
    using QWidgetAction::QWidgetAction;
    int shown = 0;
public slots:
    void showWidget() { ++shown; }
};

QString keyOf(int toolId)
{
    const QMetaEnum e = QMetaEnum::fromType<MTool::ToolId>();
    return QString::fromLatin1(e.valueToKey(toolId));
}

QString lowerFirst(QString s)
{
    s[0] = s[0].toLower();
    return s;
}

} // namespace

class TestMTools : public QObject
{
    Q_OBJECT

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private:
    std::unique_ptr<QMainWindow> window;
    // Brush and line stand for painting tools, symmetry and ruler for guides
    // that may take presses; the grid, pan, rotate and zoom tools are the
    // registry's own.
    std::unique_ptr<FakeTool> brush, line, symmetry, ruler;
    MTools *tools = nullptr;

    QAction *action(int toolId) const
    {
        return window->findChild<QAction *>(QStringLiteral("action") + keyOf(toolId));
    }
    QToolBar *bar(int toolId) const
    {
        return window->findChild<QToolBar *>(lowerFirst(keyOf(toolId)) + QStringLiteral("Bar"));
    }

    static MEvent event(int type)
    {
        MEvent e;
        e.init();
        e.type = type;
        return e;
    }

private slots:
    void initTestCase()
    {
        qRegisterMetaType<MTool *>();
        qRegisterMetaType<QDockWidget *>();
        qRegisterMetaType<MWidget *>();
        QVERIFY(MTestView::prepare(QSize(100, 80)));
        // The layer thumbnails along the view's edge would take the
        // gestures aimed at the view's corner.
        MSettings::instance()->set_showThumbnails(false);
    }

    // A main window with an action for every tool key, option bars for some
    // tools and one tool dock, as the application names them.
    void init()
    {
        MSettings::instance()->setShowGrid(false);
        window.reset(new QMainWindow);
        const QMetaEnum e = QMetaEnum::fromType<MTool::ToolId>();
        for (int i = 0; i < e.keyCount(); ++i) {
            auto *a = new QAction(QString::fromLatin1(e.key(i)), window.get());
            a->setObjectName(QStringLiteral("action") + QString::fromLatin1(e.key(i)));
            a->setCheckable(e.value(i) != MTool::ZoomTool); // the registry makes it so
            window->addAction(a);
        }
        for (int id : {MTool::BrushTool, MTool::LineTool, MTool::GridTool, MTool::SymmetryTool, MTool::RullerTool}) {
            auto *b = new QToolBar(window.get());
            b->setObjectName(lowerFirst(keyOf(id)) + QStringLiteral("Bar"));
            window->addToolBar(b);
        }
        auto *dock = new QDockWidget(window.get());
        dock->setObjectName(QStringLiteral("zoomToolDockWidget"));
        window->addDockWidget(Qt::LeftDockWidgetArea, dock);
        dock->hide();
        auto *stray = new QToolBar(window.get());
        stray->setObjectName(QStringLiteral("meshToolBar"));
        window->addToolBar(stray);

        brush.reset(new FakeTool(MTool::BrushTool, Qt::CrossCursor));
        line.reset(new FakeTool(MTool::LineTool, Qt::IBeamCursor));
        symmetry.reset(new FakeTool(MTool::SymmetryTool, Qt::SizeAllCursor));
        ruler.reset(new FakeTool(MTool::RullerTool, Qt::PointingHandCursor));
        tools = MTools::instance();
        for (FakeTool *t : {brush.get(), line.get(), symmetry.get(), ruler.get()})
            tools->setTool(t);
        tools->init(window.get());
    }

    void cleanup()
    {
        MTools::destroyInstance();
        tools = nullptr;
        brush.reset();
        line.reset();
        symmetry.reset();
        ruler.reset();
        window.reset();
    }

    void initialisationBindsActionsBarsAndDocks()
    {
        QCOMPARE(action(MTool::LineTool)->property("VAN_TOOLID").toInt(), 4);
        QCOMPARE(action(MTool::RullerTool)->property("VAN_TOOLID").toInt(), 17);
        QVERIFY(!action(MTool::MeshTool)->property("VAN_TOOLID").isValid());
        QActionGroup *exclusive = tools->actionGroup(0);
        QActionGroup *guides = tools->actionGroup(1);
        QVERIFY(exclusive->isExclusive());
        QVERIFY(!guides->isExclusive());
        QCOMPARE(action(MTool::LineTool)->actionGroup(), exclusive);
        QCOMPARE(action(MTool::PanTool)->actionGroup(), exclusive);
        QCOMPARE(action(MTool::GridTool)->actionGroup(), guides);
        QCOMPARE(action(MTool::SymmetryTool)->actionGroup(), guides);
        QVERIFY(!action(MTool::MeshTool)->actionGroup());
        QCOMPARE(tools->item(MTool::GridTool)->toolAction(), action(MTool::GridTool));
        QCOMPARE(tools->item(MTool::GridTool)->property("toolAction").value<QAction *>(), action(MTool::GridTool));
        QCOMPARE(tools->property("currentToolId").toInt(), int(MTool::BrushTool));
        MWidget view;
        tools->set_widget(&view);
        QCOMPARE(tools->property("widget").value<MWidget *>(), &view);
        view.shutDown();
        // Every tool is built, so every tool's action can switch it on.
        QVERIFY(action(MTool::GradientTool)->isEnabled());
        QVERIFY(action(MTool::ZoomTool)->isEnabled());
        // Only the brush tool, switched on at the end, shows its bar.
        QVERIFY(!bar(MTool::BrushTool)->isHidden());
        for (int id : {MTool::LineTool, MTool::GridTool, MTool::SymmetryTool, MTool::RullerTool})
            QVERIFY2(bar(id)->isHidden(), qPrintable(keyOf(id)));
        QVERIFY(!window->findChild<QToolBar *>(QStringLiteral("meshToolBar"))->isHidden());
        QCOMPARE(tools->toolBar(MTool::GridTool), bar(MTool::GridTool));
        QCOMPARE(tools->item(MTool::ZoomTool)->docks().size(), 1);
        QVERIFY(action(MTool::BrushTool)->isChecked());
        QCOMPARE(tools->currentTool(), brush.get());
        QVERIFY(brush->visible());
        QCOMPARE(tools->item(MTool::BrushTool)->description(), QStringLiteral("Brush tool"));
        QCOMPARE(tools->item(MTool::RullerTool)->group(), 1);
        // A registry that has built no tool leaves their actions disabled.
        {
            MTools bare;
            bare.createInterfaceItems();
            bare.bindActions(window.get());
            QVERIFY(!action(MTool::GradientTool)->isEnabled());
            QVERIFY(!action(MTool::BrushTool)->isEnabled());
        }
    }

    void missingToolsAreNullAndIgnored()
    {
        // An item whose tool is gone.
        delete tools->tool(MTool::GradientTool);
        for (int id : {int(MTool::MeshTool), 99, -1, int(MTool::GradientTool)}) {
            QVERIFY(!tools->tool(id));
            QVERIFY(!tools->toolBar(id == MTool::GradientTool ? MTool::MeshTool : id));
            tools->activate(id, true);
            QCOMPARE(tools->currentToolId(), int(MTool::BrushTool));
            QVERIFY(!tools->tool(id));
        }
        QVERIFY(!tools->tool<MGridTool>(MTool::PanTool));
        QVERIFY(tools->tool<MGridTool>(MTool::GridTool));
        QVERIFY(!tools->item(MTool::GradientTool)->active());
        QVERIFY(tools->item(MTool::BrushTool)->active());
    }

    void activationSwitchesTheExclusiveGroup()
    {
        QSignalSpy changed(tools, &MTools::toolChanged);
        QStringList order;
        connect(tools->item(MTool::BrushTool), &MInterfaceItem::activeChanged, this,
                [&order](bool on) { order << QStringLiteral("brush %1").arg(on); });
        connect(tools->item(MTool::LineTool), &MInterfaceItem::activeChanged, this,
                [&order](bool on) { order << QStringLiteral("line %1").arg(on); });
        tools->activate(MTool::LineTool, true);
        QCOMPARE(order, QStringList({QStringLiteral("line 1"), QStringLiteral("brush 0")}));
        QCOMPARE(tools->currentToolId(), int(MTool::LineTool));
        QCOMPARE(tools->currentTool(), line.get());
        QVERIFY(line->visible());
        QVERIFY(!brush->visible());
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.first().first().value<MTool *>(), line.get());
        QVERIFY(action(MTool::LineTool)->isChecked());
        QVERIFY(!action(MTool::BrushTool)->isChecked());
        QVERIFY(bar(MTool::BrushTool)->isHidden());
        QVERIFY(!bar(MTool::LineTool)->isHidden());
    }

    void toolActionsActivateByTheirId_data()
    {
        QTest::addColumn<int>("toolId");
        QTest::addColumn<int>("expectedCurrent");
        QTest::addColumn<bool>("brushStaysOn");
        QTest::newRow("painting tool") << int(MTool::PanTool) << int(MTool::PanTool) << false;
        QTest::newRow("another painting tool") << int(MTool::LineTool) << int(MTool::LineTool) << false;
        QTest::newRow("action made checkable by the registry") << int(MTool::ZoomTool) << int(MTool::ZoomTool) << false;
        QTest::newRow("guide") << int(MTool::GridTool) << int(MTool::BrushTool) << true;
        QTest::newRow("second guide") << int(MTool::RullerTool) << int(MTool::BrushTool) << true;
    }

    void toolActionsActivateByTheirId()
    {
        QFETCH(int, toolId);
        QFETCH(int, expectedCurrent);
        QFETCH(bool, brushStaysOn);
        action(toolId)->trigger();
        QVERIFY(tools->item(toolId)->active());
        QVERIFY(tools->tool(toolId)->visible());
        QCOMPARE(tools->currentToolId(), expectedCurrent);
        QCOMPARE(action(MTool::BrushTool)->isChecked(), brushStaysOn);
        QCOMPARE(tools->item(MTool::BrushTool)->active(), brushStaysOn);
        QCOMPARE(brush->visible(), brushStaysOn);
        // A guide's action switches it off again; the exclusive group keeps its choice.
        action(toolId)->trigger();
        const bool guide = tools->item(toolId)->group() == 1;
        QCOMPARE(tools->item(toolId)->active(), !guide);
        QCOMPARE(tools->tool(toolId)->visible(), !guide);
    }

    void actionsWithoutAToolIdAreIgnored()
    {
        QAction *a = action(MTool::PanTool);
        a->setProperty("VAN_TOOLID", QStringLiteral("not a number"));
        a->trigger();
        QCOMPARE(tools->currentToolId(), int(MTool::BrushTool));
        QVERIFY(!tools->item(MTool::PanTool)->active());
    }

    void repeatedActivationIsSilent()
    {
        tools->activate(MTool::GridTool, true);
        QSignalSpy registry(tools, &MTools::toolChanged);
        QSignalSpy item(tools->item(MTool::BrushTool), &MInterfaceItem::activeChanged);
        QSignalSpy tool(brush.get(), &MTool::toolChanged);
        QSignalSpy grid(tools->tool(MTool::GridTool), &MTool::toolChanged);
        tools->activate(MTool::BrushTool, true);
        tools->activate(MTool::GridTool, true);
        tools->activate(MTool::LineTool, false);
        QCOMPARE(registry.count() + item.count() + tool.count() + grid.count(), 0);
        // Hidden bars stay hidden until their tool is switched off and on again.
        tools->hideToolWidgets();
        QVERIFY(bar(MTool::BrushTool)->isHidden());
        QVERIFY(bar(MTool::GridTool)->isHidden());
        tools->activate(MTool::BrushTool, true);
        QVERIFY(bar(MTool::BrushTool)->isHidden());
        tools->activate(MTool::PanTool, true);
        tools->activate(MTool::BrushTool, true);
        QVERIFY(!bar(MTool::BrushTool)->isHidden());
    }

    void autoShownDocksStayWhenTheToolGoes()
    {
        auto *dock = window->findChild<QDockWidget *>(QStringLiteral("zoomToolDockWidget"));
        QSignalSpy shown(tools, &MTools::showPanel);
        tools->activate(MTool::ZoomTool, true);
        QVERIFY(!dock->isHidden());
        QCOMPARE(shown.count(), 1);
        QCOMPARE(shown.first().first().value<QDockWidget *>(), dock);
        tools->activate(MTool::BrushTool, true);
        QVERIFY(!tools->item(MTool::ZoomTool)->active());
        QVERIFY(!dock->isHidden());
        // Found hidden again on the next activation: shown and announced again.
        dock->hide();
        tools->item(MTool::ZoomTool)->set_autoShow(false);
        tools->activate(MTool::ZoomTool, true);
        QVERIFY(dock->isHidden());
        tools->item(MTool::ZoomTool)->set_autoShow(true);
        tools->activate(MTool::BrushTool, true);
        tools->activate(MTool::ZoomTool, true);
        QCOMPARE(shown.count(), 2);
        tools->hideToolWidgets();
        QVERIFY(dock->isHidden());
    }

    void pressesGoToGuidesFirst_data()
    {
        QTest::addColumn<bool>("symmetryShown");
        QTest::addColumn<bool>("symmetryTakes");
        QTest::addColumn<bool>("rulerShown");
        QTest::addColumn<bool>("rulerTakes");
        QTest::addColumn<bool>("brushTakes");
        QTest::addColumn<QString>("brushLog");
        QTest::addColumn<QString>("symmetryLog");
        QTest::addColumn<QString>("rulerLog");
        const QString gesture = QStringLiteral("press move move release");
        const QString none;
        QTest::newRow("no guide shown") << false << true << false << true << true << gesture << none << none;
        QTest::newRow("current tool declines, keeps the gesture")
            << false << false << false << false << false << gesture << none << none;
        QTest::newRow("guide declines") << true << false << false << false << true << gesture
                                        << QStringLiteral("press") << none;
        QTest::newRow("guide takes") << true << true << false << false << true << none << gesture << none;
        QTest::newRow("two guides take: lower id first")
            << true << true << true << true << true << none << gesture << none;
        QTest::newRow("first declines, second takes")
            << true << false << true << true << true << none << QStringLiteral("press") << gesture;
        QTest::newRow("hidden guide is not asked") << false << true << true << false << false << gesture << none
                                                   << QStringLiteral("press");
    }

    void pressesGoToGuidesFirst()
    {
        QFETCH(bool, symmetryShown);
        QFETCH(bool, symmetryTakes);
        QFETCH(bool, rulerShown);
        QFETCH(bool, rulerTakes);
        QFETCH(bool, brushTakes);
        QFETCH(QString, brushLog);
        QFETCH(QString, symmetryLog);
        QFETCH(QString, rulerLog);
        tools->activate(MTool::SymmetryTool, symmetryShown);
        tools->activate(MTool::RullerTool, rulerShown);
        tools->activate(MTool::GridTool, true); // never takes a press
        symmetry->takesPress = symmetryTakes;
        ruler->takesPress = rulerTakes;
        brush->takesPress = brushTakes;
        for (int type : {MEvent::Press, MEvent::Move, MEvent::Move, MEvent::Release}) {
            MEvent e = event(type);
            if (type == MEvent::Press)
                tools->mousePressEvent(&e);
            else if (type == MEvent::Move)
                tools->mouseMoveEvent(&e);
            else
                tools->mouseReleaseEvent(&e);
        }
        QCOMPARE(brush->log.join(QLatin1Char(' ')), brushLog);
        QCOMPARE(symmetry->log.join(QLatin1Char(' ')), symmetryLog);
        QCOMPARE(ruler->log.join(QLatin1Char(' ')), rulerLog);
    }

    // The canvas view hands its gestures to the registry, which routes them.
    void aGuideHoldsAGestureMadeOnTheView()
    {
        MWidget view;
        view.resize(300, 200);
        tools->set_widget(&view);
        tools->activate(MTool::SymmetryTool, true);
        symmetry->takesPress = true;
        auto send = [&view](QEvent::Type type, const QPointF &p, Qt::MouseButtons buttons) {
            QMouseEvent e(type, p, view.mapToGlobal(p.toPoint()), buttons ? Qt::LeftButton : Qt::NoButton,
                          buttons, Qt::NoModifier);
            QApplication::sendEvent(&view, &e);
        };
        send(QEvent::MouseMove, QPointF(10, 10), Qt::NoButton);
        send(QEvent::MouseButtonPress, QPointF(20, 20), Qt::LeftButton);
        for (int x = 30; x <= 90; x += 10)
            send(QEvent::MouseMove, QPointF(x, 20), Qt::LeftButton);
        QMouseEvent up(QEvent::MouseButtonRelease, QPointF(90, 20), view.mapToGlobal(QPoint(90, 20)), Qt::LeftButton,
                       Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&view, &up);
        QCOMPARE(brush->log, QStringList{QStringLiteral("hover")});
        QVERIFY(symmetry->log.size() >= 3);
        QCOMPARE(symmetry->log.first(), QStringLiteral("press"));
        QCOMPARE(symmetry->log.last(), QStringLiteral("release"));
        QCOMPARE(symmetry->log.count(QStringLiteral("press")), 1);
        QCOMPARE(symmetry->log.count(QStringLiteral("release")), 1);
        view.shutDown();
    }

    void hoverDoubleClickAndWheelReachTheCurrentToolOnly()
    {
        tools->activate(MTool::SymmetryTool, true);
        symmetry->takesPress = true;
        MEvent before = event(MEvent::Move);
        tools->mouseMoveEvent(&before); // no press yet: nobody
        MEvent hover = event(MEvent::Hover);
        tools->mouseHoverEvent(&hover);
        MEvent twice = event(MEvent::DoubleClick);
        tools->mouseDoubleClickEvent(&twice);
        QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        tools->wheelEvent(&wheel);
        QCOMPARE(brush->log, QStringList({QStringLiteral("hover"), QStringLiteral("double"), QStringLiteral("wheel")}));
        QVERIFY(symmetry->log.isEmpty());
    }

    void keysGoToGuidesFirst_data()
    {
        QTest::addColumn<bool>("guideShown");
        QTest::addColumn<bool>("guideTakes");
        QTest::addColumn<QStringList>("brushLog");
        QTest::addColumn<QStringList>("guideLog");
        const QStringList key{QStringLiteral("key")};
        QTest::newRow("guide takes") << true << true << QStringList() << key;
        QTest::newRow("guide declines") << true << false << key << key;
        QTest::newRow("guide hidden") << false << true << key << QStringList();
    }

    void keysGoToGuidesFirst()
    {
        QFETCH(bool, guideShown);
        QFETCH(bool, guideTakes);
        QFETCH(QStringList, brushLog);
        QFETCH(QStringList, guideLog);
        tools->activate(MTool::RullerTool, guideShown);
        ruler->takesKey = guideTakes;
        QKeyEvent key(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        tools->keyPressEvent(&key);
        QCOMPARE(brush->log, brushLog);
        QCOMPARE(ruler->log, guideLog);
    }

    void cursorComesFromGuidesThenThePaintingTool_data()
    {
        QTest::addColumn<bool>("gridShown");
        QTest::addColumn<bool>("symmetryShown");
        QTest::addColumn<bool>("symmetryClaims");
        QTest::addColumn<int>("expected");
        QTest::newRow("painting tool alone") << false << false << false << int(Qt::CrossCursor);
        QTest::newRow("visible grid wins") << true << false << false << int(Qt::ArrowCursor);
        QTest::newRow("guide off its handles") << false << true << false << int(Qt::CrossCursor);
        QTest::newRow("grid asked before a guide on a handle")
            << true << true << true << int(Qt::ArrowCursor);
        QTest::newRow("guide on a handle") << false << true << true << int(Qt::SizeAllCursor);
    }

    void cursorComesFromGuidesThenThePaintingTool()
    {
        QFETCH(bool, gridShown);
        QFETCH(bool, symmetryShown);
        QFETCH(bool, symmetryClaims);
        QFETCH(int, expected);
        QVERIFY(!tools->updateCursor(QPointF(5, 5), 1.0)); // no view yet
        MWidget view;
        tools->set_widget(&view);
        tools->activate(MTool::GridTool, gridShown);
        tools->activate(MTool::SymmetryTool, symmetryShown);
        symmetry->claimsCursor = symmetryClaims;
        brush->claimsCursor = false; // its answer does not matter
        view.setCursor(Qt::WaitCursor);
        QVERIFY(tools->updateCursor(QPointF(5, 5), 1.0));
        QCOMPARE(int(view.cursor().shape()), expected);
        // With nothing visible the registry leaves the cursor to the view.
        tools->activate(MTool::GridTool, false);
        tools->activate(MTool::SymmetryTool, false);
        tools->hideToolWidgets();
        brush->activate(false);
        QVERIFY(!tools->updateCursor(QPointF(5, 5), 1.0));
        view.shutDown();
    }

    void theViewIsForgottenWhenItGoes()
    {
        QSignalSpy changed(tools, &MTools::widgetChanged);
        {
            MWidget view;
            tools->set_widget(&view);
            tools->set_widget(&view);
            QCOMPARE(MTools::widget(), &view);
            QCOMPARE(MTools::canvas(), view.canvas());
            view.shutDown();
        }
        QVERIFY(!MTools::widget());
        QVERIFY(!MTools::canvas());
        QCOMPARE(changed.count(), 2);
        tools->refresh(); // nothing to repaint, no crash
    }

    void theRegistryOwnsItsToolsAndGoesWhole()
    {
        QPointer<MTool> grid = tools->tool(MTool::GridTool);
        QVERIFY(grid);
        QCOMPARE(grid->parent(), tools);
        // A replaced tool of the registry's own is deleted.
        auto *other = new MGridTool(MTool::GridTool, tools);
        tools->setTool(other);
        QVERIFY(!grid);
        QCOMPARE(tools->tool(MTool::GridTool), other);
        QPointer<MTool> pan = tools->tool(MTool::PanTool);
        MWidget view;
        tools->set_widget(&view);
        MWidget *seen = nullptr;
        connect(pan, &QObject::destroyed, this, [&seen]() { seen = MTools::widget(); });
        MTools::destroyInstance();
        QVERIFY(!pan);
        QCOMPARE(seen, &view); // the registry is still whole while its tools go
        view.shutDown();
        QVERIFY(!MTools::existingInstance());
        tools = nullptr;
        // A tool the registry does not own outlives it.
        QCOMPARE(brush->toolId(), int(MTool::BrushTool));
    }

    void optionWidgets()
    {
        QWidget parent;
        QToolBar bar;
        MTools::addLabel(&parent, &bar);
        auto *spacer = qobject_cast<QLabel *>(bar.widgetForAction(bar.actions().last()));
        QVERIFY(spacer);
        QVERIFY(spacer->text().isEmpty());
        QCOMPARE(spacer->minimumWidth(), 3);
        QAction *option = MTools::createOptionAction(QStringLiteral("Lock"), QStringLiteral("Lock control points"),
                                                     QStringLiteral(":/icons/lock-on.ico"), &parent);
        QCOMPARE(option->text(), QStringLiteral("Lock"));
        QCOMPARE(option->toolTip(), QStringLiteral("Lock control points"));
        QCOMPARE(option->parent(), &parent);

        auto *editor = new CountingWidgetAction(&parent);
        QToolButton *button = MTools::createOptionMenuButton(&parent, QStringLiteral(":/icons/stroke.ico"),
                                                             QStringLiteral("Stroke style"), editor);
        QCOMPARE(button->text(), QStringLiteral("Stroke style"));
        QCOMPARE(button->toolTip(), QStringLiteral("Stroke style"));
        QCOMPARE(button->popupMode(), QToolButton::InstantPopup);
        QPointer<QMenu> menu = button->menu();
        QVERIFY(menu);
        QCOMPARE(menu->parent(), button);
        QCOMPARE(menu->actions(), QList<QAction *>{editor});
        // Opening the menu refreshes the editor first.
        emit menu->aboutToShow();
        QCOMPARE(editor->shown, 1);
        // The menu goes with its button, without waiting for an event loop
        // (a restart inside the process runs none after the window).
        delete button;
        QVERIFY(!menu);
    }

    void interfaceItemSetters()
    {
        MInterfaceItem item(MTool::GridTool, 1);
        QSignalSpy icon(&item, &MInterfaceItem::iconChanged);
        QSignalSpy active(&item, &MInterfaceItem::activeChanged);
        item.set_icon(QIcon());
        item.set_icon(QIcon(QStringLiteral(":/icons/logo/logo.png")));
        QCOMPARE(icon.count(), 0);
        item.set_active(true);
        item.set_active(true);
        QCOMPARE(active.count(), 1);
        QVERIFY(item.autoShow());
        QVERIFY(!item.toolAction());
    }

    // A registered factory builds its tool in every registry made after,
    // beside the tools put in before, and its bar builder gets the window.
    // Last, since the registration stays for the whole program.
    void registeredFactoriesBuildTheirTools()
    {
        static QMainWindow *barWindow = nullptr;
        const MTools::ToolFactory make = [](int id, QObject *parent) -> MTool * {
            auto *tool = new FakeTool(MTool::ToolId(id), Qt::WaitCursor);
            tool->setParent(parent);
            return tool;
        };
        QVERIFY(!MTools::registerTool(MTool::MeshTool, nullptr));
        QVERIFY(!tools->tool(MTool::MeshTool));
        QVERIFY(MTools::registerTool(MTool::MeshTool, make, [](MTools *, QMainWindow *w) { barWindow = w; }));
        cleanup();
        init();
        auto *mesh = dynamic_cast<FakeTool *>(tools->tool(MTool::MeshTool));
        QVERIFY(mesh);
        QCOMPARE(mesh->parent(), tools);
        QCOMPARE(mesh->shape, Qt::WaitCursor);
        QCOMPARE(barWindow, window.get());
        QCOMPARE(tools->tool(MTool::BrushTool), brush.get());
    }
};

QTEST_MAIN(TestMTools)
#include "tst_mtools.moc"
