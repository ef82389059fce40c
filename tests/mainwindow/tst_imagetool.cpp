#include "mcanvas.h"
#include "mlayerlistmodel.h"
#include "mimagebackgroundwidget.h"
#include "mimagetool.h"
#include "mmainwindow.h"
#include "msettings.h"
#include "mtestdialogscript.h"
#include "mtestfolder.h"
#include "mtestglcontext.h"
#include "mtestmainwindow.h"
#include "mtestscreenshot.h"
#include "mtools.h"
#include "mtransform.h"
#include "mwidget.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDoubleSpinBox>
#include <QKeyEvent>
#include <QLineF>
#include <QPainter>
#include <QScreen>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QUndoStack>

#include <memory>

// The image tool in the real window: loading, placing, transforming, keying
// and pasting pictures into layers.
namespace {
constexpr int W = 600;
constexpr int H = 400;
const QRgb kRed = qRgb(200, 0, 0);
const QRgb kBlue = qRgb(0, 0, 200);

// 40 x 20: red left half, blue right half, so that flips and moves show.
QImage halves()
{
    QImage image(40, 20, QImage::Format_ARGB32);
    image.fill(kRed);
    QPainter(&image).fillRect(20, 0, 20, 20, QColor(kBlue));
    return image;
}

using MTestMainWindow::paintedPixels;
} // namespace

class TestImageTool : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MMainWindow> window;
    MTestFolder folder;
    QString fixture;

    MWidget *view() const { return window->view(); }
    MCanvas *canvas() const { return view()->canvas(); }
    MImageTool *tool() const { return MTools::instance()->tool<MImageTool>(MTool::ImageTool); }
    QUndoStack *undo() const { return canvas()->undoStack(); }
    QAction *action(const char *name) const { return window->findChild<QAction *>(QLatin1String(name)); }
    void key(Qt::Key code, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QVERIFY(MTestMainWindow::focusView(view()));
        QTest::keyClick(view(), code, modifiers);
    }
    QImage layer(int row) const { return MTestMainWindow::layerPixels(canvas(), row); }
    QImage layer() const { return layer(canvas()->currentRow()); }
    QRgb pixel(const QImage &image, const QPointF &canvasPoint) const
    {
        return image.pixel((canvasPoint - canvas()->paintedRect().topLeft()).toPoint());
    }
    void gesture(const QPointF &from, const QPointF &to, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QVERIFY(MTestMainWindow::toolGesture(tool(), from, to, modifiers));
    }
    // Places the fixture centred on the canvas origin, untransformed.
    void place()
    {
        tool()->loadFromImage(halves());
        QVERIFY(tool()->isPlaced());
        QCOMPARE(tool()->imagePoint(), QPointF(0, 0));
    }
    void clearLayer()
    {
        while (undo()->canUndo())
            undo()->undo();
        QCOMPARE(paintedPixels(layer()), 0);
    }

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase()
    {
        QVERIFY(folder.isValid());
        fixture = folder.filePath(QStringLiteral("halves.png"));
        QVERIFY(halves().save(fixture));
        window = MTestMainWindow::open(QSize(W, H), QSize(1600, 1000));
        QVERIFY(window);
        QVERIFY(!MMainWindow::pendingCommands().contains(QStringLiteral("actionImport_image_file")));
        QVERIFY(!MMainWindow::pendingCommands().contains(QStringLiteral("actionPaste")));
    }

    void cleanupTestCase() { window.reset(); }

    void cleanup()
    {
        if (tool()) {
            tool()->set_transparentBackground(false);
            tool()->set_useTopLeftPixelAsKeyColor(false);
            tool()->set_keyColor(Qt::white);
            tool()->set_pinned(false);
            tool()->set_opacity(1.0);
        }
        if (view() && MTools::instance()->currentToolId() == MTool::ImageTool)
            key(Qt::Key_Escape);
    }

    // The painter's road: "Import image file" asks for a file, the image
    // tool takes it, it is moved and applied with the bar's Apply button, and
    // the layer holds its pixels as one undo step.
    void importPlaceAndApply()
    {
        MTestDialogScript script;
        script.answerFile(fixture);
        QAction *import = action("actionImport_image_file");
        QVERIFY(import && import->isEnabled());
        import->trigger();
        QCOMPARE(script.requests().size(), 1);
        QCOMPARE(script.requests().first().title, QStringLiteral("Images"));
        QCOMPARE(MTools::instance()->currentToolId(), int(MTool::ImageTool));
        auto *bar = window->findChild<QToolBar *>(QStringLiteral("imageToolBar"));
        QVERIFY(bar && bar->isVisible());
        QVERIFY(tool()->isPlaced());
        QCOMPARE(QSizeF(tool()->width(), tool()->height()), QSizeF(40, 20));
        gesture(QPointF(0, 0), QPointF(60, 40));
        QCOMPARE(tool()->imagePoint(), QPointF(60, 40));
        QCOMPARE(undo()->count(), 0);
        view()->update();
        QTest::qWait(200);
        MTestScreenshot::keep(window->screen()->grabWindow(window->winId()), QStringLiteral("image-placing.png"));

        auto *apply = window->findChild<QToolButton *>(QStringLiteral("imageApplyButton"));
        QVERIFY(apply && apply->isVisible());
        QTest::mouseClick(apply, Qt::LeftButton, Qt::NoModifier, QPoint(8, apply->height() / 2));
        QVERIFY(!tool()->isPlaced());
        QCOMPARE(undo()->count(), 1);
        QCOMPARE(undo()->text(0), QStringLiteral("Paste an image"));
        const QImage pixels = layer();
        QCOMPARE(pixel(pixels, QPointF(50, 40)), kRed);
        QCOMPARE(pixel(pixels, QPointF(70, 40)), kBlue);
        QCOMPARE(qAlpha(pixel(pixels, QPointF(0, 0))), 0);
        QCOMPARE(qAlpha(pixel(pixels, QPointF(60, 55))), 0);
        clearLayer();
    }

    // The first click with nothing loaded opens the file chooser: cancelled,
    // nothing is placed; chosen, the image is centred on the clicked point
    // aligned to the grid. An unreadable file is reported, and nothing placed.
    void firstClickLoads()
    {
        MTools::instance()->activate(MTool::ImageTool, true);
        key(Qt::Key_Escape);
        tool()->loadFromImage(QImage()); // ignored: the loaded image stays
        {
            MTestDialogScript script;
            tool()->loadFromFile(); // cancelled: the tool forgets its image
            QCOMPARE(script.requests().size(), 1);
            QVERIFY(tool()->sourceImage().isNull());
            QVERIFY(!tool()->isPlaced());
            QVERIFY(!MTestMainWindow::toolGesture(tool(), QPointF(10, 10), QPointF(10, 10)));
            QCOMPARE(script.requests().size(), 2);
            QVERIFY(!tool()->isPlaced());
        }
        {
            const QString broken = folder.writeFile(QStringLiteral("broken.png"), "not an image");
            MTestDialogScript script;
            script.answerFile(broken);
            QVERIFY(!MTestMainWindow::toolGesture(tool(), QPointF(10, 10), QPointF(10, 10)));
            QCOMPARE(script.requests().size(), 2);
            QCOMPARE(script.requests().at(1).kind, MUtility::MessageDialog);
            QVERIFY(script.requests().at(1).text.contains(QStringLiteral("broken.png")));
            QVERIFY(!tool()->isPlaced());
        }
        MTestDialogScript script;
        script.answerFile(fixture);
        MSettings::instance()->set_alignToGrid(true);
        MSettings::instance()->set_alignToGridSize(10);
        gesture(QPointF(-43, 27), QPointF(-43, 27));
        MSettings::instance()->set_alignToGrid(false);
        QVERIFY(tool()->isPlaced());
        QCOMPARE(tool()->imagePoint(), QPointF(-40, 30));
        // Escape takes it off the canvas; the next click places it again
        // without asking for a file.
        key(Qt::Key_Escape);
        QVERIFY(!tool()->isPlaced());
        gesture(QPointF(20, 20), QPointF(20, 20));
        QVERIFY(tool()->isPlaced());
        QCOMPARE(script.requests().size(), 1);
        QCOMPARE(tool()->imagePoint(), QPointF(20, 20));
    }

    void handles_data()
    {
        QTest::addColumn<QPointF>("handle");
        QTest::addColumn<int>("code");
        QTest::addColumn<QPointF>("delta");
        QTest::addColumn<bool>("control");
        QTest::addColumn<QSizeF>("freeSize");
        QTest::newRow("right edge") << QPointF(20, 0) << 5 << QPointF(40, 7) << false << QSizeF();
        QTest::newRow("bottom edge") << QPointF(0, 10) << 3 << QPointF(3, 10) << false << QSizeF();
        QTest::newRow("corner") << QPointF(20, 10) << 9 << QPointF(40, 30) << false << QSizeF();
        QTest::newRow("right edge, Ctrl") << QPointF(20, 0) << 5 << QPointF(40, 7) << true << QSizeF(80, 20);
        QTest::newRow("corner, Ctrl") << QPointF(20, 10) << 9 << QPointF(40, 30) << true << QSizeF(80, 50);
    }

    // Resizing keeps the picture's ratio; Ctrl frees it.
    void handles()
    {
        QFETCH(QPointF, handle);
        QFETCH(int, code);
        QFETCH(QPointF, delta);
        QFETCH(bool, control);
        QFETCH(QSizeF, freeSize);
        MTools::instance()->activate(MTool::ImageTool, true);
        place();
        QCOMPARE(tool()->hitTest(handle), code);
        QCOMPARE(tool()->hitTest(QPointF(5, 3)), 1);
        QCOMPARE(tool()->hitTest(QPointF(150, 150)), 0);
        gesture(handle, handle + delta, control ? Qt::ControlModifier : Qt::NoModifier);
        if (control) {
            QCOMPARE(QSizeF(tool()->width(), tool()->height()), freeSize);
        } else {
            QVERIFY2(qAbs(tool()->width() / tool()->height() - 2.0) < 1e-9,
                     qPrintable(QStringLiteral("%1 x %2").arg(tool()->width()).arg(tool()->height())));
            QVERIFY(tool()->width() > 40);
        }
        tool()->resetTransfo();
        QCOMPARE(QSizeF(tool()->width(), tool()->height()), QSizeF(40, 20));
    }

    // The corner zones turn the picture by steps of 5 degrees within 0..355,
    // and the bar's angle box follows.
    void rotate()
    {
        MTools::instance()->activate(MTool::ImageTool, true);
        place();
        const double scale = view()->transform()->scale();
        const QPointF zone = QPointF(20, 10) + QPointF(10, 10) / scale;
        QCOMPARE(tool()->hitTest(zone), 10);
        const QLineF arm(QPointF(0, 0), zone);
        QLineF turned = arm;
        turned.setAngle(arm.angle() - 33);
        gesture(zone, turned.p2());
        QCOMPARE(tool()->angle(), 30.0);
        auto *box = window->findChild<QDoubleSpinBox *>(QStringLiteral("imageAngleBox"));
        QVERIFY(box);
        QCOMPARE(box->value(), 30.0);
        tool()->setAngle(0);
        turned.setAngle(arm.angle() + 12);
        gesture(zone, turned.p2());
        QCOMPARE(tool()->angle(), 345.0);
        // The pasted picture is turned: a quarter turn makes it 20 wide.
        tool()->setAngle(90);
        QCOMPARE(tool()->renderImage().size(), QSize(20, 40));
        QCOMPARE(tool()->renderImage().pixel(10, 5), kRed);
        QCOMPARE(tool()->renderImage().pixel(10, 34), kBlue);
    }

    void keying_data()
    {
        QTest::addColumn<bool>("transparent");
        QTest::addColumn<bool>("topLeft");
        QTest::addColumn<QColor>("key");
        QTest::addColumn<int>("redAlpha");
        QTest::addColumn<int>("blueAlpha");
        QTest::newRow("off") << false << false << QColor(kRed) << 255 << 255;
        QTest::newRow("red key") << true << false << QColor(kRed) << 0 << 255;
        QTest::newRow("key without alpha keys nothing") << true << false << QColor(200, 0, 0, 0) << 255 << 255;
        QTest::newRow("top-left pixel") << true << true << QColor(kBlue) << 0 << 255;
    }

    // Keying through the bar's "Image background" panel.
    void keying()
    {
        QFETCH(bool, transparent);
        QFETCH(bool, topLeft);
        QFETCH(QColor, key);
        QFETCH(int, redAlpha);
        QFETCH(int, blueAlpha);
        place();
        tool()->set_keyColor(key);
        MImageBackgroundWidget panel;
        panel.objectToWidgets();
        auto *transparentBox = panel.findChild<QCheckBox *>(QStringLiteral("transparentCheckBox"));
        auto *topLeftBox = panel.findChild<QCheckBox *>(QStringLiteral("useTopLeftPixelCheckBox"));
        QVERIFY(transparentBox && topLeftBox);
        if (transparent)
            transparentBox->click();
        if (topLeft)
            topLeftBox->click();
        QCOMPARE(tool()->transparentBackground(), transparent);
        QCOMPARE(tool()->useTopLeftPixelAsKeyColor(), topLeft);
        const QImage shown = tool()->displayedImage();
        QCOMPARE(qAlpha(shown.pixel(5, 5)), redAlpha);
        QCOMPARE(qAlpha(shown.pixel(35, 5)), blueAlpha);
        QCOMPARE(tool()->sourceImage().pixel(5, 5), kRed);
    }

    // Flips mirror what is shown and pasted; a rebuild from the source
    // (here: the keying switched) drops them.
    void flips()
    {
        place();
        tool()->flipHorizontal();
        QCOMPARE(tool()->displayedImage().pixel(5, 5), kBlue);
        QCOMPARE(tool()->renderImage().pixel(35, 5), kRed);
        tool()->flipVertical();
        QCOMPARE(tool()->displayedImage().pixel(5, 5), kBlue);
        tool()->set_transparentBackground(true);
        QCOMPARE(tool()->displayedImage().pixel(5, 5), kRed);
    }

    // Ctrl+Return pastes and keeps a copy 10 pixels right and down; "Apply in
    // new layer" pastes into a new layer; the opacity carries into the paste.
    void pasteVariants()
    {
        MTools::instance()->activate(MTool::ImageTool, true);
        place();
        // The window also binds Ctrl+Return, to locking the layer: a placed
        // image takes the key first.
        const bool locked = canvas()->current()->locked();
        key(Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(canvas()->current()->locked(), locked);
        QVERIFY(tool()->isPlaced());
        QCOMPARE(tool()->imagePoint(), QPointF(10, 10));
        QCOMPARE(undo()->count(), 1);
        QCOMPARE(pixel(layer(), QPointF(-15, -5)), kRed); // only the first copy reaches here
        const int layers = canvas()->layerModel()->rowCount();
        const int row = canvas()->currentRow();
        tool()->set_opacity(0.5);
        tool()->applyInNewLayer();
        QVERIFY(!tool()->isPlaced());
        QCOMPARE(canvas()->layerModel()->rowCount(), layers + 1);
        QVERIFY(canvas()->currentRow() != row);
        const QRgb half = pixel(layer(), QPointF(25, 15));
        QVERIFY2(qAbs(qAlpha(half) - 128) <= 2, qPrintable(QString::number(qAlpha(half))));
        QCOMPARE(qAlpha(pixel(layer(), QPointF(-15, -5))), 0);
        clearLayer();
        QCOMPARE(canvas()->layerModel()->rowCount(), layers);
    }

    // A pinned picture is drawn without frame or handles, also while another
    // tool is active; unpinned it shows only with its tool.
    void pinned_data()
    {
        QTest::addColumn<bool>("pinned");
        QTest::addColumn<bool>("active");
        QTest::addColumn<bool>("picture");
        QTest::addColumn<bool>("handles");
        QTest::newRow("active") << false << true << true << true;
        QTest::newRow("pinned, active") << true << true << true << false;
        QTest::newRow("pinned, other tool") << true << false << true << false;
        QTest::newRow("other tool") << false << false << false << false;
    }

    void pinned()
    {
        QFETCH(bool, pinned);
        QFETCH(bool, active);
        QFETCH(bool, picture);
        QFETCH(bool, handles);
        MTools::instance()->activate(active ? MTool::ImageTool : MTool::BrushTool, true);
        place();
        const QList<QAction *> pin = window->findChild<QToolBar *>(QStringLiteral("imageToolBar"))->actions();
        QAction *pinAction = nullptr;
        for (QAction *a : pin)
            if (a->toolTip() == QStringLiteral("Pin the image"))
                pinAction = a;
        QVERIFY(pinAction && pinAction->isCheckable());
        pinAction->setChecked(pinned);
        QCOMPARE(tool()->pinned(), pinned);
        QImage image(view()->size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            painter.setTransform(view()->transform()->matrix());
            tool()->paint(&painter);
        }
        int red = 0;
        int green = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRgb p = image.pixel(x, y);
                red += p == kRed;
                green += p == qRgb(0, 255, 0);
            }
        }
        QCOMPARE(red > 0, picture);
        QCOMPARE(green > 0, handles);
        pinAction->setChecked(false);
    }

    // Paste hands the clipboard's picture to the image tool; Return applies it.
    void pasteFromClipboard()
    {
        MTools::instance()->activate(MTool::BrushTool, true);
        QGuiApplication::clipboard()->setImage(halves().convertToFormat(QImage::Format_RGB32));
        QTest::qWait(50);
        QAction *paste = action("actionPaste");
        QVERIFY(paste);
        QTRY_VERIFY(paste->isEnabled());
        paste->trigger();
        QCOMPARE(MTools::instance()->currentToolId(), int(MTool::ImageTool));
        QVERIFY(tool()->isPlaced());
        QCOMPARE(tool()->sourceImage().format(), QImage::Format_ARGB32_Premultiplied);
        QCOMPARE(QSizeF(tool()->width(), tool()->height()), QSizeF(40, 20));
        key(Qt::Key_Return);
        QCOMPARE(undo()->count(), 1);
        QCOMPARE(undo()->text(0), QStringLiteral("Paste an image"));
        QCOMPARE(pixel(layer(), QPointF(-10, 0)), kRed);
        QCOMPARE(pixel(layer(), QPointF(10, 0)), kBlue);
        clearLayer();
        QGuiApplication::clipboard()->setText(QStringLiteral("text"));
        QTRY_VERIFY(!paste->isEnabled());
    }
};

QTEST_MAIN(TestImageTool)
#include "tst_imagetool.moc"
