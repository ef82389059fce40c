#include "dabout.h"
#include "mapplication.h"
#include "mcoloredit.h"
#include "mfolders.h"
#include "mhttprequest.h"
#include "mmainwindow.h"
#include "msettings.h"
#include "mtestdialogscript.h"
#include "mtesthttpserver.h"
#include "mtestlogwatch.h"
#include "mtestmodaldriver.h"
#include "mtesturlcatcher.h"
#include "mtestwindowrun.h"
#include "mversioninfo.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

// The help and support commands in the real window, against a web server
// on the loopback address; the pages the browser would open are caught.
namespace {
QString g_failure;
void check(bool ok, const QString &what)
{
    if (!ok && g_failure.isEmpty())
        g_failure = what;
}

void trigger(MMainWindow *window, const char *name)
{
    auto *action = window->findChild<QAction *>(name);
    check(action && action->isEnabled(), QString("%1 is usable").arg(name));
    check(!MMainWindow::pendingCommands().contains(name), QString("%1 is built").arg(name));
    if (action)
        action->trigger();
}

QByteArray versionBytes(int major, int minor, int patch)
{
    MVersionInfo record;
    record.major = major;
    record.minor = minor;
    record.patch = patch;
    return record.toByteArray();
}
} // namespace

class TestHelpCommands : public QObject
{
    Q_OBJECT

private:
    MTestUrlCatcher m_catcher;

private slots:
    void init()
    {
        g_failure.clear();
        m_catcher.urls.clear();
    }

    void pages()
    {
        MTestDialogScript script;
        QString guide;
        const int result = runMainWindowOnce([&](MMainWindow *window) {
            guide = MFolders::applicationDirectory() + "help/en/KalmiDraw.pdf";
            MSettings::instance()->set_serverUrl("http://127.0.0.1:9/");
            MSettings::instance()->set_userLangId("FR");
            trigger(window, "actionOnline_help");
            trigger(window, "actionContact_us");
            // No French guide: the English one shipped with the program.
            trigger(window, "actionHelp_index");
            MSettings::instance()->set_userLangId("en");
        });
        QVERIFY2(g_failure.isEmpty(), qPrintable(g_failure));
        QCOMPARE(result, 0);
        QCOMPARE(m_catcher.urls.size(), 3);
        QCOMPARE(m_catcher.urls.at(0).toString(), QString("http://127.0.0.1:9/van/help/fr/index.html"));
        QCOMPARE(m_catcher.urls.at(1).toString(), QString("http://127.0.0.1:9/contact-us/"));
        QCOMPARE(m_catcher.urls.at(2), QUrl::fromLocalFile(guide));
        QVERIFY(QFileInfo(m_catcher.urls.at(2).toLocalFile()).size() > 1000);
        QCOMPARE(script.requests().size(), 0);
    }

    void updateCheck_data()
    {
        QTest::addColumn<int>("kind"); // 0 answer, 1 server down, 2 not an https address
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("icon");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("logLine");
        QTest::addColumn<bool>("download");
        QTest::newRow("same version") << 0 << versionBytes(1, 4, 2) << int(QMessageBox::Information)
                                      << "No new version available, your version of KalmiDraw is up to date." << ""
                                      << false;
        QTest::newRow("newer patch") << 0 << versionBytes(1, 4, 3) << int(QMessageBox::Question)
                                     << "A new version 1.4.3 is available for download. Do you want to download the "
                                        "new version?"
                                     << "" << true;
        QTest::newRow("empty body") << 0 << QByteArray() << -1 << "" << "Download version.info: version file missing"
                                    << false;
        QTest::newRow("garbage") << 0 << QByteArray("<html>oops</html>") << int(QMessageBox::Critical)
                                 << "The update check failed: the version information could not be read."
                                 << "Download version.info: unreadable version file" << false;
        QTest::newRow("server down") << 1 << QByteArray() << int(QMessageBox::Critical)
                                     << "Unable to connect to 127.0.0.1." << "Error during version info download: "
                                     << false;
        QTest::newRow("plain http address") << 2 << QByteArray() << int(QMessageBox::Critical)
                                            << "Unable to connect to www.example.com."
                                            << "Error during version info download: Request refused: "
                                               "http://www.example.com/van/download/version.info is not an https "
                                               "address"
                                            << false;
    }
    void updateCheck()
    {
        QFETCH(int, kind);
        QFETCH(QByteArray, body);
        QFETCH(int, icon);
        QFETCH(QString, message);
        QFETCH(QString, logLine);
        QFETCH(bool, download);
        MTestDialogScript script;
        script.answer(QMessageBox::Ok);
        std::unique_ptr<MTestLogWatch> watch;
        QList<MTestHttpServer::Request> requests;
        QString address;
        const int result = runMainWindowOnce([&](MMainWindow *window) {
            // Sockets need the application's event loop: the server lives in the run.
            MTestHttpServer server;
            check(server.listen(), "the loopback server listens");
            server.setAnswer("/van/download/version.info", body);
            address = kind == 1   ? MTestHttpServer::deadAddress()
                      : kind == 2 ? QStringLiteral("http://www.example.com")
                                  : server.address();
            MSettings::instance()->set_serverUrl(address);
            watch.reset(new MTestLogWatch);
            MTestLogWatch &log = *watch;
            trigger(window, "actionCheck_updates");
            // The answer comes through the event loop; a loaded machine is slow to give it.
            check(QTest::qWaitFor([&] { return !script.requests().isEmpty() || log.count("version file") > 0; }, 120000),
                  "the check answers");
            QTest::qWait(200);
            requests = server.requests();
        });
        QVERIFY2(g_failure.isEmpty(), qPrintable(g_failure));
        QCOMPARE(result, 0);
        if (kind == 0)
            QCOMPARE(requests.first().path, QByteArray("/van/download/version.info"));
        QCOMPARE(script.requests().size(), icon == -1 ? 0 : 1);
        if (icon != -1) {
            QCOMPARE(int(script.requests().first().icon), icon);
            QCOMPARE(script.requests().first().text, message);
        }
        QVERIFY(watch);
        const MTestLogWatch &log = *watch;
        if (!logLine.isEmpty())
            QCOMPARE(log.count(logLine), 1);
        // Never a second report of the same failure.
        QCOMPARE(log.count("version file missing"), logLine.contains("missing") ? 1 : 0);
        QCOMPARE(m_catcher.urls.size(), download ? 1 : 0);
        if (download)
            QCOMPARE(m_catcher.urls.first().toString(), address + "/download/");
    }

    void dialogs()
    {
        MTestDialogScript script;
        script.answer(QMessageBox::No); // "open the file location?"
        QString licence;
        QString screenshot;
        bool logsShown = false;
        QSize windowSize;
        const int result = runMainWindowOnce([&](MMainWindow *window) {
            MSettings::instance()->set_serverUrl("http://127.0.0.1:9");
            MTestModalDriver::onNextDialog("DAbout", [&](QDialog *dialog) {
                licence = static_cast<DAbout *>(dialog)->shownLicense();
            });
            trigger(window, "actionAbout_Kalmi");
            MTestModalDriver::onNextDialog("DShowLogs", [&](QDialog *dialog) {
                logsShown = dialog->findChild<QLineEdit *>("emailEdit") != nullptr;
            });
            trigger(window, "actionShow_system_logs");
            windowSize = window->size();
            MTestModalDriver::onNextDialog("DScreenshot", [&](QDialog *dialog) {
                screenshot = dialog->findChild<QLineEdit *>("fileNameEdit")->text();
                MTestModalDriver::click(dialog->findChild<QRadioButton *>("coloredEdit"));
                dialog->findChild<MColorEdit *>("colorEdit")->setColor(QColor(255, 0, 0));
                QTest::mouseClick(dialog->findChild<QDialogButtonBox *>("buttonBox")->button(QDialogButtonBox::Ok),
                                  Qt::LeftButton);
            });
            trigger(window, "actionTake_a_screenshot");
        });
        QVERIFY2(g_failure.isEmpty(), qPrintable(g_failure));
        QCOMPARE(result, 0);
        QVERIFY(licence.contains("NO WARRANTY"));
        QVERIFY(logsShown);
        QVERIFY(screenshot.endsWith("screenshot-1.jpg"));
        QImage picture(screenshot);
        QCOMPARE(picture.size(), QSize(800, 800));
        // The window fitted in the middle, the chosen background around it.
        auto isRed = [](const QColor &c) { return c.red() > 200 && c.green() < 60 && c.blue() < 60; };
        const bool wide = windowSize.width() > windowSize.height();
        QVERIFY(windowSize.width() != windowSize.height());
        QVERIFY(isRed(picture.pixelColor(wide ? QPoint(400, 3) : QPoint(3, 400))));
        QVERIFY(isRed(picture.pixelColor(wide ? QPoint(400, 796) : QPoint(796, 400))));
        QVERIFY(!isRed(picture.pixelColor(400, 400)));
        QCOMPARE(script.requests().size(), 1);
        QCOMPARE(script.requests().first().text, QString("Screenshot done. Do you want to open the file location?"));
        QCOMPARE(QSettings().value("ShowLogs/sizes").toStringList().size(), 2);
    }
};

QTEST_APPLESS_MAIN(TestHelpCommands)
#include "tst_helpcommands.moc"
