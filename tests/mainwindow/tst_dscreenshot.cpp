#include "dscreenshot.h"
#include "mfolders.h"
#include "msettings.h"
#include "mtestdialogscript.h"
#include "mutility.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>

// The screenshot dialog: size coupling, free names and replacing a file.
namespace {
QSpinBox *spin(DScreenshot &dialog, const char *name)
{
    return dialog.findChild<QSpinBox *>(name);
}
} // namespace

class TestDScreenshot : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QCoreApplication::setOrganizationName("Vantorel");
        QCoreApplication::setApplicationName("KalmiDraw");
    }
    void init()
    {
        QSettings().clear();
        MFolders::removeDirectory(MUtility::screenshotsDirectory(), false, true);
    }

    void firstDialog()
    {
        DScreenshot dialog;
        QCOMPARE(dialog.pictureWidth(), 800);
        QCOMPARE(dialog.pictureHeight(), 800);
        QVERIFY(dialog.isTransparent());
        QVERIFY(dialog.copyToClipboard());
        QVERIFY(dialog.findChild<QCheckBox *>("lockEdit")->isChecked());
        QVERIFY(!dialog.findChild<QWidget *>("colorEdit")->isEnabled());
        QCOMPARE(dialog.fileName(), MUtility::screenshotsDirectory() + "screenshot-1.jpg");
        dialog.findChild<QRadioButton *>("coloredEdit")->setChecked(true);
        QVERIFY(dialog.findChild<QWidget *>("colorEdit")->isEnabled());
    }

    void ratio_data()
    {
        QTest::addColumn<bool>("lock");
        QTest::addColumn<int>("newWidth");
        QTest::addColumn<int>("heightAfter");
        QTest::addColumn<int>("newHeight");
        QTest::addColumn<int>("widthAfter");
        QTest::newRow("locked") << true << 1000 << 750 << 300 << 400;
        QTest::newRow("free") << false << 1000 << 600 << 300 << 1000;
        QTest::newRow("locked, truncated") << true << 999 << 749 << 7 << 9;
    }
    void ratio()
    {
        QFETCH(bool, lock);
        QFETCH(int, newWidth);
        QFETCH(int, heightAfter);
        QFETCH(int, newHeight);
        QFETCH(int, widthAfter);
        QSettings().setValue("Screenshot/PictureWidth", 800);
        QSettings().setValue("Screenshot/PictureHeight", 600);
        QSettings().setValue("Screenshot/Lock", lock);
        DScreenshot dialog;
        spin(dialog, "widthEdit")->setValue(newWidth);
        QCOMPARE(dialog.pictureHeight(), heightAfter);
        spin(dialog, "heightEdit")->setValue(newHeight);
        QCOMPARE(dialog.pictureWidth(), widthAfter);
    }

    void resetFromTheWindow()
    {
        QWidget owner;
        owner.resize(1000, 500);
        DScreenshot dialog(&owner);
        QTest::mouseClick(dialog.findChild<QToolButton *>("resetWidthButton"), Qt::LeftButton);
        // The width and the ratio change, never the other dimension.
        QCOMPARE(dialog.pictureWidth(), 1000);
        QCOMPARE(dialog.pictureHeight(), 800);
        spin(dialog, "widthEdit")->setValue(500);
        QCOMPARE(dialog.pictureHeight(), 400);
    }

    void uniqueNames()
    {
        const QString folder = MUtility::screenshotsDirectory();
        for (int n : {1, 2}) {
            QFile file(folder + DScreenshot::defaultFileName(n));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        DScreenshot dialog;
        QCOMPARE(dialog.fileName(), folder + "screenshot-3.jpg");
        QCOMPARE(DScreenshot::uniqueFileName("/no/such/folder"), folder + "screenshot-3.jpg");
        const QString other = QDir::tempPath() + "/";
        QCOMPARE(DScreenshot::uniqueFileName(other), other + "screenshot-1.jpg");
    }

    void existingFile_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("result");
        QTest::newRow("replace") << int(QMessageBox::Yes) << int(QDialog::Accepted);
        QTest::newRow("keep") << int(QMessageBox::No) << int(QDialog::Rejected);
    }
    void existingFile()
    {
        QFETCH(int, answer);
        QFETCH(int, result);
        const QString path = MUtility::screenshotsDirectory() + "taken.png";
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        DScreenshot dialog;
        dialog.findChild<QLineEdit *>("fileNameEdit")->setText(path);
        dialog.show();
        MTestDialogScript script;
        script.answer(answer);
        QTest::mouseClick(dialog.findChild<QDialogButtonBox *>("buttonBox")->button(QDialogButtonBox::Ok), Qt::LeftButton);
        QCOMPARE(script.requests().size(), 1);
        QCOMPARE(script.requests().first().text, "The file " + path + " already exists. Do you want to replace it?");
        QCOMPARE(dialog.result(), result);
        QCOMPARE(dialog.isVisible(), result != QDialog::Accepted);
        // A free name asks nothing.
        MTestDialogScript none;
        DScreenshot second;
        second.show();
        QTest::mouseClick(second.findChild<QDialogButtonBox *>("buttonBox")->button(QDialogButtonBox::Ok), Qt::LeftButton);
        QCOMPARE(none.requests().size(), 0);
        QCOMPARE(second.result(), int(QDialog::Accepted));
    }

    void cancelStoresSettings()
    {
        {
            DScreenshot dialog;
            spin(dialog, "widthEdit")->setValue(640);
            dialog.findChild<QCheckBox *>("copyToClipboardEdit")->setChecked(false);
            dialog.findChild<QRadioButton *>("coloredEdit")->setChecked(true);
            QTest::mouseClick(dialog.findChild<QDialogButtonBox *>("buttonBox")->button(QDialogButtonBox::Cancel),
                              Qt::LeftButton);
            QCOMPARE(dialog.result(), int(QDialog::Rejected));
        }
        DScreenshot again;
        QCOMPARE(again.pictureWidth(), 640);
        QCOMPARE(again.pictureHeight(), 640);
        QVERIFY(!again.copyToClipboard());
        // The coloured background comes back selected, not neither button.
        QVERIFY(again.findChild<QRadioButton *>("coloredEdit")->isChecked());
        QVERIFY(!again.isTransparent());
    }
};

QTEST_MAIN(TestDScreenshot)
#include "tst_dscreenshot.moc"
