#include "mpathvarlist.h"

#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

class TestMPathVarList : public QObject
{
    Q_OBJECT

private slots:
    void threeVariablesInOrder()
    {
        MPathVarList list;
        QCOMPARE(list.count(), 3);
        QCOMPARE(list.at(0)->variable(), QStringLiteral("$DocumentsPath$"));
        QCOMPARE(list.at(0)->description(), QStringLiteral("Documents path"));
        QCOMPARE(list.at(1)->variable(), QStringLiteral("$ImagesPath$"));
        QCOMPARE(list.at(1)->description(), QStringLiteral("Images path"));
        QCOMPARE(list.at(2)->variable(), QStringLiteral("$InstallationPath$"));
        QCOMPARE(list.at(2)->description(), QStringLiteral("Installation path"));
        QCOMPARE(list.current(), 2);
        list.addVariable(QStringLiteral("Textures"), QStringLiteral("$Textures$"));
        QCOMPARE(list.current(), 3);
        QCOMPARE(MPathVarList::expand(QStringLiteral("$Textures$/a.png")), QStringLiteral("$Textures$/a.png"));
    }

    void expand_data()
    {
        const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
        const QString installation = QCoreApplication::applicationDirPath();
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expanded");
        QTest::newRow("images, lower case") << "$imagespath$/wood.png" << pictures + "/wood.png";
        QTest::newRow("documents") << "$DocumentsPath$/a/b.png" << documents + "/a/b.png";
        QTest::newRow("installation") << "$INSTALLATIONPATH$/datas/x.png" << installation + "/datas/x.png";
        QTest::newRow("no token") << "/tmp/$Other$/x.png" << "/tmp/$Other$/x.png";
        QTest::newRow("every occurrence") << "$ImagesPath$;$ImagesPath$" << pictures + ";" + pictures;
        QTest::newRow("empty") << "" << "";
    }

    void expand()
    {
        QFETCH(QString, path);
        QFETCH(QString, expanded);
        QVERIFY(!QStandardPaths::writableLocation(QStandardPaths::PicturesLocation).isEmpty());
        QCOMPARE(MPathVarList::expand(path), expanded);
    }

    void variableSettersSignalChangesOnly()
    {
        MPathVar variable;
        QSignalSpy descriptions(&variable, &MPathVar::descriptionChanged);
        QSignalSpy variables(&variable, &MPathVar::variableChanged);
        variable.set_description(QStringLiteral("d"));
        variable.set_description(QStringLiteral("d"));
        variable.set_variable(QStringLiteral("$V$"));
        variable.set_variable(QStringLiteral("$V$"));
        QCOMPARE(descriptions.count(), 1);
        QCOMPARE(variables.count(), 1);
        QCOMPARE(variables.first().first().toString(), QStringLiteral("$V$"));
    }
};

QTEST_GUILESS_MAIN(TestMPathVarList)
#include "tst_mpathvarlist.moc"
