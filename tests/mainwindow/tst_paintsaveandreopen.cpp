#include "mbrush.h"
#include "mbrushlist.h"
#include "mbrushlistwidget.h"
#include "mbrushwidget.h"
#include "mcanvas.h"
#include "mcolorlist.h"
#include "mlistpanel.h"
#include "mlogger.h"
#include "mmainwindow.h"
#include "mopengl.h"
#include "msettings.h"
#include "mtestcanvas.h"
#include "mtestdialogscript.h"
#include "mtestfolder.h"
#include "mtestglcontext.h"
#include "mtexturelayer.h"
#include "mtool.h"
#include "mtools.h"
#include "mtransform.h"
#include "mwidget.h"

#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QTest>
#include <QUndoStack>

#include <memory>

// A painter's whole road through the real window: a brush chosen in the
// brush list, a stroke made with the mouse on the canvas view, the save
// command, closing, and the file reopened from the recent-files menu.
namespace {
constexpr int W = 400;
constexpr int H = 300;

void mouse(QWidget *w, QEvent::Type type, const QPointF &p, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent e(type, p, w->mapToGlobal(p.toPoint()), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

int paintedPixels(const QImage &image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += qAlpha(image.pixel(x, y)) > 0;
    return count;
}
} // namespace

class TestPaintSaveAndReopen : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MMainWindow> window;

    void openWindow()
    {
        window.reset(new MMainWindow());
        window->resize(1200, 800);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QTRY_VERIFY(window->view()->canvas()->isGlReady() && window->view()->canvas()->current());
        // Let the view settle on its fitted zoom before the pointer is aimed.
        QTest::qWait(700);
    }

    QImage layerPixels(int row) const
    {
        MCanvas *canvas = window->view()->canvas();
        canvas->makeCurrent();
        return MTestCanvas::layerImage(canvas->at(row), canvas->paintedRect().toRect());
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
    }

    void cleanupTestCase() { window.reset(); }

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
        const QRectF rect = window->brushWidget()->brushListWidget()->rowRect(row).translated(0, -list->firstY());
        QVERIFY2(list->rect().contains(rect.center().toPoint()), "the chosen row is out of sight");
        QCOMPARE(list->rowAt(rect.center().toPoint()), row);
        QTest::mouseClick(list, Qt::LeftButton, Qt::NoModifier, rect.center().toPoint());
        QCOMPARE(brushes->currentRow(), row);
        MColorList::instance()->setColor(QColor(180, 30, 40));

        // A stroke with the mouse across the middle of the document.
        MWidget *view = window->view();
        const QPointF from = view->transform()->map(QPointF(-120, -40));
        const QPointF to = view->transform()->map(QPointF(120, 40));
        QVERIFY2(view->rect().contains(from.toPoint()) && view->rect().contains(to.toPoint()),
                 "the document is out of the view");
        mouse(view, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        for (int i = 1; i <= 40; ++i)
            mouse(view, QEvent::MouseMove, from + (to - from) * (i / 40.0), Qt::NoButton, Qt::LeftButton);
        mouse(view, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
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
