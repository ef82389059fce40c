#include "mbrushstyle.h"
#include "mbrushstyleaction.h"
#include "mbrushstylewidget.h"
#include "mcanvas.h"
#include "menumedit.h"
#include "mfield.h"
#include "mproxymodel.h"
#include "mmainwindow.h"
#include "mselectiontool.h"
#include "msettings.h"
#include "mshape.h"
#include "mshapelist.h"
#include "mshapetool.h"
#include "mshapewidget.h"
#include "mstrokestyle.h"
#include "mstrokestyleaction.h"
#include "mstrokestylewidget.h"
#include "mtestglcontext.h"
#include "mtestmainwindow.h"
#include "mtestscreenshot.h"
#include "mtools.h"
#include "mtransform.h"
#include "mwidget.h"

#include <QAction>
#include <QLineF>

#include <cmath>

#include <QApplication>
#include <QComboBox>
#include <QTimer>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QMenu>
#include <QTableView>
#include <QScreen>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QUndoStack>

#include <memory>

// The shape tool in the real window, used with the mouse and the keyboard.
namespace {
constexpr int W = 600;
constexpr int H = 400;

using MTestMainWindow::paintedPixels;
} // namespace

class TestShapeTool : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MMainWindow> window;

    MWidget *view() const { return window->view(); }
    MCanvas *canvas() const { return view()->canvas(); }
    MShapeTool *tool() const { return MTools::instance()->tool<MShapeTool>(MTool::ShapeTool); }
    void key(Qt::Key code, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QVERIFY(MTestMainWindow::focusView(view()));
        QTest::keyClick(view(), code, modifiers);
    }

    QImage layer() const { return MTestMainWindow::layerPixels(canvas()); }
    // The layer pixel at a canvas point.
    QRgb pixel(const QImage &image, const QPointF &canvasPoint) const
    {
        return image.pixel((canvasPoint - canvas()->paintedRect().topLeft()).toPoint());
    }

    void drag(const QPointF &from, const QPointF &to, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QVERIFY(MTestMainWindow::dragAndHold(view(), from, to, modifiers));
    }

    void gesture(const QPointF &from, const QPointF &to, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QVERIFY(MTestMainWindow::toolGesture(tool(), from, to, modifiers));
    }

    void chooseShape(const QString &description)
    {
        QCOMPARE(MTestMainWindow::chooseShape(window.get(), description), description);
    }

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase()
    {
        QVERIFY(MTestMainWindow::prepare(QSize(W, H)));
        MSettings::instance()->beginGroup(QStringLiteral("ShapeTool"));
        MSettings::instance()->setValue(QStringLiteral("strokeSize"), 2.0);
        MSettings::instance()->setValue(QStringLiteral("brushColor"), QColor(200, 30, 30));
        MSettings::instance()->endGroup();
        window.reset(new MMainWindow());
        QVERIFY(MTestMainWindow::show(window.get(), QSize(1600, 1000)));
        auto *action = window->findChild<QAction *>(QStringLiteral("actionShapeTool"));
        QVERIFY(action && action->isEnabled());
        QWidget *button = window->findChild<QToolBar *>(QStringLiteral("toolsToolBar"))->widgetForAction(action);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(MTools::instance()->currentToolId(), int(MTool::ShapeTool));
    }

    void cleanupTestCase() { window.reset(); }

    // The "ShapeTool" settings come back into the tool's styles.
    void settings()
    {
        QCOMPARE(tool()->strokeStyle()->strokeSize(), 2.0);
        QCOMPARE(tool()->brushStyle()->brushColor(), QColor(200, 30, 30));
        QCOMPARE(tool()->strokeStyle()->strokeColor(), QColor(Qt::darkGray));
    }

    // The painter's road: a shape chosen in the bar's panel, dragged onto
    // the canvas, Return, and the layer holds it as one undo step.
    void chooseDragAndApply()
    {
        chooseShape(QStringLiteral("ellipse"));
        MShape *ellipse = MShapeList::instance()->currentShape();
        QCOMPARE(tool()->width(), ellipse->width());
        MSettings::instance()->set_alignToGrid(true);
        MSettings::instance()->set_alignToGridSize(10);
        // Created at the snapped press point; the same gesture moves it, by
        // snapped steps (how far depends on the view's smoothing of the drag).
        drag(QPointF(-103, -47), QPointF(-3, 3));
        MSettings::instance()->set_alignToGrid(false);
        QVERIFY(tool()->hasItem());
        const QPointF placed = tool()->position();
        QCOMPARE(std::fmod(placed.x(), 10.0), 0.0);
        QCOMPARE(std::fmod(placed.y(), 10.0), 0.0);
        QVERIFY2(QLineF(placed, QPointF(0, 0)).length() <= 20, qPrintable(QString::number(placed.x())));
        tool()->setPoint(QPointF(0, 0));
        QCOMPARE(canvas()->undoStack()->count(), 0);
        // A picture of the item being placed, frame and handles included.
        view()->update();
        QTest::qWait(300);
        MTestScreenshot::keep(window->screen()->grabWindow(window->winId()), QStringLiteral("shape-placing.png"));

        key(Qt::Key_Return);
        QVERIFY(!tool()->hasItem());
        QCOMPARE(canvas()->undoStack()->count(), 1);
        QCOMPARE(canvas()->undoStack()->text(0), QStringLiteral("Add a shape"));
        const QImage pixels = layer();
        QCOMPARE(pixel(pixels, QPointF(0, 0)), qRgb(200, 30, 30));
        // An ellipse: its bounding box's corner stays empty.
        QCOMPARE(qAlpha(pixel(pixels, QPointF(-ellipse->width() / 2 + 3, -ellipse->height() / 2 + 3))), 0);
        QVERIFY(qAlpha(pixel(pixels, QPointF(-ellipse->width() / 2 + 2, 0))) > 0);
        QCOMPARE(qAlpha(pixel(pixels, QPointF(200, 150))), 0);
        canvas()->undoStack()->undo();
        QCOMPARE(paintedPixels(layer()), 0);
    }

    void handles_data()
    {
        QTest::addColumn<int>("handle");
        QTest::addColumn<QPointF>("delta");
        QTest::addColumn<bool>("control");
        QTest::addColumn<QSizeF>("size");
        QTest::newRow("right edge") << int(MShapeTool::RightGrab) << QPointF(40, 25) << false << QSizeF(140, 60);
        QTest::newRow("bottom edge") << int(MShapeTool::BottomGrab) << QPointF(30, 20) << false << QSizeF(100, 80);
        QTest::newRow("corner") << int(MShapeTool::BottomRightGrab) << QPointF(50, 10) << false << QSizeF(150, 70);
        QTest::newRow("corner keeps the ratio") << int(MShapeTool::BottomRightGrab) << QPointF(50, 10) << true
                                                << QSizeF();
    }

    void handles()
    {
        QFETCH(int, handle);
        QFETCH(QPointF, delta);
        QFETCH(bool, control);
        QFETCH(QSizeF, size);
        tool()->setWidth(100);
        tool()->setHeight(60);
        tool()->setAngle(0);
        drag(QPointF(0, 0), QPointF(0, 0));
        QVERIFY(tool()->hasItem());
        const QRectF frame(-50, -30, 100, 60);
        const QPointF points[] = {QPointF(), QPointF(), QPointF(0, -30), QPointF(0, 30), QPointF(-50, 0),
                                  QPointF(50, 0), frame.topLeft(), frame.topRight(), frame.bottomLeft(), frame.bottomRight()};
        // The frame is grown by half the stroke: aim at the handle the view shows.
        const QPointF grown = points[handle] + QPointF(points[handle].x() > 0 ? 1 : points[handle].x() < 0 ? -1 : 0,
                                                       points[handle].y() > 0 ? 1 : points[handle].y() < 0 ? -1 : 0);
        QCOMPARE(tool()->hitTest(grown), handle);
        gesture(grown, grown + delta, control ? Qt::ControlModifier : Qt::NoModifier);
        if (control) {
            QVERIFY(qAbs(tool()->width() / tool()->height() - 100.0 / 60.0) < 1e-9);
            QVERIFY(tool()->width() > 100);
        } else {
            QCOMPARE(QSizeF(tool()->width(), tool()->height()), size);
        }
        key(Qt::Key_Escape);
        QVERIFY(!tool()->hasItem());
    }

    // Corner zones turn the item by 5 degrees, by 1 with Alt.
    void rotate()
    {
        tool()->setWidth(100);
        tool()->setHeight(100);
        tool()->setAngle(0);
        gesture(QPointF(0, 0), QPointF(0, 0));
        const double scale = view()->transform()->scale();
        const QPointF zone = QPointF(51, 51) + QPointF(10, 10) / scale;
        QCOMPARE(tool()->hitTest(zone), int(MShapeTool::RotateGrab));
        const QLineF arm(QPointF(0, 0), zone);
        QLineF turned = arm;
        turned.setAngle(arm.angle() - 33);
        gesture(zone, turned.p2());
        QCOMPARE(tool()->angle(), 30.0);
        auto *box = window->findChild<QDoubleSpinBox *>(QStringLiteral("shapeAngleBox"));
        QVERIFY(box);
        QCOMPARE(box->value(), 30.0);
        tool()->setAngle(0);
        gesture(zone, turned.p2(), Qt::AltModifier);
        QCOMPARE(tool()->angle(), 33.0);
        tool()->setAngle(0);
        turned.setAngle(arm.angle() + 12);
        gesture(zone, turned.p2());
        QCOMPARE(tool()->angle(), 345.0);
        key(Qt::Key_Escape);
    }

    // Control+Return pastes and keeps the item, moved by (10, 10); the
    // keypad's Enter pastes like Return.
    void keepShifted()
    {
        tool()->setAngle(0);
        tool()->setWidth(40);
        tool()->setHeight(40);
        const int before = canvas()->undoStack()->index();
        gesture(QPointF(-100, -100), QPointF(-100, -100));
        key(Qt::Key_Return, Qt::ControlModifier);
        QVERIFY(tool()->hasItem());
        QCOMPARE(tool()->position(), QPointF(-90, -90));
        key(Qt::Key_Enter, Qt::KeypadModifier);
        QVERIFY(!tool()->hasItem());
        QCOMPARE(canvas()->undoStack()->index(), before + 2);
        QCOMPARE(canvas()->undoStack()->text(before + 1), QStringLiteral("Add a shape"));
        const QImage pixels = layer();
        QVERIFY(qAlpha(pixel(pixels, QPointF(-112, -100))) > 0); // only the first copy reaches here
        QVERIFY(qAlpha(pixel(pixels, QPointF(-78, -90))) > 0);   // only the second
    }

    // The bar in the order the painter reads it; its editors work on the
    // tool's own styles and show them when their menu opens.
    void optionBar()
    {
        QToolBar *bar = MTools::instance()->toolBar(MTool::ShapeTool);
        QCOMPARE(MTestMainWindow::barContents(bar),
                 QStringList({"label SHAPE:", "|", "action Rasterize", "action Select", "|",
                              "MEnumEdit shapeSelectionModeEdit", "|", "label Angle", "|", "QDoubleSpinBox shapeAngleBox",
                              "|", "button Stroke style", "button Brush style", "button Shape"}));
        MTestScreenshot::keep(bar->grab(), QStringLiteral("shape-bar.png"));
        auto *select = window->findChild<QAction *>(QStringLiteral("shapeSelectAction"));
        QCOMPARE(select->toolTip(), QStringLiteral("Transform as selection"));
        QVERIFY(!select->icon().isNull());
        auto *mode = window->findChild<MEnumEdit *>(QStringLiteral("shapeSelectionModeEdit"));
        QCOMPARE(mode->maximumWidth(), 150);
        QCOMPARE(mode->value(), 0);
        auto *modes = mode->findChild<QComboBox *>();
        QCOMPARE(modes->count(), 4);
        for (int i = 0; i < modes->count(); ++i)
            QVERIFY2(!modes->itemIcon(i).isNull(), qPrintable(modes->itemText(i)));
        mode->setValue(MSelectionTool::SubtractSelectionMode);
        QCOMPARE(tool()->selectionMode(), int(MSelectionTool::SubtractSelectionMode));
        mode->setValue(MSelectionTool::ReplaceSelectionMode);
        QCOMPARE(tool()->selectionMode(), 0);

        auto *strokeMenu = window->findChild<QToolButton *>(QStringLiteral("shapeStrokeStyleButton"))->menu();
        auto *stroke = qobject_cast<MStrokeStyleAction *>(strokeMenu->actions().value(0));
        QVERIFY(stroke);
        QCOMPARE(stroke->widget()->style(), tool()->strokeStyle());
        const double size = tool()->strokeStyle()->strokeSize();
        tool()->strokeStyle()->set_strokeSize(7);
        emit strokeMenu->aboutToShow();
        QCOMPARE(stroke->widget()->findChild<QDoubleSpinBox *>(QStringLiteral("editStrokeSize"))->value(), 7.0);
        tool()->strokeStyle()->set_strokeSize(size);
        auto *brushMenu = window->findChild<QToolButton *>(QStringLiteral("shapeBrushStyleButton"))->menu();
        auto *brush = qobject_cast<MBrushStyleAction *>(brushMenu->actions().value(0));
        QVERIFY(brush);
        QCOMPARE(brush->widget()->style(), tool()->brushStyle());
    }

    // The item's outline (the ellipse chosen above, 100 x 100 about the
    // origin) combined into a selection over x 0..200 by the tool's mode; the
    // probes sit in the item only, in both, in the selection only.
    void applyAsSelection_data()
    {
        QTest::addColumn<bool>("selected");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QVector<bool>>("inside");
        using M = MSelectionTool;
        QTest::newRow("replace") << true << int(M::ReplaceSelectionMode) << QVector<bool>{true, true, false};
        QTest::newRow("unite") << true << int(M::AddSelectionMode) << QVector<bool>{true, true, true};
        QTest::newRow("subtract") << true << int(M::SubtractSelectionMode) << QVector<bool>{false, false, true};
        QTest::newRow("intersect") << true << int(M::IntersectionSelectionMode) << QVector<bool>{false, true, false};
        QTest::newRow("nothing selected replaces") << false << int(M::SubtractSelectionMode)
                                                   << QVector<bool>{true, true, false};
    }

    void applyAsSelection()
    {
        QFETCH(bool, selected);
        QFETCH(int, mode);
        QFETCH(QVector<bool>, inside);
        MTools *tools = MTools::instance();
        tools->activate(MTool::ShapeTool, true);
        QCOMPARE(MShapeList::instance()->currentShape()->description(), QStringLiteral("ellipse"));
        if (!tool()->hasItem())
            gesture(QPointF(0, 0), QPointF(0, 0));
        tool()->setAngle(0);
        tool()->setWidth(100);
        tool()->setHeight(100);
        tool()->setPoint(QPointF(0, 0));
        QPainterPath before;
        before.addRect(QRectF(0, -100, 200, 200));
        canvas()->setClipPath(selected ? before : QPainterPath());
        tool()->set_selectionMode(mode);
        const int undo = canvas()->undoStack()->count();

        tool()->applyAsSelection();
        const QPainterPath selection = canvas()->selectionPath();
        const QPointF probes[] = {{-25, 0}, {25, 0}, {100, 0}};
        for (int i = 0; i < 3; ++i)
            QVERIFY2(selection.contains(probes[i]) == inside.at(i), qPrintable(QString::number(probes[i].x())));
        QCOMPARE(canvas()->hasSelection(), !selection.isEmpty());
        QCOMPARE(tools->currentToolId(), int(MTool::SelectionTool));
        // The shape stays for another use; nothing was painted.
        QVERIFY(tool()->hasItem());
        QCOMPARE(canvas()->undoStack()->count(), undo);
        tool()->set_selectionMode(0);
    }

    // The painter's road: a shape placed, "Select", and a brush stroke
    // across its edge paints only inside it.
    void selectThenPaintInside()
    {
        MTools *tools = MTools::instance();
        tools->activate(MTool::ShapeTool, true);
        canvas()->resetClipPath();
        key(Qt::Key_Escape);
        QVERIFY(!tool()->hasItem());
        tool()->setWidth(100);
        tool()->setHeight(100);
        drag(QPointF(0, 0), QPointF(0, 0));
        QVERIFY(tool()->hasItem());
        tool()->setPoint(QPointF(0, 0));
        window->findChild<QAction *>(QStringLiteral("shapeSelectAction"))->trigger();
        QCOMPARE(tools->currentToolId(), int(MTool::SelectionTool));
        QVERIFY(canvas()->hasSelection());
        window->findChild<QAction *>(QStringLiteral("actionBrushTool"))->trigger();
        QCOMPARE(tools->currentToolId(), int(MTool::BrushTool));
        const int painted = paintedPixels(layer());
        QVERIFY(MTestMainWindow::drag(view(), QPointF(-20, 10), QPointF(150, 10)));
        QTRY_VERIFY(paintedPixels(layer()) > painted);
        const QImage pixels = layer();
        QVERIFY(qAlpha(pixel(pixels, QPointF(0, 10))) > 0);
        for (int x = 60; x <= 140; x += 10)
            QVERIFY2(qAlpha(pixel(pixels, QPointF(x, 10))) == 0, qPrintable(QString::number(x)));
        canvas()->resetClipPath();
    }
};

QTEST_MAIN(TestShapeTool)
#include "tst_shapetool.moc"
