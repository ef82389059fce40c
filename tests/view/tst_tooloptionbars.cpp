#include "mbrushtool.h"
#include "menumedit.h"
#include "mlinetool.h"
#include "mperspectiveaction.h"
#include "mperspectivetool.h"
#include "mperspectivewidget.h"
#include "mrullertool.h"
#include "msettings.h"
#include "msymmetrytool.h"
#include "mtestglcontext.h"
#include "mtestview.h"
#include "mtools.h"
#include "mwidget.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QWidgetAction>

#include <memory>

// The option bars of the brush, symmetry, perspective, line and ruler tools
// in a main window named as the application names it: what each holds, what
// its widgets edit, and when it shows.
namespace {
// True when the icon is the picture of the resource.
bool sameIcon(const QIcon &icon, const QString &path)
{
    const QIcon expected(path);
    return !expected.isNull() && !icon.isNull()
           && icon.pixmap(16, 16).toImage() == expected.pixmap(16, 16).toImage();
}

QString iconName(const QIcon &icon)
{
    for (const char *name : {"lock-on", "gear", "plus", "minus", "pencil", "refresh", "line-single", "line-poly",
                             "line-curved"}) {
        const QString path = QStringLiteral(":/icons/%1.ico").arg(QLatin1String(name));
        if (sameIcon(icon, path))
            return QString::fromLatin1(name);
    }
    return icon.isNull() ? QString() : QStringLiteral("?");
}

// One line per element of the bar, in order.
QStringList describe(QToolBar *bar)
{
    QStringList lines;
    for (QAction *action : bar->actions()) {
        if (action->isSeparator()) {
            lines << "--";
            continue;
        }
        // Plain actions get a tool button of the bar's own; widgets come in widget actions.
        QWidget *widget = qobject_cast<QWidgetAction *>(action) ? bar->widgetForAction(action) : nullptr;
        if (!widget) {
            lines << QStringLiteral("action %1 (%2) %3%4")
                         .arg(action->text(), action->toolTip(), iconName(action->icon()),
                              action->isCheckable() ? " checkable" : "");
        } else if (auto *label = qobject_cast<QLabel *>(widget)) {
            lines << (label->text().isEmpty() ? QStringLiteral("|") : label->text());
        } else if (auto *box = qobject_cast<QCheckBox *>(widget)) {
            lines << QStringLiteral("check %1").arg(box->isChecked());
        } else if (auto *spin = qobject_cast<QSpinBox *>(widget)) {
            lines << QStringLiteral("spin %1..%2 = %3").arg(spin->minimum()).arg(spin->maximum()).arg(spin->value());
        } else if (auto *edit = qobject_cast<MEnumEdit *>(widget)) {
            auto *combo = edit->findChild<QComboBox *>();
            QStringList icons;
            for (int i = 0; i < combo->count(); ++i)
                icons << iconName(combo->itemIcon(i));
            lines << QStringLiteral("enum %1 = %2 [%3] max %4")
                         .arg(combo->count())
                         .arg(edit->value())
                         .arg(icons.join(','))
                         .arg(edit->maximumWidth());
        } else if (auto *button = qobject_cast<QToolButton *>(widget)) {
            lines << QStringLiteral("button %1 (%2) %3").arg(button->text(), button->toolTip(), iconName(button->icon()));
        } else {
            lines << QString::fromLatin1(widget->metaObject()->className());
        }
    }
    return lines;
}
} // namespace

class TestToolOptionBars : public QObject
{
    Q_OBJECT

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private:
    std::unique_ptr<QMainWindow> window;

    static MTools *tools() { return MTools::instance(); }
    QToolBar *bar(const char *name) const { return window->findChild<QToolBar *>(QLatin1String(name)); }
    // The bar's action of that text.
    QAction *barAction(const char *barName, const QString &text) const
    {
        for (QAction *action : bar(barName)->actions()) {
            if (action->text() == text)
                return action;
        }
        return nullptr;
    }
    template <class T>
    T *child(const char *name) const
    {
        return window->findChild<T *>(QLatin1String(name));
    }

private slots:
    void initTestCase() { QVERIFY(MTestView::prepare(QSize(100, 80))); }

    void init()
    {
        MSettings::instance()->remove(QStringLiteral("Perspective"));
        MSettings::instance()->remove(QStringLiteral("RullerTool"));
        window.reset(new QMainWindow);
        for (const char *key : {"BrushTool", "SymmetryTool", "GridTool", "PerspectiveTool", "LineTool", "RullerTool"}) {
            auto *action = new QAction(QLatin1String(key), window.get());
            action->setObjectName(QStringLiteral("action") + QLatin1String(key));
            window->addAction(action);
            auto *toolBar = new QToolBar(window.get());
            QString name = QLatin1String(key);
            name[0] = name[0].toLower();
            toolBar->setObjectName(name + QStringLiteral("Bar"));
            window->addToolBar(toolBar);
        }
        tools()->init(window.get());
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    void cleanup()
    {
        MTools::destroyInstance();
        window.reset();
    }

    void barsHoldTheirOptions_data()
    {
        QTest::addColumn<QString>("bar");
        QTest::addColumn<QStringList>("elements");
        QTest::newRow("brush") << "brushToolBar" << QStringList{"Follow path", "|", "check 0", "|"};
        QTest::newRow("symmetry") << "symmetryToolBar"
                                  << QStringList{"Sym. number", "|", "spin 1..30 = 1", "|",
                                                 "action Lock (Lock control points) lock-on checkable", "|"};
        QTest::newRow("perspective")
            << "perspectiveToolBar"
            << QStringList{"button Settings (Grid settings) gear",
                           "--",
                           "action Add (Add perspective control point) plus",
                           "action Remove (Remove perspective control point) minus",
                           "action Lock (Lock control points) lock-on checkable",
                           "action Draw (Draw figure in current layer) pencil",
                           "action Reset (Reset vanishing points) refresh"};
        QTest::newRow("line") << "lineToolBar"
                              << QStringList{"enum 3 = 0 [line-single,line-poly,line-curved] max 200",
                                             "|",
                                             "Close figure",
                                             "|",
                                             "check 0",
                                             "|",
                                             "Hand drawn lines",
                                             "|",
                                             "check 0",
                                             "|",
                                             "Angle step",
                                             "spin 1..360 = 5"};
        QTest::newRow("ruler") << "rullerToolBar"
                               << QStringList{"action Lock (Lock control points) lock-on checkable",
                                              "Angle step",
                                              "|",
                                              "spin 1..360 = 5",
                                              "|",
                                              "Unit",
                                              "|",
                                              "enum 3 = 0 [,,] max 150"};
    }

    void barsHoldTheirOptions()
    {
        QFETCH(QString, bar);
        QFETCH(QStringList, elements);
        QToolBar *toolBar = this->bar(bar.toLatin1().constData());
        QVERIFY(toolBar);
        QCOMPARE(describe(toolBar), elements);
    }

    // Each widget edits its tool; the follow-path box also follows the tool.
    void widgetsEditTheirTools()
    {
        auto *brush = tools()->tool<MBrushTool>(MTool::BrushTool);
        auto *follow = child<QCheckBox>("followPathBox");
        follow->setChecked(true);
        QVERIFY(brush->drawOnPath());
        brush->set_drawOnPath(false);
        QVERIFY(!follow->isChecked());

        auto *line = tools()->tool<MLineTool>(MTool::LineTool);
        child<MEnumEdit>("lineTypeEdit")->setValue(MLineTool::CurvedLineType);
        QCOMPARE(line->lineType(), int(MLineTool::CurvedLineType));
        child<QCheckBox>("closeFigureBox")->setChecked(true);
        QVERIFY(line->closeFigure());
        child<QCheckBox>("handDrawBox")->setChecked(true);
        QVERIFY(line->handDraw());
        auto *lineStep = child<QSpinBox>("lineAngleStepBox");
        lineStep->setValue(1000);
        QCOMPARE(line->angleStep(), 360);

        auto *ruler = tools()->tool<MRullerTool>(MTool::RullerTool);
        child<QSpinBox>("rulerAngleStepBox")->setValue(15);
        QCOMPARE(ruler->angleStep(), 15);
        child<MEnumEdit>("rulerUnitEdit")->setValue(MRullerTool::Pixel);
        QCOMPARE(ruler->unit(), int(MRullerTool::Pixel));
        auto *rulerLock = barAction("rullerToolBar", "Lock");
        rulerLock->setChecked(true);
        QVERIFY(ruler->locked());

        auto *symmetry = tools()->tool<MSymmetryTool>(MTool::SymmetryTool);
        QSignalSpy numbers(symmetry, &MSymmetryTool::symmetryNumberChanged);
        auto *number = child<QSpinBox>("symmetryNumberBox");
        number->setValue(99);
        QCOMPARE(number->value(), 30);
        QCOMPARE(numbers.count(), 1);
        QCOMPARE(numbers.at(0).at(0).toInt(), 30);

        auto *perspective = tools()->tool<MPerspectiveTool>(MTool::PerspectiveTool);
        const int figures = perspective->figures().size();
        barAction("perspectiveToolBar", "Add")->trigger();
        QCOMPARE(perspective->figures().size(), figures + 1);
        barAction("perspectiveToolBar", "Remove")->trigger();
        QCOMPARE(perspective->figures().size(), figures);
        perspective->set_rightDistance(1234);
        barAction("perspectiveToolBar", "Reset")->trigger();
        QCOMPARE(perspective->rightDistance(), 2000.0);
        barAction("perspectiveToolBar", "Lock")->setChecked(true);
        QVERIFY(perspective->locked());
        auto *symmetryLock = barAction("symmetryToolBar", "Lock");
        symmetryLock->setChecked(true);
        QVERIFY(symmetry->locked());
    }

    // The settings menu refreshes its panel from the guide as it opens.
    void perspectiveSettingsRefreshOnOpening()
    {
        auto *button = child<QToolButton>("perspectiveSettingsButton");
        QCOMPARE(button->popupMode(), QToolButton::InstantPopup);
        QMenu *menu = button->menu();
        QVERIFY(menu);
        QCOMPARE(menu->parent(), button);
        auto *action = qobject_cast<MPerspectiveAction *>(menu->actions().value(0));
        QVERIFY(action);
        auto *perspective = tools()->tool<MPerspectiveTool>(MTool::PerspectiveTool);
        perspective->set_leftDistance(640);
        perspective->set_lockAngle(31);
        emit menu->aboutToShow();
        QCOMPARE(action->widget()->findChild<QDoubleSpinBox *>("leftDistanceSpinBox")->value(), 640.0);
        QCOMPARE(action->widget()->findChild<QSpinBox *>("lockAngleSpinBox")->value(), 31);
    }

    // A bar shows while its tool is on, and only then.
    void barsShowOnlyWhileTheirToolIsOn()
    {
        auto shown = [this]() {
            QStringList names;
            for (const char *name : {"brushToolBar", "symmetryToolBar", "perspectiveToolBar", "lineToolBar",
                                     "rullerToolBar"}) {
                if (bar(name)->isVisible())
                    names << QLatin1String(name);
            }
            return names;
        };
        QCOMPARE(shown(), QStringList{"brushToolBar"});
        child<QAction>("actionLineTool")->trigger();
        QCOMPARE(tools()->currentToolId(), int(MTool::LineTool));
        QCOMPARE(shown(), QStringList{"lineToolBar"});
        child<QAction>("actionPerspectiveTool")->trigger();
        QCOMPARE(shown(), (QStringList{"perspectiveToolBar", "lineToolBar"}));
        tools()->activate(MTool::RullerTool, true);
        tools()->activate(MTool::PerspectiveTool, false);
        QCOMPARE(shown(), (QStringList{"lineToolBar", "rullerToolBar"}));
        tools()->activate(MTool::BrushTool, true);
        QCOMPARE(shown(), (QStringList{"brushToolBar", "rullerToolBar"}));
    }
};

QTEST_MAIN(TestToolOptionBars)
#include "tst_tooloptionbars.moc"
