#include "mfolders.h"
#include "mlogger.h"
#include "mtestfolder.h"
#include "mtestlogwatch.h"
#include "mtestprogram.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

// Files that never end or never open, named where the program reads at
// start-up or handed to it while it runs: the real program, started as a
// child process, must come to a window that answers and refuse each in
// words. A start that blocks on one would block forever, so each wait has a
// bound well past a start on a loaded machine, and the program is killed
// when it is passed.
namespace {
const int kBound = 90000;

// The reason the program gives for a named pipe.
const QString kPipeReason = QStringLiteral("It is a named pipe, not a file.");

bool makePipe(const QString &path)
{
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}

bool makeLink(const QString &target, const QString &link)
{
    QDir().mkpath(QFileInfo(link).absolutePath());
    return ::symlink(QFile::encodeName(target).constData(), QFile::encodeName(link).constData()) == 0;
}

// A picture the program can open.
QString picture(const MTestFolder &folder, const QString &name)
{
    const QString path = folder.filePath(name);
    QImage image(30, 9, QImage::Format_ARGB32);
    image.fill(Qt::darkCyan);
    return image.save(path) ? path : QString();
}

// Lines of the running program's log (each program starts it anew) that
// name the file and give the reason.
int refusals(const QString &path, const QString &reason)
{
    int found = 0;
    for (const QString &line : MTestLogWatch::fileLines())
        found += line.contains(path) && line.contains(reason);
    return found;
}

bool refusedWithin(const QString &path, const QString &reason)
{
    return QTest::qWaitFor([&]() { return refusals(path, reason) > 0; }, kBound);
}

QString programLog()
{
    return MTestLogWatch::fileLines().join(QLatin1Char('\n'));
}

// The program's window drew its first frame (it logs the system then):
// its own start-up file has been tried.
bool drawnWithin()
{
    return QTest::qWaitFor([]() { return !MTestLogWatch::fileMessages().filter(QStringLiteral("Product name: ")).isEmpty(); },
                           kBound);
}
} // namespace

class TestNamedPipes : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(QFile::exists(MTestProgram::executable())); }
    // A program starts its log anew; until then the last one's is there.
    void init() { QFile::remove(MLogger::logFilePath()); }

    // Named on the command line, a pipe, a link to one or a device: the
    // window comes and answers, the refusal is logged with its reason, and
    // the next start does not try the file again.
    void notAFileOnTheCommandLine_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("named pipe") << "pipe" << kPipeReason;
        QTest::newRow("link to a named pipe") << "link" << kPipeReason;
        QTest::newRow("device") << "device" << "It is a device, not a file.";
    }

    void notAFileOnTheCommandLine()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        MTestFolder folder;
        QString named = folder.filePath(QStringLiteral("drawing.kxd"));
        if (kind == QLatin1String("device")) {
            named = QStringLiteral("/dev/zero");
        } else if (kind == QLatin1String("pipe")) {
            QVERIFY(makePipe(named));
        } else {
            const QString pipe = folder.filePath(QStringLiteral("pipe"));
            QVERIFY(makePipe(pipe));
            QVERIFY(makeLink(pipe, named));
        }
        const QString first = picture(folder, QStringLiteral("first.png"));
        const QString second = picture(folder, QStringLiteral("second.png"));
        {
            MTestProgram program({named});
            QVERIFY2(refusedWithin(named, reason), qPrintable(programLog()));
            QVERIFY(MTestProgram::opens(first, kBound));
            QCOMPARE(refusals(named, reason), 1);
            // Killed, as a program that hung would be: what it keeps on disk counts.
        }
        QCOMPARE(MTestProgram::storedSetting(QStringLiteral("startupFile")).toString(), QString());
        init();
        MTestProgram next;
        QVERIFY2(drawnWithin(), qPrintable(programLog()));
        QVERIFY(MTestProgram::opens(second, kBound));
        QVERIFY2(refusals(named, reason) == 0, qPrintable(programLog()));
    }

    // A later start names a pipe: it hands it over and ends, and the running
    // program refuses it and goes on answering.
    void pipeHandedToTheRunningProgram()
    {
        MTestFolder folder;
        const QString pipe = folder.filePath(QStringLiteral("handed.kxd"));
        QVERIFY(makePipe(pipe));
        const QString first = picture(folder, QStringLiteral("first.png"));
        const QString second = picture(folder, QStringLiteral("second.png"));
        MTestProgram running;
        QVERIFY(MTestProgram::opens(first, kBound));
        MTestProgram later({QStringLiteral("handed.kxd")}, folder.path());
        QVERIFY(later.endsWith(0, kBound));
        QVERIFY2(refusedWithin(pipe, kPipeReason), qPrintable(programLog()));
        QVERIFY(MTestProgram::opens(second, kBound));
        QVERIFY(running.isRunning());
    }

    // Links to a pipe among the files of every library read at start-up (the
    // order files included): start-up goes on, and each is refused with a
    // line of the log naming it.
    void pipesInTheLibraries()
    {
        MTestFolder folder;
        const QString pipe = folder.filePath(QStringLiteral("pipe"));
        QVERIFY(makePipe(pipe));
        const QString data = MFolders::userDataPath() + QStringLiteral("datas/");
        // A library file is read when its order names it: the user's order
        // file, else the system's, else the files found. The user's order
        // here is the system's with the link added.
        const QStringList ordered{QStringLiteral("brushes/pipe.kxb"), QStringLiteral("shaders/pipe.kxs"),
                                  QStringLiteral("snippets/pipe.kxn"), QStringLiteral("templates/pipe.kxt")};
        QStringList links;
        for (const QString &name : ordered) {
            const QString link = data + name;
            links << link;
            QVERIFY(makeLink(pipe, link));
            const QString kind = QFileInfo(name).path();
            QFile system(QStringLiteral(KALMI_BIN_DIR "/datas/") + kind + QStringLiteral("/index.kxl"));
            if (!system.exists())
                continue;
            QVERIFY(system.open(QIODevice::ReadOnly));
            QFile order(data + kind + QStringLiteral("/index.kxl"));
            QVERIFY(order.open(QIODevice::WriteOnly));
            order.write(system.readAll() + "\npipe\n");
        }
        // An order file that is a link itself.
        links << data + QStringLiteral("shapes/index.kxl");
        links << data + QStringLiteral("swatches/pipe.aco") << data + QStringLiteral("swatches/pipe.kxp");
        links << MFolders::userDocumentsPath() + QStringLiteral("textstyles.json");
        for (int i = links.size() - 4; i < links.size(); ++i)
            QVERIFY(makeLink(pipe, links.at(i)));
        const QString first = picture(folder, QStringLiteral("first.png"));

        MTestProgram program;
        const bool answered = MTestProgram::opens(first, kBound);
        QStringList unrefused;
        for (const QString &link : links) {
            if (refusals(link, kPipeReason) != 1)
                unrefused << link;
        }
        QVERIFY2(answered, qPrintable(programLog()));
        QVERIFY2(unrefused.isEmpty(), qPrintable(unrefused.join('\n') + "\n\n" + programLog()));
    }

    // The program's own settings file or log, a link to a pipe: the start
    // goes on to a window that answers. The settings file is set aside, the
    // link kept under a name of its own, and a regular file takes its place;
    // the log loses its lines, as a log that cannot be written does.
    void pipesForTheProgramsOwnFiles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("settings") << MTestProgram::settingsPath();
        QTest::newRow("log") << MLogger::logFilePath();
    }

    void pipesForTheProgramsOwnFiles()
    {
        QFETCH(QString, file);
        MTestFolder folder;
        const QString pipe = folder.filePath(QStringLiteral("pipe"));
        QVERIFY(makePipe(pipe));
        QFile::remove(file);
        QVERIFY(makeLink(pipe, file));
        const QString first = picture(folder, QStringLiteral("first.png"));
        MTestProgram program;
        const bool answered = MTestProgram::opens(first, kBound);
        const QString aside = file + QStringLiteral(".not-a-file");
        const bool settings = file == MTestProgram::settingsPath();
        const bool linkLeft = QFileInfo(file).isSymLink();
        const QString asideTarget = QFileInfo(aside).symLinkTarget();
        const bool regular = QFileInfo(file).isFile();
        // The log is read only when it is no pipe.
        const QStringList log = settings ? MTestLogWatch::fileMessages() : QStringList();
        // Leave no link to the pipe behind for the tests that follow.
        QFile::remove(settings ? aside : file);
        QVERIFY(answered);
        if (settings) {
            QCOMPARE(asideTarget, pipe);
            QVERIFY(regular && !linkLeft);
            QCOMPARE(log.filter(QStringLiteral("System error: The settings file %1 is set aside as %2: %3")
                                    .arg(file, aside, kPipeReason))
                         .size(),
                     1);
        } else {
            QVERIFY(linkLeft);
        }
    }
};

QTEST_GUILESS_MAIN(TestNamedPipes)
#include "tst_namedpipes.moc"
