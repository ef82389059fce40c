#include "mcanvas.h"
#include "mcolorlist.h"
#include "mmainwindow.h"
#include "msettings.h"
#include "mtestglcontext.h"
#include "mtestmainwindow.h"
#include "mtestscreenshot.h"
#include "mundostream.h"
#include "mutility.h"
#include "mwidget.h"

#include <QDir>
#include <QTest>
#include <QUndoStack>

#include <memory>

// A painter's strokes in the real window over a small undo memory limit:
// "undoMemorySize" follows the bytes the document's history holds in memory,
// which stay under the limit once strokes go to disk; every Ctrl+Z shows the
// pixels before its stroke; closing the window takes the history's bytes out
// of the total.
class TestUndoMemoryEndToEnd : public QObject
{
    Q_OBJECT

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase() { QVERIFY(MTestMainWindow::prepare(QSize(400, 300))); }

    void settingFollowsTheHistory()
    {
        const double megabyte = 1048576.0;
        MSettings *settings = MSettings::instance();
        std::unique_ptr<MMainWindow> window(new MMainWindow());
        QVERIFY(MTestMainWindow::show(window.get(), QSize(1200, 800)));
        MWidget *view = window->view();
        MCanvas *canvas = view->canvas();
        MUndoStream *history = canvas->undoStream();
        QCOMPARE(settings->undoMemorySize(), 0.0);
        settings->set_undoMemoryMax(1.0);

        QVector<QImage> states{MTestMainWindow::layerPixels(canvas)};
        qint64 most = 0;
        for (int i = 0; i < 6; ++i) {
            MColorList::instance()->setColor(QColor::fromHsv(i * 60, 220, 200));
            QVERIFY(MTestMainWindow::drag(view, QPointF(-170, -120 + 45 * i), QPointF(170, -90 + 45 * i), 8));
            // The window idles between strokes: the stroke's records are made
            // and the setting hears of them.
            QTRY_COMPARE(settings->undoMemorySize(), history->memorySize() / megabyte);
            most = qMax(most, history->memorySize());
            states << MTestMainWindow::layerPixels(canvas);
        }
        QCOMPARE(canvas->undoStack()->count(), 6);
        while (history->workerCount() > 0)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        QVERIFY(most > 0);
        QVERIFY(!QDir(MUtility::cacheDirectory()).isEmpty());
        QVERIFY2(history->memorySize() <= megabyte, qPrintable(QString::number(history->memorySize())));
        QTRY_COMPARE(settings->undoMemorySize(), history->memorySize() / megabyte);

        QVERIFY(MTestMainWindow::focusView(view));
        for (int index = 6; index > 0; --index) {
            QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
            QCoreApplication::processEvents();
            QVERIFY2(MTestMainWindow::layerPixels(canvas) == states.at(index - 1),
                     qPrintable(QStringLiteral("undo of stroke %1").arg(index)));
        }
        QTest::keyClick(view, Qt::Key_Y, Qt::ControlModifier);
        QCoreApplication::processEvents();
        QVERIFY(MTestMainWindow::layerPixels(canvas) == states.at(1));
        MTestScreenshot::keep(window->grab(), QStringLiteral("undo-memory-window.png"));

        canvas->undoStack()->setClean();
        window.reset();
        QCoreApplication::processEvents();
        QCOMPARE(settings->undoMemorySize(), 0.0);
        QVERIFY(QDir(MUtility::cacheDirectory()).isEmpty());
    }
};

QTEST_MAIN(TestUndoMemoryEndToEnd)
#include "tst_undomemoryendtoend.moc"
