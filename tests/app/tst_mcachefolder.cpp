#include "mcachefolder.h"
#include "mtestfolder.h"
#include "mutility.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

// Every running copy keeps its spill files in a folder of its own in the
// shared cache folder: clearing takes this copy's files and what no running
// copy owns, never another live copy's, and never follows a link.
class TestMCacheFolder : public QObject
{
    Q_OBJECT

private:
    static void write(const QString &path)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("spilled");
    }

    // A process that runs until the test ends it.
    static bool startSleeper(QProcess &process)
    {
        process.start(QStringLiteral("sleep"), {QStringLiteral("600")});
        return process.waitForStarted(10000);
    }

private slots:
    void initTestCase()
    {
        QCoreApplication::setOrganizationName(QStringLiteral("Vantorel"));
        QCoreApplication::setApplicationName(QStringLiteral("KalmiDraw"));
    }

    void folderNamesTellTheirOwner()
    {
        const qint64 self = QCoreApplication::applicationPid();
        const QString mine = MCacheFolder::folderName(self);
        QVERIFY(mine.startsWith(QString::number(self)));
        QCOMPARE(MCacheFolder::own(), MCacheFolder::root() + mine + QStringLiteral("/"));
        QVERIFY(MCacheFolder::isOwnerRunning(mine));

        QProcess ended;
        QVERIFY(startSleeper(ended));
        const QString endedName = MCacheFolder::folderName(ended.processId());
        QVERIFY(MCacheFolder::isOwnerRunning(endedName));
        ended.kill();
        QVERIFY(ended.waitForFinished(10000));
        QVERIFY(!MCacheFolder::isOwnerRunning(endedName));
        QVERIFY(MCacheFolder::folderName(ended.processId()).isEmpty());

        // This process's id with another start: a process that used the id before.
        QVERIFY(!MCacheFolder::isOwnerRunning(QString::number(self) + QStringLiteral("-1")));
        QVERIFY(!MCacheFolder::isOwnerRunning(QStringLiteral("sub")));
        QVERIFY(!MCacheFolder::isOwnerRunning(QString()));
    }

    void clearKeepsWhatRunningCopiesOwn()
    {
        const QString root = MCacheFolder::root();
        MTestFolder outside;
        outside.writeFile(QStringLiteral("keep.txt"), "precious");
        QProcess running, ended;
        QVERIFY(startSleeper(running));
        QVERIFY(startSleeper(ended));
        const QString runningFolder = root + MCacheFolder::folderName(running.processId());
        const QString endedFolder = root + MCacheFolder::folderName(ended.processId());
        ended.kill();
        QVERIFY(ended.waitForFinished(10000));

        write(MUtility::cacheFileName(QStringLiteral("{mine}")));
        write(runningFolder + QStringLiteral("/{theirs}.data"));
        write(endedFolder + QStringLiteral("/{gone}.data"));
        write(root + QString::number(QCoreApplication::applicationPid()) + QStringLiteral("-1/{reused}.data"));
        write(root + QStringLiteral("{old}.data"));
        write(root + QStringLiteral("sub/deeper/{old}.data"));
        QVERIFY(QFile::link(outside.path(), root + QStringLiteral("link")));

        MCacheFolder::clear(false);
        QStringList left = QDir(root).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        left.sort();
        QStringList expected{QFileInfo(runningFolder).fileName(), MCacheFolder::folderName(QCoreApplication::applicationPid())};
        expected.sort();
        QCOMPARE(left, expected);
        QVERIFY(QDir(MUtility::cacheDirectory()).isEmpty());
        QVERIFY(QFile::exists(runningFolder + QStringLiteral("/{theirs}.data")));
        QCOMPARE(outside.readFile(QStringLiteral("keep.txt")), QByteArray("precious"));

        // At the end this copy's folder goes too; the other copy's stays while it runs.
        MCacheFolder::clear(true);
        QCOMPARE(QDir(root).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
                 QStringList{QFileInfo(runningFolder).fileName()});
        running.kill();
        QVERIFY(running.waitForFinished(10000));
        MCacheFolder::clear(true);
        QVERIFY(QDir(root).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot));
    }

    // A cache folder that is a link to elsewhere is never emptied or written
    // through: it is replaced by a folder of its own.
    void linkedCacheFolderIsReplaced()
    {
        MTestFolder outside;
        outside.writeFile(QStringLiteral("keep.txt"), "precious");
        outside.writeFile(QStringLiteral("pictures/one.png"), "picture");
        const QString root = MCacheFolder::root();
        QVERIFY(QDir(root).removeRecursively());
        QVERIFY(QFile::link(outside.path(), root.chopped(1)));

        MCacheFolder::clear(false);
        write(MUtility::cacheFileName(QStringLiteral("{new}")));
        MCacheFolder::clear(true);

        QVERIFY(!QFileInfo(root.chopped(1)).isSymLink());
        QVERIFY(QFileInfo(root).isDir());
        QCOMPARE(outside.readFile(QStringLiteral("keep.txt")), QByteArray("precious"));
        QCOMPARE(outside.readFile(QStringLiteral("pictures/one.png")), QByteArray("picture"));
        QCOMPARE(QDir(outside.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 2);
    }
};

QTEST_GUILESS_MAIN(TestMCacheFolder)
#include "tst_mcachefolder.moc"
