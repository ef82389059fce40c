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
#include "mtestmainwindow.h"
#include "mtestprogram.h"
#include "mtestscreenshot.h"
#include "mtestwindowrun.h"
#include "mtransform.h"
#include "mutility.h"
#include "mundostream.h"
#include "mwidget.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMessageBox>
#include <QProcess>
#include <QSet>
#include <QSettings>
#include <QSignalSpy>
#include <QSplashScreen>
#include <QStandardPaths>
#include <QTabletEvent>
#include <QTest>
#include <QUndoStack>

#include <algorithm>
#include <memory>
#include <vector>

#include <functional>

// Whole runs of the application, driven from inside through the main window
// shown() signal. No application object exists between the test functions.
namespace {
const QString kProgram = MTestProgram::executable();
} // namespace

class TestMApplication : public QObject
{
    Q_OBJECT

private:
    static int cacheEntries()
    {
        return QDir(MUtility::cacheDirectory()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size();
    }

    // Checks made inside a run, which goes on after one fails: the first failure.
    struct FirstFailure
    {
        QString failure;
        void operator()(bool ok, const QString &what)
        {
            if (!ok && failure.isEmpty())
                failure = what;
        }
    };

    // Pictures named by the pattern, one pixel wider each, so that the one
    // open shows; fewer when one could not be written.
    static QStringList pictures(const MTestFolder &folder, const QString &pattern, int count, const QSize &first)
    {
        QStringList files;
        for (int i = 0; i < count; ++i) {
            const QString file = folder.filePath(pattern.arg(i));
            if (QImage(first + QSize(i, 0), QImage::Format_ARGB32).save(file))
                files << file;
        }
        return files;
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

    // A start-up file kept from an earlier start is taken off the settings
    // on disk before it is tried: a start that hangs or dies on it leaves
    // the next start free of it.
    void startupFileLeavesTheDiskBeforeItIsTried()
    {
        MTestFolder folder;
        const QString broken = folder.writeFile(QStringLiteral("broken.kxd"), QByteArray("not a document"));
        {
            QSettings stored(MTestProgram::settingsPath(), QSettings::IniFormat);
            stored.setValue(QStringLiteral("startupFile"), broken);
        }
        QCOMPARE(MTestProgram::storedSetting(QStringLiteral("startupFile")).toString(), broken);
        MTestDialogScript script;
        QVariant storedWhenTried = broken;
        // The message about the file comes while it is being tried.
        script.observe([&storedWhenTried](const MUtility::DialogRequest &) {
            storedWhenTried = MTestProgram::storedSetting(QStringLiteral("startupFile"));
        });
        int runs = 0;
        runApplication({}, [&](int, MMainWindow *window) {
            (void)QTest::qWaitFor([&script]() { return !script.requests().isEmpty(); }, 30000);
            window->close();
        }, &runs);
        QCOMPARE(runs, 1);
        QCOMPARE(script.requests().size(), 1);
        QCOMPARE(script.requests().first().text, QStringLiteral("Cannot open file %1.").arg(broken));
        QCOMPARE(storedWhenTried.toString(), QString());
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
        const QString program = kProgram;
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

    // Starts at the same moment: one becomes the program, every other one
    // hands its file over and ends, and the window holds the last file.
    void twentyStartsAtOnceMakeOneProgram()
    {
        MTestFolder folder;
        const QStringList files = pictures(folder, QStringLiteral("start %1.png"), 20, QSize(20, 10));
        QCOMPARE(files.size(), 20);
        std::vector<std::unique_ptr<QProcess>> starts;
        for (const QString &file : files) {
            starts.push_back(std::make_unique<QProcess>());
            starts.back()->start(kProgram, {file});
        }
        for (auto &start : starts)
            QVERIFY(start->waitForStarted(30000));
        // No application object runs here to hear of their ends: each is asked.
        auto ended = [&starts]() {
            return int(std::count_if(starts.begin(), starts.end(), [](const std::unique_ptr<QProcess> &p) {
                return p->state() == QProcess::NotRunning || p->waitForFinished(10);
            }));
        };
        const bool nineteenEnded = QTest::qWaitFor([&]() { return ended() >= 19; }, 180000);
        // Leave no program behind, whatever happened.
        QProcess *program = nullptr;
        QStringList handed;
        QString recent;
        if (nineteenEnded && ended() == 19) {
            for (auto &start : starts) {
                if (start->state() != QProcess::NotRunning)
                    program = start.get();
            }
            (void)QTest::qWaitFor([&]() {
                handed = MTestLogWatch::fileMessages().filter(QStringLiteral("File handed over by another start: "));
                return handed.size() >= 19;
            }, 180000);
            (void)QTest::qWaitFor([&]() {
                recent = MTestProgram::storedSetting(QStringLiteral("recentFiles")).toStringList().value(0);
                return !handed.isEmpty() && handed.last().endsWith(recent + QStringLiteral("."));
            }, 60000);
        }
        for (auto &start : starts) {
            if (start->state() != QProcess::NotRunning) {
                start->kill();
                start->waitForFinished(10000);
            }
        }
        QVERIFY2(nineteenEnded, qPrintable(QStringLiteral("%1 starts ended").arg(ended())));
        QVERIFY(program);
        for (auto &start : starts) {
            if (start.get() != program) {
                QCOMPARE(start->exitStatus(), QProcess::NormalExit);
                QCOMPARE(start->exitCode(), 0);
            }
        }
        QCOMPARE(MTestLogWatch::fileMessages().count(QStringLiteral("Only one instance at a time!.")), 19);
        QCOMPARE(handed.size(), 19);
        // Every file came to the one program: its own and the handed ones.
        QSet<QString> named;
        for (const QString &line : handed)
            named.insert(line.mid(line.indexOf(QStringLiteral(": ")) + 2).chopped(1));
        QCOMPARE(named.size(), 19);
        QVERIFY(files.contains(recent));
        QVERIFY2(handed.last().endsWith(recent + QStringLiteral(".")), qPrintable(recent));
    }

    // A running copy paints until part of its history is on disk; a start
    // that missed it tries to take its socket, and a later start comes: the
    // later start hands over and ends, and every undo still shows the
    // pixels before its stroke.
    void laterStartsLeaveTheRunningHistoryAlone()
    {
        MTestFolder folder;
        const QString picture = folder.filePath(QStringLiteral("later.png"));
        QVERIFY(QImage(33, 21, QImage::Format_ARGB32).save(picture));
        MTestDialogScript script;
        script.answer(2).answer(1); // keep the document for the handed file; don't save at the end
        int runs = 0;
        FirstFailure check;
        runApplication({}, [&](int, MMainWindow *window) {
            MWidget *view = window->view();
            MCanvas *canvas = view->canvas();
            MSettings::instance()->set_undoMemoryMax(1.0);
            QVector<QImage> states{MTestMainWindow::layerPixels(canvas)};
            const QSizeF size = view->size();
            auto at = [view, size](double x, double y) {
                return view->transform()->mapFromView(QPointF(size.width() * x, size.height() * y));
            };
            for (int i = 0; i < 6; ++i) {
                check(MTestMainWindow::drag(view, at(0.2, 0.2 + 0.1 * i), at(0.8, 0.25 + 0.1 * i), 8), "stroke");
                QCoreApplication::processEvents();
                states << MTestMainWindow::layerPixels(canvas);
            }
            check(QTest::qWaitFor([canvas]() { return canvas->undoStream()->workerCount() == 0; }, 30000), "spills end");
            const QStringList spilled = QDir(MUtility::cacheDirectory()).entryList(QDir::Files);
            check(!spilled.isEmpty(), "history spilled to disk");

            {
                MSingleInstance late;
                check(!late.listen(QStringLiteral("com.vantorel.kalmidraw")), "the running socket is kept");
            }
            QProcess later;
            later.start(kProgram, {picture});
            const bool ended = later.waitForStarted(30000)
                               && QTest::qWaitFor([&later]() { return later.state() == QProcess::NotRunning; }, 60000);
            if (!ended) {
                later.kill();
                later.waitForFinished(10000);
            }
            check(ended && later.exitCode() == 0, "the later start hands over and ends");
            check(QTest::qWaitFor([&script]() { return script.requests().size() == 1; }, 10000), "handed file asked about");
            check(QDir(MUtility::cacheDirectory()).entryList(QDir::Files) == spilled, "spill files kept");

            check(MTestMainWindow::focusView(view), "focus");
            for (int index = 6; index > 0; --index) {
                QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
                QCoreApplication::processEvents();
                check(MTestMainWindow::layerPixels(canvas) == states.at(index - 1),
                      QStringLiteral("undo of stroke %1").arg(index));
            }
            QTest::keyClick(view, Qt::Key_Y, Qt::ControlModifier);
            window->close();
        }, &runs);
        QVERIFY2(check.failure.isEmpty(), qPrintable(check.failure));
        QCOMPARE(runs, 1);
        QVERIFY(script.requests().first().text.contains(QStringLiteral("later.png")));
    }

    // Nine files handed over while the document has unsaved changes: one
    // question at a time, naming the file that would open (the newest), and
    // the question goes once the changes it asks about are gone.
    void handedOverFilesAskOneQuestionAtATime()
    {
        MTestFolder folder;
        const QStringList files = pictures(folder, QStringLiteral("handed %1.png"), 9, QSize(30, 20));
        QCOMPARE(files.size(), 9);
        const QString key = QStringLiteral("com.vantorel.kalmidraw");
        auto questions = []() {
            QList<QMessageBox *> shown;
            for (QWidget *widget : QApplication::topLevelWidgets()) {
                if (auto *box = qobject_cast<QMessageBox *>(widget); box && box->isVisible())
                    shown << box;
            }
            return shown;
        };
        int runs = 0;
        FirstFailure check;
        runApplication({}, [&](int, MMainWindow *window) {
            MCanvas *canvas = window->view()->canvas();
            canvas->appendLayer();
            for (const QString &file : files)
                check(MSingleInstance::sendMessage(key, {QStringLiteral("hello"), file}, 5000), "handed over");
            check(QTest::qWaitFor([&]() {
                return questions().size() == 1 && questions().first()->text().contains(files.last());
            }, 20000), "one question naming the last file");
            QTest::qWait(100);
            check(questions().size() == 1, "still one question");
            if (questions().size() == 1) {
                QMessageBox *question = questions().first();
                check(question->informativeText() == QStringLiteral("Do you want to save modifications?"), "asks to save");
                MTestScreenshot::keep(window->grab(), QStringLiteral("handed-over-question.png"));
                MTestScreenshot::keep(question->grab(), QStringLiteral("handed-over-question-box.png"));
                QAbstractButton *dontSave = nullptr;
                for (QAbstractButton *button : question->buttons()) {
                    if (button->text() == QStringLiteral("Don't save"))
                        dontSave = button;
                }
                check(dontSave, "a Don't save button");
                if (dontSave)
                    dontSave->click();
            }
            check(QTest::qWaitFor([canvas]() { return canvas->paintedRect().size() == QSizeF(38, 20); }, 10000),
                  "the last file opened");
            check(QTest::qWaitFor([&]() { return questions().isEmpty(); }, 5000), "no question left");

            // Changes again, a file handed over, and then the changes are undone.
            canvas->appendLayer();
            check(MSingleInstance::sendMessage(key, {QStringLiteral("hello"), files.first()}, 5000), "handed over again");
            check(QTest::qWaitFor([&]() { return questions().size() == 1; }, 20000), "asked again");
            // As a save that was under way when the file came.
            canvas->undoStack()->setClean();
            check(QTest::qWaitFor([&]() { return questions().isEmpty(); }, 5000), "question withdrawn");
            check(QTest::qWaitFor([canvas]() { return canvas->paintedRect().size() == QSizeF(30, 20); }, 10000),
                  "its file opened");
            window->close();
        }, &runs);
        QVERIFY2(check.failure.isEmpty(), qPrintable(check.failure));
        QCOMPARE(runs, 1);
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
        const QString program = kProgram;
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
