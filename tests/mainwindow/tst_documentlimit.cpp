#include "mcanvas.h"
#include "mcolorlist.h"
#include "mdocumentdescription.h"
#include "mmainwindow.h"
#include "mtestdialogscript.h"
#include "mtestfolder.h"
#include "mtestglcontext.h"
#include "mtestmainwindow.h"
#include "mtestscreenshot.h"
#include "mtransform.h"
#include "mwidget.h"

#include <QAction>
#include <QFileInfo>
#include <QTest>
#include <QUndoStack>

#include <memory>

// A painter who paints ever further out with auto extent on: the paper
// stops growing where a document file can still hold it, the painter is
// told, and the saved document opens again.
namespace {
constexpr int W = 400;
constexpr int H = 300;
} // namespace

class TestDocumentLimit : public QObject
{
    Q_OBJECT

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void paintingPastTheLimitSavesADocumentThatOpens()
    {
        std::unique_ptr<MMainWindow> window = MTestMainWindow::open(QSize(W, H), QSize(1200, 800));
        QVERIFY(window);
        MWidget *view = window->view();
        MCanvas *canvas = view->canvas();
        QVERIFY(MTestMainWindow::focusView(view));
        if (!canvas->autoExtent())
            window->findChild<QAction *>(QStringLiteral("actionPaper_auto_extension"))->trigger();
        QVERIFY(canvas->autoExtent());

        // The paper grown by earlier strokes to near the limit (a stroke
        // grows it only from near its edge), and the view panned there.
        const double limit = MDocumentDescription::CoordinateLimit;
        canvas->updatePaintedRect(QRectF(-W / 2, -H / 2, limit - 200 + W / 2, H));
        QCOMPARE(canvas->paintedRect().right(), limit - 200);
        const QPointF far(limit, 0);
        QTest::qWait(800);
        view->setScale(1.0);
        for (int step = 0; step < 3; ++step)
            view->transform()->translate(QPointF(view->width() / 2, view->height() / 2) - view->transform()->map(far));
        view->update();
        QTest::qWait(100);
        MColorList::instance()->setColor(QColor(30, 60, 200));
        QVERIFY2(MTestMainWindow::drag(view, QPointF(limit - 250, 0), QPointF(limit + 100, 20)),
                 "the limit is out of the view");
        QCOMPARE(canvas->paintedRect().right(), limit);
        QVERIFY(canvas->paintedRect().left() < -W / 2 + 1);
        QVERIFY2(view->text().contains(QStringLiteral("cannot grow further")), qPrintable(view->text()));
        QTest::qWait(100);
        MTestScreenshot::keep(view->grabFramebuffer(), QStringLiteral("document-limit.png"));
        const QRectF painted = canvas->paintedRect();

        MTestFolder folder;
        const QString path = folder.filePath(QStringLiteral("far.kxd"));
        MTestDialogScript script;
        script.answerFile(path);
        window->findChild<QAction *>(QStringLiteral("actionFileSaveAs"))->trigger();
        QVERIFY(QFileInfo::exists(path));
        QVERIFY(!canvas->isModified());

        // A fresh document, then the saved one through File > Open.
        canvas->setPaintedRect(QRectF(-W / 2, -H / 2, W, H));
        canvas->undoStack()->clear();
        canvas->setFileName(QString());
        script.answerFile(path);
        window->findChild<QAction *>(QStringLiteral("actionFileOpen"))->trigger();
        for (const MUtility::DialogRequest &request : script.requests())
            QVERIFY2(request.kind != MUtility::MessageDialog, qPrintable(request.text + ' ' + request.informativeText));
        QCOMPARE(canvas->fileName(), path);
        QCOMPARE(canvas->paintedRect(), painted);
        canvas->undoStack()->setClean();
    }
};

QTEST_MAIN(TestDocumentLimit)
#include "tst_documentlimit.moc"
