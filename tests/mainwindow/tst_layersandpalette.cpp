#include "mbrush.h"
#include "mbrushlist.h"
#include "mcanvas.h"
#include "mcolorlist.h"
#include "mcolorpalettewidget.h"
#include "mlayerlistcontrol.h"
#include "mlogger.h"
#include "mmainwindow.h"
#include "mopengl.h"
#include "mpalettelist.h"
#include "msettings.h"
#include "mswatchlistpanel.h"
#include "mswatchlistwidget.h"
#include "mtestcanvas.h"
#include "mtestdialogscript.h"
#include "mtestfolder.h"
#include "mtestglcontext.h"
#include "mtestscreenshot.h"
#include "mtestview.h"
#include "mtexturelayer.h"
#include "mthumbnailwidget.h"
#include "mtransform.h"
#include "mwidget.h"

#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QTest>

#include <memory>

// Two layers painted in two colours picked from the palette dock, the upper
// one hidden with its icon in the layer strip, saved, and read back.
namespace {
constexpr int W = 400;
constexpr int H = 300;

using MTestView::click;
using MTestView::mouse;

// Counts the pixels of a colour (premultiplied, opaque) and of anything else.
struct Census
{
    int matching = 0;
    int other = 0;
};

Census census(const QImage &image, QRgb color)
{
    Census result;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (qAlpha(p) == 0)
                continue;
            const bool close = qAbs(qRed(p) - qRed(color)) < 40 && qAbs(qGreen(p) - qGreen(color)) < 40
                               && qAbs(qBlue(p) - qBlue(color)) < 40;
            (close ? result.matching : result.other) += 1;
        }
    }
    return result;
}
} // namespace

class TestLayersAndPalette : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MMainWindow> window;

    void openWindow()
    {
        window.reset(new MMainWindow());
        window->resize(1400, 900);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QTRY_VERIFY(window->view()->canvas()->isGlReady() && window->view()->canvas()->current());
        QTest::qWait(700);
    }

    MLayerListControl *layerList() const
    {
        for (MControl *control : window->view()->controls()) {
            if (auto *list = qobject_cast<MLayerListControl *>(control))
                return list;
        }
        return nullptr;
    }

    QImage layerPixels(int row) const
    {
        MCanvas *canvas = window->view()->canvas();
        canvas->makeCurrent();
        return MTestCanvas::layerImage(canvas->at(row), canvas->paintedRect().toRect());
    }

    // A click on a swatch of the palette dock's strip.
    void pickSwatch(int index)
    {
        MSwatchListPanel *strip = window->colorPaletteWidget()->swatches()->panel();
        QTRY_VERIFY(strip->isVisible() && strip->height() > 40);
        const QRect cell = strip->cellRect(index);
        QVERIFY2(strip->rect().contains(cell.center()), "the swatch is out of sight");
        QTest::mouseClick(strip, Qt::LeftButton, Qt::NoModifier, cell.center());
    }

    void stroke(const QPointF &fromCanvas, const QPointF &toCanvas)
    {
        MWidget *view = window->view();
        const QPointF from = view->transform()->map(fromCanvas);
        const QPointF to = view->transform()->map(toCanvas);
        QVERIFY2(view->rect().contains(from.toPoint()) && view->rect().contains(to.toPoint()),
                 "the document is out of the view");
        QVERIFY2(!layerList()->rect().contains(from) && !layerList()->rect().contains(to),
                 "the stroke would start on the layer strip");
        mouse(view, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        for (int i = 1; i <= 40; ++i)
            mouse(view, QEvent::MouseMove, from + (to - from) * (i / 40.0), Qt::NoButton, Qt::LeftButton);
        mouse(view, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    }

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase()
    {
        MLogger::instance();
        QVERIFY(MOpenGL::instance()->initialize());
        MSettings *settings = MSettings::instance();
        settings->clear();
        settings->set_textDuration(0);
        settings->set_defaultWidth(W);
        settings->set_defaultHeight(H);
        settings->set_thumbnailSize(100);
        settings->set_paletteIndex(0);
    }

    void cleanupTestCase() { window.reset(); }

    void twoLayersPaintedHiddenSavedAndReopened()
    {
        MTestFolder folder;
        openWindow();
        MCanvas *canvas = window->view()->canvas();
        MWidget *view = window->view();
        MLayerListControl *list = layerList();
        QVERIFY(list);
        MBrushList *brushes = MBrushList::instance();
        for (int i = 0; i < brushes->rowCount(); ++i) {
            if (brushes->brush(i)->description() == QLatin1String("hard pencil"))
                brushes->setCurrentRow(i);
        }
        brushes->currentBrush()->setRadius(6);

        // The second layer, then the bottom one chosen in the strip.
        canvas->appendLayer();
        QCOMPARE(canvas->count(), 2);
        QCOMPARE(canvas->currentRow(), 1);
        click(view, list->squareRect(0).center());
        QCOMPARE(canvas->currentRow(), 0);

        // The default palette: ten greys, then pure red first of the hues
        // and pure blue eight hues later.
        window->showPanel(window->findChild<QDockWidget *>(QStringLiteral("colorPaletteDockWidget")));
        MPalette *palette = MPaletteList::instance()->current();
        QCOMPARE(palette->name(), QStringLiteral("Default palette"));
        QCOMPARE(palette->colorAt(10), QColor(255, 0, 0));
        QCOMPARE(palette->colorAt(42), QColor(0, 0, 255));
        pickSwatch(10);
        QCOMPARE(MColorList::instance()->currentColor(), QColor(255, 0, 0));
        stroke(QPointF(-150, -100), QPointF(-40, -100));

        click(view, list->squareRect(1).center());
        QCOMPARE(canvas->currentRow(), 1);
        pickSwatch(42);
        QCOMPARE(MColorList::instance()->currentColor(), QColor(0, 0, 255));
        stroke(QPointF(40, 100), QPointF(150, 100));

        const QImage bottom = layerPixels(0);
        const QImage top = layerPixels(1);
        const Census redBelow = census(bottom, qRgb(255, 0, 0));
        const Census blueAbove = census(top, qRgb(0, 0, 255));
        QVERIFY2(redBelow.matching > 200 && redBelow.other < redBelow.matching / 4, "the bottom layer is red");
        QVERIFY2(blueAbove.matching > 200 && blueAbove.other < blueAbove.matching / 4, "the top layer is blue");
        QCOMPARE(census(bottom, qRgb(0, 0, 255)).matching, 0);
        QCOMPARE(census(top, qRgb(255, 0, 0)).matching, 0);

        // The eye beside the current (upper) layer's square hides it.
        click(view, list->iconRect(list->squareRect(1), MLayerListControl::VisibilityIcon).center());
        QVERIFY(!canvas->at(1)->visible());
        QVERIFY(canvas->at(0)->visible());
        const QString bottomName = canvas->at(0)->name();
        const QString topName = canvas->at(1)->name();
        QVERIFY(bottomName != topName);

        // The view no longer shows the blue stroke; the thumbnail dock shows
        // the upper layer alone.
        auto *thumbnailDock = window->findChild<QDockWidget *>(QStringLiteral("thumbnailDockWidget"));
        window->showPanel(thumbnailDock);
        window->resizeDocks({thumbnailDock}, {240}, Qt::Horizontal);
        QTest::qWait(300);
        const QImage frame = view->grabFramebuffer();
        const auto onView = [view, &frame](const QRectF &canvasRect) {
            return frame.copy(view->transform()->mapRect(canvasRect).toRect());
        };
        QCOMPARE(census(onView(QRectF(30, 85, 130, 30)), qRgb(0, 0, 255)).matching, 0);
        QVERIFY(census(onView(QRectF(-160, -115, 130, 30)), qRgb(255, 0, 0)).matching > 100);
        QCOMPARE(window->thumbnailWidget()->layerIndex(), 1);
        const QImage thumbnail = window->thumbnailWidget()->grabFramebuffer();
        QVERIFY(census(thumbnail, qRgb(0, 0, 255)).matching > 5);
        QCOMPARE(census(thumbnail, qRgb(255, 0, 0)).matching, 0);
        // The window's grab leaves out what the view paints over its GL
        // frame (the strip's names and icons): the view's own frame goes on top.
        QImage shot = window->grab().toImage();
        QPainter(&shot).drawImage(view->mapTo(window.get(), QPoint(0, 0)), frame);
        MTestScreenshot::keep(shot, QStringLiteral("kalmidraw-layers-and-palette.png"));

        const QString path = folder.filePath(QStringLiteral("layers.kxd"));
        {
            MTestDialogScript script;
            script.answerFile(path);
            window->findChild<QAction *>(QStringLiteral("actionFileSave"))->trigger();
            QVERIFY(QFileInfo::exists(path));
            QVERIFY(window->close());
        }
        window.reset();

        openWindow();
        canvas = window->view()->canvas();
        QAction *entry = window->findChild<QMenu *>(QStringLiteral("menuRecentFiles"))->actions().value(0);
        QVERIFY(entry);
        entry->trigger();
        QCOMPARE(canvas->fileName(), path);
        QCOMPARE(canvas->count(), 2);
        QCOMPARE(canvas->at(0)->name(), bottomName);
        QCOMPARE(canvas->at(1)->name(), topName);
        QVERIFY(canvas->at(0)->visible());
        QVERIFY(!canvas->at(1)->visible());
        QCOMPARE(layerPixels(0), bottom);
        QCOMPARE(layerPixels(1), top);
    }
};

QTEST_MAIN(TestLayersAndPalette)
#include "tst_layersandpalette.moc"
