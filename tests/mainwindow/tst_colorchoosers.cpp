#include "dcolorutility.h"
#include "mbrush.h"
#include "mbrushlist.h"
#include "mcanvas.h"
#include "mcolorgradientwidget.h"
#include "mcolorlist.h"
#include "mcolorlistwidget.h"
#include "mcolorpickertool.h"
#include "mcolorslider.h"
#include "mcolorwidget.h"
#include "mgradientpalette.h"
#include "mmainwindow.h"
#include "mpalettelist.h"
#include "mtestcanvas.h"
#include "mtestglcontext.h"
#include "mtestmainwindow.h"
#include "mtestmodaldriver.h"
#include "mtestscreenshot.h"
#include "mtexturelayer.h"
#include "mtransform.h"
#include "mwidget.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDockWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QUndoStack>

#include <memory>

// The colour choosers in the real window: a colour chosen in the colour dock
// is the colour a stroke paints with; the gradient dock, the screen picker
// command and the colour converter set the colour a painter paints with next.
namespace {
constexpr int W = 400;
constexpr int H = 300;

QColor unpremultiplied(QRgb p)
{
    return QColor::fromRgba(qUnpremultiply(p));
}
} // namespace

class TestColorChoosers : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MMainWindow> window;

    template <class T>
    T *child(const char *name) const
    {
        return window->findChild<T *>(QString::fromLatin1(name));
    }

    void stroke(const QPointF &docFrom, const QPointF &docTo)
    {
        QVERIFY2(MTestMainWindow::drag(window->view(), docFrom, docTo), "the document is out of the view");
    }

    QImage layerPixels() const { return MTestMainWindow::layerPixels(window->view()->canvas()); }

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase()
    {
        window = MTestMainWindow::open(QSize(W, H), QSize(1400, 900));
        QVERIFY(window);
    }

    void cleanupTestCase()
    {
        window.reset();
        QVERIFY(!MColorPickerTool::existingInstance());
    }

    void docksHoldThePanels()
    {
        auto *colorDock = child<QDockWidget>("colorDockWidget");
        auto *gradientDock = child<QDockWidget>("gradientDockWidget");
        QCOMPARE(window->colorWidget()->parentWidget(), colorDock->widget());
        QCOMPARE(window->gradientPalette()->parentWidget(), gradientDock->widget());
        for (const char *name : {"actionColorPickerTool", "actionColor_converter"}) {
            QVERIFY(!MMainWindow::pendingCommands().contains(name));
            QVERIFY(child<QAction>(name)->isEnabled());
        }
    }

    // A colour chosen on the picker of the colour dock is the colour of the
    // next stroke's pixels.
    void chosenColourPaints()
    {
        window->showPanel(child<QDockWidget>("colorDockWidget"));
        MColorWidget *panel = window->colorWidget();
        MColorGradientWidget *picker = panel->gradientWidget();
        QTRY_VERIFY(picker->isVisible() && !picker->image().isNull());
        panel->typeCombo()->setCurrentIndex(0);
        // Panel 1: hue across, value down; a third across and a quarter down
        // is a strong green-cyan.
        const QPoint at(picker->width() / 3, picker->height() / 4);
        QColor chosen = picker->image().pixelColor(at);
        QVERIFY2(chosen.green() > 150 && chosen.red() < 60, qPrintable(chosen.name()));
        QTest::mouseClick(picker, Qt::LeftButton, Qt::NoModifier, at);
        MColorList *list = MColorList::instance();
        QCOMPARE(list->currentColor(), chosen);
        QCOMPARE(panel->greenSlider()->value(), chosen.green());
        // The red slider's drag moves it a little further, keeping the rest.
        panel->redSlider()->setValue(chosen.red() + 20);
        chosen.setRed(chosen.red() + 20);
        QCOMPARE(list->currentColor(), chosen);

        MBrushList *brushes = MBrushList::instance();
        for (int i = 0; i < brushes->rowCount(); ++i) {
            if (brushes->brush(i)->description() == QLatin1String("round brush"))
                brushes->setCurrentRow(i);
        }
        QCOMPARE(brushes->currentBrush()->description(), QString("round brush"));

        MCanvas *canvas = window->view()->canvas();
        const int before = canvas->undoStack()->count();
        const int historyBefore = list->count();
        stroke(QPointF(-120, -30), QPointF(120, 30));
        QCOMPARE(canvas->undoStack()->count(), before + 1);
        QCOMPARE(canvas->undoStack()->text(before), QString("Brush stroke: round brush, %1").arg(chosen.name()));

        const QImage painted = layerPixels();
        int opaque = 0;
        for (int y = 0; y < painted.height(); ++y) {
            for (int x = 0; x < painted.width(); ++x) {
                const QRgb p = painted.pixel(x, y);
                if (qAlpha(p) < 250)
                    continue;
                ++opaque;
                const QColor c = unpremultiplied(p);
                QVERIFY2(qAbs(c.red() - chosen.red()) <= 2 && qAbs(c.green() - chosen.green()) <= 2
                             && qAbs(c.blue() - chosen.blue()) <= 2,
                         qPrintable(QString("%1 at %2,%3 instead of %4").arg(c.name()).arg(x).arg(y).arg(chosen.name())));
            }
        }
        QVERIFY2(opaque > 500, qPrintable(QString::number(opaque)));
        // The stroke's colour went into the history strip, once.
        QCOMPARE(list->count(), historyBefore + 1);
        QCOMPARE(list->colorAt(list->count() - 1), chosen);
    }

    void gradientDockChoosesTheColour()
    {
        auto *dock = child<QDockWidget>("gradientDockWidget");
        window->showPanel(dock);
        MGradientPalette *palette = window->gradientPalette();
        QTRY_VERIFY(palette->isVisible() && palette->width() > 40 && palette->height() > 40);
        const QPoint at(palette->width() / 2, palette->height() / 2);
        QTest::mouseClick(palette, Qt::LeftButton, Qt::NoModifier, at);
        const double hm = palette->height();
        const QColor expected = palette->blendAt(at.x() / double(palette->width()), (hm - at.y()) / hm);
        QCOMPARE(MColorList::instance()->currentColor(), expected);
        // The colour dock follows.
        QCOMPARE(window->colorWidget()->color(), expected);
        QCOMPARE(window->colorWidget()->blueSlider()->value(), expected.blue());

        QWidget *colors = window->colorWidget();
        QTRY_VERIFY(colors->isVisible());
        window->resizeDocks({dock}, {200}, Qt::Horizontal);
        QTRY_VERIFY(palette->width() > 150);
        const QImage shot = window->grab().toImage();
        MTestScreenshot::keep(shot, QStringLiteral("kalmidraw-colour-docks.png"));
    }

    void pickerCommand()
    {
        QAction *action = child<QAction>("actionColorPickerTool");
        action->trigger();
        MColorPickerTool *tool = MColorPickerTool::existingInstance();
        QVERIFY(tool);
        QVERIFY(tool->isVisible());
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(10, 10), QPointF(tool->mapToGlobal(QPoint(10, 10))),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(tool, &release);
        QVERIFY(!tool->isVisible());
        QCOMPARE(MColorList::instance()->currentColor(), tool->color());
        QCOMPARE(window->colorWidget()->color(), tool->color());
    }

    void converterCommand()
    {
        QString title;
        QTimer::singleShot(0, this, [&title]() {
            auto *dialog = qobject_cast<DColorUtility *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            title = dialog->windowTitle();
            dialog->findChild<QSpinBox *>("sbRGB_R")->setValue(12);
            dialog->findChild<QSpinBox *>("sbRGB_G")->setValue(34);
            dialog->findChild<QSpinBox *>("sbRGB_B")->setValue(56);
            dialog->findChild<QPushButton *>("setBrushColorBtn")->click();
            dialog->reject();
        });
        child<QAction>("actionColor_converter")->trigger();
        QCOMPARE(title, QString("Color converter"));
        QCOMPARE(MColorList::instance()->currentColor(), QColor(12, 34, 56));
        QCOMPARE(window->colorWidget()->redSlider()->value(), 12);
        QVERIFY(!window->findChild<DColorUtility *>());
    }

    // "Add color to palette" puts the colour first in the palette shown by
    // the palette dock.
    void converterAddsToThePalette()
    {
        MPalette *palette = MPaletteList::instance()->current();
        QVERIFY(palette);
        const int count = palette->count();
        MTestModalDriver::onNextDialog("DColorUtility", [](QDialog *dialog) {
            dialog->findChild<QSpinBox *>("sbRGB_R")->setValue(3);
            dialog->findChild<QSpinBox *>("sbRGB_G")->setValue(141);
            dialog->findChild<QSpinBox *>("sbRGB_B")->setValue(59);
            dialog->findChild<QPushButton *>("addColorToPaletteBtn")->click();
            dialog->reject();
        });
        child<QAction>("actionColor_converter")->trigger();
        QCOMPARE(palette->colorAt(0), QColor(3, 141, 59));
        QCOMPARE(palette->count(), count + 1);
        QCOMPARE(MPaletteList::instance()->current(), palette);
    }

    void clearHistoryEmptiesTheStrip()
    {
        MColorList *list = MColorList::instance();
        QVERIFY(list->count() > 0);
        MColorListWidget *strip = window->colorWidget()->colorListWidget();
        QCOMPARE(strip->cellAt(QPointF(2, strip->height() - 2)).first, int(MColorListWidget::HistoryRow));
        child<QAction>("actionClearColorHisto")->trigger();
        QCOMPARE(list->count(), 0);
        QCOMPARE(list->currentColor(), QColor(Qt::black));
        QCOMPARE(window->colorWidget()->color(), QColor(Qt::black));
        QCOMPARE(strip->cellAt(QPointF(2, strip->height() - 2)).first, int(MColorListWidget::GeneratedRow));
    }
};

QTEST_MAIN(TestColorChoosers)
#include "tst_colorchoosers.moc"
