#include "dabout.h"
#include "msettings.h"
#include "mtestscreenshot.h"
#include "mutility.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

// The about dialog's licence: the painter's language, else English, else
// nothing, and the dialog opens in every case.
class TestDAbout : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QCoreApplication::setOrganizationName("Vantorel");
        QCoreApplication::setApplicationName("KalmiDraw");
    }

    void licence_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("expected");
        QTest::newRow("own language, upper case id") << QStringList({"en", "fr"}) << "FR" << "fr";
        QTest::newRow("no file for the language") << QStringList({"en", "fr"}) << "de" << "en";
        QTest::newRow("english only") << QStringList({"en"}) << "fr" << "en";
        QTest::newRow("none") << QStringList() << "fr" << "";
        QTest::newRow("id that climbs out") << QStringList({"en"}) << "../fr" << "en";
    }
    void licence()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, language);
        QFETCH(QString, expected);
        QTemporaryDir folder;
        for (const QString &id : files)
            QVERIFY(MUtility::writeTextFile("licence " + id + " é", folder.filePath("license_" + id + ".txt")));
        QCOMPARE(DAbout::licenseText(folder.path(), language), expected.isEmpty() ? QString() : "licence " + expected + " é");
    }

    void shippedDialog()
    {
        MSettings::instance()->set_userLangId("fr");
        DAbout dialog;
        QCOMPARE(dialog.windowTitle(), QString("About KalmiDraw"));
        QVERIFY(dialog.shownLicense().contains("Tous droits"));
        QVERIFY(!dialog.findChild<QLabel *>("logoLabel")->pixmap(Qt::ReturnByValue).isNull());
        QVERIFY(dialog.findChild<QLabel *>("versionLabel")->text().startsWith("1.4.2-"));
        QVERIFY(dialog.findChild<QLabel *>("linkLabel")->text().contains("#0000ff"));
        MTestScreenshot::keep(dialog.grab(), QStringLiteral("kalmidraw-about.png"));
        MSettings::instance()->set_userLangId("en");
        DAbout english;
        QVERIFY(english.shownLicense().contains("NO WARRANTY"));
    }
};

QTEST_MAIN(TestDAbout)
#include "tst_dabout.moc"
