// A painter's session in the real window: a brush duplicated from the menu,
// its radius set in the brush settings dock and a stroke as wide as that;
// then an effect chosen in the effect list, previewed and tuned in its
// settings dialog while the canvas follows, and undo taking it off; a stroke
// shown while the pen is still down.

#include "mbrush.h"
#include "mbrushlist.h"
#include "mbrushsettingswidget.h"
#include "mcanvas.h"
#include "mcolorlist.h"
#include "mfieldpanel.h"
#include "mmainwindow.h"
#include "mshader.h"
#include "mshaderlist.h"
#include "mshaderwidget.h"
#include "msliderspinbox.h"
#include "mtestdialogscript.h"
#include "mtesteffectlist.h"
#include "mtestglcontext.h"
#include "mtestmainwindow.h"
#include "mtestpaintingwindow.h"
#include "mtestmodaldriver.h"
#include "mtestscreenshot.h"
#include "mtexturelayer.h"
#include "mtool.h"
#include "mtools.h"
#include "mtransform.h"
#include "mwidget.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QDockWidget>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QUndoStack>

#include <memory>

namespace {
constexpr int W = 400;
constexpr int H = 300;

bool isRed(const QColor &c)
{
    return c.red() > 180 && c.green() < 60 && c.blue() < 60;
}

bool isGrey(const QColor &c)
{
    return qAbs(c.red() - c.green()) < 12 && qAbs(c.green() - c.blue()) < 12 && c.red() > 30 && c.red() < 120;
}
} // namespace

class TestBrushAndEffectEndToEnd : public QObject
{
    Q_OBJECT

private:
    MTestPaintingWindow m_painting;

    QAction *action(const char *name) const { return m_painting.window()->findChild<QAction *>(name); }
    QDockWidget *dock(const char *name) const { return m_painting.window()->findChild<QDockWidget *>(name); }
    MCanvas *canvas() const { return m_painting.canvas(); }
    QColor shownAtCentre() const { return MTestMainWindow::shownAt(m_painting.view(), QPointF(0, 0)); }

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_painting.open(QSize(W, H)));
        m_painting.window()->showPanel(dock("brushSettingsDockWidget"));
        m_painting.window()->showPanel(dock("shaderDockWidget"));
    }

    void cleanupTestCase() { m_painting.close(); }

    // Duplicated from the menu, tuned in the dock: the stroke is as wide as
    // the dock's radius.
    void duplicatedBrushPaintsAtTheDocksRadius()
    {
        MBrushList *brushes = MBrushList::instance();
        QCOMPARE(brushes->currentBrush()->description(), QStringLiteral("round"));
        MTools::instance()->activate(MTool::GridTool, true);

        MTestDialogScript script;
        QString proposed;
        bool named = false;
        MTestModalDriver::onNextDialog("DBrushName", [&](QDialog *dialog) {
            auto *group = dialog->findChild<QComboBox *>("editGroup");
            auto *description = dialog->findChild<QLineEdit *>("editDescription");
            proposed = group->currentText() + QLatin1Char('/') + description->text();
            MTestModalDriver::typeOver(group->lineEdit(), QStringLiteral("mine"));
            MTestModalDriver::typeOver(description, QStringLiteral("wide round"));
            MTestModalDriver::click(dialog->findChild<QPushButton *>("btnOk"));
        }, &named);
        action("actionDuplicate_brush")->trigger();
        QVERIFY(named);
        QCOMPARE(proposed, QStringLiteral("pens/round - copy"));
        QCOMPARE(script.requests().size(), 1);
        QCOMPARE(script.requests().first().text, QStringLiteral("The brush mine/wide round is added."));

        // The copy is current: named on the brush dock, shown in the settings
        // dock, painted with the brush tool, and a user brush that may go.
        MBrush *copy = brushes->currentBrush();
        QCOMPARE(copy->description(), QStringLiteral("wide round"));
        QCOMPARE(dock("brushDockWidget")->windowTitle(), QStringLiteral("Brush - wide round"));
        QCOMPARE(MTools::instance()->currentToolId(), int(MTool::BrushTool));
        QVERIFY(action("actionDelete_brush")->isEnabled());
        QVERIFY(!action("actionRestore_brush")->isEnabled());
        MFieldPanel *panel = m_painting.window()->brushSettingsWidget()->fieldPanel();
        QCOMPARE(panel->object(), copy);
        auto *radius = qobject_cast<MSliderSpinbox *>(panel->editor("radius"));
        QVERIFY(radius);
        QCOMPARE(radius->value(), 4.0);

        // Typed into the dock's radius field as a painter does.
        auto *field = radius->findChild<QDoubleSpinBox *>();
        QVERIFY(field);
        // The dock's editors were rebuilt for the new brush.
        QTRY_VERIFY(field->isVisible());
        MTestModalDriver::typeOver(field, QStringLiteral("12"));
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(copy->radius(), 12.0);

        copy->setHardness(1.0);
        copy->setOpacity(1.0);
        copy->setFlow(1.0);
        MColorList::instance()->setColor(QColor(220, 10, 10));
        QVERIFY(MTestMainWindow::drag(m_painting.view(), QPointF(-120, 0), QPointF(120, 0)));
        QCOMPARE(canvas()->undoStack()->count(), 1);
        QVERIFY(canvas()->undoStack()->text(0).startsWith(QStringLiteral("Brush stroke: wide round")));

        const QImage pixels = MTestMainWindow::layerPixels(canvas(), canvas()->currentRow());
        const QPoint corner = canvas()->paintedRect().topLeft().toPoint();
        for (int x : {-60, 0, 60}) {
            const int height = MTestMainWindow::paintedRows(pixels, x - corner.x());
            QVERIFY2(qAbs(height - 24) <= 2, qPrintable(QStringLiteral("%1 rows at %2").arg(height).arg(x)));
        }
    }

    // Chosen in the list, previewed, tuned in the dialog while the view
    // follows; one undo takes it off.
    void effectPreviewedTunedAndUndone()
    {
        MTextureLayer *layer = canvas()->current();
        QTRY_VERIFY2(isRed(shownAtCentre()), qPrintable(shownAtCentre().name()));
        QVERIFY(!layer->hasShader());
        QVERIFY(!action("actionEdit_layer_effect_settings")->isEnabled());

        QTableView *list = m_painting.window()->shaderWidget()->tableView();
        const QModelIndex cell = MTestEffectList::cellOf(list, QStringLiteral("grayscale"));
        QVERIFY(cell.isValid());
        list->scrollTo(cell);
        QTest::qWait(100);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualRect(cell).center());
        QCOMPARE(MShaderList::instance()->current()->description(), QStringLiteral("grayscale"));
        QVERIFY(action("actionPreviewShader")->isEnabled());
        const int steps = canvas()->undoStack()->index();

        QColor opened;
        QColor tuned;
        bool played = false;
        MTestModalDriver::onNextDialog("DShaderParams", [&](QDialog *dialog) {
            QTRY_VERIFY(isGrey(shownAtCentre()));
            opened = shownAtCentre();
            auto *panel = dialog->findChild<MFieldPanel *>(QStringLiteral("panelWidget"));
            QWidget *amount = panel ? panel->editor("amount") : nullptr;
            QVERIFY(amount);
            auto *field = amount->findChild<QDoubleSpinBox *>();
            QVERIFY(field);
            QTRY_VERIFY(field->isVisible());
            MTestModalDriver::typeOver(field, QStringLiteral("0.5"));
            QTest::keyClick(field, Qt::Key_Return);
            // Half way between the layer's red and its grey.
            QTRY_VERIFY(!isGrey(shownAtCentre()) && !isRed(shownAtCentre()));
            tuned = shownAtCentre();
            MTestModalDriver::click(dialog->findChild<QPushButton *>(QStringLiteral("previewButton")));
        }, &played);
        action("actionPreviewShader")->trigger();
        QVERIFY(played);
        QVERIFY2(tuned.red() > opened.red() + 40, qPrintable(opened.name() + QLatin1Char(' ') + tuned.name()));
        QVERIFY(layer->hasShader());
        QCOMPARE(layer->shaderValues()->value("amount").toDouble(), 0.5);
        QVERIFY(action("actionEdit_layer_effect_settings")->isEnabled());
        QCOMPARE(canvas()->undoStack()->index(), steps + 1);
        QTRY_COMPARE(shownAtCentre(), tuned);

        MTestScreenshot::keep(m_painting.window()->grab(), QStringLiteral("brushandeffect-window.png"));

        action("actionUndo")->trigger();
        QVERIFY(!layer->hasShader());
        QVERIFY(!action("actionEdit_layer_effect_settings")->isEnabled());
        QTRY_VERIFY2(isRed(shownAtCentre()), qPrintable(shownAtCentre().name()));
        // The stroke itself stays.
        QCOMPARE(canvas()->undoStack()->index(), steps);
    }

    // The view draws in its own context: what the stroke drew there must
    // reach it while the pen is still down, not only when it lifts.
    void strokeShownBeforeThePenLifts()
    {
        MWidget *view = m_painting.view();
        const QPointF from = view->transform()->map(QPointF(-120, 60));
        const QPointF to = view->transform()->map(QPointF(120, 60));
        const QColor before = MTestMainWindow::shownAt(view, QPointF(0, 60));
        QVERIFY2(qAbs(before.red() - before.green()) < 12, qPrintable(before.name()));
        // While the pen is down the stroke shows red over what was there.
        const auto reddened = [](const QColor &c) { return c.red() > 180 && c.red() > c.green() + 80; };
        const int steps = canvas()->undoStack()->index();
        MTestMainWindow::mouse(view, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        for (int i = 1; i <= 40; ++i)
            MTestMainWindow::mouse(view, QEvent::MouseMove, from + (to - from) * (i / 40.0), Qt::NoButton,
                                   Qt::LeftButton);
        QVERIFY(canvas()->strokeInProgress());
        for (double x : {-60.0, 0.0, 60.0})
            QTRY_VERIFY2(reddened(MTestMainWindow::shownAt(view, QPointF(x, 60))),
                         qPrintable(MTestMainWindow::shownAt(view, QPointF(x, 60)).name()));
        QVERIFY(canvas()->strokeInProgress());
        MTestScreenshot::keep(view->grabFramebuffer(), QStringLiteral("brushandeffect-pen-down.png"));
        MTestMainWindow::mouse(view, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
        QCOMPARE(canvas()->undoStack()->index(), steps + 1);
        QTRY_VERIFY2(reddened(MTestMainWindow::shownAt(view, QPointF(0, 60))),
                     qPrintable(MTestMainWindow::shownAt(view, QPointF(0, 60)).name()));
    }
};

QTEST_MAIN(TestBrushAndEffectEndToEnd)
#include "tst_brushandeffectendtoend.moc"
