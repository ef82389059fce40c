#include "mbrushstyle.h"
#include "mbrushstyleaction.h"
#include "mbrushstylewidget.h"
#include "mcanvas.h"
#include "mcolorlist.h"
#include "menumedit.h"
#include "mfontstyle.h"
#include "mfontstyleaction.h"
#include "mfontstylewidget.h"
#include "mmainwindow.h"
#include "mselectiontool.h"
#include "msettings.h"
#include "mstrokestyleaction.h"
#include "mstrokestylewidget.h"
#include "mtestglcontext.h"
#include "mtestmainwindow.h"
#include "mtestscreenshot.h"
#include "mtexttool.h"
#include "mtools.h"
#include "mtransform.h"
#include "mwidget.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QToolButton>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QScreen>
#include <QTest>
#include <QToolBar>
#include <QUndoStack>

#include <memory>

// The text tool in the real window: typed in its bar, placed with the mouse,
// pasted with the keyboard.
namespace {
constexpr int W = 600;
constexpr int H = 400;

using MTestMainWindow::paintedPixels;
} // namespace

class TestTextTool : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MMainWindow> window;

    MWidget *view() const { return window->view(); }
    MCanvas *canvas() const { return view()->canvas(); }
    MTextTool *tool() const { return MTools::instance()->tool<MTextTool>(MTool::TextTool); }
    void key(Qt::Key code, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QVERIFY(MTestMainWindow::focusView(view()));
        QTest::keyClick(view(), code, modifiers);
    }

    QImage layer() const { return MTestMainWindow::layerPixels(canvas()); }

    void drag(const QPointF &from, const QPointF &to) { QVERIFY(MTestMainWindow::dragAndHold(view(), from, to)); }

    void click(const QPointF &at) { drag(at, at); }

    void gesture(const QPointF &from, const QPointF &to)
    {
        QVERIFY(MTestMainWindow::toolGesture(tool(), from, to));
    }

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase()
    {
        window = MTestMainWindow::open(QSize(W, H), QSize(1600, 1000));
        QVERIFY(window);
        auto *action = window->findChild<QAction *>(QStringLiteral("actionTextTool"));
        QVERIFY(action && action->isEnabled());
        QWidget *button = window->findChild<QToolBar *>(QStringLiteral("toolsToolBar"))->widgetForAction(action);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(MTools::instance()->currentToolId(), int(MTool::TextTool));
    }

    void cleanupTestCase() { window.reset(); }

    void newItem()
    {
        QCOMPARE(tool()->text(), QStringLiteral("Text"));
        QCOMPARE(tool()->textHeight(), 300);
        MSettings::instance()->set_alignToGrid(true);
        MSettings::instance()->set_alignToGridSize(10);
        drag(QPointF(-22, 17), QPointF(60, 60));
        MSettings::instance()->set_alignToGrid(false);
        QVERIFY(tool()->hasItem());
        // Centred on the snapped press; the creating gesture does not move it.
        QCOMPARE(tool()->textPoint(), QPointF(-20, 20));
        QVERIFY(qAbs(tool()->itemRect().center().x() + 20) < 1e-6);
        QVERIFY(tool()->itemRect().height() > 150);
        key(Qt::Key_Escape);
        QVERIFY(!tool()->hasItem());
    }

    // The bottom handle sizes the text, never below 5 pixels.
    void heightHandle()
    {
        tool()->setTextHeight(100);
        gesture(QPointF(0, 0), QPointF(0, 0));
        const QRectF frame = tool()->itemRect();
        const QPointF handle(frame.center().x(), frame.bottom());
        QCOMPARE(tool()->hitTest(handle), int(MTextTool::HeightGrab));
        gesture(handle, handle + QPointF(30, 40));
        QCOMPARE(tool()->textHeight(), 140);
        QCOMPARE(tool()->textPoint().y(), 20.0);
        const QRectF grown = tool()->itemRect();
        const QPointF handle2(grown.center().x(), grown.bottom());
        gesture(handle2, handle2 - QPointF(0, 400));
        QCOMPARE(tool()->textHeight(), 5);
        key(Qt::Key_Escape);
    }

    // Rotation always in 5-degree steps, Alt or not.
    void rotate()
    {
        tool()->setTextHeight(100);
        tool()->setTextAngle(0);
        gesture(QPointF(0, 0), QPointF(0, 0));
        const double scale = view()->transform()->scale();
        const QPointF zone = tool()->itemRect().bottomRight() + QPointF(10, 10) / scale;
        QCOMPARE(tool()->hitTest(zone), int(MTextTool::RotateGrab));
        QLineF turned(tool()->textPoint(), zone);
        turned.setAngle(turned.angle() - 28);
        gesture(zone, turned.p2());
        QCOMPARE(tool()->textAngle(), 25.0);
        QCOMPARE(window->findChild<QDoubleSpinBox *>(QStringLiteral("textAngleBox"))->value(), 25.0);
        tool()->setTextAngle(0);
        key(Qt::Key_Escape);
    }

    // A text typed in the bar and applied lands in the layer as one step;
    // Control keeps it shifted for another copy.
    void typeAndApply()
    {
        MColorList::instance()->setColor(QColor(20, 40, 180));
        QCOMPARE(tool()->brushStyle()->brushColor(), QColor(20, 40, 180));
        auto *edit = window->findChild<QLineEdit *>(QStringLiteral("textEdit"));
        QVERIFY(edit && edit->isVisible());
        edit->selectAll();
        QTest::keyClicks(edit, QStringLiteral("HI"));
        QCOMPARE(tool()->text(), QStringLiteral("HI"));
        tool()->setTextHeight(120);
        gesture(QPointF(-100, 0), QPointF(-100, 0));
        const QRectF first = tool()->itemRect();
        key(Qt::Key_Return, Qt::ControlModifier);
        QVERIFY(tool()->hasItem());
        QCOMPARE(tool()->textPoint(), QPointF(-90, 10));
        const int index = canvas()->undoStack()->index();
        QCOMPARE(canvas()->undoStack()->text(index - 1), QStringLiteral("Add a text"));
        key(Qt::Key_Enter, Qt::KeypadModifier);
        QVERIFY(!tool()->hasItem());
        QCOMPARE(canvas()->undoStack()->index(), index + 1);
        const QImage pixels = layer();
        const int painted = paintedPixels(pixels);
        QVERIFY(painted > 1000);
        // Paint only within the two copies' frames.
        const QRect around = first.united(first.translated(10, 10)).adjusted(-3, -3, 3, 3).toAlignedRect()
                                 .translated(-canvas()->paintedRect().topLeft().toPoint());
        QCOMPARE(paintedPixels(pixels.copy(around)), painted);
        QTest::qWait(300);
        MTestScreenshot::keep(window->screen()->grabWindow(window->winId()), QStringLiteral("text-applied.png"));
        canvas()->undoStack()->undo();
        canvas()->undoStack()->undo();
        QCOMPARE(paintedPixels(layer()), 0);
    }

    // The font editor's changes rebuild the outline of a placed item.
    void fontEdit()
    {
        click(QPointF(0, 0));
        const QRectF before = tool()->itemRect();
        tool()->fontStyle()->set_size(60);
        QVERIFY(tool()->itemRect().height() < before.height());
        key(Qt::Key_Escape);
    }

    // The bar in the order the painter reads it; its three style editors work
    // on the tool's own styles.
    void optionBar()
    {
        QToolBar *bar = MTools::instance()->toolBar(MTool::TextTool);
        QCOMPARE(MTestMainWindow::barContents(bar),
                 QStringList({"label TEXT:", "|", "action Rasterize", "action Select", "|",
                              "MEnumEdit textSelectionModeEdit", "|", "label Angle", "|", "QDoubleSpinBox textAngleBox",
                              "|", "button Stroke style", "button Brush style", "button Font style", "|", "label Text",
                              "|", "QLineEdit textEdit", "|"}));
        auto *mode = window->findChild<MEnumEdit *>(QStringLiteral("textSelectionModeEdit"));
        QCOMPARE(mode->findChild<QComboBox *>()->count(), 4);
        mode->setValue(MSelectionTool::AddSelectionMode);
        QCOMPARE(tool()->selectionMode(), int(MSelectionTool::AddSelectionMode));
        mode->setValue(MSelectionTool::ReplaceSelectionMode);
        auto editorOf = [this](const char *button) {
            return window->findChild<QToolButton *>(QLatin1String(button))->menu()->actions().value(0);
        };
        auto *stroke = qobject_cast<MStrokeStyleAction *>(editorOf("textStrokeStyleButton"));
        auto *brush = qobject_cast<MBrushStyleAction *>(editorOf("textBrushStyleButton"));
        auto *font = qobject_cast<MFontStyleAction *>(editorOf("textFontStyleButton"));
        QVERIFY(stroke && brush && font);
        QCOMPARE(stroke->widget()->style(), tool()->strokeStyle());
        QCOMPARE(brush->widget()->style(), tool()->brushStyle());
        QCOMPARE(font->widget()->style(), tool()->fontStyle());
    }

    // "HI" placed at the origin, then made the selection, combined with a
    // rectangle away to its right or over its left half.
    void applyAsSelection_data()
    {
        QTest::addColumn<QString>("selected");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("expected");
        using M = MSelectionTool;
        QTest::newRow("replace") << "right" << int(M::ReplaceSelectionMode) << "item";
        QTest::newRow("unite") << "right" << int(M::AddSelectionMode) << "item and selection";
        QTest::newRow("subtract") << "right" << int(M::SubtractSelectionMode) << "selection";
        QTest::newRow("intersect") << "left half" << int(M::IntersectionSelectionMode) << "within selection";
        QTest::newRow("nothing selected replaces") << "none" << int(M::IntersectionSelectionMode) << "item";
    }

    void applyAsSelection()
    {
        QFETCH(QString, selected);
        QFETCH(int, mode);
        QFETCH(QString, expected);
        MTools *tools = MTools::instance();
        tools->activate(MTool::TextTool, true);
        tool()->setText(QStringLiteral("HI"));
        tool()->setTextHeight(120);
        tool()->setTextAngle(0);
        gesture(QPointF(0, 0), QPointF(0, 0));
        QVERIFY(tool()->hasItem());
        const QRectF item = tool()->path().translated(tool()->textPoint()).boundingRect();
        QRectF rect;
        if (selected == QStringLiteral("right"))
            rect = QRectF(item.right() + 50, -20, 40, 40);
        else if (selected == QStringLiteral("left half"))
            rect = QRectF(item.left() - 10, item.top() - 10, item.width() / 2 + 10, item.height() + 20);
        QPainterPath before;
        before.addRect(rect);
        canvas()->setClipPath(rect.isNull() ? QPainterPath() : before);
        tool()->set_selectionMode(mode);
        const int undo = canvas()->undoStack()->count();

        tool()->applyAsSelection();
        const QRectF bounds = canvas()->selectionPath().boundingRect();
        auto near = [](const QRectF &a, const QRectF &b) {
            return qAbs(a.left() - b.left()) < 1 && qAbs(a.top() - b.top()) < 1 && qAbs(a.right() - b.right()) < 1
                && qAbs(a.bottom() - b.bottom()) < 1;
        };
        const QString seen = QStringLiteral("%1,%2 %3x%4").arg(bounds.x()).arg(bounds.y()).arg(bounds.width()).arg(bounds.height());
        if (expected == QStringLiteral("item"))
            QVERIFY2(near(bounds, item), qPrintable(seen));
        else if (expected == QStringLiteral("item and selection"))
            QVERIFY2(near(bounds, item.united(rect)), qPrintable(seen));
        else if (expected == QStringLiteral("selection"))
            QVERIFY2(near(bounds, rect), qPrintable(seen));
        else
            QVERIFY2(!bounds.isEmpty() && rect.contains(bounds) && bounds.left() < item.left() + 1, qPrintable(seen));
        QCOMPARE(tools->currentToolId(), int(MTool::SelectionTool));
        // Unlike a shape, the text is gone once it is a selection; nothing painted.
        QVERIFY(!tool()->hasItem());
        QCOMPARE(canvas()->undoStack()->count(), undo);
        tool()->set_selectionMode(0);
        canvas()->resetClipPath();
    }

    // A click with the text tool gives the keyboard to the text: the letters
    // typed next are the text, not tool keys (H, E, I and P are); Enter puts
    // it in the layer and Escape drops it, as on the canvas, and the canvas
    // has the tool keys again afterwards.
    void typingAfterAClickBecomesTheText()
    {
        auto *action = window->findChild<QAction *>(QStringLiteral("actionTextTool"));
        QWidget *button = window->findChild<QToolBar *>(QStringLiteral("toolsToolBar"))->widgetForAction(action);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(MTools::instance()->currentToolId(), int(MTool::TextTool));
        MColorList::instance()->setColor(QColor(200, 30, 30));
        tool()->setTextHeight(100);
        tool()->setTextAngle(0);
        QVERIFY(MTestMainWindow::focusView(view()));
        click(QPointF(0, 0));
        QVERIFY(tool()->hasItem());
        QWidget *typedInto = window->focusWidget();
        QVERIFY(typedInto);
        QTest::keyClicks(typedInto, QStringLiteral("HEIP"));
        QCOMPARE(MTools::instance()->currentToolId(), int(MTool::TextTool));
        QCOMPARE(tool()->text(), QStringLiteral("HEIP"));
        QCOMPARE(window->findChild<QLineEdit *>(QStringLiteral("textEdit"))->text(), QStringLiteral("HEIP"));
        const int steps = canvas()->undoStack()->index();
        QTest::keyClick(window->focusWidget(), Qt::Key_Return);
        QVERIFY(!tool()->hasItem());
        QCOMPARE(canvas()->undoStack()->index(), steps + 1);
        QCOMPARE(canvas()->undoStack()->text(steps), QStringLiteral("Add a text"));
        QVERIFY(paintedPixels(layer()) > 500);
        QTest::qWait(300);
        MTestScreenshot::keep(window->screen()->grabWindow(window->winId()), QStringLiteral("text-typed.png"));
        QCOMPARE(window->focusWidget(), static_cast<QWidget *>(view()));
        // Escape while typing drops the item, as on the canvas.
        QVERIFY(MTestMainWindow::focusView(view()));
        click(QPointF(-50, 50));
        QVERIFY(tool()->hasItem());
        QTest::keyClicks(window->focusWidget(), QStringLiteral("E"));
        QCOMPARE(tool()->text(), QStringLiteral("E"));
        QTest::keyClick(window->focusWidget(), Qt::Key_Escape);
        QVERIFY(!tool()->hasItem());
        QCOMPARE(canvas()->undoStack()->index(), steps + 1);
        QCOMPARE(window->focusWidget(), static_cast<QWidget *>(view()));
        QTest::keyClick(window->focusWidget(), Qt::Key_H);
        QCOMPARE(MTools::instance()->currentToolId(), int(MTool::GradientTool));
        canvas()->undoStack()->undo();
    }
};

QTEST_MAIN(TestTextTool)
#include "tst_texttool.moc"
