#include "mcanvas.h"
#include "menum.h"
#include "mmainwindow.h"
#include "mtestcanvas.h"
#include "mtestdialogscript.h"
#include "mtestfolder.h"
#include "mtestglcontext.h"
#include "mtestmainwindow.h"
#include "mtestscreenshot.h"
#include "mtexturelayer.h"
#include "mtexturetile.h"
#include "mtransform.h"
#include "mwidget.h"

#include <QFile>
#include <QMessageBox>
#include <QTest>
#include <QUndoStack>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <memory>

// A document of many tiles opened in the real window as a painter opens one:
// the first frame comes while its tiles are still coming in and shows those
// that are in, a save asked for meanwhile writes the whole document, and
// once all are in the view and the layers hold what was saved.
namespace {

// Three layers over 6 x 4 cells around the origin, each tile one colour of
// its own, half transparent, on an opaque paper.
const QRectF painted(-1250, -1000, 2500, 2000);
constexpr int layerCount = 3;
const QRgb paper = qRgb(230, 220, 200);

QRgb cellColour(int row, const QPoint &cell)
{
    return MTestCanvas::premultiplied(QColor(40 * (cell.x() + 3) + 20, 50 * (cell.y() + 2) + 30, 80 * row + 40, 160));
}

// The grid cell (in steps of 500) of a canvas point.
QPoint cellOf(const QPointF &point)
{
    return QPoint(int(std::floor(point.x() / 500)), int(std::floor(point.y() / 500)));
}

bool near(QRgb a, QRgb b, int tolerance)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance
           && std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

QString text(QRgb pixel)
{
    return QStringLiteral("%1,%2,%3").arg(qRed(pixel)).arg(qGreen(pixel)).arg(qBlue(pixel));
}

} // namespace

class TestDocumentLoadingEndToEnd : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MMainWindow> window;
    std::unique_ptr<MTestFolder> folder;

    MCanvas *canvas() const { return window->view()->canvas(); }

    void saveFixture(const QString &path)
    {
        MCanvas *document = canvas();
        document->makeCurrent();
        while (document->count() < layerCount)
            document->appendLayer();
        document->setPaintedRect(painted);
        document->setPaperType(MEnum::Colored);
        document->setPaperColor(QColor(paper));
        for (int row = 0; row < layerCount; ++row) {
            for (int y = -2; y < 2; ++y) {
                for (int x = -3; x < 3; ++x) {
                    auto *tile = static_cast<MTextureTile *>(document->at(row)->addTile(QPointF(x * 500 + 250, y * 500 + 250)));
                    const QRgb colour = cellColour(row, QPoint(x, y));
                    const uchar rgba[4] = {uchar(qRed(colour)), uchar(qGreen(colour)), uchar(qBlue(colour)),
                                           uchar(qAlpha(colour))};
                    QByteArray pixels(tile->byteSize(), Qt::Uninitialized);
                    for (int i = 0; i < pixels.size(); ++i)
                        pixels[i] = char(rgba[i % 4]);
                    QVERIFY(tile->ensureTexture() && tile->setData(pixels.constData()));
                }
            }
        }
        QVERIFY(document->saveToFile(path));
        document->reset();
        QVERIFY(!document->isModified());
    }

    // What the view shows at a canvas point: the layers whose tile there is
    // in, laid over the paper.
    QRgb expectedAt(const QPointF &point)
    {
        QRgb pixel = paper;
        for (int row = 0; row < canvas()->count(); ++row) {
            MTile *tile = canvas()->at(row)->tileAt(point);
            if (tile && tile->isValid())
                pixel = MTestCanvas::over(pixel, cellColour(row, cellOf(point)));
        }
        return pixel;
    }

    // Compares the frame with the expectation in the middle of what the view
    // shows of every cell; the number of cells whose every layer was shown.
    int checkFrame(const QImage &frame, const MTransform &transform, QStringList &mismatches)
    {
        const double ratio = frame.devicePixelRatio();
        const QRectF shown = transform.mapRectFromView(QRectF(QPointF(0, 0), QSizeF(frame.size()) / ratio));
        int whole = 0;
        for (int y = -2; y < 2; ++y) {
            for (int x = -3; x < 3; ++x) {
                // Away from the cell's edges, where the smoothing of the view
                // blends neighbours.
                const QRectF part = QRectF(x * 500 + 20, y * 500 + 20, 460, 460) & shown.adjusted(20, 20, -20, -20);
                if (part.isEmpty())
                    continue;
                // The layer list lies over the view's top left corner: a
                // cell wholly under it is not seen.
                const QRectF list(0, 0, 140, 270);
                const QPointF candidates[] = {part.center(), part.bottomRight(), part.topRight(), part.bottomLeft()};
                const QPointF *seen = std::find_if(std::begin(candidates), std::end(candidates),
                                                   [&](const QPointF &p) { return !list.contains(transform.map(p)); });
                if (seen == std::end(candidates))
                    continue;
                const QPointF centre = *seen;
                const QPoint at = (transform.map(centre) * ratio).toPoint();
                const QRgb expected = expectedAt(centre);
                if (!near(frame.pixel(at), expected, 3))
                    mismatches << QStringLiteral("cell %1,%2 shows %3, expected %4")
                                      .arg(x)
                                      .arg(y)
                                      .arg(text(frame.pixel(at)), text(expected));
                bool all = true;
                for (int row = 0; row < canvas()->count(); ++row)
                    all = all && canvas()->at(row)->tileAt(centre)->isValid();
                whole += all ? 1 : 0;
            }
        }
        return whole;
    }

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase() { QVERIFY(MTestMainWindow::prepare(QSize(400, 300))); }

    void init()
    {
        folder.reset(new MTestFolder());
        window.reset(new MMainWindow());
        QVERIFY(MTestMainWindow::show(window.get(), QSize(1200, 800)));
    }

    void cleanup() { window.reset(); }

    void openedTileByTileSavedWhole()
    {
        const QString path = folder->filePath(QStringLiteral("mural.kxd"));
        saveFixture(path);
        const QByteArray saved = folder->readFile(QStringLiteral("mural.kxd"));
        MWidget *view = window->view();
        QVERIFY(MTestMainWindow::focusView(view));

        // Opened with the keyboard and the file chooser: the command returns
        // with the first tiles in, and the frame drawn then shows them.
        MTestDialogScript script;
        script.answerFile(path);
        QTest::keyClick(window.get(), Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(script.requests().size(), 1);
        QVERIFY(canvas()->isLoading());
        QCOMPARE(canvas()->count(), layerCount);
        const QImage first = view->grabFramebuffer();
        MTestScreenshot::keep(first, QStringLiteral("document-loading-first-frame.png"));
        QStringList mismatches;
        const int shownWhole = checkFrame(first, *view->transform(), mismatches);
        QVERIFY(shownWhole >= 1);
        QVERIFY(canvas()->isLoading());

        // Saved while tiles are still to come: the file is whole, byte for byte
        // the one opened.
        QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier);
        QVERIFY(!canvas()->isLoading());
        QVERIFY(folder->readFile(QStringLiteral("mural.kxd")) == saved);
        QVERIFY(!canvas()->isModified());

        // Every layer holds what was saved, and the view shows all of it.
        const QImage layer = MTestMainWindow::layerPixels(canvas(), 1);
        for (int y = -2; y < 2; ++y) {
            for (int x = -3; x < 3; ++x) {
                const QPointF inside = (QRectF(x * 500, y * 500, 500, 500) & painted).center();
                QCOMPARE(text(layer.pixel((inside - painted.topLeft()).toPoint())), text(cellColour(1, QPoint(x, y))));
            }
        }
        QVERIFY(MTestMainWindow::chooseCommand(window.get(), "menuWindow", "actionViewAllCanvas"));
        QTRY_VERIFY_WITH_TIMEOUT(view->transform()->mapRectFromView(QRectF(view->rect())).contains(painted), 10000);
        const QImage final = view->grabFramebuffer();
        MTestScreenshot::keep(final, QStringLiteral("document-loading-final-frame.png"));
        mismatches.clear();
        QVERIFY(checkFrame(final, *view->transform(), mismatches) >= 20);
        QVERIFY2(mismatches.isEmpty(), qPrintable(mismatches.join(QStringLiteral("; "))));
    }

    // A file cut short after it was checked, while its tiles come in: the
    // painter's next key waits for the load, which fails; the painter is
    // told why and has a new document, not half of the old one.
    void fileCutShortWhileItLoads()
    {
        const QString path = folder->filePath(QStringLiteral("mural.kxd"));
        saveFixture(path);
        MWidget *view = window->view();
        QVERIFY(MTestMainWindow::focusView(view));
        MTestDialogScript script;
        script.answerFile(path);
        QTest::keyClick(window.get(), Qt::Key_O, Qt::ControlModifier);
        QVERIFY(canvas()->isLoading());
        QVERIFY(QFile::resize(path, 2 * 1048576));

        script.answer(QMessageBox::Ok);
        QTest::keyClick(view, Qt::Key_Space);
        QVERIFY(!canvas()->isLoading());
        QCOMPARE(script.requests().size(), 2);
        const MUtility::DialogRequest &message = script.requests().last();
        QCOMPARE(message.icon, QMessageBox::Critical);
        QCOMPARE(message.text, QStringLiteral("Cannot open file %1.").arg(path));
        QCOMPARE(message.informativeText, QStringLiteral("System error: The file is cut short: it ends before the data "
                                                         "it announces (Error during readRawData)."));
        QCOMPARE(canvas()->count(), 1);
        QCOMPARE(canvas()->at(0)->tileCount(), 0);
        QVERIFY(canvas()->isNew());
        QVERIFY(!canvas()->isModified());
        QVERIFY(!window->windowTitle().contains(QStringLiteral("mural")));
        QTest::qWait(300);
        MTestScreenshot::keep(view->grabFramebuffer(), QStringLiteral("document-loading-cut-short.png"));
    }
};

QTEST_MAIN(TestDocumentLoadingEndToEnd)
#include "tst_documentloadingendtoend.moc"
