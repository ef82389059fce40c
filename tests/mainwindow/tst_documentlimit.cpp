#include "mcanvas.h"
#include "mcolorlist.h"
#include "mdocumentdescription.h"
#include "mimagetool.h"
#include "mmainwindow.h"
#include "mtestdialogscript.h"
#include "mtestfolder.h"
#include "mtestglcontext.h"
#include "mtestmainwindow.h"
#include "mtestscreenshot.h"
#include "mtools.h"
#include "mtransform.h"
#include "mwidget.h"

#include <QAction>
#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTest>
#include <QUndoStack>

#include <functional>
#include <memory>

// A painter who paints ever further out with auto extent on, or adds layer
// after layer: the paper stops growing and the layers stop coming where a
// document file can still hold them, the painter is told, and the saved
// document opens again.
namespace {
constexpr int W = 400;
constexpr int H = 300;

// Saves the window's document as path, lets reset() make a different
// document, then opens path through File > Open; true when no step failed
// and no message was shown.
bool saveAndOpen(MMainWindow *window, const QString &path, const std::function<void()> &reset)
{
    MCanvas *canvas = window->view()->canvas();
    MTestDialogScript script;
    script.answerFile(path);
    window->findChild<QAction *>(QStringLiteral("actionFileSaveAs"))->trigger();
    if (!QFileInfo::exists(path) || canvas->isModified())
        return false;
    reset();
    canvas->setFileName(QString());
    script.answerFile(path);
    window->findChild<QAction *>(QStringLiteral("actionFileOpen"))->trigger();
    for (const MUtility::DialogRequest &request : script.requests()) {
        if (request.kind == MUtility::MessageDialog) {
            qWarning("%s %s", qPrintable(request.text), qPrintable(request.informativeText));
            return false;
        }
    }
    return canvas->fileName() == path && canvas->finishLoading();
}
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

        // Saved, a fresh document, then the saved one through File > Open.
        MTestFolder folder;
        QVERIFY(saveAndOpen(window.get(), folder.filePath(QStringLiteral("far.kxd")), [canvas]() {
            canvas->setPaintedRect(QRectF(-W / 2, -H / 2, W, H));
            canvas->undoStack()->clear();
        }));
        QCOMPARE(canvas->paintedRect(), painted);
        canvas->undoStack()->setClean();
    }

    void addingPastTheLayerLimitIsRefused_data()
    {
        QTest::addColumn<QString>("command");
        for (const char *command : {"actionNewLayer", "actionPrependLayer", "actionDuplicateLayer",
                                    "actionPasteInNewLayer", "image tool: apply in new layer"})
            QTest::newRow(command) << QString::fromLatin1(command);
    }

    // Every way of adding a layer by hand, with the document full: refused
    // in words, nothing changed; the full document saves and opens again.
    void addingPastTheLayerLimitIsRefused()
    {
        QFETCH(QString, command);
        if (!m_window) {
            m_window = MTestMainWindow::open(QSize(W, H), QSize(1200, 800));
            QVERIFY(m_window);
            MCanvas *canvas = m_window->view()->canvas();
            while (canvas->count() < MDocumentDescription::MaximumLayers)
                canvas->appendLayer();
            canvas->undoStack()->clear();
        }
        MWidget *view = m_window->view();
        MCanvas *canvas = view->canvas();
        QCOMPARE(canvas->count(), int(MDocumentDescription::MaximumLayers));
        view->setText(QString());
        const QImage image(40, 30, QImage::Format_ARGB32_Premultiplied);
        if (command.startsWith(QLatin1String("image tool"))) {
            auto *tool = MTools::instance()->tool<MImageTool>(MTool::ImageTool);
            QVERIFY(tool);
            tool->loadFromImage(QImage(image).convertToFormat(QImage::Format_RGB32));
            MTools::instance()->activate(MTool::ImageTool, true);
            tool->applyInNewLayer();
        } else {
            QGuiApplication::clipboard()->setImage(QImage(image).convertToFormat(QImage::Format_RGB32));
            auto *action = m_window->findChild<QAction *>(command);
            QVERIFY(action);
            action->trigger();
        }
        QCOMPARE(canvas->count(), int(MDocumentDescription::MaximumLayers));
        QCOMPARE(canvas->undoStack()->count(), 0);
        QCOMPARE(view->text(), QStringLiteral("No layer added: a document holds at most 10000 layers."));
        if (command != QLatin1String("actionNewLayer"))
            return;
        MTestScreenshot::keep(m_window->grab(), QStringLiteral("document-layer-limit.png"));

        MTestFolder folder;
        QVERIFY(saveAndOpen(m_window.get(), folder.filePath(QStringLiteral("full.kxd")), [canvas]() {
            canvas->removeLayer();
            canvas->undoStack()->setClean();
        }));
        QCOMPARE(canvas->count(), int(MDocumentDescription::MaximumLayers));
    }

    void cleanupTestCase()
    {
        if (m_window)
            m_window->view()->canvas()->undoStack()->setClean();
        m_window.reset();
    }

private:
    std::unique_ptr<MMainWindow> m_window;
};

QTEST_MAIN(TestDocumentLimit)
#include "tst_documentlimit.moc"
