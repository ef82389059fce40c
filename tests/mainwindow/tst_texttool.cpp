#include "mbrushstyle.h"
#include "mcanvas.h"
#include "mcolorlist.h"
#include "mfontstyle.h"
#include "mmainwindow.h"
#include "msettings.h"
#include "mtestglcontext.h"
#include "mtestmainwindow.h"
#include "mtexttool.h"
#include "mtools.h"
#include "mtransform.h"
#include "mwidget.h"

#include <QAction>
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

    QImage layer() const { return MTestMainWindow::layerPixels(canvas(), canvas()->currentRow()); }

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
        QVERIFY(MTestMainWindow::prepare(QSize(W, H)));
        window.reset(new MMainWindow());
        QVERIFY(MTestMainWindow::show(window.get(), QSize(1600, 1000)));
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
        window->screen()->grabWindow(window->winId()).save(QStringLiteral("/tmp/text-applied.png"));
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
};

QTEST_MAIN(TestTextTool)
#include "tst_texttool.moc"
