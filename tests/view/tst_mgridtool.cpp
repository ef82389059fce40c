#include "mcanvas.h"
#include "mgridtool.h"
#include "msettings.h"
#include "mtestdialogscript.h"
#include "mtestglcontext.h"
#include "mtestview.h"
#include "mtools.h"
#include "mtransform.h"
#include "mwidget.h"

#include <QAction>
#include <QMainWindow>
#include <QPainter>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QToolBar>

#include <memory>

class TestMGridTool : public QObject
{
    Q_OBJECT

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private:
    std::unique_ptr<MWidget> view;
    const QRgb white = qRgb(255, 255, 255);
    const QRgb red = qRgb(255, 0, 0);

    // The registry's overlay over a view that was never shown (identity
    // transform), on white.
    QImage overlay()
    {
        QImage image(200, 150, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter p(&image);
        MTools::instance()->paint(&p);
        return image;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(MTestView::prepare(QSize(100, 80)));
    }

    void init()
    {
        MSettings *settings = MSettings::instance();
        settings->setGridSize(30);
        settings->setGridColor(QColor(Qt::red));
        settings->setShowGrid(false);
        view.reset(new MWidget);
        view->resize(200, 150);
        MTools::instance()->set_widget(view.get());
    }

    void cleanup()
    {
        MTools::destroyInstance();
        view->shutDown();
        view.reset();
    }

    void sizeAndColourComeFromThePreferences_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("expected");
        QTest::newRow("stored size") << 45 << 45;
        QTest::newRow("too small a size") << 1 << 2;
        QTest::newRow("negative size") << -7 << 2;
    }

    void sizeAndColourComeFromThePreferences()
    {
        QFETCH(int, stored);
        QFETCH(int, expected);
        MSettings::instance()->setGridSize(stored);
        MSettings::instance()->setGridColor(QColor(1, 2, 3));
        MGridTool grid;
        QCOMPARE(grid.toolId(), int(MTool::GridTool));
        QCOMPARE(grid.gridSize(), expected);
        QCOMPARE(grid.gridColor(), QColor(1, 2, 3));
        QVERIFY(!grid.visible());
        QCOMPARE(grid.pointId(), -1);
    }

    void settingTheSize_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("gridSize");
        QTest::addColumn<int>("notices");
        QTest::addColumn<int>("stored"); // the preference store keeps at least 2 itself
        QTest::newRow("unchanged") << 30 << 30 << 0 << 30;
        QTest::newRow("larger") << 500 << 500 << 1 << 500;
        QTest::newRow("1 draws every 2") << 1 << 2 << 1 << 2;
        QTest::newRow("negative") << -3 << 2 << 1 << 2;
    }

    void settingTheSize()
    {
        QFETCH(int, value);
        QFETCH(int, gridSize);
        QFETCH(int, notices);
        QFETCH(int, stored);
        MGridTool grid;
        QSignalSpy changed(&grid, &MGridTool::gridSizeChanged);
        QSignalSpy repaint(&grid, &MTool::toolChanged);
        grid.set_gridSize(value);
        QCOMPARE(grid.gridSize(), gridSize);
        QCOMPARE(changed.count(), notices);
        QCOMPARE(repaint.count(), notices);
        QCOMPARE(MSettings::instance()->gridSize(), stored);
        if (notices)
            QCOMPARE(changed.first().first().toInt(), value);
    }

    void colourDialog()
    {
        MGridTool grid;
        QSignalSpy changed(&grid, &MGridTool::gridColorChanged);
        {
            MTestDialogScript script; // nothing queued: cancelled
            grid.colorDialog();
            QCOMPARE(script.requests().size(), 1);
            QCOMPARE(script.requests().first().title, QStringLiteral("Color"));
            QCOMPARE(script.requests().first().color, QColor(Qt::red));
        }
        QCOMPARE(grid.gridColor(), QColor(Qt::red));
        QCOMPARE(changed.count(), 0);
        {
            MTestDialogScript script;
            script.answerColor(QColor(0, 0, 255));
            grid.colorDialog();
        }
        QCOMPARE(grid.gridColor(), QColor(0, 0, 255));
        QCOMPARE(MSettings::instance()->gridColor(), QColor(0, 0, 255));
        QCOMPARE(changed.count(), 1);
    }

    void activationIsRemembered()
    {
        MGridTool grid;
        QSignalSpy visible(&grid, &MTool::visibleChanged);
        grid.activate(true);
        QVERIFY(grid.visible());
        QVERIFY(MSettings::instance()->showGrid());
        grid.activate(false);
        QVERIFY(!MSettings::instance()->showGrid());
        QCOMPARE(visible.count(), 2);
        QVERIFY(!grid.mousePressEvent(nullptr));
    }

    void linesFromTheTopLeftOfThePaintedArea_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<QList<int>>("lines"); // offsets from the left edge along one row
        QTest::addColumn<QList<int>>("gaps");
        QTest::newRow("30 over a width of 100") << 30 << QList<int>{0, 30, 60, 90} << QList<int>{1, 15, 29, 31, 89, 91, 99, 120};
        QTest::newRow("size 1 draws every 2") << 1 << QList<int>{0, 2, 4, 98, 100} << QList<int>{1, 3, 99};
        QTest::newRow("as wide as the area") << 100 << QList<int>{0, 100} << QList<int>{1, 50, 99};
    }

    void linesFromTheTopLeftOfThePaintedArea()
    {
        QFETCH(int, size);
        QFETCH(QList<int>, lines);
        QFETCH(QList<int>, gaps);
        auto *grid = new MGridTool(MTool::GridTool, MTools::instance());
        MTools::instance()->setTool(grid);
        QCOMPARE(overlay().pixel(0, 0), white); // hidden: nothing
        grid->activate(true);
        grid->set_gridSize(size);
        view->transform()->setTranslation(QPointF(60, 40));
        const QRectF painted = view->transform()->mapRect(view->canvas()->paintedRect());
        QCOMPARE(painted.size(), QSizeF(100, 80));
        const int left = int(painted.left()), top = int(painted.top());
        const int right = int(painted.right()), bottom = int(painted.bottom());
        const QImage image = overlay();
        const int y = top + 15;
        for (int dx : lines)
            QVERIFY2(image.pixel(left + dx, y) == red, qPrintable(QString::number(dx)));
        for (int dx : gaps)
            QVERIFY2(image.pixel(left + dx, y) == white, qPrintable(QString::number(dx)));
        // Lines run one pixel past the area, and no further.
        QCOMPARE(image.pixel(left, bottom + 1), red);
        QCOMPARE(image.pixel(left, bottom + 3), white);
        QCOMPARE(image.pixel(right + 1, top), red);
        QCOMPARE(image.pixel(right + 3, top), white);
    }

    void optionBarKeepsTheSizeInRange()
    {
        QMainWindow window;
        auto *bar = new QToolBar(&window);
        bar->setObjectName(QStringLiteral("gridToolBar"));
        auto *action = new QAction(&window);
        action->setObjectName(QStringLiteral("actionGridTool"));
        action->setCheckable(true);
        window.addAction(action);
        MTools *tools = MTools::instance();
        tools->init(&window);
        auto *grid = tools->tool<MGridTool>(MTool::GridTool);
        QVERIFY(grid);
        QVERIFY(bar->isHidden());
        action->trigger();
        QVERIFY(grid->visible());
        QVERIFY(!bar->isHidden());
        auto *box = bar->findChild<QSpinBox *>();
        QVERIFY(box);
        QCOMPARE(box->value(), 30);
        for (const auto &[typed, kept] : {std::pair<int, int>{1, 2}, {600, 500}, {77, 77}}) {
            box->setValue(typed);
            QCOMPARE(box->value(), kept);
            QCOMPARE(grid->gridSize(), kept);
        }
        QAction *colour = nullptr;
        for (QAction *a : bar->actions()) {
            if (a->toolTip() == QStringLiteral("Set grid color"))
                colour = a;
        }
        QVERIFY(colour);
        MTestDialogScript script;
        script.answerColor(QColor(0, 128, 0));
        colour->trigger();
        QCOMPARE(grid->gridColor(), QColor(0, 128, 0));
    }
};

QTEST_MAIN(TestMGridTool)
#include "tst_mgridtool.moc"
