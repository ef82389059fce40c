#include "mcanvas.h"
#include "mcolorlist.h"
#include "mmainwindow.h"
#include "msettings.h"
#include "mtestdialogscript.h"
#include "mtestfolder.h"
#include "mtestglcontext.h"
#include "mtestmainwindow.h"
#include "mtestscreenshot.h"
#include "mtool.h"
#include "mtools.h"
#include "mtransform.h"
#include "mundostream.h"
#include "mutility.h"
#include "mwidget.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QTest>
#include <QUndoStack>

#include <memory>

// A painter's document with a small history limit, so that most of the
// history waits on the disk: a few layers painted with the bucket and the
// brush, saved, every step undone and redone with the keyboard, saved again.
// Nothing the history let go of may be missing: the second file opens to
// the first one's layers and the view shows the same pixels.
namespace {
constexpr int W = 1100;
constexpr int H = 700;

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

class TestSaveUndoRedoEndToEnd : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MMainWindow> window;

    MWidget *view() const { return window->view(); }
    MCanvas *canvas() const { return view()->canvas(); }
    QAction *action(const char *name) const { return window->findChild<QAction *>(QString::fromLatin1(name)); }

    void click(const QPointF &at)
    {
        const QPointF p = view()->transform()->map(at);
        MTestMainWindow::mouse(view(), QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton);
        MTestMainWindow::mouse(view(), QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton);
    }

    QList<QImage> layers() const
    {
        QList<QImage> images;
        for (int row = 0; row < canvas()->count(); ++row)
            images << MTestMainWindow::layerPixels(canvas(), row);
        return images;
    }

    // The view's picture once the window has idled and the history's writer
    // is done.
    QImage shown() const
    {
        while (canvas()->undoStream()->workerCount() > 0)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        QTest::qWait(50);
        return view()->grabFramebuffer();
    }

    bool saveAs(const QString &path)
    {
        MTestDialogScript script;
        script.answerFile(path);
        action("actionFileSaveAs")->trigger();
        return script.requests().size() == 1 && QFile::exists(path);
    }

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase() { QVERIFY(MTestMainWindow::prepare(QSize(W, H))); }

    void cleanupTestCase() { window.reset(); }

    void savedUndoneRedoneAndSavedAgainIsTheSame()
    {
        MTestFolder folder;
        window.reset(new MMainWindow());
        QVERIFY(MTestMainWindow::show(window.get(), QSize(1200, 800)));
        MSettings::instance()->set_undoMemoryMax(1.0);
        const QImage blank = shown();

        // Layer one: the bucket over the whole empty layer, then a stroke.
        action("actionFillTool")->trigger();
        QCOMPARE(MTools::instance()->currentToolId(), int(MTool::FillTool));
        MColorList::instance()->setColor(QColor(240, 200, 120));
        click(QPointF(-300, 200));
        QCOMPARE(canvas()->undoStack()->text(canvas()->undoStack()->count() - 1), QStringLiteral("Fill"));
        action("actionBrushTool")->trigger();
        QCOMPARE(MTools::instance()->currentToolId(), int(MTool::BrushTool));
        MColorList::instance()->setColor(QColor(30, 60, 170));
        QVERIFY(MTestMainWindow::drag(view(), QPointF(-500, -300), QPointF(500, 300)));
        // Two more layers, crossing strokes on each, over tile borders.
        for (int layer = 1; layer < 3; ++layer) {
            action("actionNewLayer")->trigger();
            QCOMPARE(canvas()->count(), layer + 1);
            MColorList::instance()->setColor(QColor::fromHsv(layer * 120, 200, 200));
            QVERIFY(MTestMainWindow::drag(view(), QPointF(-520, 280 - layer * 150), QPointF(520, -280 + layer * 100)));
            QVERIFY(MTestMainWindow::drag(view(), QPointF(-100 * layer, -320), QPointF(150 * layer, 320)));
        }
        const int steps = canvas()->undoStack()->count();
        QVERIFY(steps >= 7);

        const QString first = folder.filePath(QStringLiteral("first.kxd"));
        QVERIFY(saveAs(first));
        const QByteArray saved = fileBytes(first);
        QVERIFY(!saved.isEmpty());
        const QList<QImage> painted = layers();
        const QImage picture = shown();
        QVERIFY(picture != blank);
        // Most of the history waits on the disk.
        QVERIFY(QDir(MUtility::cacheDirectory()).entryList({QStringLiteral("*.data")}, QDir::Files).size() > 8);

        QVERIFY(MTestMainWindow::focusView(view()));
        for (int i = 0; i < steps && canvas()->undoStack()->canUndo(); ++i)
            QTest::keyClick(view(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(canvas()->undoStack()->index(), 0);
        QCOMPARE(canvas()->count(), 1);
        QCOMPARE(MTestMainWindow::paintedPixels(MTestMainWindow::layerPixels(canvas(), 0)), 0);
        QCOMPARE(shown(), blank);

        for (int i = 0; i < steps && canvas()->undoStack()->canRedo(); ++i)
            QTest::keyClick(view(), Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(canvas()->undoStack()->index(), steps);
        QCOMPARE(layers(), painted);
        const QImage again = shown();
        MTestScreenshot::keep(window->grab(), QStringLiteral("save-undo-redo-save.png"));
        QVERIFY(again == picture);

        const QString second = folder.filePath(QStringLiteral("second.kxd"));
        QVERIFY(saveAs(second));
        QVERIFY(!canvas()->isModified());
        // The same layers and tiles, though a layer made again by redo may
        // list its tiles in another order.
        QCOMPARE(fileBytes(second).size(), saved.size());
        for (const QString &path : {first, second}) {
            QVERIFY(canvas()->loadFromFile(path));
            QCOMPARE(layers(), painted);
            QVERIFY2(shown() == picture, qPrintable(path));
        }
        window.reset();
    }
};

QTEST_MAIN(TestSaveUndoRedoEndToEnd)
#include "tst_saveundoredoendtoend.moc"
