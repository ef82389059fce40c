#include "mcanvas.h"
#include "mcolorlist.h"
#include "menumedit.h"
#include "mgradientitem.h"
#include "mgradienttool.h"
#include "mmainwindow.h"
#include "mtestglcontext.h"
#include "mtestmainwindow.h"
#include "mtestpixels.h"
#include "mtestscreenshot.h"
#include "mtools.h"
#include "mtransform.h"
#include "mwidget.h"

#include <QAction>
#include <QComboBox>
#include <QPainter>
#include <QTest>
#include <QToolBar>
#include <QUndoStack>

#include <memory>

// The gradient tool in the real window: a rectangular selection, the
// gradient's end points dragged onto its edges, an inner stop added with
// Control, Return, and only the selection holds the gradient.
namespace {
constexpr int W = 600;
constexpr int H = 400;
const QRectF selected(-100, -60, 200, 120);
} // namespace

class TestGradientTool : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MMainWindow> window;

    MWidget *view() const { return window->view(); }
    MCanvas *canvas() const { return view()->canvas(); }
    static MGradientTool *tool() { return MTools::instance()->tool<MGradientTool>(MTool::GradientTool); }
    QAction *action(const char *name) const { return window->findChild<QAction *>(QString::fromLatin1(name)); }
    QImage layer() const { return MTestMainWindow::layerPixels(canvas()); }
    QRgb pixel(const QImage &image, const QPointF &canvasPoint) const
    {
        return image.pixel((canvasPoint - canvas()->paintedRect().topLeft()).toPoint());
    }
    void click(const QPointF &at, Qt::KeyboardModifiers modifiers)
    {
        const QPointF p = view()->transform()->map(at);
        MTestMainWindow::mouse(view(), QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton, modifiers);
        MTestMainWindow::mouse(view(), QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton, modifiers);
    }
    void choose(const char *name, int toolId)
    {
        QAction *tool = action(name);
        QVERIFY(tool && tool->isEnabled());
        QWidget *button = window->findChild<QToolBar *>(QStringLiteral("toolsToolBar"))->widgetForAction(tool);
        QVERIFY(button);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(MTools::instance()->currentToolId(), toolId);
    }

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase()
    {
        window = MTestMainWindow::open(QSize(W, H), QSize(1400, 900));
        QVERIFY(window);
        MColorList::instance()->setColor(QColor(0, 255, 0));
    }

    void cleanupTestCase() { window.reset(); }

    // The bar as the painter reads it; its choosers set the tool's type and spread.
    void optionBar()
    {
        QToolBar *bar = MTools::instance()->toolBar(MTool::GradientTool);
        QVERIFY(bar && bar->isHidden());
        QCOMPARE(MTestMainWindow::barContents(bar),
                 QStringList({"label GRADIENT:", "|", "label Type", "|", "MEnumEdit gradientTypeEdit", "|", "label Spread",
                              "|", "MEnumEdit gradientSpreadEdit", "|", "action Rasterize", "action Remove",
                              "action Reset", "action Transparent color"}));
        const QList<QPair<QString, QString>> tips{{"Rasterize", "Rasterize current gradient"},
                                                  {"Remove", "Remove selected gradient point"},
                                                  {"Reset", "Reset gradient points"},
                                                  {"Transparent color", "Transparent color"}};
        for (const auto &tip : tips) {
            QAction *found = nullptr;
            for (QAction *a : bar->actions())
                found = a->text() == tip.first ? a : found;
            QVERIFY2(found && found->toolTip() == tip.second && !found->icon().isNull(), qPrintable(tip.first));
        }
        for (const char *name : {"gradientTypeEdit", "gradientSpreadEdit"}) {
            auto *edit = window->findChild<MEnumEdit *>(QString::fromLatin1(name));
            QCOMPARE(edit->maximumWidth(), 150);
            QCOMPARE(edit->findChild<QComboBox *>()->count(), 3);
        }
        window->findChild<MEnumEdit *>(QStringLiteral("gradientTypeEdit"))->setValue(MGradientTool::Radial);
        window->findChild<MEnumEdit *>(QStringLiteral("gradientSpreadEdit"))->setValue(MGradientTool::ReflectSpread);
        QCOMPARE(tool()->type(), int(MGradientTool::Radial));
        QCOMPARE(tool()->spread(), int(MGradientTool::ReflectSpread));
        window->findChild<MEnumEdit *>(QStringLiteral("gradientTypeEdit"))->setValue(MGradientTool::Linear);
        window->findChild<MEnumEdit *>(QStringLiteral("gradientSpreadEdit"))->setValue(MGradientTool::PadSpread);
    }

    void dragAGradientAcrossTheSelection()
    {
        choose("actionSelectionTool", MTool::SelectionTool);
        QVERIFY(MTestMainWindow::dragAndHold(view(), selected.topLeft(), selected.bottomRight()));
        const QRectF bounds = canvas()->selectionPath().boundingRect();
        QVERIFY2(qAbs(bounds.left() - selected.left()) < 2 && qAbs(bounds.right() - selected.right()) < 2,
                 qPrintable(QStringLiteral("%1 %2").arg(bounds.left()).arg(bounds.right())));

        choose("actionGradientTool", MTool::GradientTool);
        QVERIFY(MTools::instance()->toolBar(MTool::GradientTool)->isVisible());
        view()->update();
        QTest::qWait(100);
        // The default stops, red to blue over the middle half of the document.
        QCOMPARE(tool()->count(), 2);
        QCOMPARE(tool()->item(0)->point(), QPointF(-150, 0));
        QCOMPARE(tool()->item(1)->point(), QPointF(150, 0));
        // Grab each end by its handle and lay it on an edge of the selection.
        QVERIFY(MTestMainWindow::dragAndHold(view(), QPointF(-150, 0), QPointF(-100, 0)));
        QVERIFY(MTestMainWindow::dragAndHold(view(), QPointF(150, 0), QPointF(100, 0)));
        QVERIFY2(QLineF(tool()->item(0)->point(), QPointF(-100, 0)).length() < 2,
                 qPrintable(QString::number(tool()->item(0)->point().x())));
        QVERIFY2(QLineF(tool()->item(1)->point(), QPointF(100, 0)).length() < 2,
                 qPrintable(QString::number(tool()->item(1)->point().x())));
        // Control adds a stop in the current colour where the click projects.
        click(QPointF(0, 40), Qt::ControlModifier);
        QCOMPARE(tool()->count(), 3);
        QVERIFY(qAbs(tool()->item(2)->point().y() - tool()->item(0)->point().y()) < 1);
        QCOMPARE(tool()->item(2)->color(), QColor(0, 255, 0));
        QCOMPARE(canvas()->undoStack()->count(), 0);

        // The picture: the gradient inside the selection, its line and stops.
        view()->update();
        QTest::qWait(300);
        QImage shot = window->grab().toImage();
        {
            QPainter painter(&shot);
            painter.drawImage(view()->mapTo(window.get(), QPoint(0, 0)), view()->grabFramebuffer());
        }
        MTestScreenshot::keep(shot, QStringLiteral("kalmidraw-gradient.png"));

        QVERIFY(MTestMainWindow::focusView(view()));
        QTest::keyClick(view(), Qt::Key_Return);
        QCOMPARE(canvas()->undoStack()->count(), 1);
        QCOMPARE(canvas()->undoStack()->text(0), QStringLiteral("Rasterize gradient"));
        QCOMPARE(MTools::instance()->currentToolId(), int(MTool::BrushTool));
        QVERIFY(action("actionBrushTool")->isChecked());
        QVERIFY(!MTools::instance()->toolBar(MTool::GradientTool)->isVisible());

        const QImage pixels = layer();
        // Only the selection changed, all of it.
        const int painted = MTestMainWindow::paintedPixels(pixels);
        QVERIFY2(qAbs(painted - 200 * 120) <= 2 * (200 + 120), qPrintable(QString::number(painted)));
        for (const QPointF &outside : {QPointF(-150, 0), QPointF(150, 0), QPointF(0, -70), QPointF(0, 70)})
            QCOMPARE(qAlpha(pixel(pixels, outside)), 0);
        const QPointF start = tool()->item(0)->point(), middle = tool()->item(2)->point();
        const struct { QPointF at; QRgb expected; } samples[] = {
            {start + QPointF(1, -50), qRgb(250, 5, 0)}, {middle + QPointF(0, 50), qRgb(0, 255, 0)},
            {QPointF(98, 0), qRgb(0, 5, 250)}};
        for (const auto &sample : samples) {
            const QRgb p = pixel(pixels, sample.at);
            QVERIFY2(MTestPixels::near(p, sample.expected, 12), qPrintable(MTestPixels::text(p)));
        }

        // One step: undone, the layer is empty again.
        canvas()->undoStack()->undo();
        QCOMPARE(MTestMainWindow::paintedPixels(layer()), 0);
        // The stops wait for the next time the tool is chosen.
        choose("actionGradientTool", MTool::GradientTool);
        QCOMPARE(tool()->count(), 3);
    }
};

QTEST_MAIN(TestGradientTool)
#include "tst_gradienttool.moc"
