#include "manimframe.h"
#include "mbrushlist.h"
#include "mbrushstyle.h"
#include "mcanvas.h"
#include "mcolorlist.h"
#include "menumedit.h"
#include "mevent.h"
#include "mselectiontool.h"
#include "mstrokestyle.h"
#include "mtestcanvas.h"
#include "mtesttool.h"
#include "mtesttoolrig.h"
#include "mtestview.h"
#include "mtools.h"
#include "mwidget.h"

#include <QAction>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <QPainterPath>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QUndoStack>

#include <cmath>

// The selection tool over a real canvas view that is never shown, so view
// and canvas positions agree; gestures are handed to the tool as the
// registry hands them.
namespace {
using Points = QVector<QPointF>;
using Bools = QVector<bool>;

// Probes of the combination table: in the prior selection only, in both, in
// the new outline only, in neither.
const Points probes{{125, 125}, {190, 190}, {215, 215}, {270, 270}};

QPainterPath rectPath(const QRectF &r)
{
    QPainterPath path;
    path.addRect(r);
    return path;
}
} // namespace

class TestMSelectionTool : public MTestToolRig
{
    Q_OBJECT

public:
    TestMSelectionTool()
        : MTestToolRig(MTool::SelectionTool)
    {
    }

private:
    MSelectionTool *tool() const { return tools()->tool<MSelectionTool>(MTool::SelectionTool); }

    void drag(const Points &path)
    {
        send(MEvent::Press, path.first());
        for (int i = 1; i < path.size(); ++i)
            send(MEvent::Move, path.at(i));
        send(MEvent::Release, path.last());
    }
    void click(const QPointF &p)
    {
        send(MEvent::Press, p);
        send(MEvent::Release, p);
    }

    // The gesture that builds an outline of the shape around the square
    // (140, 140)-(260, 260) and ends it.
    void buildOutline(int shape)
    {
        tool()->setSelectionShape(shape);
        switch (shape) {
        case MSelectionTool::RectangleSelection:
        case MSelectionTool::EllipseSelection:
            drag({{140, 140}, {200, 200}, {260, 260}});
            break;
        case MSelectionTool::PolygonSelection:
        case MSelectionTool::CurveSelection:
            click({140, 140});
            click({260, 140});
            click({260, 260});
            send(MEvent::Hover, {140, 260});
            // A press on the first point closes the outline.
            click({140, 140});
            break;
        case MSelectionTool::StarSelection:
        case MSelectionTool::RoundedStarSelection:
            drag({{200, 200}, {200, 170}, {200, 140}});
            QVERIFY(key(Qt::Key_Return));
            break;
        case MSelectionTool::FreeSelection:
            drag({{140, 140}, {260, 140}, {260, 260}, {140, 260}});
            break;
        }
    }

    bool masked(const QPointF &p) const
    {
        canvas()->makeCurrent();
        return qAlpha(MTestCanvas::pixelAt(canvas()->selectionLayer(), p.toPoint())) > 0;
    }
    bool painted(const QPointF &p) const
    {
        canvas()->makeCurrent();
        return qAlpha(MTestCanvas::pixelAt(canvas()->current(), p.toPoint())) > 0;
    }

    // Pixels of the overlay that are not transparent.
    static int inked(const QImage &image)
    {
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                count += qAlpha(image.pixel(x, y)) > 0;
        return count;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(MTestView::prepare(QSize(800, 600)));
        useTestBrushes();
        MTestTool::initRegistry(&window, QStringLiteral("SelectionTool"));
        QVERIFY(tool());
    }

    void init()
    {
        openView(QSize(700, 500));
        tool()->setSelectionShape(MSelectionTool::RectangleSelection);
        tool()->setSelectionMode(MSelectionTool::ReplaceSelectionMode);
        tool()->setStarCount(6);
        tool()->resetSelection();
        undo()->clear();
    }

    void cleanup() { closeView(); }

    void shapesCombineByMode_data()
    {
        QTest::addColumn<int>("shape");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("prior");
        QTest::addColumn<Bools>("inside");
        const QMetaEnum shapes = QMetaEnum::fromType<MSelectionTool::SelectionShape>();
        const QMetaEnum modes = QMetaEnum::fromType<MSelectionTool::SelectionMode>();
        // The prior selection is the square (100, 100)-(200, 200).
        const QVector<Bools> byMode{{false, true, true, false},
                                    {true, true, true, false},
                                    {true, false, false, false},
                                    {false, true, false, false}};
        for (int s = 0; s < shapes.keyCount(); ++s) {
            for (int m = 0; m < modes.keyCount(); ++m)
                QTest::addRow("%s %s", shapes.key(s), modes.key(m)) << s << m << true << byMode.at(m);
        }
        // Without a selection every mode replaces.
        for (int m = 1; m < modes.keyCount(); ++m)
            QTest::addRow("%s without selection", modes.key(m))
                << int(MSelectionTool::RectangleSelection) << m << false << Bools{false, true, true, false};
    }

    void shapesCombineByMode()
    {
        QFETCH(int, shape);
        QFETCH(int, mode);
        QFETCH(bool, prior);
        QFETCH(Bools, inside);
        if (prior)
            tool()->select(QRectF(100, 100, 100, 100));
        tool()->setSelectionMode(mode);
        buildOutline(shape);
        QCOMPARE(tool()->buildStep(), 0);
        QVERIFY(tool()->buildPath().isEmpty());
        QCOMPARE(tool()->pointCount(), 0);
        const QPainterPath selection = canvas()->selectionPath();
        for (int i = 0; i < probes.size(); ++i) {
            const QString where = MTestTool::text(probes.at(i));
            QVERIFY2(selection.contains(probes.at(i)) == inside.at(i), qPrintable(where));
            QVERIFY2(masked(probes.at(i)) == inside.at(i), qPrintable(where));
        }
        QVERIFY(canvas()->hasSelection());
        QVERIFY(tool()->animFrame()->isStarted());
        QCOMPARE(tool()->selectionHistory().last(), selection);
        QCOMPARE(undo()->count(), 0);
    }

    void aClickWithoutDragChangesNothing_data()
    {
        QTest::addColumn<int>("shape");
        QTest::newRow("rectangle") << int(MSelectionTool::RectangleSelection);
        QTest::newRow("ellipse") << int(MSelectionTool::EllipseSelection);
    }

    void aClickWithoutDragChangesNothing()
    {
        QFETCH(int, shape);
        tool()->select(QRectF(100, 100, 100, 100));
        const QPainterPath before = canvas()->selectionPath();
        const QList<QPainterPath> history = tool()->selectionHistory();
        tool()->setSelectionShape(shape);
        click({300, 250});
        QCOMPARE(canvas()->selectionPath(), before);
        QCOMPARE(tool()->selectionHistory(), history);
        QCOMPARE(tool()->pointCount(), 0);
    }

    // The view's drag samples trail the pointer: the outline ends where the
    // button is released, not at the last sample.
    void theReleaseEndsTheGesture_data()
    {
        QTest::addColumn<int>("shape");
        QTest::newRow("rectangle") << int(MSelectionTool::RectangleSelection);
        QTest::newRow("ellipse") << int(MSelectionTool::EllipseSelection);
        QTest::newRow("star") << int(MSelectionTool::StarSelection);
    }

    void theReleaseEndsTheGesture()
    {
        QFETCH(int, shape);
        tool()->setSelectionShape(shape);
        send(MEvent::Press, {0, 0});
        send(MEvent::Move, {50, 40});
        send(MEvent::Release, {100, 80});
        if (shape != MSelectionTool::StarSelection) {
            QCOMPARE(canvas()->selectionPath().boundingRect(), QRectF(0, 0, 100, 80));
            return;
        }
        QCOMPARE(tool()->point(1), QPointF(100, 80));
        // Dragging a handle ends at the release too; a click on one moves nothing.
        send(MEvent::Press, {100, 80});
        send(MEvent::Move, {120, 80});
        send(MEvent::Release, {150, 80});
        QCOMPARE(tool()->point(1), QPointF(150, 80));
        click({148, 82});
        QCOMPARE(tool()->point(1), QPointF(150, 80));
        QCOMPARE(tool()->point(0), QPointF(0, 0));
    }

    void polygonClosesOnItsFirstPointOnly()
    {
        tool()->setSelectionShape(MSelectionTool::PolygonSelection);
        click({0, 0});
        click({100, 0});
        // Two points: a press on the first does not close.
        click({0, 0});
        QVERIFY(!canvas()->hasSelection());
        QCOMPARE(tool()->pointCount(), 2);
        // Backspace takes the last point back; Delete needs Control.
        QVERIFY(key(Qt::Key_Backspace));
        QCOMPARE(tool()->pointCount(), 1);
        QVERIFY(!key(Qt::Key_Delete));
        QVERIFY(key(Qt::Key_Delete, Qt::ControlModifier));
        QCOMPARE(tool()->pointCount(), 0);
        click({0, 0});
        click({100, 0});
        click({100, 100});
        send(MEvent::Hover, {0, 100});
        QCOMPARE(tool()->cursorPoint(), QPointF(0, 100));
        click({0, 0});
        // The last hover position is a vertex.
        QCOMPARE(canvas()->selectionPath().boundingRect(), QRectF(0, 0, 100, 100));
        QVERIFY(canvas()->selectionPath().contains(QPointF(10, 90)));
    }

    void starIsEditedThroughThreeHandles()
    {
        tool()->setSelectionShape(MSelectionTool::StarSelection);
        drag({{0, 0}, {0, -60}});
        QCOMPARE(tool()->pointCount(), 3);
        QCOMPARE(tool()->points(), tool()->starHandles());
        QVERIFY(!canvas()->hasSelection());
        // The centre carries the whole star.
        const Points before = tool()->points();
        drag({{0, 0}, {50, 20}});
        QCOMPARE(tool()->pointCount(), 3);
        for (int i = 0; i < 3; ++i)
            QVERIFY2(MTestTool::near(tool()->point(i), before.at(i) + QPointF(50, 20)),
                     qPrintable(MTestTool::text(tool()->point(i))));
        // The tip alone moves the tip.
        drag({{50, -40}, {50, -100}});
        QVERIFY(MTestTool::near(tool()->point(1), QPointF(50, -100)));
        QVERIFY(MTestTool::near(tool()->point(0), QPointF(50, 20)));
        QVERIFY(!canvas()->hasSelection());
        // A press on the empty canvas applies the star and starts another.
        send(MEvent::Press, {-300, -200});
        QVERIFY(canvas()->hasSelection());
        QVERIFY(canvas()->selectionPath().contains(QPointF(50, 20)));
        QCOMPARE(canvas()->selectionPath().boundingRect().top(), -100.0);
        QCOMPARE(tool()->pointCount(), 2);
        QCOMPARE(tool()->buildStep(), 1);
    }

    void starCountSetsTheOutline_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("tips");
        QTest::newRow("three") << 3 << 3;
        QTest::newRow("default") << 6 << 6;
        // No tips would divide the turn by zero; the bar's range holds.
        QTest::newRow("zero") << 0 << 1;
        QTest::newRow("negative") << -4 << 1;
        QTest::newRow("above the bar") << 100 << 64;
    }

    void starCountSetsTheOutline()
    {
        QFETCH(int, count);
        QFETCH(int, tips);
        tool()->setSelectionShape(MSelectionTool::StarSelection);
        tool()->setStarCount(count);
        QCOMPARE(tool()->starCount(), tips);
        drag({{0, 0}, {0, -80}});
        const QPolygonF star = tool()->starPolygon();
        QCOMPARE(star.size(), 2 * tips);
        for (int i = 0; i < star.size(); ++i) {
            const double r = std::hypot(star.at(i).x(), star.at(i).y());
            QVERIFY2(std::abs(r - (i % 2 == 0 ? 80.0 : 40.0)) < 1e-6, qPrintable(MTestTool::text(star.at(i))));
        }
        // The first inner corner lies half a step clockwise of the tip.
        const QPointF inner = star.at(1);
        QVERIFY2(MTestTool::near(inner, QPointF(40 * std::sin(M_PI / tips), -40 * std::cos(M_PI / tips))),
                 qPrintable(MTestTool::text(inner)));
        QVERIFY(!tool()->buildPath().isEmpty());
    }

    void roundedStarCutsItsTips()
    {
        tool()->setSelectionShape(MSelectionTool::RoundedStarSelection);
        drag({{0, 0}, {0, -80}});
        const QPainterPath rounded = tool()->buildPath();
        // Curves, not a polygon: the tips are cut round.
        QVERIFY(rounded.elementCount() > 12);
        QVERIFY(!rounded.contains(QPointF(0, -79)));
        QVERIFY(rounded.contains(QPointF(0, -50)));
    }

    void historyKeepsTheLastTenAndWraps()
    {
        for (int i = 0; i < 11; ++i)
            tool()->select(QRectF(i * 10, 0, 5, 5));
        const QList<QPainterPath> history = tool()->selectionHistory();
        QCOMPARE(history.size(), 10);
        QCOMPARE(history.first().boundingRect(), QRectF(10, 0, 5, 5));
        QCOMPARE(tool()->historyIndex(), 9);
        tool()->previousSelection();
        QCOMPARE(canvas()->selectionPath().boundingRect(), QRectF(90, 0, 5, 5));
        QCOMPARE(tool()->historyIndex(), 8);
        tool()->nextSelection();
        tool()->nextSelection();
        // Past the newest comes the oldest; stepping adds nothing.
        QCOMPARE(canvas()->selectionPath().boundingRect(), QRectF(10, 0, 5, 5));
        QCOMPARE(tool()->historyIndex(), 0);
        tool()->previousSelection();
        QCOMPARE(tool()->historyIndex(), 9);
        QCOMPARE(canvas()->selectionPath().boundingRect(), QRectF(100, 0, 5, 5));
        QCOMPARE(tool()->selectionHistory().size(), 10);
        // Items set their selection themselves and only store it here.
        tool()->storeClip(rectPath(QRectF(1, 1, 2, 2)));
        tool()->storeClip(QPainterPath());
        QCOMPARE(tool()->selectionHistory().last().boundingRect(), QRectF(1, 1, 2, 2));
        QCOMPARE(canvas()->selectionPath().boundingRect(), QRectF(100, 0, 5, 5));
    }

    void wholeSelectionCommands()
    {
        const QRectF painted = canvas()->paintedRect();
        tool()->invertSelection();
        QCOMPARE(canvas()->selectionPath().boundingRect(), painted);
        tool()->select(QRectF(0, 0, 100, 100));
        tool()->invertSelection();
        QVERIFY(!canvas()->selectionPath().contains(QPointF(50, 50)));
        QVERIFY(canvas()->selectionPath().contains(QPointF(-50, -50)));
        QVERIFY(masked(QPointF(-50, -50)));
        QVERIFY(!masked(QPointF(50, 50)));
        tool()->resetSelection();
        QVERIFY(!canvas()->hasSelection());
        QVERIFY(!masked(QPointF(-50, -50)));
        tool()->selectAll();
        QCOMPARE(canvas()->selectionPath().boundingRect(), painted);
        // A finished outline may come from elsewhere and combine by the mode.
        tool()->setSelectionMode(MSelectionTool::SubtractSelectionMode);
        tool()->setSelectionPath(rectPath(canvas()->paintedRect().adjusted(0, 0, -100, 0)));
        QVERIFY(canvas()->selectionPath().contains(QPointF(painted.right() - 50, 0)));
        QVERIFY(!canvas()->selectionPath().contains(QPointF(painted.right() - 150, 0)));
        // An outline being built is abandoned by a plain set.
        tool()->setSelectionShape(MSelectionTool::PolygonSelection);
        click({0, 0});
        tool()->setSelection(rectPath(QRectF(5, 5, 5, 5)));
        QCOMPARE(tool()->pointCount(), 0);
        QCOMPARE(canvas()->selectionPath().boundingRect(), QRectF(5, 5, 5, 5));
        QCOMPARE(undo()->count(), 0);
    }

    void marchingAntsRunWhileThereIsAnOutline()
    {
        const QSize size = view()->size();
        MAnimFrame *ants = tool()->animFrame();
        tool()->select(QRectF(100, 100, 300, 200));
        QVERIFY(ants->isStarted());
        QCOMPARE(ants->timer()->interval(), 100);
        const QImage first = MTestTool::overlay(tool(), size);
        QVERIFY(inked(first) > 300);
        const int offset = ants->dashOffset;
        QTRY_VERIFY(ants->dashOffset != offset);
        // The dashes move along the outline.
        QVERIFY(MTestTool::overlay(tool(), size) != first);
        // Other tools keep the outline on screen.
        tools()->activate(MTool::BrushTool, true);
        QVERIFY(!ants->isStarted());
        QVERIFY(inked(MTestTool::overlay(tool(), size)) > 300);
        tools()->activate(MTool::SelectionTool, true);
        QVERIFY(ants->isStarted());
        // An outline around the whole view has no edge to show.
        tool()->select(canvas()->paintedRect().adjusted(-2000, -2000, 2000, 2000));
        QCOMPARE(inked(MTestTool::overlay(tool(), size)), 0);
        tool()->resetSelection();
        QVERIFY(!ants->isStarted());
        QCOMPARE(inked(MTestTool::overlay(tool(), size)), 0);
    }

    void outlineUnderConstructionIsDrawn()
    {
        const QSize size = view()->size();
        tool()->setSelectionShape(MSelectionTool::PolygonSelection);
        click({0, 0});
        click({100, 0});
        send(MEvent::Hover, {100, 100});
        QVERIFY(inked(MTestTool::overlay(tool(), size)) > 100);
        QVERIFY(key(Qt::Key_Escape));
        QCOMPARE(tool()->pointCount(), 0);
        QCOMPARE(inked(MTestTool::overlay(tool(), size)), 0);
    }

    void returnAndEnterApply_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("return") << int(Qt::Key_Return);
        QTest::newRow("keypad enter") << int(Qt::Key_Enter);
        QTest::newRow("space") << int(Qt::Key_Space);
    }

    void returnAndEnterApply()
    {
        QFETCH(int, key);
        tool()->setSelectionShape(MSelectionTool::PolygonSelection);
        click({0, 0});
        click({100, 0});
        send(MEvent::Hover, {100, 100});
        QVERIFY(this->key(key));
        QCOMPARE(canvas()->selectionPath().boundingRect(), QRectF(0, 0, 100, 100));
        QVERIFY(!this->key(Qt::Key_A));
    }

    void otherButtonsAreNotTaken()
    {
        MEvent e = MTestTool::leftSample(MEvent::Press, {0, 0});
        e.button = Qt::RightButton;
        QVERIFY(!tool()->mousePressEvent(&e));
        QCOMPARE(tool()->pointCount(), 0);
    }

    void withoutAViewNothingHappens()
    {
        tools()->set_widget(nullptr);
        tool()->selectAll();
        tool()->invertSelection();
        tool()->fillSelection();
        tool()->resetSelection();
        tool()->previousSelection();
        QVERIFY(!MTestTool::overlay(tool(), QSize(10, 10)).isNull());
        tools()->set_widget(view());
        QVERIFY(!canvas()->hasSelection());
    }

    void fillSelectionClosesTheOutlineFirst()
    {
        MColorList::instance()->setColor(QColor(200, 0, 0));
        tool()->setSelectionShape(MSelectionTool::PolygonSelection);
        click({0, 0});
        click({100, 0});
        send(MEvent::Hover, {100, 100});
        tool()->fillSelection();
        QCOMPARE(undo()->count(), 1);
        QCOMPARE(undo()->text(0), QStringLiteral("Fill path"));
        QVERIFY(painted({60, 30}));
        QVERIFY(!painted({30, 60}));
        QVERIFY(!painted({150, 30}));
        canvas()->undo();
        QVERIFY(!painted({60, 30}));
        // With no selection the whole document is filled.
        tool()->resetSelection();
        tool()->fillSelection();
        QVERIFY(painted({-390, 290}));
    }

    void strokeSelectionPaintsTheOutlineUnclipped()
    {
        tool()->select(QRectF(-100, -100, 200, 200));
        tool()->strokeSelection();
        QCOMPARE(undo()->count(), 1);
        QCOMPARE(undo()->text(0), QStringLiteral("Brush stroke"));
        // Paint on both sides of the edge, none in the middle.
        QVERIFY(painted({-100, 0}));
        QVERIFY(painted({-101, 0}));
        QVERIFY(!painted({0, 0}));
        QVERIFY(canvas()->clipStroke());
        // Nothing to stroke, nothing recorded.
        tool()->resetSelection();
        tool()->strokeSelection();
        QCOMPARE(undo()->count(), 1);
    }

    void pickedColoursGoByModifier_data()
    {
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QColor>("picked");
        QTest::newRow("none") << int(Qt::NoModifier) << "brush" << QColor(1, 2, 3);
        QTest::newRow("shift") << int(Qt::ShiftModifier) << "gradient" << QColor(4, 5, 6);
        QTest::newRow("control") << int(Qt::ControlModifier) << "stroke" << QColor(7, 8, 9);
        QTest::newRow("control and shift") << int(Qt::ControlModifier | Qt::ShiftModifier) << "stroke"
                                           << QColor(10, 11, 12);
    }

    void pickedColoursGoByModifier()
    {
        QFETCH(int, modifiers);
        QFETCH(QString, target);
        QFETCH(QColor, picked);
        const QColor brush = tool()->brushStyle()->brushColor();
        const QColor gradient = tool()->brushStyle()->gradientColor();
        const QColor stroke = tool()->strokeStyle()->strokeColor();
        MColorList::instance()->setColor(picked, Qt::KeyboardModifiers(modifiers));
        QCOMPARE(tool()->brushStyle()->brushColor(), target == "brush" ? picked : brush);
        QCOMPARE(tool()->brushStyle()->gradientColor(), target == "gradient" ? picked : gradient);
        QCOMPARE(tool()->strokeStyle()->strokeColor(), target == "stroke" ? picked : stroke);
        tool()->brushStyle()->set_brushColor(brush);
        tool()->brushStyle()->set_gradientColor(gradient);
        tool()->strokeStyle()->set_strokeColor(stroke);
    }

    void optionBarDrivesTheTool()
    {
        QToolBar *bar = tools()->toolBar(MTool::SelectionTool);
        QVERIFY(bar);
        auto *shape = window.findChild<MEnumEdit *>(QStringLiteral("selectionShapeEdit"));
        auto *mode = window.findChild<MEnumEdit *>(QStringLiteral("selectionModeEdit"));
        auto *corners = window.findChild<QSpinBox *>(QStringLiteral("starCornersBox"));
        QVERIFY(shape && mode && corners);
        QCOMPARE(shape->maximumWidth(), 150);
        QCOMPARE(mode->maximumWidth(), 150);
        auto *shapeCombo = shape->findChild<QComboBox *>();
        QCOMPARE(shapeCombo->count(), 7);
        QCOMPARE(mode->findChild<QComboBox *>()->count(), 4);
        for (int i = 0; i < shapeCombo->count(); ++i)
            QVERIFY2(!shapeCombo->itemIcon(i).isNull(), qPrintable(shapeCombo->itemText(i)));
        QCOMPARE(corners->minimum(), 1);
        QCOMPARE(corners->maximum(), 64);
        QCOMPARE(corners->value(), 6);
        QStringList labels;
        for (QLabel *label : window.findChildren<QLabel *>())
            labels << label->text();
        QVERIFY(labels.contains(QStringLiteral("Star corners")));

        shapeCombo->setCurrentIndex(MSelectionTool::EllipseSelection);
        QCOMPARE(tool()->selectionShape(), int(MSelectionTool::EllipseSelection));
        mode->setValue(MSelectionTool::IntersectionSelectionMode);
        QCOMPARE(tool()->selectionMode(), int(MSelectionTool::IntersectionSelectionMode));
        corners->setValue(9);
        QCOMPARE(tool()->starCount(), 9);
        // Shown only while the tool is current.
        QVERIFY(!bar->isHidden());
        tools()->activate(MTool::BrushTool, true);
        QVERIFY(bar->isHidden());
        tools()->activate(MTool::SelectionTool, true);
        QVERIFY(!bar->isHidden());
    }
};

QTEST_MAIN(TestMSelectionTool)
#include "tst_mselectiontool.moc"
