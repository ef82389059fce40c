#include "mfolders.h"
#include "mtestfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

class TestMFolders : public QObject
{
    Q_OBJECT

private slots:
    void folderPath_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");
        QTest::newRow("blanks trimmed") << "  /a/b  " << "/a/b/";
        QTest::newRow("already ends in slash") << "/a/b/" << "/a/b/";
        QTest::newRow("empty") << "" << "/";
    }
    void folderPath()
    {
        QFETCH(QString, input);
        QFETCH(QString, expected);
        QCOMPARE(MFolders::folderPath(input), expected);
    }

    void directoryNames()
    {
        const QStringList names = {"brushes", "cache", "models", "papers", "shaders",
                                   "shapes", "snippets", "swatches", "templates", "textures"};
        for (int kind = 0; kind < names.size(); ++kind)
            QCOMPARE(MFolders::directoryName(kind), names.at(kind));
        QCOMPARE(MFolders::directoryName(-1), QString());
        QCOMPARE(MFolders::directoryName(10), QString());
    }

    void removeDirectory()
    {
        MTestFolder folder;
        QVERIFY(MFolders::removeDirectory(folder.path() + "missing", true, true));

        folder.writeFile("top/a.data", "a");
        folder.writeFile("top/.hidden", "h");
        folder.writeFile("top/sub/b.data", "b");
        folder.writeFile("top/sub/deeper/c.data", "c");
        // Not recursive: files go, sub-folders stay, and the folder itself cannot go.
        QVERIFY(!MFolders::removeDirectory(folder.path() + "top", true, false));
        QVERIFY(!QFile::exists(folder.filePath("top/a.data")));
        QVERIFY(!QFile::exists(folder.filePath("top/.hidden")));
        QVERIFY(QFile::exists(folder.filePath("top/sub/deeper/c.data")));
        // Recursive, keeping the folder: everything inside goes.
        QVERIFY(MFolders::removeDirectory(folder.path() + "top", false, true));
        QVERIFY(QDir(folder.path() + "top").exists());
        QVERIFY(QDir(folder.path() + "top").isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
        QVERIFY(MFolders::removeDirectory(folder.path() + "top", true, true));
        QVERIFY(!QDir(folder.path() + "top").exists());
    }

    void removeDirectoryNeverFollowsLinks()
    {
        MTestFolder outside;
        outside.writeFile("keep.txt", "precious");
        MTestFolder folder;
        folder.writeFile("cache/x.data", "x");
        QVERIFY(QFile::link(outside.path(), folder.filePath("cache/link")));
        QVERIFY(MFolders::removeDirectory(folder.path() + "cache", false, true));
        QCOMPARE(outside.readFile("keep.txt"), QByteArray("precious"));
        QVERIFY(!QFileInfo(folder.filePath("cache/link")).isSymLink());

        // The folder itself a link: emptying it removes nothing, removing it
        // removes the link alone, with or without a final "/".
        QVERIFY(QFile::link(outside.path(), folder.filePath("linked")));
        QVERIFY(!MFolders::removeDirectory(folder.filePath("linked") + "/", false, true));
        QVERIFY(!MFolders::removeDirectory(folder.filePath("linked"), false, true));
        QVERIFY(QFileInfo(folder.filePath("linked")).isSymLink());
        QVERIFY(MFolders::removeDirectory(folder.filePath("linked") + "/", true, true));
        QVERIFY(!QFileInfo(folder.filePath("linked")).isSymLink());
        QCOMPARE(outside.readFile("keep.txt"), QByteArray("precious"));
    }

    void copyDirectory()
    {
        MTestFolder source, target;
        source.writeFile("a.txt", "new a");
        source.writeFile("b.txt", "new b");
        source.writeFile("sub/c.txt", "c");
        target.writeFile("a.txt", "old a");
        MFolders::copyDirectory(source.path(), target.path(), false);
        QCOMPARE(target.readFile("a.txt"), QByteArray("old a"));
        QCOMPARE(target.readFile("b.txt"), QByteArray("new b"));
        QVERIFY(!QFile::exists(target.filePath("sub/c.txt")));
        MFolders::copyDirectory(source.path(), target.path(), true);
        QCOMPARE(target.readFile("a.txt"), QByteArray("new a"));
        MFolders::copyDirectory(source.path(), source.path(), true);
        QCOMPARE(source.readFile("a.txt"), QByteArray("new a"));
    }
};

QTEST_MAIN(TestMFolders)
#include "tst_mfolders.moc"
