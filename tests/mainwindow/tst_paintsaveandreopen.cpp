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
#include "mtexturelayer.h"
#include "mtool.h"
#include "mtools.h"
#include "mwidget.h"

#include <QAction>
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

    void paintSaveCloseAndReopen()
    {
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
        const QRectF rect = window->brushWidget()->brushListWidget()->rowRect(row).translated(0, -list->firstY());
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
    }
};

QTEST_MAIN(TestPaintSaveAndReopen)
#include "tst_paintsaveandreopen.moc"
