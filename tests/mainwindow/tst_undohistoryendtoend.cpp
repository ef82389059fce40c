#include "mcanvas.h"
#include "mcolorlist.h"
#include "mcommandtile.h"
#include "mmainwindow.h"
#include "msettings.h"
#include "mtestdialogscript.h"
#include "mtestglcontext.h"
#include "mtestmainwindow.h"
#include "mtestscreenshot.h"
#include "mundostream.h"
#include "mutility.h"
#include "mwidget.h"

#include <QDir>
#include <QMessageBox>
#include <QTest>
#include <QUndoStack>

#include <memory>

// A painter's strokes in the real window while the spill folder goes away
// under the history (a cleaner, a full disk): Ctrl+Z never shows pixels the
// history did not hold, the painter is told once, and Ctrl+Y brings back the
// strokes that stayed whole.
class TestUndoHistoryEndToEnd : public QObject
{
    Q_OBJECT

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase() { QVERIFY(MTestMainWindow::prepare(QSize(400, 300))); }

    void lostSpillFolderNeverShowsWrongPixels()
    {
        MTestDialogScript dialogs;
        // The message as the painter sees it, for a screenshot.
        dialogs.observe([](const MUtility::DialogRequest &request) {
            QMessageBox box(request.icon, request.title, request.text, QMessageBox::Ok);
            box.show();
            QTest::qWait(50);
            MTestScreenshot::keep(box.grab(), QStringLiteral("undo-history-broken-message.png"));
        });
        std::unique_ptr<MMainWindow> window(new MMainWindow());
        QVERIFY(MTestMainWindow::show(window.get(), QSize(1200, 800)));
        MWidget *view = window->view();
        MCanvas *canvas = view->canvas();
        MSettings::instance()->set_undoMemoryMax(0.5);

        QVector<QImage> states{MTestMainWindow::layerPixels(canvas)};
        for (int i = 0; i < 8; ++i) {
            MColorList::instance()->setColor(QColor::fromHsv(i * 45, 220, 200));
            QVERIFY(MTestMainWindow::drag(view, QPointF(-170, -120 + 32 * i), QPointF(170, -100 + 32 * i), 8));
            // The window idles between strokes: the stroke's records are made.
            QCoreApplication::processEvents();
            states << MTestMainWindow::layerPixels(canvas);
        }
        QCOMPARE(canvas->undoStack()->count(), 8);
        while (canvas->undoStream()->workerCount() > 0)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        // The newest stroke whose pixels before it went to disk: its undo is
        // the first that cannot be made.
        int spilledStroke = 0;
        for (int i = 0; i < 8; ++i) {
            const QUndoCommand *stroke = canvas->undoStack()->command(i);
            for (int c = 0; c < stroke->childCount(); ++c) {
                const auto *tile = dynamic_cast<const MCommandTile *>(stroke->child(c));
                if (tile && !canvas->undoStream()->isInMemory(tile->beforeId()))
                    spilledStroke = i + 1;
            }
        }
        QVERIFY2(spilledStroke > 1 && spilledStroke < 8, qPrintable(QString::number(spilledStroke)));
        QVERIFY(!QDir(MUtility::cacheDirectory()).isEmpty());
        QVERIFY(QDir(MUtility::cacheDirectory()).removeRecursively());

        QVERIFY(MTestMainWindow::focusView(view));
        int refusedAt = -1;
        for (int index = 8; index > 0 && refusedAt < 0; --index) {
            QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
            QCoreApplication::processEvents();
            const QImage now = MTestMainWindow::layerPixels(canvas);
            if (now == states.at(index - 1))
                continue;
            QVERIFY2(now == states.at(index), qPrintable(QStringLiteral("undo from stroke %1 shows wrong pixels").arg(index)));
            refusedAt = index;
        }
        QCOMPARE(refusedAt, spilledStroke);
        MTestScreenshot::keep(window->grab(), QStringLiteral("undo-history-broken-window.png"));
        QCOMPARE(dialogs.requests().size(), 1);
        QCOMPARE(dialogs.requests().first().icon, QMessageBox::Warning);
        QCOMPARE(dialogs.requests().first().title, QStringLiteral("Undo history"));
        QVERIFY(dialogs.requests().first().text.contains(QStringLiteral("cannot be undone")));
        QVERIFY(!canvas->undoStack()->canUndo());
        // Back in the window once the message is closed, another Ctrl+Z
        // changes nothing and says nothing more.
        QVERIFY(MTestMainWindow::focusView(view));
        QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
        QCoreApplication::processEvents();
        QCOMPARE(MTestMainWindow::layerPixels(canvas), states.at(refusedAt));
        QCOMPARE(dialogs.requests().size(), 1);

        for (int index = refusedAt + 1; index <= 8; ++index) {
            QTest::keyClick(view, Qt::Key_Y, Qt::ControlModifier);
            QVERIFY2(MTestMainWindow::layerPixels(canvas) == states.at(index), qPrintable(QStringLiteral("redo to %1").arg(index)));
        }
        canvas->undoStack()->setClean();
        window.reset();
    }
};

QTEST_MAIN(TestUndoHistoryEndToEnd)
#include "tst_undohistoryendtoend.moc"
