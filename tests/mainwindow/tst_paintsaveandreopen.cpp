#include "mbrush.h"
#include "mbrushlist.h"
#include "mbrushlistwidget.h"
#include "mbrushwidget.h"
#include "mcanvas.h"
#include "mcolorlist.h"
#include "mlistpanel.h"
#include "mmainwindow.h"
#include "mtestdialogscript.h"
#include "mtestfolder.h"
#include "mtestglcontext.h"
#include "mtestmainwindow.h"
#include "mtestscreenshot.h"
#include "mtexturelayer.h"
#include "mtool.h"
#include "mtools.h"
#include "mtransform.h"
#include "mwidget.h"

#include <QAction>
#include <QApplication>
#include <QWheelEvent>
#include <QDockWidget>
#include <QMenu>
#include <QTest>
#include <QUndoStack>

#include <memory>

// A painter's whole road through the real window: a brush chosen in the
// brush list, a stroke made with the mouse on the canvas view, the save
// command, closing, and the file reopened from the recent-files menu.
namespace {
constexpr int W = 400;
constexpr int H = 300;

using MTestMainWindow::paintedPixels;
} // namespace

class TestPaintSaveAndReopen : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MMainWindow> window;

    void openWindow()
    {
        window.reset(new MMainWindow());
        QVERIFY(MTestMainWindow::show(window.get(), QSize(1200, 800)));
    }

    QImage layerPixels(int row) const { return MTestMainWindow::layerPixels(window->view()->canvas(), row); }

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase()
    {
        QVERIFY(MTestMainWindow::prepare(QSize(W, H)));
    }

    void cleanupTestCase() { window.reset(); }

    // A quick stroke of a few far-apart moves in the window: the paint
    // reaches the release point, in the layer and on the screen.
    void quickStrokeEndsWhereThePenLifts()
    {
        openWindow();
        MWidget *view = window->view();
        MCanvas *canvas = view->canvas();
        MColorList::instance()->setColor(QColor(20, 40, 180));
        const QPointF to = view->transform()->map(QPointF(150, 60));
        const QImage before = view->grabFramebuffer();
        QVERIFY(MTestMainWindow::drag(view, QPointF(-150, 60), QPointF(150, 60), 4));
        QCOMPARE(canvas->undoStack()->count(), 1);
        const QImage painted = layerPixels(canvas->currentRow());
        const QPoint corner = canvas->paintedRect().topLeft().toPoint();
        for (int x : {-150, -75, 0, 75, 148})
            QVERIFY2(qAlpha(painted.pixel(QPoint(x, 60) - corner)) > 0, qPrintable(QString::number(x)));
        QTRY_VERIFY(view->grabFramebuffer().pixel(to.toPoint()) != before.pixel(to.toPoint()));
        canvas->undoStack()->setClean();
        window.reset();
    }

    // A wide stroke of the default, antialiased brush: across its width the
    // paint thins out evenly from the middle to nothing at the radius, with
    // a soft rim several pixels wide.
    void wideStrokeFallsOffEvenlyToItsRim()
    {
        openWindow();
        MWidget *view = window->view();
        MCanvas *canvas = view->canvas();
        MBrushList *brushes = MBrushList::instance();
        MBrush *brush = brushes->brush(brushes->currentRow());
        QVERIFY(brush);
        brush->resetValues();
        brush->setRadius(100);
        MColorList::instance()->setColor(QColor(20, 40, 180));
        QVERIFY(MTestMainWindow::drag(view, QPointF(-120, 0), QPointF(120, 0), 40));
        const QImage painted = layerPixels(canvas->currentRow());
        MTestScreenshot::keep(view->grabFramebuffer(), QStringLiteral("wide-antialiased-stroke.png"));
        const QPoint corner = canvas->paintedRect().topLeft().toPoint();
        auto alphaAt = [&](int x, int y) { return qAlpha(painted.pixel(QPoint(x, y) - corner)); };
        for (int x : {-40, 0, 37}) {
            for (int sign : {-1, 1}) {
                const QString where = QStringLiteral("column %1, side %2").arg(x).arg(sign);
                QVERIFY2(alphaAt(x, 0) > 200, qPrintable(where));
                int rim = 0;
                for (int d = 1; d <= 110; ++d) {
                    const int inner = alphaAt(x, sign * (d - 1));
                    const int outer = alphaAt(x, sign * d);
                    // One level for the rounding of the stamps laid over each other.
                    QVERIFY2(outer <= inner + 1, qPrintable(where + QStringLiteral(", distance %1").arg(d)));
                    if (d > 101)
                        QVERIFY2(outer == 0, qPrintable(where + QStringLiteral(", distance %1").arg(d)));
                    rim += outer > 0 && outer < 192;
                }
                QVERIFY2(rim >= 4, qPrintable(where + QStringLiteral(": %1 rim pixels").arg(rim)));
            }
        }
        canvas->undoStack()->setClean();
        window.reset();
    }

    void paintSaveCloseAndReopen()
    {
        // A painter's terminal stays quiet: no debug line while painting,
        // saving and opening again.
        static QStringList debugLines;
        debugLines.clear();
        static QtMessageHandler previous = nullptr;
        previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &context, const QString &message) {
            if (type == QtDebugMsg)
                debugLines.append(message);
            if (previous)
                previous(type, context, message);
        });
        struct Restore
        {
            ~Restore() { qInstallMessageHandler(previous); }
        } restore;

        MTestFolder folder;
        openWindow();
        MCanvas *canvas = window->view()->canvas();
        QCOMPARE(canvas->paintedRect().size(), QSizeF(W, H));
        QCOMPARE(MTools::instance()->currentToolId(), int(MTool::BrushTool));

        // The brush list: a click on the shipped pencil, which is not the
        // current brush at start.
        MBrushList *brushes = MBrushList::instance();
        int row = -1;
        for (int i = 0; i < brushes->rowCount(); ++i) {
            if (brushes->brush(i)->description() == QLatin1String("hard pencil"))
                row = i;
        }
        QVERIFY(row >= 0);
        QVERIFY(row != brushes->currentRow());
        window->showPanel(window->findChild<QDockWidget *>(QStringLiteral("brushDockWidget")));
        MListPanel *list = window->brushWidget()->brushListWidget()->panel();
        QTRY_VERIFY(list->isVisible() && list->height() > 0);
        // The brush settings dock below shares the height: the painter scrolls
        // the list with the wheel until the row shows.
        auto rowRect = [&] {
            return window->brushWidget()->brushListWidget()->rowRect(row).translated(0, -list->firstY());
        };
        for (int turn = 0; turn < 50 && !list->rect().contains(rowRect().center().toPoint()); ++turn) {
            QWheelEvent wheel(QPointF(10, 10), list->mapToGlobal(QPoint(10, 10)), QPoint(), QPoint(0, -120),
                              Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(list, &wheel);
        }
        const QRectF rect = rowRect();
        QVERIFY2(list->rect().contains(rect.center().toPoint()), "the chosen row is out of sight");
        QCOMPARE(list->rowAt(rect.center().toPoint()), row);
        QTest::mouseClick(list, Qt::LeftButton, Qt::NoModifier, rect.center().toPoint());
        QCOMPARE(brushes->currentRow(), row);
        MColorList::instance()->setColor(QColor(180, 30, 40));

        // A stroke with the mouse across the middle of the document.
        QVERIFY2(MTestMainWindow::drag(window->view(), QPointF(-120, -40), QPointF(120, 40)),
                 "the document is out of the view");
        QCOMPARE(canvas->undoStack()->count(), 1);
        QVERIFY(canvas->isModified());
        QCOMPARE(canvas->undoStack()->text(0), QString("Brush stroke: hard pencil, #b41e28"));

        const int layers = canvas->count();
        const int current = canvas->currentRow();
        const QImage painted = layerPixels(current);
        // Paint lies along the stroke and nowhere near the far corners.
        QVERIFY(paintedPixels(painted) > 300);
        const QPoint corner = canvas->paintedRect().topLeft().toPoint();
        QVERIFY(qAlpha(painted.pixel(QPoint(0, 0) - corner)) > 0);
        QCOMPARE(qAlpha(painted.pixel(5, H - 5)), 0);
        QCOMPARE(qAlpha(painted.pixel(W - 5, 5)), 0);

        // Saved through the save command: a new document asks for its name.
        const QString path = folder.filePath(QStringLiteral("stroke.kxd"));
        {
            MTestDialogScript script;
            script.answerFile(path);
            window->findChild<QAction *>(QStringLiteral("actionFileSave"))->trigger();
            QCOMPARE(script.requests().size(), 1);
            QVERIFY(QFileInfo::exists(path));
            QVERIFY(!canvas->isModified());
            QCOMPARE(window->windowTitle(), QString("KalmiDraw - stroke"));
            // The save kept the history: the stroke still undoes, and redoes
            // back to the saved state.
            window->findChild<QAction *>(QStringLiteral("actionUndo"))->trigger();
            QCOMPARE(paintedPixels(layerPixels(current)), 0);
            QCOMPARE(window->windowTitle(), QString("KalmiDraw - stroke - Modified"));
            window->findChild<QAction *>(QStringLiteral("actionRedo"))->trigger();
            QCOMPARE(layerPixels(current), painted);
            QVERIFY(!canvas->isModified());
            // Nothing left to save: closing asks nothing.
            QVERIFY(window->close());
            QCOMPARE(script.requests().size(), 1);
        }
        window.reset();

        openWindow();
        canvas = window->view()->canvas();
        QCOMPARE(paintedPixels(layerPixels(canvas->currentRow())), 0);
        QAction *entry = window->findChild<QMenu *>(QStringLiteral("menuRecentFiles"))->actions().value(0);
        QVERIFY(entry && entry->isVisible());
        QCOMPARE(entry->text(), QString("&1 stroke.kxd"));
        entry->trigger();
        QCOMPARE(canvas->fileName(), path);
        QCOMPARE(canvas->count(), layers);
        QCOMPARE(layerPixels(current), painted);
        QVERIFY(!canvas->isModified());
        QCOMPARE(window->windowTitle(), QString("KalmiDraw - stroke"));
        QCOMPARE(debugLines, QStringList());
    }
};

QTEST_MAIN(TestPaintSaveAndReopen)
#include "tst_paintsaveandreopen.moc"
