// Where the painter's keys go in the real window after a text or an armed
// picker: the keyboard comes back to the canvas, and the tool lit is the
// tool in hand.

#include "dcolorpicker.h"
#include "mcanvas.h"
#include "mcolorgradientwidget.h"
#include "mcolorlist.h"
#include "mcolorpickertool.h"
#include "mcolorslider.h"
#include "mcolorpalettewidget.h"
#include "mcolorwidget.h"
#include "mmainwindow.h"
#include "mtestcanvas.h"
#include "mtestdialogscript.h"
#include "mtestglcontext.h"
#include "mtestmainwindow.h"
#include "mtestmodaldriver.h"
#include "mtestscreenshot.h"
#include "mswatchlistpanel.h"
#include "mswatchlistwidget.h"
#include "mtexttool.h"
#include "mtools.h"
#include "mtransform.h"
#include "mwidget.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDockWidget>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QToolBar>
#include <QUndoStack>
#include <QWindow>

#include <memory>

namespace {
constexpr int W = 400;
constexpr int H = 300;
} // namespace

class TestFocusAndStateEndToEnd : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MMainWindow> window;

    MWidget *view() const { return window->view(); }
    MCanvas *canvas() const { return view()->canvas(); }
    QWindow *handle() const { return window->windowHandle(); }
    QAction *action(const char *name) const { return window->findChild<QAction *>(QLatin1String(name)); }
    int currentTool() const { return MTools::instance()->currentToolId(); }
    MTextTool *textTool() const { return MTools::instance()->tool<MTextTool>(MTool::TextTool); }

    // A key typed on the keyboard: it goes where the window's focus is, and
    // to the window's shortcuts, or to whatever holds the keyboard.
    void type(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        window->activateWindow();
        QTRY_VERIFY(window->isActiveWindow());
        QTest::keyClick(handle(), key, modifiers);
        QApplication::processEvents();
    }

    // The real pointer on the canvas: whatever holds it gets it first.
    QPoint onWindow(const QPointF &docPoint) const
    {
        return handle()->mapFromGlobal(view()->mapToGlobal(view()->transform()->map(docPoint).toPoint()));
    }

    void dragCanvas(const QPointF &from, const QPointF &to)
    {
        QTest::mouseMove(handle(), onWindow(from));
        QTest::mousePress(handle(), Qt::LeftButton, Qt::NoModifier, onWindow(from));
        for (int i = 1; i <= 12; ++i)
            QTest::mouseMove(handle(), onWindow(from + (to - from) * (i / 12.0)));
        QTest::mouseRelease(handle(), Qt::LeftButton, Qt::NoModifier, onWindow(to));
        QApplication::processEvents();
    }

    void clickCanvas(const QPointF &at) { dragCanvas(at, at); }


public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase()
    {
        window = MTestMainWindow::open(QSize(W, H), QSize(1400, 900));
        QVERIFY(window);
        QVERIFY(MTestMainWindow::focusView(view()));
    }

    // Each case starts with the brush in hand and the keyboard on the canvas.
    void init()
    {
        QVERIFY(MTestMainWindow::focusView(view()));
        type(Qt::Key_Escape);
        type(Qt::Key_B);
        QCOMPARE(currentTool(), int(MTool::BrushTool));
    }

    void cleanupTestCase()
    {
        if (window)
            canvas()->undoStack()->setClean();
        window.reset();
        MColorPickerTool::destroyInstance();
    }

    void textLetsGoOfTheKeyboard_data()
    {
        QTest::addColumn<QString>("commit");
        QTest::newRow("Return in the text field") << QString();
        QTest::newRow("the bar's Rasterize") << QStringLiteral("Rasterize");
        QTest::newRow("the bar's Select") << QStringLiteral("Select");
    }

    // T, a click, "Hi" typed, the text placed: the next key is a tool's key
    // again, and the next drag is that tool's.
    void textLetsGoOfTheKeyboard()
    {
        QFETCH(QString, commit);
        canvas()->reset();
        QVERIFY(MTestMainWindow::focusView(view()));
        type(Qt::Key_T);
        QCOMPARE(currentTool(), int(MTool::TextTool));
        textTool()->setTextHeight(60);
        clickCanvas(QPointF(-60, 0));
        QVERIFY(textTool()->hasItem());
        auto *field = window->findChild<QLineEdit *>(QStringLiteral("textEdit"));
        QTRY_VERIFY(field->hasFocus());
        QTest::keyClick(handle(), 'H');
        QTest::keyClick(handle(), 'i');
        QCOMPARE(textTool()->text(), QStringLiteral("Hi"));

        if (commit.isEmpty()) {
            QTest::keyClick(handle(), Qt::Key_Return);
        } else {
            QToolBar *bar = MTools::instance()->toolBar(MTool::TextTool);
            QAction *button = nullptr;
            for (QAction *candidate : bar->actions())
                if (candidate->text() == commit)
                    button = candidate;
            QVERIFY(button);
            QTest::mouseClick(bar->widgetForAction(button), Qt::LeftButton);
        }
        QVERIFY(!textTool()->hasItem());
        QUndoStack *stack = canvas()->undoStack();
        const auto texts = [stack] {
            int count = 0;
            for (int i = 0; i < stack->count(); ++i)
                count += stack->text(i) == QStringLiteral("Add a text");
            return count;
        };
        const int placed = texts();

        type(Qt::Key_L);
        QCOMPARE(textTool()->text(), QStringLiteral("Hi"));
        QCOMPARE(currentTool(), int(MTool::LineTool));
        QVERIFY(view()->hasFocus());
        QVERIFY(action("actionLineTool")->isChecked());
        dragCanvas(QPointF(-100, 80), QPointF(100, 80));
        QVERIFY(!textTool()->hasItem());
        QCOMPARE(texts(), placed);
        MTestScreenshot::keep(window->grab(), QStringLiteral("text-then-line-%1.png").arg(QTest::currentDataTag()));
    }

    // P arms the picker; S chooses the selection tool instead, and the drag
    // that follows selects. A pick leaves only the tool in hand lit.
    void pickerGivesWayToToolKeys()
    {
        canvas()->reset();
        MColorList *colors = MColorList::instance();
        colors->setColor(QColor(Qt::black));
        QAction *picking = action("actionColorPickerTool");
        QCursor::setPos(view()->mapToGlobal(view()->transform()->map(QPointF(0, 0)).toPoint()));

        type(Qt::Key_P);
        DColorPicker *picker = MColorPickerTool::instance();
        QTRY_VERIFY(picker->isVisible());
        QVERIFY(picking->isChecked());
        // Shift is held for the pick's own sake: the picker stays.
        QTest::keyPress(handle(), Qt::Key_Shift);
        QTest::keyRelease(handle(), Qt::Key_Shift);
        QVERIFY(picker->isVisible());
        QTest::keyClick(handle(), Qt::Key_S);
        QTRY_VERIFY(!picker->isVisible());
        QCOMPARE(currentTool(), int(MTool::SelectionTool));
        QVERIFY(!picking->isChecked());
        QVERIFY(action("actionSelectionTool")->isChecked());
        dragCanvas(QPointF(-80, -60), QPointF(60, 50));
        QTRY_VERIFY(!canvas()->selectionPath().isEmpty());
        QCOMPARE(colors->currentColor(), QColor(Qt::black));

        // A pick: the picker's button goes out, the selection tool's stays lit.
        type(Qt::Key_P);
        QTRY_VERIFY(picker->isVisible());
        clickCanvas(QPointF(150, 120));
        QTRY_VERIFY(!picker->isVisible());
        QVERIFY(colors->currentColor() != QColor(Qt::black));
        QVERIFY(!picking->isChecked());
        QVERIFY(action("actionSelectionTool")->isChecked());
        QCOMPARE(currentTool(), int(MTool::SelectionTool));
        MTestScreenshot::keep(window->grab(), QStringLiteral("picker-gave-way.png"));
        canvas()->reset();
    }

};

QTEST_MAIN(TestFocusAndStateEndToEnd)
#include "tst_focusandstateendtoend.moc"
