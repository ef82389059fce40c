// What a painter used to other painting programs expects of the real
// window: a merge that keeps the picture, "up" that means up the stack seen,
// a colour picker that takes the next click, and dialogs that open over the
// window that asked, each question asked once.

#include "dcolorpicker.h"
#include "mcanvas.h"
#include "mcolorlist.h"
#include "mcolorpickertool.h"
#include "mmainwindow.h"
#include "mtestcanvas.h"
#include "mtestdialogscript.h"
#include "mtestfolder.h"
#include "mtestglcontext.h"
#include "mtestmainwindow.h"
#include "mtestmodaldriver.h"
#include "mtestscreenshot.h"
#include "mtexturelayer.h"
#include "mtransform.h"
#include "mwidget.h"

#include <QAction>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QUndoStack>
#include <QWindow>

#include <memory>

using namespace MTestCanvas;

namespace {
constexpr int W = 300;
constexpr int H = 200;
// "Ink" on the lower layer, a blue patch on the upper one, overlapping in
// the middle of the page.
const QRect inkPatch(-100, -60, 120, 120);
const QRect bluePatch(-20, -60, 120, 120);
const QRgb ink = qRgba(200, 20, 20, 255);
const QRgb blue = qRgba(20, 30, 210, 255);
// Only ink, both, only blue, neither.
const QList<QPointF> probes{{-60, 0}, {0, 0}, {60, 0}, {120, 80}};

int channelDifference(const QColor &a, const QColor &b)
{
    return qMax(qMax(qAbs(a.red() - b.red()), qAbs(a.green() - b.green())),
                qMax(qAbs(a.blue() - b.blue()), qAbs(a.alpha() - b.alpha())));
}
} // namespace

class TestLayersAndPickerEndToEnd : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MMainWindow> window;

    MWidget *view() const { return window->view(); }
    MCanvas *canvas() const { return view()->canvas(); }
    QAction *action(const char *name) const { return window->findChild<QAction *>(QLatin1String(name)); }

    void choose(const char *menuName, const char *name)
    {
        QVERIFY2(MTestMainWindow::chooseCommand(window.get(), menuName, name), name);
    }

    // A key typed into the focused window, through the window system.
    void type(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QVERIFY(MTestMainWindow::focusView(view()));
        QTest::keyClick(window->windowHandle(), key, modifiers);
        QApplication::processEvents();
    }

    // A click on the canvas through the window system, where whatever holds
    // the pointer gets it first, as a real click.
    void clickCanvas(const QPointF &docPoint)
    {
        QWindow *handle = window->windowHandle();
        const QPoint at = handle->mapFromGlobal(view()->mapToGlobal(view()->transform()->map(docPoint).toPoint()));
        QTest::mouseMove(handle, at);
        QTest::mousePress(handle, Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseRelease(handle, Qt::LeftButton, Qt::NoModifier, at);
        QApplication::processEvents();
    }

    QList<QColor> shown() const
    {
        QList<QColor> colors;
        for (const QPointF &point : probes)
            colors << MTestMainWindow::shownAt(view(), point);
        return colors;
    }

    // Ink below, blue above (current), both opaque and visible; nothing to undo.
    void twoLayers()
    {
        MCanvas *c = canvas();
        QVERIFY(c->makeCurrent());
        c->reset();
        c->at(0)->setName(QStringLiteral("Ink"));
        paintRect(c->at(0), inkPatch, ink);
        c->appendLayer();
        paintRect(c->at(1), bluePatch, blue);
        c->undoStack()->clear();
        c->undoStack()->setClean();
        c->refresh();
    }

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase()
    {
        window = MTestMainWindow::open(QSize(W, H), QSize(1000, 700));
        QVERIFY(window);
    }

    void cleanupTestCase()
    {
        if (window)
            canvas()->undoStack()->setClean();
        window.reset();
        MColorPickerTool::destroyInstance();
    }

    void mergeKeepsThePicture_data()
    {
        QTest::addColumn<double>("lowerOpacity");
        QTest::addColumn<double>("upperOpacity");
        QTest::addColumn<bool>("lowerVisible");
        QTest::addColumn<bool>("upperVisible");
        QTest::addColumn<bool>("withLower");

        QTest::newRow("Ink at 60 % merged with the full layer over it") << 0.6 << 1.0 << true << true << false;
        QTest::newRow("both translucent, merged with lower") << 0.5 << 0.7 << true << true << true;
        QTest::newRow("upper hidden") << 1.0 << 0.8 << true << false << false;
        QTest::newRow("lower hidden, merged with lower") << 0.6 << 1.0 << false << true << true;
        QTest::newRow("both hidden") << 0.6 << 0.5 << false << false << false;
    }

    // Layers › Merge: the page looks as before, within a level per channel,
    // and one undo brings both layers back exactly.
    void mergeKeepsThePicture()
    {
        QFETCH(double, lowerOpacity);
        QFETCH(double, upperOpacity);
        QFETCH(bool, lowerVisible);
        QFETCH(bool, upperVisible);
        QFETCH(bool, withLower);
        twoLayers();
        MCanvas *c = canvas();
        c->at(0)->setOpacity(lowerOpacity);
        c->at(1)->setOpacity(upperOpacity);
        c->at(0)->setVisible(lowerVisible);
        c->at(1)->setVisible(upperVisible);
        c->setCurrentRow(withLower ? 1 : 0);
        const QList<QColor> before = shown();
        const QList<QImage> layersBefore{MTestMainWindow::layerPixels(c, 0), MTestMainWindow::layerPixels(c, 1)};

        choose("menuLayers", withLower ? "actionMergeLayerWithLower" : "actionMergeLayerWithUpper");
        QCOMPARE(c->count(), 1);
        QCOMPARE(c->undoStack()->count(), 1);
        const QList<QColor> after = shown();
        MTestScreenshot::keep(view()->grabFramebuffer(), QStringLiteral("merged-%1.png").arg(QTest::currentDataTag()));
        for (int i = 0; i < probes.size(); ++i)
            QVERIFY2(channelDifference(before.at(i), after.at(i)) <= 1,
                     qPrintable(QStringLiteral("at %1, %2: %3 before, %4 after")
                                    .arg(probes.at(i).x())
                                    .arg(probes.at(i).y())
                                    .arg(before.at(i).name(QColor::HexArgb), after.at(i).name(QColor::HexArgb))));

        type(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(c->count(), 2);
        QCOMPARE(c->undoStack()->index(), 0);
        QCOMPARE(c->at(0)->name(), QStringLiteral("Ink"));
        QCOMPARE(c->at(0)->opacity(), lowerOpacity);
        QCOMPARE(c->at(1)->opacity(), upperOpacity);
        QCOMPARE(c->at(0)->visible(), lowerVisible);
        QCOMPARE(c->at(1)->visible(), upperVisible);
        QVERIFY(MTestMainWindow::layerPixels(c, 0) == layersBefore.at(0));
        QVERIFY(MTestMainWindow::layerPixels(c, 1) == layersBefore.at(1));
    }

    // Up and down are the order the painter sees: the top layer is drawn
    // over the others; a move past either end changes and records nothing.
    void upIsUp()
    {
        twoLayers();
        MCanvas *c = canvas();
        QUndoStack *stack = c->undoStack();
        const QPointF overlap = probes.at(1);
        const QColor blueShown = MTestMainWindow::shownAt(view(), overlap);
        QVERIFY(channelDifference(blueShown, QColor(blue)) <= 1);

        // The blue layer is the top one: up is off in the menu, and its key
        // does nothing.
        QVERIFY(!action("actionMoveLayerUp")->isEnabled());
        type(Qt::Key_Up, Qt::ControlModifier);
        QCOMPARE(stack->count(), 0);
        QCOMPARE(MTestMainWindow::shownAt(view(), overlap), blueShown);

        // Down puts it under the ink.
        type(Qt::Key_Down, Qt::ControlModifier);
        QCOMPARE(stack->count(), 1);
        QCOMPARE(stack->text(0), QStringLiteral("Layer down"));
        QCOMPARE(c->currentRow(), 0);
        QVERIFY(channelDifference(MTestMainWindow::shownAt(view(), overlap), QColor(ink)) <= 1);
        MTestScreenshot::keep(view()->grabFramebuffer(), QStringLiteral("blue-layer-moved-down.png"));

        // Now the bottom layer: down is off and does nothing; up brings it
        // over again.
        QVERIFY(!action("actionMoveLayerDown")->isEnabled());
        type(Qt::Key_Down, Qt::ControlModifier);
        QCOMPARE(stack->count(), 1);
        choose("menuLayers", "actionMoveLayerUp");
        QCOMPARE(stack->count(), 2);
        QCOMPARE(stack->text(1), QStringLiteral("Layer up"));
        QCOMPARE(c->currentRow(), 1);
        QCOMPARE(MTestMainWindow::shownAt(view(), overlap), blueShown);

        type(Qt::Key_Z, Qt::ControlModifier);
        type(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(stack->index(), 0);
        QCOMPARE(pixelAt(c->at(0), overlap.toPoint()), ink);
        QCOMPARE(pixelAt(c->at(1), overlap.toPoint()), blue);
    }

    // P, then a click on the canvas: the colour under the click becomes the
    // current colour and nothing is painted; then the pointer paints again.
    // Escape gives it back without a pick.
    void colourPickerTakesTheNextClick()
    {
        twoLayers();
        MCanvas *c = canvas();
        MColorList *colors = MColorList::instance();
        colors->setColor(QColor(Qt::black));
        const QPointF target = probes.at(0);
        const QColor inkShown = MTestMainWindow::shownAt(view(), target);
        QVERIFY(channelDifference(inkShown, QColor(ink)) <= 1);
        // The pointer rests over the canvas, as the painter's would.
        QCursor::setPos(view()->mapToGlobal(view()->transform()->map(target).toPoint()));

        type(Qt::Key_P);
        DColorPicker *picker = MColorPickerTool::instance();
        QTRY_VERIFY(picker->isVisible());
        QCOMPARE(picker->size(), QSize(50, 50));
        MTestScreenshot::keep(window->grab(), QStringLiteral("colour-picker-shown.png"));
        clickCanvas(target);
        QTRY_VERIFY(!picker->isVisible());
        QCOMPARE(c->undoStack()->count(), 0);
        QCOMPARE(colors->currentColor(), inkShown);

        // Escape: the picker goes, the colour stays.
        type(Qt::Key_P);
        QTRY_VERIFY(picker->isVisible());
        QTest::keyClick(window->windowHandle(), Qt::Key_Escape);
        QTRY_VERIFY(!picker->isVisible());
        QCOMPARE(colors->currentColor(), inkShown);
        QCOMPARE(c->undoStack()->count(), 0);

        // The pointer is the painter's again: a click paints a dab.
        clickCanvas(probes.at(3));
        QTRY_COMPARE(c->undoStack()->count(), 1);
        QVERIFY(qAlpha(pixelAt(c->current(), probes.at(3).toPoint())) > 0);
        c->undoStack()->setClean();
    }

    // File › Open on a modified document asks about the changes once, over
    // the main window, and opens the file chosen.
    void openAsksToSaveOnce()
    {
        twoLayers();
        MCanvas *c = canvas();
        QVERIFY(MTestMainWindow::drag(view(), QPointF(-120, 80), QPointF(120, 80)));
        QVERIFY(c->isModified());
        MTestFolder folder;
        QImage image(40, 30, QImage::Format_ARGB32);
        image.fill(QColor(10, 200, 90));
        const QString path = folder.filePath(QStringLiteral("green.png"));
        QVERIFY(image.save(path));
        {
            MTestDialogScript script;
            script.answer(1).answerFile(path); // "Don't save", then the file
            choose("menuFile", "actionFileOpen");
            int questions = 0;
            for (const MUtility::DialogRequest &request : script.requests())
                questions += request.kind == MUtility::ChoiceDialog;
            QCOMPARE(questions, 1);
            QCOMPARE(script.pending(), 0);
        }
        QCOMPARE(c->count(), 1);
        QCOMPARE(QColor(pixelAt(c->at(0), QPoint(0, 0))), QColor(10, 200, 90));
    }

    // The real question box and the colour converter open as the main
    // window's own dialogs: in front of it, under a window manager too.
    void dialogsOpenOverTheWindow()
    {
        twoLayers();
        QVERIFY(MTestMainWindow::drag(view(), QPointF(-120, 80), QPointF(120, 80)));
        QVERIFY(canvas()->isModified());
        bool asked = false;
        MTestModalDriver::onNextDialog(
            "QMessageBox",
            [this](QDialog *dialog) {
                QCOMPARE(dialog->parentWidget(), static_cast<QWidget *>(window.get()));
                QVERIFY(dialog->windowHandle());
                QCOMPARE(dialog->windowHandle()->transientParent(), window->windowHandle());
                MTestScreenshot::keep(dialog->grab(), QStringLiteral("save-question.png"));
            },
            &asked);
        choose("menuFile", "actionFileOpen");
        QTRY_VERIFY(asked);
        QVERIFY(canvas()->isModified());

        bool converted = false;
        MTestModalDriver::onNextDialog(
            "DColorUtility",
            [this](QDialog *dialog) {
                QCOMPARE(dialog->parentWidget(), static_cast<QWidget *>(window.get()));
                QCOMPARE(dialog->windowHandle()->transientParent(), window->windowHandle());
            },
            &converted);
        choose("menuTools", "actionColor_converter");
        QTRY_VERIFY(converted);
        canvas()->undoStack()->setClean();
    }
};

QTEST_MAIN(TestLayersAndPickerEndToEnd)
#include "tst_layersandpickerendtoend.moc"
