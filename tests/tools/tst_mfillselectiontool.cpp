#include "manimframe.h"
#include "mbrushlist.h"
#include "mbrushtool.h"
#include "mcanvas.h"
#include "mcolorlist.h"
#include "menumedit.h"
#include "mevent.h"
#include "mfillselectiontool.h"
#include "msettings.h"
#include "msliderspinbox.h"
#include "mtestcanvas.h"
#include "mtesttool.h"
#include "mtesttoolrig.h"
#include "mtestview.h"
#include "mtexturelayer.h"
#include "mtools.h"
#include "mwidget.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QMainWindow>
#include <QPainterPath>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QUndoStack>

using namespace MTestCanvas;

// The magic wand in a real canvas view (never shown, so view and canvas
// positions agree). Three layers, each with a square of its own at a place
// of its own; the middle one is current.
namespace {
const QRect below(-150, -100, 40, 40);
const QRect middle(-50, -100, 40, 40);
const QRect above(50, -100, 40, 40);
// A second square in the middle layer, apart from the first.
const QRect second(-50, 20, 40, 40);
const QVector<QRect> squares{below, middle, above};
const QRgb ink = qRgba(30, 30, 120, 255);
} // namespace

class TestMFillSelectionTool : public MTestToolRig
{
    Q_OBJECT

public:
    TestMFillSelectionTool()
        : MTestToolRig(MTool::FillSelectionTool)
    {
    }

private:
    MFillSelectionTool *tool() const { return tools()->tool<MFillSelectionTool>(MTool::FillSelectionTool); }

    bool masked(const QPoint &p) const
    {
        canvas()->makeCurrent();
        return qAlpha(pixelAt(canvas()->selectionLayer(), p)) > 0;
    }
    QRgb at(int row, const QPoint &p) const
    {
        canvas()->makeCurrent();
        return pixelAt(canvas()->at(row), p);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(MTestView::prepare(QSize(400, 300)));
        MSettings::instance()->remove(QStringLiteral("FillSelectionTool"));
        useTestBrushes();
        MTestTool::initRegistry(&window, QStringLiteral("FillSelectionTool"));
        QVERIFY(tool());
    }

    void init()
    {
        openView(QSize(700, 500));
        tool()->set_threshold(10);
        tool()->set_selectionLayer(MFillSelectionTool::CurrentLayer);
        canvas()->appendLayer();
        canvas()->appendLayer();
        QCOMPARE(canvas()->count(), 3);
        canvas()->makeCurrent();
        for (int row = 0; row < 3; ++row)
            paintRect(canvas()->at(row), squares.at(row), ink);
        paintRect(canvas()->at(1), second, ink);
        canvas()->setCurrentRow(1);
        undo()->clear();
    }

    void cleanup() { closeView(); }

    void sampledRows_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("row");
        QTest::newRow("current") << 3 << 1 << int(MFillSelectionTool::CurrentLayer) << 1;
        QTest::newRow("over") << 3 << 1 << int(MFillSelectionTool::OverLayer) << 2;
        QTest::newRow("under") << 3 << 1 << int(MFillSelectionTool::UnderLayer) << 0;
        QTest::newRow("top-most") << 3 << 0 << int(MFillSelectionTool::TopMostLayer) << 2;
        QTest::newRow("over the top-most") << 3 << 2 << int(MFillSelectionTool::OverLayer) << 2;
        QTest::newRow("under the lowest") << 3 << 0 << int(MFillSelectionTool::UnderLayer) << 0;
        QTest::newRow("unknown mode") << 3 << 1 << 7 << 1;
        QTest::newRow("no layers") << 0 << -1 << int(MFillSelectionTool::TopMostLayer) << -1;
    }

    void sampledRows()
    {
        QFETCH(int, count);
        QFETCH(int, current);
        QFETCH(int, mode);
        QFETCH(int, row);
        while (canvas()->count() > count)
            canvas()->removeLayer(canvas()->count() - 1);
        if (current >= 0)
            canvas()->setCurrentRow(current);
        QCOMPARE(MFillSelectionTool::sampledRow(canvas(), mode), row);
    }

    // The click lands in each layer's square in turn: only the sampled
    // layer's square is one region of the same colour.
    void theLayerChoiceSetsTheSampledLayer_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("sampled");
        QTest::newRow("current") << int(MFillSelectionTool::CurrentLayer) << 1 << 1;
        QTest::newRow("below") << int(MFillSelectionTool::UnderLayer) << 1 << 0;
        QTest::newRow("above") << int(MFillSelectionTool::OverLayer) << 1 << 2;
        QTest::newRow("top-most") << int(MFillSelectionTool::TopMostLayer) << 0 << 2;
    }

    void theLayerChoiceSetsTheSampledLayer()
    {
        QFETCH(int, mode);
        QFETCH(int, current);
        QFETCH(int, sampled);
        canvas()->setCurrentRow(current);
        tool()->set_selectionLayer(mode);
        const QRect square = squares.at(sampled);
        QVERIFY(press(square.center()));
        QVERIFY(canvas()->hasSelection());
        QVERIFY(masked(square.center()));
        QVERIFY(masked(square.topLeft()));
        QVERIFY(masked(square.bottomRight()));
        QVERIFY(!masked(square.topLeft() - QPoint(1, 1)));
        QVERIFY(!masked(QPoint(0, 120)));
        // A selection is no undo step.
        QCOMPARE(undo()->count(), 0);
        QVERIFY(!QApplication::overrideCursor());
    }

    void plainClickReplacesControlClickAdds()
    {
        // An outline made before is dropped by a replacing click, so that
        // the pixel selection shows and is what gets filled.
        QPainterPath outline;
        outline.addRect(QRectF(100, 50, 50, 50));
        canvas()->setClipPath(outline);
        QVERIFY(press(middle.center()));
        QVERIFY(canvas()->selectionPath().isEmpty());
        QVERIFY(masked(middle.center()));
        QVERIFY(!masked(QPoint(120, 70)));
        QVERIFY(press(second.center()));
        QVERIFY(masked(second.center()));
        QVERIFY(!masked(middle.center()));
        QVERIFY(press(middle.center(), Qt::ControlModifier));
        QVERIFY(masked(second.center()));
        QVERIFY(masked(middle.center()));
        QVERIFY(!masked(QPoint(0, 0)));
    }

    void fillingTheSelection_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("return") << "return";
        QTest::newRow("keypad enter") << "enter";
        QTest::newRow("shift right click") << "shift right";
    }

    void fillingTheSelection()
    {
        QFETCH(QString, how);
        const QColor colour(250, 200, 0);
        MColorList::instance()->setColor(colour);
        QVERIFY(press(middle.center()));
        if (how == "return")
            QVERIFY(key(Qt::Key_Return));
        else if (how == "enter")
            QVERIFY(key(Qt::Key_Enter));
        else
            QVERIFY(press(QPoint(300, 300), Qt::ShiftModifier, Qt::RightButton));
        QCOMPARE(undo()->count(), 1);
        QCOMPARE(undo()->text(0), QStringLiteral("Clear"));
        QCOMPARE(at(1, middle.center()), premultiplied(colour));
        QCOMPARE(at(1, second.center()), ink);
        canvas()->undo();
        QCOMPARE(at(1, middle.center()), ink);
    }

    void otherInputIsNotTaken()
    {
        QVERIFY(!press(middle.center(), Qt::NoModifier, Qt::RightButton));
        QVERIFY(!press(middle.center(), Qt::NoModifier, Qt::MiddleButton));
        QVERIFY(!key(Qt::Key_Space));
        QVERIFY(!canvas()->hasSelection());
        QCOMPARE(undo()->count(), 0);
    }

    void withoutLayersAClickDoesNothing()
    {
        while (canvas()->count() > 0)
            canvas()->removeLayer(0);
        QVERIFY(press(QPoint(0, 0)));
        QVERIFY(!canvas()->hasSelection());
        QVERIFY(!QApplication::overrideCursor());
        MEvent e = MTestTool::leftSample(MEvent::Press, QPointF(0, 0));
        QCOMPARE(tool()->selectAt(&e), -1);
    }

    void theBrushToolsShiftClickSelects()
    {
        tools()->activate(MTool::BrushTool, true);
        auto *brush = tools()->tool<MBrushTool>(MTool::BrushTool);
        MEvent e = MTestTool::leftSample(MEvent::Press, middle.center());
        e.modifiers = Qt::ShiftModifier;
        QVERIFY(brush->mousePressEvent(&e));
        e.type = MEvent::Release;
        brush->mouseReleaseEvent(&e);
        QVERIFY(masked(middle.center()));
        QVERIFY(!masked(second.center()));
        QCOMPARE(undo()->count(), 0);
        QCOMPARE(at(1, middle.topLeft() - QPoint(2, 2)), QRgb(0));
    }

    void outlineAnimatesWhileActive()
    {
        QVERIFY(tool()->animFrame()->isStarted());
        QCOMPARE(tool()->animFrame()->timer()->interval(), 100);
        QVERIFY(tool()->visible());
        tools()->activate(MTool::BrushTool, true);
        QVERIFY(!tool()->animFrame()->isStarted());
        QVERIFY(!tool()->visible());
    }

    void optionBarDrivesTheTool()
    {
        QToolBar *bar = tools()->toolBar(MTool::FillSelectionTool);
        QVERIFY(bar);
        auto *threshold = window.findChild<MSliderSpinbox *>(QStringLiteral("wandThresholdEdit"));
        auto *layer = window.findChild<MEnumEdit *>(QStringLiteral("wandLayerEdit"));
        QVERIFY(threshold && layer);
        QCOMPARE(threshold->minimum(), 1.0);
        QCOMPARE(threshold->maximum(), 255.0);
        QCOMPARE(layer->maximumWidth(), 150);
        auto *combo = layer->findChild<QComboBox *>();
        QCOMPARE(combo->count(), 4);
        QVERIFY(combo->itemIcon(0).isNull());
        threshold->set_value(90);
        QCOMPARE(tool()->threshold(), 90);
        combo->setCurrentIndex(MFillSelectionTool::TopMostLayer);
        QCOMPARE(tool()->selectionLayer(), int(MFillSelectionTool::TopMostLayer));
        QVERIFY(!bar->isHidden());
        tools()->activate(MTool::BrushTool, true);
        QVERIFY(bar->isHidden());
    }

    void settingsAreReadBack()
    {
        {
            MFillSelectionTool first(MTool::FillSelectionTool);
            first.set_threshold(300);
            QCOMPARE(first.threshold(), 255);
            first.set_threshold(42);
            first.set_selectionLayer(MFillSelectionTool::UnderLayer);
        }
        MFillSelectionTool again(MTool::FillSelectionTool);
        QCOMPARE(again.threshold(), 42);
        QCOMPARE(again.selectionLayer(), int(MFillSelectionTool::UnderLayer));
    }
};

QTEST_MAIN(TestMFillSelectionTool)
#include "tst_mfillselectiontool.moc"
