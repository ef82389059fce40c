// Where the painter's keys go and what the real window shows after a text,
// a pick or a dialog: the keyboard comes back to the canvas, the tool lit is
// the tool in hand, Return does what the dialog is for, the colour square
// marks the colour in hand, and commands that could only do nothing are off.

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

int channelDifference(QRgb a, QRgb b)
{
    return qMax(qMax(qAbs(qRed(a) - qRed(b)), qAbs(qGreen(a) - qGreen(b))), qAbs(qBlue(a) - qBlue(b)));
}

// The nearest any opaque pixel of the image comes to the colour.
int nearestOnImage(const QImage &image, QRgb color)
{
    int nearest = 256;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) == 255)
                nearest = qMin(nearest, channelDifference(image.pixel(x, y), color));
    return nearest;
}

enum ColourChange { HueSlider, BlueSwatch, GreySwatch, ScreenPick };
} // namespace

Q_DECLARE_METATYPE(ColourChange)

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

    // The button of the bar that shows the command.
    QWidget *buttonOf(QAction *command) const
    {
        for (QToolBar *bar : window->findChildren<QToolBar *>()) {
            if (QWidget *button = bar->widgetForAction(command))
                return button;
        }
        return nullptr;
    }

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

    // Undo and Redo are on only with a step to take; moving or merging the
    // current layer up is off on the top layer, down off on the bottom one,
    // in the menu and on the layer bar alike.
    void commandsThatCannotActAreOff()
    {
        QAction *undo = action("actionUndo");
        QAction *redo = action("actionRedo");
        QAction *up = action("actionMoveLayerUp");
        QAction *down = action("actionMoveLayerDown");
        QAction *mergeUp = action("actionMergeLayerWithUpper");
        QAction *mergeDown = action("actionMergeLayerWithLower");
        const auto states = [&] {
            return QList<bool>{undo->isEnabled(), redo->isEnabled(), up->isEnabled(),
                               down->isEnabled(), mergeUp->isEnabled(), mergeDown->isEnabled()};
        };
        // A fresh document of one layer: nothing to undo, redo, move or merge.
        QCOMPARE(canvas()->count(), 1);
        QCOMPARE(states(), QList<bool>({false, false, false, false, false, false}));

        QVERIFY(MTestMainWindow::drag(view(), QPointF(-100, 0), QPointF(100, 40)));
        QTRY_VERIFY(undo->isEnabled());
        QVERIFY(!redo->isEnabled());
        type(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(canvas()->undoStack()->index(), 0);
        QCOMPARE(states(), QList<bool>({false, true, false, false, false, false}));

        // A second layer, on top and current.
        QVERIFY(MTestMainWindow::chooseCommand(window.get(), "menuLayers", "actionNewLayer"));
        QCOMPARE(canvas()->currentRow(), 1);
        QCOMPARE(states(), QList<bool>({true, false, false, true, false, true}));
        QVERIFY(buttonOf(up) && !buttonOf(up)->isEnabled());
        QVERIFY(buttonOf(down) && buttonOf(down)->isEnabled());
        MTestScreenshot::keep(window->grab(), QStringLiteral("top-layer-commands.png"));

        // Moved down, it is the bottom layer.
        QVERIFY(MTestMainWindow::chooseCommand(window.get(), "menuLayers", "actionMoveLayerDown"));
        QCOMPARE(canvas()->currentRow(), 0);
        QCOMPARE(states(), QList<bool>({true, false, true, false, true, false}));
        QVERIFY(!buttonOf(down)->isEnabled());

        // A new document starts with no history again.
        canvas()->reset();
        QCOMPARE(canvas()->count(), 1);
        QCOMPARE(states(), QList<bool>({false, false, false, false, false, false}));
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

    // Return in the New document dialog creates the document of its fields,
    // whatever button lies first in it.
    void returnCreatesTheNewDocument()
    {
        MTestDialogScript script; // a colour chooser, should one open, is cancelled
        bool ran = false;
        MTestModalDriver::onNextDialog("DNewDocument", [](QDialog *dialog) {
            MTestModalDriver::typeOver(dialog->findChild<QSpinBox *>(QStringLiteral("sbWidth")), QStringLiteral("640"));
            MTestModalDriver::typeOver(dialog->findChild<QSpinBox *>(QStringLiteral("sbHeight")), QStringLiteral("480"));
            MTestScreenshot::keep(dialog->grab(), QStringLiteral("new-document-return.png"));
            QVERIFY(dialog->focusWidget());
            QTest::keyClick(dialog->focusWidget(), Qt::Key_Return);
        }, &ran);
        action("actionFileNew")->trigger();
        QVERIFY(ran);
        for (const MUtility::DialogRequest &request : script.requests())
            QVERIFY2(request.kind != MUtility::ColorDialog, "Return opened the colour chooser");
        QCOMPARE(canvas()->paintedRect().size(), QSizeF(640, 480));
        QCOMPARE(canvas()->undoStack()->count(), 0);
    }

    void colourSquareMarksTheColourInHand_data()
    {
        QTest::addColumn<ColourChange>("change");
        QTest::addColumn<bool>("onTheSquare");
        QTest::newRow("hue slider") << HueSlider << true;
        QTest::newRow("blue swatch") << BlueSwatch << true;
        QTest::newRow("grey swatch, on no pixel of the square") << GreySwatch << false;
        QTest::newRow("screen pick of green") << ScreenPick << true;
    }

    // The marker follows the colour in hand, however it was chosen, and is
    // never left on a colour that is no longer in hand.
    void colourSquareMarksTheColourInHand()
    {
        QFETCH(ColourChange, change);
        QFETCH(bool, onTheSquare);
        canvas()->reset();
        MColorWidget *panel = window->colorWidget();
        window->showPanel(window->findChild<QDockWidget *>(QStringLiteral("colorDockWidget")));
        MColorGradientWidget *square = panel->gradientWidget();
        QTRY_VERIFY(square->isVisible() && !square->image().isNull());
        QCOMPARE(square->type(), 0);

        // A pick on the square marks the pick.
        const QPoint clicked(square->width() / 6, square->height() / 3);
        QTest::mouseClick(square, Qt::LeftButton, Qt::NoModifier, clicked);
        QCOMPARE(square->pickPoint(), clicked);
        const QRgb first = MColorList::instance()->currentColor().rgb();

        switch (change) {
        case HueSlider: {
            MColorSlider *hue = nullptr;
            for (MColorSlider *slider : panel->findChildren<MColorSlider *>())
                if (slider->toolTip() == QStringLiteral("Hue"))
                    hue = slider;
            QVERIFY(hue);
            for (int i = 0; i < 12; ++i)
                QTest::keyClick(hue, Qt::Key_PageUp);
            break;
        }
        case BlueSwatch:
        case GreySwatch: {
            // The default palette: ten greys, then the hues, pure blue at 42.
            window->showPanel(window->findChild<QDockWidget *>(QStringLiteral("colorPaletteDockWidget")));
            MSwatchListPanel *swatches = window->colorPaletteWidget()->swatches()->panel();
            QTRY_VERIFY(swatches->isVisible() && swatches->height() > 40);
            const QRect cell = swatches->cellRect(change == BlueSwatch ? 42 : 5);
            QVERIFY2(swatches->rect().contains(cell.center()), "the swatch is out of sight");
            QTest::mouseClick(swatches, Qt::LeftButton, Qt::NoModifier, cell.center());
            break;
        }
        case ScreenPick: {
            QVERIFY(canvas()->makeCurrent());
            MTestCanvas::paintRect(canvas()->at(0), QRect(-100, -80, 200, 160), qRgba(0, 255, 0, 255));
            canvas()->refresh();
            QCursor::setPos(view()->mapToGlobal(view()->transform()->map(QPointF(0, 0)).toPoint()));
            type(Qt::Key_P);
            QTRY_VERIFY(MColorPickerTool::instance()->isVisible());
            clickCanvas(QPointF(0, 0));
            QTRY_VERIFY(!MColorPickerTool::instance()->isVisible());
            break;
        }
        }
        const QRgb now = MColorList::instance()->currentColor().rgb();
        QVERIFY(channelDifference(now, first) > 40);
        QCOMPARE(nearestOnImage(square->image(), now) <= 8, onTheSquare);
        QTRY_VERIFY(square->pickPoint() != clicked);
        if (onTheSquare) {
            QVERIFY(square->rect().contains(square->pickPoint()));
            QVERIFY2(channelDifference(square->image().pixel(square->pickPoint()), now) <= 8,
                     qPrintable(QColor(square->image().pixel(square->pickPoint())).name()));
        } else {
            QCOMPARE(square->pickPoint(), QPoint(-1, -1));
        }
        MTestScreenshot::keep(square->grab(), QStringLiteral("colour-square-%1.png").arg(QTest::currentDataTag()));
        canvas()->reset();
    }
};

QTEST_MAIN(TestFocusAndStateEndToEnd)
#include "tst_focusandstateendtoend.moc"
