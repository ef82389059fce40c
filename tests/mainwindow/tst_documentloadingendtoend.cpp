#include "mcanvas.h"
#include "menum.h"
#include "mfolders.h"
#include "mmainwindow.h"
#include "msettings.h"
#include "mtestcanvas.h"
#include "mtestdialogscript.h"
#include "mtestfolder.h"
#include "mtestglcontext.h"
#include "mtestlogwatch.h"
#include "mtestmainwindow.h"
#include "mtestmodaldriver.h"
#include "mtestscreenshot.h"
#include "mtexturelayer.h"
#include "mtexturetile.h"
#include "mtransform.h"
#include "mwidget.h"

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QUndoStack>

#include <algorithm>
#include <atomic>
#include <climits>
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

    // The loads of the window read no tile at or past this place in their
    // order, and the furthest place read so far.
    std::shared_ptr<std::atomic<int>> readable;
    std::shared_ptr<std::atomic<int>> furthestRead;

    // The window's loads are held after the first tiles until released(); a
    // test that never releases them fails, rather than hangs, after 30 s.
    void holdLoads()
    {
        readable = std::make_shared<std::atomic<int>>(2 * layerCount);
        furthestRead = std::make_shared<std::atomic<int>>(-1);
        auto since = std::make_shared<QElapsedTimer>();
        since->start();
        auto limit = readable;
        auto furthest = furthestRead;
        canvas()->setLoadingReadHold([limit, furthest, since](int index) {
            if (index >= *limit && since->elapsed() < 30000)
                return false;
            *furthest = std::max(furthest->load(), index);
            return true;
        });
    }

    void release() { *readable = INT_MAX; }

    // Opens the file as a painter does, with the keyboard and the file
    // chooser; true when its tiles are coming in.
    bool openWithKeys(const QString &path)
    {
        MTestDialogScript script;
        script.answerFile(path);
        QTest::keyClick(window.get(), Qt::Key_O, Qt::ControlModifier);
        return script.requests().size() == 1 && canvas()->isLoading();
    }

    // The fixture saved at path and opened with the keyboard, then cut short
    // on disk while its tiles come in; false when it was not loading.
    bool openThenCutShort(MTestDialogScript &script, const QString &path)
    {
        saveFixture(path);
        if (!MTestMainWindow::focusView(window->view()))
            return false;
        script.answerFile(path);
        QTest::keyClick(window.get(), Qt::Key_O, Qt::ControlModifier);
        return canvas()->isLoading() && QFile::resize(path, 2 * 1048576);
    }

    QAction *command(const char *name) const { return window->findChild<QAction *>(QLatin1String(name)); }

    // The fixture saved as mural.kxd and opened with its load held; its
    // path, or an empty one when it is not loading.
    QString openHeldMural()
    {
        const QString path = folder->filePath(QStringLiteral("mural.kxd"));
        saveFixture(path);
        if (!MTestMainWindow::focusView(window->view()))
            return QString();
        holdLoads();
        return openWithKeys(path) ? path : QString();
    }

    // One notch of the wheel over the view's middle; whether it zoomed.
    bool wheelZooms(MWidget *view)
    {
        const double scale = view->transform()->scale();
        const QPointF at(view->width() / 2, view->height() / 2);
        QWheelEvent wheel(at, view->mapToGlobal(at.toPoint()), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(view, &wheel);
        return QTest::qWaitFor([&] { return view->transform()->scale() != scale; }, 5000);
    }

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
    // load fails on its own; the painter is told why and has a new document,
    // not half of the old one.
    void fileCutShortWhileItLoads()
    {
        const QString path = folder->filePath(QStringLiteral("mural.kxd"));
        MWidget *view = window->view();
        MTestDialogScript script;
        QVERIFY(openThenCutShort(script, path));

        script.answer(QMessageBox::Ok);
        QTest::keyClick(view, Qt::Key_Space);
        QTRY_VERIFY_WITH_TIMEOUT(!canvas()->isLoading(), 30000);
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

    // The new document that replaces a failed load logs lines of its own
    // (here its paper image, which is damaged): the painter is still told
    // why the load failed, not what was logged last.
    void loadFailureToldWithItsOwnReason()
    {
        const QString path = folder->filePath(QStringLiteral("mural.kxd"));
        QVERIFY(QDir().mkpath(MFolders::papersDirectory(MFolders::UserPath)));
        const QString paper = MFolders::papersDirectory(MFolders::UserPath) + QStringLiteral("worn.png");
        QFile worn(paper);
        QVERIFY(worn.open(QIODevice::WriteOnly));
        worn.write("\x89PNG\r\n\x1a\n no more");
        worn.close();
        const QString paperBefore = MSettings::instance()->paperName();
        MSettings::instance()->set_paperName(QStringLiteral("worn.png"));
        {
            MTestDialogScript script;
            QVERIFY(openThenCutShort(script, path));
        }

        // The real message box, as the painter sees it.
        const MTestLogWatch log;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QString text;
        QString informativeText;
        bool shown = false;
        MTestModalDriver::onNextDialog(
            "QMessageBox",
            [&](QDialog *dialog) {
                auto *box = qobject_cast<QMessageBox *>(dialog);
                if (!box)
                    return;
                icon = box->icon();
                text = box->text();
                informativeText = box->informativeText();
                MTestScreenshot::keep(box->grab(), QStringLiteral("document-loading-failure-reason.png"));
                box->accept();
            },
            &shown);
        QTest::keyClick(window->view(), Qt::Key_Space);
        QTRY_VERIFY_WITH_TIMEOUT(shown, 30000);
        QTRY_VERIFY_WITH_TIMEOUT(!canvas()->isLoading(), 30000);
        MSettings::instance()->set_paperName(paperBefore);
        QFile::remove(paper);
        const QString cutShort = QStringLiteral("System error: The file is cut short: it ends before the data it "
                                                "announces (Error during readRawData).");
        // The failure was logged, then the new document's paper after it.
        QStringList errors;
        for (const QString &line : log.lines()) {
            if (line.contains(QStringLiteral("System error: ")))
                errors.append(MTestLogWatch::message(line));
        }
        QCOMPARE(errors.size(), 2);
        QCOMPARE(errors.first(), cutShort);
        QVERIFY(errors.last().startsWith(QStringLiteral("System error: Unable to read paper image %1").arg(paper)));

        QCOMPARE(icon, QMessageBox::Critical);
        QCOMPARE(text, QStringLiteral("Cannot open file %1.").arg(path));
        QCOMPARE(informativeText, cutShort);
        QVERIFY(canvas()->isNew());
        QCOMPARE(canvas()->at(0)->tileCount(), 0);
    }

    // While the tiles come in, input that does not need them is answered at
    // once and the load goes on.
    void windowAnswersWhileLoading_data()
    {
        QTest::addColumn<QString>("input");
        QTest::newRow("undo key") << QStringLiteral("undo");
        QTest::newRow("wheel") << QStringLiteral("wheel");
        QTest::newRow("menu") << QStringLiteral("menu");
    }

    void windowAnswersWhileLoading()
    {
        QFETCH(QString, input);
        QVERIFY(!openHeldMural().isEmpty());
        if (input == QLatin1String("undo")) {
            QTest::keySequence(window.get(), command("actionUndo")->shortcut());
        } else if (input == QLatin1String("wheel")) {
            QVERIFY(wheelZooms(window->view()));
        } else {
            auto *menu = window->findChild<QMenu *>(QStringLiteral("menuEdit"));
            QMenuBar *bar = window->menuBar();
            QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->actionGeometry(menu->menuAction()).center());
            QTRY_VERIFY(menu->isVisible());
            menu->close();
        }
        QVERIFY(canvas()->isLoading());
        QVERIFY(*furthestRead < canvas()->count() * 24 - 1);
        release();
        QTRY_VERIFY_WITH_TIMEOUT(!canvas()->isLoading(), 30000);
    }

    // Quitting, closing or opening another document while tiles are still to
    // come gives the load up there and then.
    void commandsGiveTheLoadUpAtOnce_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("quit") << QStringLiteral("quit");
        QTest::newRow("close") << QStringLiteral("close");
        QTest::newRow("open another") << QStringLiteral("open");
    }

    void commandsGiveTheLoadUpAtOnce()
    {
        QFETCH(QString, how);
        const QString other = folder->filePath(QStringLiteral("small.kxd"));
        canvas()->makeCurrent();
        QVERIFY(canvas()->saveToFile(other));
        QVERIFY(!openHeldMural().isEmpty());
        const int total = layerCount * 24;
        if (how == QLatin1String("quit")) {
            QTest::keySequence(window.get(), command("actionFileExit")->shortcut());
            QVERIFY(!window->isVisible());
        } else if (how == QLatin1String("close")) {
            QVERIFY(window->close());
        } else {
            QVERIFY(openWithKeys(other) || canvas()->fileName() == other);
            QCOMPARE(canvas()->fileName(), other);
            QCOMPARE(canvas()->count(), 1);
        }
        QVERIFY(!canvas()->isLoading() || canvas()->fileName() == other);
        QVERIFY2(*furthestRead < total - 1, qPrintable(QStringLiteral("%1 tiles read").arg(*furthestRead + 1)));
    }

    // A stroke begun while tiles are still to come: its press waits for them
    // with the window answering and saying so, the rest of the stroke is kept
    // meanwhile, and once all are in the stroke is painted in full; the file
    // saved then holds the stroke and every tile.
    void strokeBegunWhileLoadingIsSaved()
    {
        const QString path = openHeldMural();
        QVERIFY(!path.isEmpty());
        MWidget *view = window->view();
        // Across the middle of what the view shows of the document.
        const QRectF shown = view->transform()->mapRectFromView(QRectF(view->rect())) & painted;
        const QPointF docFrom = shown.center() - QPointF(shown.width(), shown.height()) * 0.3;
        const QPointF docTo = shown.center() + QPointF(shown.width(), shown.height()) * 0.3;
        const QPointF from = view->transform()->map(docFrom);
        const QPointF to = view->transform()->map(docTo);
        QVERIFY(view->rect().contains(from.toPoint()) && view->rect().contains(to.toPoint()));
        bool waited = false, paintedWhileWaiting = true;
        QString shownWhileWaiting;
        const int steps = canvas()->undoStack()->count();
        QTimer::singleShot(0, this, [&] {
            waited = canvas()->isLoading();
            for (int step = 1; step <= 20; ++step)
                MTestMainWindow::mouse(view, QEvent::MouseMove, from + (to - from) * step / 20.0, Qt::NoButton,
                                       Qt::LeftButton);
            MTestMainWindow::mouse(view, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
            // The window goes on drawing while it waits: a wheel zooms it.
            if (wheelZooms(view))
                shownWhileWaiting = window->statusBar()->currentMessage();
            MTestScreenshot::keep(window->grab().toImage(), QStringLiteral("document-loading-stroke-waits.png"));
            // Nothing of the stroke lands before every tile it could cross is in.
            paintedWhileWaiting = canvas()->isModified() || canvas()->undoStack()->count() != steps;
            release();
        });
        MTestMainWindow::mouse(view, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        QVERIFY(waited);
        QVERIFY(!paintedWhileWaiting);
        QCOMPARE(shownWhileWaiting, QStringLiteral("Waiting for the document to finish loading..."));
        QVERIFY(!canvas()->isLoading());
        QTRY_VERIFY(canvas()->isModified());
        QTRY_VERIFY(window->statusBar()->currentMessage().isEmpty());

        // The stroke crosses the layer from end to end; away from it every
        // tile holds what was saved.
        const int row = canvas()->currentRow();
        const QImage layer = MTestMainWindow::layerPixels(canvas(), row);
        const QPointF corner = painted.topLeft();
        int strokePixels = 0;
        for (double t = 0.05; t < 0.96; t += 0.05) {
            const QPointF on = docFrom + (docTo - docFrom) * t;
            strokePixels += layer.pixel((on - corner).toPoint()) != cellColour(row, cellOf(on)) ? 1 : 0;
        }
        QVERIFY2(strokePixels >= 16, qPrintable(QString::number(strokePixels)));
        const QLineF line(docFrom, docTo);
        int away = 0;
        for (int y = -2; y < 2; ++y) {
            for (int x = -3; x < 3; ++x) {
                const QPointF inside = (QRectF(x * 500, y * 500, 500, 500) & painted).center();
                // How far the stroke passes from the point.
                const QLineF normal = QLineF(inside, inside + QPointF(line.dy(), -line.dx()));
                QPointF crossing;
                line.intersects(normal, &crossing);
                if (QLineF(inside, crossing).length() < 80)
                    continue;
                ++away;
                QCOMPARE(text(layer.pixel((inside - corner).toPoint())), text(cellColour(row, QPoint(x, y))));
            }
        }
        QVERIFY(away >= 16);

        QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier);
        QVERIFY(!canvas()->isModified());
        canvas()->reset();
        QVERIFY(canvas()->loadFromFile(path));
        QVERIFY(MTestMainWindow::layerPixels(canvas(), row) == layer);
    }

    // A save asked for while tiles are still to come waits for them; a close
    // meanwhile gives up the load and the save with it: the file is left as
    // it was, never written with tiles missing.
    void closeWhileASaveWaitsLeavesTheFile()
    {
        QVERIFY(!openHeldMural().isEmpty());
        const QByteArray saved = folder->readFile(QStringLiteral("mural.kxd"));
        bool waited = false;
        QTimer::singleShot(0, this, [&] {
            waited = canvas()->isLoading();
            QVERIFY(window->close());
        });
        QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier);
        QVERIFY(waited);
        QVERIFY(!window->isVisible());
        QVERIFY(!canvas()->isLoading());
        QVERIFY(*furthestRead < layerCount * 24 - 1);
        QVERIFY(folder->readFile(QStringLiteral("mural.kxd")) == saved);
    }
};

QTEST_MAIN(TestDocumentLoadingEndToEnd)
#include "tst_documentloadingendtoend.moc"
