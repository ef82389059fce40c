#include "mapplication.h"
#include "mcanvas.h"
#include "mlogger.h"
#include "mmainwindow.h"
#include "msettings.h"
#include "mshapelist.h"
#include "msingleinstance.h"
#include "mtablet.h"
#include "mtestdialogscript.h"
#include "mtestfolder.h"
#include "mtestlogwatch.h"
#include "mtestwindowrun.h"
#include "mutility.h"
#include "mwidget.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QSignalSpy>
#include <QSplashScreen>
#include <QTabletEvent>
#include <QTest>

#include <functional>

// Whole runs of the application, driven from inside through the main window
// shown() signal. No application object exists between the test functions.
class TestMApplication : public QObject
{
    Q_OBJECT

private:
    static int cacheEntries()
    {
        return QDir(MUtility::cacheDirectory()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size();
    }

private slots:
    void startRestartAndQuit()
    {
        MTestFolder folder;
        // An image of a size no new document has, so its opening shows.
        const QString document = folder.filePath("start.png");
        QVERIFY(QImage(37, 23, QImage::Format_ARGB32).save(document));
        // A leftover of a crashed run is emptied at start.
        QFile leftover(MUtility::cacheDirectory() + "{old}.data");
        QVERIFY(leftover.open(QIODevice::WriteOnly));
        leftover.close();
        QDir().mkpath(MUtility::cacheDirectory() + "sub");

        QString failure;
        auto check = [&failure](bool ok, const QString &what) {
            if (!ok && failure.isEmpty())
                failure = what;
        };
        int runs = 0;
        const int result = runApplication({document, "ignored"}, [&](int number, MMainWindow *window) {
            check(window->isVisible(), "window shown");
            check(MApplication::instance()->mainWindow() == window, "application owns the window");
            check(cacheEntries() == 0, "cache emptied at start");
            check(MSettings::instance()->undoMemorySize() == 0.0, "undo memory reset");
            check(MSettings::instance()->property("marker").isNull(), "settings are fresh in every run");
            if (number == 1) {
                check(window->view()->canvas()->paintedRect().size() == QSizeF(37, 23), "command-line file opened");
                check(MSettings::instance()->startupFile().isEmpty(), "startupFile cleared");
                MSettings::instance()->setProperty("marker", true);
                MSettings::instance()->set_undoMemorySize(42.0);
                MShapeList::instance()->setProperty("marker", true);
                QFile spill(MUtility::cacheDirectory() + "{spill}.data");
                spill.open(QIODevice::WriteOnly);
                // The restart deletes a shown window whose child has the focus:
                // the focus moves while the window's children go.
                window->activateWindow();
                window->view()->setFocus();
                check(QTest::qWaitFor([window]() { return window->isAncestorOf(QApplication::focusWidget()); }, 5000),
                      "focus inside the window before the restart");
                window->applicationReboot();
            } else {
                check(MShapeList::instance()->property("marker").toBool(), "shape library survives a restart");
                // A restart reads the command line again.
                check(window->view()->canvas()->paintedRect().size() == QSizeF(37, 23), "command-line file opened after restart");
                QFile spill(MUtility::cacheDirectory() + "{spill2}.data");
                spill.open(QIODevice::WriteOnly);
                window->close();
            }
        }, &runs);

        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QCOMPARE(result, 0);
        QCOMPARE(runs, 2);
        QCOMPARE(cacheEntries(), 0);
        QVERIFY(MLogger::existingInstance());
        QVERIFY(!MSettings::existingInstance());

        const QStringList log = MTestLogWatch::fileMessages();
        QCOMPARE(log.first(), QString("Starting vantor log session."));
        QCOMPARE(log.count("Starting vantor log session."), 1);
        QCOMPARE(log.count("Settings loaded."), 2);
        QCOMPARE(log.filter(QRegularExpression("^OpenGL renderer: ")).size(), 4);
        QVERIFY(log.indexOf("Settings loaded.") < log.indexOf("Dump OpenGl card config"));
    }

    // A missing file named on the command line is not kept in the settings,
    // where it would come back at every start, but the painter is told.
    void missingStartupFileLeavesSettingAlone()
    {
        MTestDialogScript script;
        int runs = 0;
        QString startupFile = "unset";
        const int result = runApplication({"/no/such/file.kxd"}, [&](int, MMainWindow *window) {
            startupFile = MSettings::instance()->startupFile();
            window->close();
        }, &runs);
        QCOMPARE(result, 0);
        QCOMPARE(runs, 1);
        QCOMPARE(startupFile, QString());
        QCOMPARE(script.requests().size(), 1);
        QCOMPARE(script.requests().first().icon, QMessageBox::Critical);
        QCOMPARE(script.requests().first().text, QString("Cannot open file /no/such/file.kxd."));
    }

    void secondStartRaisesTheWindow()
    {
        int runs = 0;
        bool answered = false, maximised = false;
        runApplication({}, [&](int, MMainWindow *window) {
            window->showNormal();
            answered = MSingleInstance::sendMessage("com.vantorel.kalmidraw", {"hello"}, 5000);
            maximised = QTest::qWaitFor([window]() { return window->isMaximized(); }, 5000);
            window->close();
        }, &runs);
        QVERIFY(answered);
        QVERIFY(maximised);
    }

    // A second start hands its file to the running copy, which asks about
    // unsaved changes before opening it; a file named on the command line
    // that cannot be opened is reported, not dropped.
    void secondStartHandsOverItsFile()
    {
        MTestFolder folder;
        const QString picture = folder.filePath("handed over.png");
        QImage handed(41, 17, QImage::Format_ARGB32);
        handed.fill(QColor(40, 120, 200));
        QVERIFY(handed.save(picture));
        const QString program = QStringLiteral(KALMI_BIN_DIR "/kalmidraw");
        MTestDialogScript script;
        script.answer(QMessageBox::Ok).answer(1); // the missing file's message, then don't save
        int runs = 0;
        bool reported = false, secondEnded = false, opened = false, asked = false;
        runApplication({folder.filePath("missing.kxd")}, [&](int, MMainWindow *window) {
            // The missing command-line file is reported once the window is up.
            reported = QTest::qWaitFor([&script]() { return !script.requests().isEmpty(); }, 10000);
            window->view()->canvas()->appendLayer();
            QProcess second;
            second.setWorkingDirectory(folder.path());
            second.start(program, {QStringLiteral("handed over.png")});
            secondEnded = second.waitForStarted()
                          && QTest::qWaitFor([&second]() { return second.state() == QProcess::NotRunning; }, 60000)
                          && second.exitCode() == 0;
            opened = QTest::qWaitFor([window]() {
                return window->view()->canvas()->paintedRect().size() == QSizeF(41, 17);
            }, 10000);
            asked = script.requests().size() == 2 && script.requests().last().kind == MUtility::ChoiceDialog;
            if (qEnvironmentVariableIsSet("KALMI_SCREENSHOT")) {
                QTest::qWait(300);
                window->grab().save(qEnvironmentVariable("KALMI_SCREENSHOT"));
            }
            window->close();
        }, &runs);
        QCOMPARE(runs, 1);
        QVERIFY(reported);
        QCOMPARE(script.requests().first().text, QString("Cannot open file %1.").arg(folder.filePath("missing.kxd")));
        QVERIFY(secondEnded);
        QVERIFY(opened);
        QVERIFY(asked);
    }

    void tabletProximity()
    {
        int runs = 0;
        int changes = -1, device = -1;
        runApplication({}, [&](int, MMainWindow *window) {
            QSignalSpy spy(MTablet::instance(), &MTablet::proximityDeviceChanged);
            for (int i = 0; i < 2; ++i) {
                QTabletEvent enter(QEvent::TabletEnterProximity, QPointF(), QPointF(), QTabletEvent::Stylus,
                                   QTabletEvent::Eraser, 0, 0, 0, 0, 0, 0, Qt::NoModifier, 1, Qt::NoButton, Qt::NoButton);
                QCoreApplication::sendEvent(qApp, &enter);
            }
            changes = spy.count();
            device = MTablet::instance()->proximityDevice();
            window->close();
        }, &runs);
        QCOMPARE(changes, 1);
        QCOMPARE(device, 3);
    }

    void unsupportedDriverStopsBeforeTheLoop()
    {
        // The minimal platform has no OpenGL at all.
        qputenv("QT_QPA_PLATFORM", "minimal");
        MTestDialogScript script;
        script.answer(QMessageBox::Ok);
        int runs = 0;
        const int result = runApplication({}, [](int, MMainWindow *window) { window->close(); }, &runs);
        qunsetenv("QT_QPA_PLATFORM");

        QCOMPARE(result, 0);
        QCOMPARE(runs, 0);
        QCOMPARE(script.requests().size(), 1);
        const MUtility::DialogRequest request = script.requests().first();
        QCOMPARE(request.icon, QMessageBox::Critical);
        QCOMPARE(request.title, QString("KalmiDraw"));
        QCOMPARE(request.text, QString("Can't run KalmiDraw: your graphic card driver is not supported."));
        QCOMPARE(request.standardButtons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QVERIFY(!MSettings::existingInstance());
    }

    void secondProcessExitsAtOnce()
    {
        const QString program = QStringLiteral(KALMI_BIN_DIR "/kalmidraw");
        QVERIFY(QFile::exists(program));
        QProcess first;
        first.start(program, QStringList());
        QVERIFY(first.waitForStarted());
        // The first instance listens once its window is up.
        QVERIFY(QTest::qWaitFor([]() {
            return MSingleInstance::sendMessage("com.vantorel.kalmidraw", {"hello"}, 100);
        }, 60000));

        const QStringList firstLog = MTestLogWatch::fileMessages();
        QCOMPARE(firstLog.value(0), QString("Starting vantor log session."));
        QProcess second;
        second.start(program, QStringList());
        QVERIFY(second.waitForFinished(60000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        // The running copy's log is kept; the second start only adds its line.
        const QStringList log = MTestLogWatch::fileMessages();
        QCOMPARE(log.mid(0, firstLog.size()), firstLog);
        QVERIFY(log.contains("Only one instance at a time!."));
        QCOMPARE(first.state(), QProcess::Running);
        first.kill();
        first.waitForFinished();
    }
};

QTEST_APPLESS_MAIN(TestMApplication)
#include "tst_mapplication.moc"
