#include "mfiledialog.h"
#include "mfileopendialog.h"
#include "mfilesavedialog.h"
#include "msettings.h"
#include "mtestdialogscript.h"
#include "mtestfolder.h"

#include <QTest>

class TestMFileDialog : public QObject
{
    Q_OBJECT

private slots:
    // Each location brings its own filters and default suffix.
    void location_data()
    {
        QTest::addColumn<int>("location");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QString>("pattern"); // found in the first filter
        QTest::newRow("documents") << int(MFileDialog::FileLocation) << QStringLiteral("kxd")
                                   << QStringLiteral("*.kxd");
        QTest::newRow("images") << int(MFileDialog::ImageLocation) << QStringLiteral("png") << QStringLiteral("*.png");
        QTest::newRow("models") << int(MFileDialog::ModelLocation) << QStringLiteral("obj") << QStringLiteral("*.obj");
    }

    void location()
    {
        QFETCH(int, location);
        QFETCH(QString, suffix);
        QFETCH(QString, pattern);
        MFileSaveDialog save(QStringLiteral("Save it"), MFileDialog::Location(location));
        QCOMPARE(save.windowTitle(), QStringLiteral("Save it"));
        QCOMPARE(save.defaultSuffix(), suffix);
        QVERIFY2(save.nameFilters().value(0).contains(pattern), qPrintable(save.nameFilters().join(QLatin1Char('|'))));
        QCOMPARE(save.acceptMode(), QFileDialog::AcceptSave);
        // Replacing a file asks first.
        QVERIFY(!save.testOption(QFileDialog::DontConfirmOverwrite));
        MFileOpenDialog open(QStringLiteral("Open it"), MFileDialog::Location(location));
        QCOMPARE(open.acceptMode(), QFileDialog::AcceptOpen);
        QCOMPARE(open.fileMode(), QFileDialog::ExistingFile);
    }

    // A chosen file's folder is where the next dialog starts; cancelling
    // changes nothing.
    void getFileName()
    {
        const MTestFolder first;
        const MTestFolder second;
        MSettings::instance()->set_lastFilesDir(first.path());
        MTestDialogScript script;
        {
            MFileSaveDialog dialog(QStringLiteral("Export"), MFileDialog::ImageLocation);
            QCOMPARE(QDir(dialog.directory()).canonicalPath(), QDir(first.path()).canonicalPath());
            QVERIFY(dialog.getFileName().isEmpty());
        }
        QCOMPARE(MSettings::instance()->lastFilesDir(), first.path());
        script.answerFile(second.filePath(QStringLiteral("picture.png")));
        {
            MFileSaveDialog dialog(QStringLiteral("Export"), MFileDialog::ImageLocation);
            QCOMPARE(dialog.getFileName(), second.filePath(QStringLiteral("picture.png")));
        }
        QCOMPARE(QDir(MSettings::instance()->lastFilesDir()).canonicalPath(), QDir(second.path()).canonicalPath());
        MFileOpenDialog dialog(QStringLiteral("Open"), MFileDialog::FileLocation);
        QCOMPARE(QDir(dialog.directory()).canonicalPath(), QDir(second.path()).canonicalPath());
        QCOMPARE(script.requests().size(), 2);
        QCOMPARE(script.requests().at(0).title, QStringLiteral("Export"));
        QCOMPARE(int(script.requests().at(0).kind), int(MUtility::FileDialog));
    }
};

QTEST_MAIN(TestMFileDialog)
#include "tst_mfiledialog.moc"
