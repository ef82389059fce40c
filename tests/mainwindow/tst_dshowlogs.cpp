#include "dshowlogs.h"
#include "mlogger.h"
#include "msettings.h"
#include "mtestdialogscript.h"
#include "mtesthttpserver.h"
#include "mtestlogwatch.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QSplitter>
#include <QTest>
#include <QUrlQuery>

// The log viewer: what it shows, what it composes, and that the log leaves
// for the configured server only when the painter says so.
namespace {
QHash<QString, QString> formFields(const QByteArray &body)
{
    QHash<QString, QString> fields;
    for (const QByteArray &pair : body.split('&')) {
        const int equals = pair.indexOf('=');
        fields.insert(QString::fromUtf8(pair.left(equals)),
                      QString::fromUtf8(QByteArray::fromPercentEncoding(pair.mid(equals + 1))));
    }
    return fields;
}

void click(DShowLogs &dialog, const char *name)
{
    QTest::mouseClick(dialog.findChild<QPushButton *>(name), Qt::LeftButton);
}
} // namespace

class TestDShowLogs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QCoreApplication::setOrganizationName("Vantorel");
        QCoreApplication::setApplicationName("KalmiDraw");
        MLogger::instance()->log("a line of this run");
    }
    void init()
    {
        QSettings().clear();
    }

    void showsTheLogAndComposes()
    {
        DShowLogs dialog;
        auto *logs = dialog.findChild<QPlainTextEdit *>("logsEdit");
        QVERIFY(logs->toPlainText().contains("A line of this run."));
        auto *comment = dialog.findChild<QPlainTextEdit *>("commentEdit");
        comment->setPlainText("   \n ");
        QCOMPARE(dialog.composeText(), "System logs:\n\n" + logs->toPlainText());
        comment->setPlainText("  it crashed ");
        QCOMPARE(dialog.composeText(), "User comment:\n\n  it crashed \n\nSystem logs:\n\n" + logs->toPlainText());
        // Copying before the shader report is there copies the log as read.
        MTestDialogScript script;
        click(dialog, "btnCopyLogs");
        QCOMPARE(QApplication::clipboard()->text(), dialog.composeText());
        QCOMPARE(script.requests().size(), 1);
    }

    void blankAddress()
    {
        MTestHttpServer server;
        QVERIFY(server.listen());
        MSettings::instance()->set_serverUrl(server.address());
        DShowLogs dialog;
        MTestDialogScript script;
        dialog.findChild<QLineEdit *>("emailEdit")->setText("   ");
        click(dialog, "btnSendLogs");
        QCOMPARE(script.requests().size(), 1);
        QCOMPARE(script.requests().first().text, QString("Please enter an email address before sending to support."));
        // Ticking "Remember me" without an address is refused.
        dialog.findChild<QCheckBox *>("remembeMeEdit")->setChecked(true);
        QCOMPARE(script.requests().size(), 2);
        QCOMPARE(script.requests().last().text, QString("Please enter an email address."));
        QVERIFY(!dialog.findChild<QCheckBox *>("remembeMeEdit")->isChecked());
        dialog.saveSettings();
        QCOMPARE(QSettings().value("ShowLogs/rememberMe").toBool(), false);
        QTest::qWait(100);
        QVERIFY(server.requests().isEmpty());
    }

    void sendOnlyWhenConfirmed_data()
    {
        QTest::addColumn<bool>("confirm");
        QTest::newRow("declined") << false;
        QTest::newRow("confirmed") << true;
    }
    void sendOnlyWhenConfirmed()
    {
        QFETCH(bool, confirm);
        MTestHttpServer server;
        QVERIFY(server.listen());
        server.setAnswer("/van/download/send_logs.php", "thanks");
        MSettings::instance()->set_serverUrl(server.address());
        DShowLogs dialog;
        dialog.findChild<QLineEdit *>("emailEdit")->setText(" painter@example.org ");
        dialog.findChild<QPlainTextEdit *>("commentEdit")->setPlainText("Strokes lag & stutter = 100%");
        MTestDialogScript script;
        script.answer(confirm ? QMessageBox::Yes : QMessageBox::No).answer(QMessageBox::Ok);
        click(dialog, "btnSendLogs");
        QCOMPARE(script.requests().first().icon, QMessageBox::Question);
        QVERIFY(script.requests().first().text.contains("127.0.0.1"));
        if (!confirm) {
            QTest::qWait(200);
            QVERIFY(server.requests().isEmpty());
            QCOMPARE(script.requests().size(), 1);
            return;
        }
        QTRY_COMPARE(script.requests().size(), 2);
        QCOMPARE(script.requests().last().text, QString("The system logs has been sent to the support."));
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(server.requests().size(), 1);
        const MTestHttpServer::Request &sent = server.requests().first();
        QCOMPARE(sent.method, QByteArray("POST"));
        QCOMPARE(sent.path, QByteArray("/van/download/send_logs.php"));
        const QHash<QString, QString> fields = formFields(sent.body);
        QCOMPARE(fields.keys().size(), 2);
        QCOMPARE(fields.value("email"), QString("painter@example.org"));
        // The shader report is appended to the log view on a timer of its
        // own, so on a slow machine it may come after the text was sent.
        const QString sentLogs = fields.value("system_logs");
        const QString shownNow = dialog.composeText();
        QVERIFY2(shownNow == sentLogs || shownNow.startsWith(sentLogs + QLatin1Char('\n')), qPrintable(sentLogs));
        QVERIFY(fields.value("system_logs").startsWith("User comment:\n\nStrokes lag & stutter = 100%\n\n"));
    }

    // The log tells about the painter's files: to an address that is not
    // https (or this machine's own) it is not sent, and the painter is not
    // even asked.
    void plainAddressRefused()
    {
        MSettings::instance()->set_serverUrl(QStringLiteral("http://www.example.com"));
        DShowLogs dialog;
        dialog.findChild<QLineEdit *>("emailEdit")->setText("painter@example.org");
        MTestLogWatch log;
        MTestDialogScript script;
        click(dialog, "btnSendLogs");
        QCOMPARE(script.requests().size(), 1);
        QCOMPARE(script.requests().first().icon, QMessageBox::Critical);
        QCOMPARE(script.requests().first().text,
                 QString("The system logs can't be sent: http://www.example.com/van/download/send_logs.php is not a "
                         "secure (https) address."));
        QCOMPARE(log.count("Log upload refused"), 1);
        QVERIFY(dialog.result() != QDialog::Accepted);
    }

    // A connection failure is told once, as a connection failure.
    void serverDown()
    {
        MSettings::instance()->set_serverUrl(MTestHttpServer::deadAddress());
        DShowLogs dialog;
        dialog.findChild<QLineEdit *>("emailEdit")->setText("painter@example.org");
        MTestLogWatch log;
        MTestDialogScript script;
        script.answer(QMessageBox::Yes);
        click(dialog, "btnSendLogs");
        QTRY_COMPARE(script.requests().size(), 2);
        QTest::qWait(200);
        QCOMPARE(script.requests().size(), 2);
        QVERIFY(script.requests().last().text.startsWith("Unable to connect to 127.0.0.1 server, please try later."));
        QCOMPARE(log.count("Error during logs upload: Network reply error : "), 1);
        QCOMPARE(log.count("no response"), 0);
        QVERIFY(dialog.result() != QDialog::Accepted);
    }

    void rememberedSettings()
    {
        MSettings::instance()->set_userMail("kept@example.org");
        {
            DShowLogs dialog;
            // Not remembered: the field starts empty.
            QCOMPARE(dialog.findChild<QLineEdit *>("emailEdit")->text(), QString());
            auto *splitter = dialog.findChild<QSplitter *>("splitter");
            dialog.resize(600, 500);
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            splitter->setSizes({300, 100});
            dialog.findChild<QLineEdit *>("emailEdit")->setText("new@example.org");
            dialog.findChild<QCheckBox *>("remembeMeEdit")->setChecked(true);
            dialog.saveSettings();
        }
        QSettings store;
        QCOMPARE(store.value("ShowLogs/rememberMe").toBool(), true);
        QCOMPARE(store.value("ShowLogs/sizes").toStringList().size(), 2);
        DShowLogs again;
        QCOMPARE(again.findChild<QLineEdit *>("emailEdit")->text(), QString("new@example.org"));
        // Sizes that are not two numbers are ignored.
        store.setValue("ShowLogs/sizes", QStringList({"10", "x"}));
        DShowLogs third;
        QVERIFY(third.findChild<QSplitter *>("splitter"));
    }
};

QTEST_MAIN(TestDShowLogs)
#include "tst_dshowlogs.moc"
