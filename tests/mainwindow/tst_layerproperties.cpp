#include "mcanvas.h"
#include "mlayerlistcontrol.h"
#include "mmainwindow.h"
#include "mtestcanvas.h"
#include "mtestglcontext.h"
#include "mtestmainwindow.h"
#include "mtestmodaldriver.h"
#include "mtestscreenshot.h"
#include "mtexturelayer.h"
#include "mwidget.h"

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QUndoStack>

#include <memory>

// The layer-properties command of the real window, used as a painter would:
// the dialog edits the current layer live, Ok makes one undo step, and the
// picture in the view follows.
namespace {
constexpr int W = 300;
constexpr int H = 200;


bool isRed(const QColor &c)
{
    return c.red() > 180 && c.green() < 60 && c.blue() < 60;
}
} // namespace

class TestLayerProperties : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MMainWindow> window;

    QAction *action(const char *name) const { return window->findChild<QAction *>(QString::fromLatin1(name)); }

    QColor shownAtCentre() const { return MTestMainWindow::shownAt(window->view(), QPointF(0, 0)); }

    MLayerListControl *layerList() const
    {
        for (MControl *control : window->view()->controls())
            if (auto *list = qobject_cast<MLayerListControl *>(control))
                return list;
        return nullptr;
    }

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase()
    {
        window = MTestMainWindow::open(QSize(W, H), QSize(1000, 700));
        QVERIFY(window);

        MCanvas *canvas = window->view()->canvas();
        canvas->makeCurrent();
        MTestCanvas::paintRect(canvas->current(), canvas->paintedRect().toRect(), qRgba(220, 10, 10, 255));
        canvas->refresh();
        QTRY_VERIFY(isRed(shownAtCentre()));
    }

    void cleanupTestCase() { window.reset(); }

    void commandIsReachable()
    {
        QVERIFY(!MMainWindow::pendingCommands().contains(QStringLiteral("actionEditLayer")));
        QVERIFY(action("actionEditLayer")->isEnabled());
    }

    void renameAndFadeThenUndo()
    {
        MCanvas *canvas = window->view()->canvas();
        MTextureLayer *layer = canvas->current();
        const QString oldName = layer->name();
        const int steps = canvas->undoStack()->index();
        bool played = false;
        MTestModalDriver::onNextDialog("DLayerEdit", [&](QDialog *dialog) {
            MTestModalDriver::typeOver(dialog->findChild<QLineEdit *>("nameEdit"), QStringLiteral("Sky"));
            auto *opacity = dialog->findChild<QWidget *>("opacityEdit")->findChild<QDoubleSpinBox *>();
            MTestModalDriver::typeOver(opacity, QStringLiteral("50"));
            MTestModalDriver::click(dialog->findChild<QPushButton *>("btnOk"));
        }, &played);
        action("actionEditLayer")->trigger();
        QVERIFY(played);
        QCOMPARE(layer->name(), QStringLiteral("Sky"));
        QCOMPARE(layer->opacity(), 0.5);
        QCOMPARE(canvas->undoStack()->index(), steps + 1);
        QCOMPARE(canvas->undoStack()->text(steps), QStringLiteral("Layer property change"));
        // Half the red over the paper.
        const QColor faded = shownAtCentre();
        QVERIFY2(!isRed(faded) && faded.red() > faded.green() + 40, qPrintable(faded.name()));

        action("actionUndo")->trigger();
        QCOMPARE(layer->name(), oldName);
        QCOMPARE(layer->opacity(), 1.0);
        QVERIFY(isRed(shownAtCentre()));
        action("actionRedo")->trigger();
        QCOMPARE(layer->name(), QStringLiteral("Sky"));
        action("actionUndo")->trigger();
    }

    // Hiding shows at once, before Ok; Cancel brings the layer back.
    void hideShowsAtOnce()
    {
        MCanvas *canvas = window->view()->canvas();
        const int steps = canvas->undoStack()->index();
        for (const char *button : {"btnCancel", "btnOk"}) {
            QColor whileOpen;
            MTestModalDriver::onNextDialog("DLayerEdit", [&](QDialog *dialog) {
                MTestModalDriver::click(dialog->findChild<QCheckBox *>("visibleCheckBox"));
                whileOpen = shownAtCentre();
                MTestModalDriver::click(dialog->findChild<QPushButton *>(QString::fromLatin1(button)));
            });
            action("actionEditLayer")->trigger();
            QVERIFY2(whileOpen.isValid() && !isRed(whileOpen), qPrintable(whileOpen.name()));
        }
        QVERIFY(!canvas->current()->visible());
        QVERIFY(!isRed(shownAtCentre()));
        QCOMPARE(canvas->undoStack()->index(), steps + 1);
        action("actionUndo")->trigger();
        QVERIFY(canvas->current()->visible());
        QVERIFY(isRed(shownAtCentre()));
    }

    void fromTheLayerListOnTheCanvas_data()
    {
        QTest::addColumn<bool>("doubleClick");
        QTest::newRow("edit icon") << false;
        QTest::newRow("double click") << true;
    }

    // The view's layer list asks for the dialog of the layer under the
    // pointer: the current one's edit icon, or a double click on any.
    void fromTheLayerListOnTheCanvas()
    {
        QFETCH(bool, doubleClick);
        MCanvas *canvas = window->view()->canvas();
        canvas->appendLayer();
        canvas->setCurrentRow(1);
        MLayerListControl *list = layerList();
        QVERIFY(list);
        window->view()->update();
        const int row = doubleClick ? 0 : 1;
        QTRY_VERIFY(list->isOnScreen(list->squareRect(row)));
        const int steps = canvas->undoStack()->index();
        const QString name = doubleClick ? QStringLiteral("Clicked twice") : QStringLiteral("Iconed");
        bool played = false;
        MTestModalDriver::onNextDialog("DLayerEdit", [&](QDialog *dialog) {
            MTestScreenshot::keep(window->grab(), QStringLiteral("layerlist-window.png"));
            MTestScreenshot::keep(dialog->grab(), QStringLiteral("layerlist-dialog.png"));
            MTestModalDriver::typeOver(dialog->findChild<QLineEdit *>("nameEdit"), name);
            MTestModalDriver::click(dialog->findChild<QPushButton *>("btnOk"));
        }, &played);
        const QRectF square = list->squareRect(row);
        const QPointF at = doubleClick ? square.center() : list->iconRect(square, MLayerListControl::EditIcon).center();
        using MTestMainWindow::mouse;
        mouse(window->view(), QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
        mouse(window->view(), QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
        if (doubleClick) {
            mouse(window->view(), QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
            mouse(window->view(), QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
        }
        QVERIFY(played);
        QCOMPARE(canvas->at(row)->name(), name);
        QCOMPARE(canvas->undoStack()->index(), steps + 1);
        QCOMPARE(canvas->undoStack()->text(steps), QStringLiteral("Layer property change"));
        action("actionUndo")->trigger();
        QVERIFY(canvas->at(row)->name() != name);
        canvas->removeLayer(canvas->count() - 1);
    }

    // Ctrl and the right button bring the context panel up where they were
    // pressed; the view goes on taking strokes after it.
    void ctrlRightButtonOpensTheContextPanel()
    {
        MWidget *view = window->view();
        const QPointF at(view->width() * 0.5, view->height() * 0.5);
        QPoint shownAt;
        bool played = false;
        MTestModalDriver::onNextDialog("DContext", [&](QDialog *dialog) {
            shownAt = dialog->geometry().center();
            MTestScreenshot::keep(dialog->grab(), QStringLiteral("context-panel.png"));
            dialog->reject();
        }, &played);
        MTestMainWindow::mouse(view, QEvent::MouseButtonPress, at, Qt::RightButton, Qt::RightButton, Qt::ControlModifier);
        QVERIFY(played);
        const QPoint pressed = view->mapToGlobal(at.toPoint());
        QVERIFY2((shownAt - pressed).manhattanLength() < 400, qPrintable(QStringLiteral("%1,%2 against %3,%4")
                     .arg(shownAt.x()).arg(shownAt.y()).arg(pressed.x()).arg(pressed.y())));
        QVERIFY(!view->canvas()->strokeInProgress());
    }
};

QTEST_MAIN(TestLayerProperties)
#include "tst_layerproperties.moc"
