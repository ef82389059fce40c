// A painter puts an effect on a layer from the effect list of the real
// window, by dragging it onto the canvas or by its button, turns a value in
// the effect settings dialog and watches the canvas follow; undo takes the
// effect off again.

#include "mcanvas.h"
#include "mfieldpanel.h"
#include "mmainwindow.h"
#include "mshader.h"
#include "mshaderlist.h"
#include "mshaderwidget.h"
#include "mtestcanvas.h"
#include "mtesteffectlist.h"
#include "mtestglcontext.h"
#include "mtestmainwindow.h"
#include "mtestmodaldriver.h"
#include "mtexturelayer.h"
#include "mtransform.h"
#include "mwidget.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDockWidget>
#include <QMimeData>
#include <QPushButton>
#include <QSlider>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <QUndoStack>

#include <memory>

namespace {
constexpr int W = 300;
constexpr int H = 200;

bool isRed(const QColor &c)
{
    return c.red() > 180 && c.green() < 60 && c.blue() < 60;
}

bool isGrey(const QColor &c)
{
    return qAbs(c.red() - c.green()) < 12 && qAbs(c.green() - c.blue()) < 12 && c.red() > 30 && c.red() < 120;
}
} // namespace

class TestEffectListEndToEnd : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MMainWindow> window;

    QAction *action(const char *name) const { return window->findChild<QAction *>(QString::fromLatin1(name)); }
    MCanvas *canvas() const { return window->view()->canvas(); }
    QDockWidget *dock() const { return window->findChild<QDockWidget *>(QStringLiteral("shaderDockWidget")); }

    QColor shownAtCentre() const { return MTestMainWindow::shownAt(window->view(), QPointF(0, 0)); }

    // Clicks the effect's row in the effect list; its cell in the list.
    QModelIndex clickEffect(const QString &description)
    {
        QTableView *view = window->shaderWidget()->tableView();
        const QModelIndex index = MTestEffectList::cellOf(view, description);
        if (!index.isValid())
            return index;
        view->scrollTo(index);
        // The view scrolls once its pending layout is done.
        QTest::qWait(100);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, view->visualRect(index).center());
        return index;
    }

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase()
    {
        window = MTestMainWindow::open(QSize(W, H), QSize(1200, 800));
        QVERIFY(window);
        window->showPanel(dock());
        canvas()->makeCurrent();
        MTestCanvas::paintRect(canvas()->current(), canvas()->paintedRect().toRect(), qRgba(220, 10, 10, 255));
        canvas()->refresh();
        QTRY_VERIFY(isRed(shownAtCentre()));
    }

    void cleanupTestCase() { window.reset(); }

    void effectOnALayerTunedAndUndone_data()
    {
        QTest::addColumn<bool>("drop"); // else the list's apply button
        QTest::addColumn<int>("undoSteps");
        QTest::newRow("dropped from the list") << true << 2;
        QTest::newRow("the list's button") << false << 1;
    }
    void effectOnALayerTunedAndUndone()
    {
        QFETCH(bool, drop);
        QFETCH(int, undoSteps);
        MTextureLayer *layer = canvas()->current();
        const QModelIndex row = clickEffect(QStringLiteral("grayscale"));
        QVERIFY(row.isValid());
        QCOMPARE(MShaderList::instance()->current()->description(), QStringLiteral("grayscale"));
        QVERIFY(action("actionPreviewShader")->isEnabled());
        const int steps = canvas()->undoStack()->index();

        if (drop) {
            std::unique_ptr<QMimeData> mime(window->shaderWidget()->tableView()->model()->mimeData({row}));
            QVERIFY(mime);
            MWidget *view = window->view();
            const QPoint at = view->rect().center();
            QDragEnterEvent enter(at, Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(view, &enter);
            QVERIFY(enter.isAccepted());
            QDropEvent dropped(at, Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(view, &dropped);
            QVERIFY(layer->hasShader());
            QTRY_VERIFY2(isGrey(shownAtCentre()), qPrintable(shownAtCentre().name()));
            QVERIFY(action("actionEdit_layer_effect_settings")->isEnabled());
        }

        QColor whileOpen;
        bool played = false;
        MTestModalDriver::onNextDialog("DShaderParams", [&](QDialog *dialog) {
            if (!drop)
                QTRY_VERIFY(isGrey(shownAtCentre()));
            auto *panel = dialog->findChild<MFieldPanel *>(QStringLiteral("panelWidget"));
            QSlider *amount = panel && panel->editor("amount") ? panel->editor("amount")->findChild<QSlider *>()
                                                                : nullptr;
            QVERIFY(amount);
            // No grey at all: the layer's own colour shows again.
            amount->setFocus();
            QTest::keyClick(amount, Qt::Key_Home);
            whileOpen = shownAtCentre();
            MTestModalDriver::click(dialog->findChild<QPushButton *>(QStringLiteral("previewButton")));
        }, &played);
        if (drop)
            action("actionEdit_layer_effect_settings")->trigger();
        else
            window->shaderWidget()->findChild<QToolButton *>(QStringLiteral("btnApplyShader"))->click();
        QVERIFY(played);
        QVERIFY2(isRed(whileOpen), qPrintable(whileOpen.name()));
        QVERIFY(layer->hasShader());
        QCOMPARE(layer->shaderValues()->value("amount").toDouble(), 0.0);
        QCOMPARE(canvas()->undoStack()->index(), steps + undoSteps);

        // The settings go back first, then the effect itself.
        action("actionUndo")->trigger();
        if (undoSteps == 2) {
            QVERIFY(layer->hasShader());
            QTRY_VERIFY(isGrey(shownAtCentre()));
            action("actionUndo")->trigger();
        }
        QVERIFY(!layer->hasShader());
        QVERIFY(!action("actionEdit_layer_effect_settings")->isEnabled());
        QTRY_VERIFY(isRed(shownAtCentre()));
    }

    void screenshotWithTheEffectList()
    {
        clickEffect(QStringLiteral("tint"));
        const QImage shot = window->grab().toImage();
        QVERIFY(!shot.isNull());
        shot.save(QStringLiteral("/tmp/g29effects-effectlist.png"));
        QVERIFY(dock()->isVisible());
    }
};

QTEST_MAIN(TestEffectListEndToEnd)
#include "tst_effectlistendtoend.moc"
