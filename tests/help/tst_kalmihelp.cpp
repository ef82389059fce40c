#include "mhelpengine.h"
#include "mhelpwidget.h"
#include "msettings.h"
#include "mtestfolder.h"
#include "mtesthelproot.h"
#include "mutility.h"

#include <QDir>
#include <QDirIterator>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>

namespace {
const QString program = QStringLiteral(KALMI_BIN_DIR "/kalmihelp");
const QString projectRoot = QStringLiteral(KALMI_TEST_DATA_DIR "/../..");

// The X window whose name is given, among the top-level windows of the display; 0 when none.
WId windowNamed(const QString &name)
{
    QProcess info;
    info.start(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")});
    if (!info.waitForFinished(5000))
        return 0;
    const QRegularExpression line(QStringLiteral("^\\s*(0x[0-9a-f]+) \"%1\"").arg(QRegularExpression::escape(name)),
                                  QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = line.match(QString::fromLocal8Bit(info.readAllStandardOutput()));
    return match.hasMatch() ? WId(match.captured(1).toULongLong(nullptr, 16)) : 0;
}

QStringList filesUnder(const QString &folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(QDir(folder).relativeFilePath(it.next()));
    files.sort();
    return files;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

class TestKalmiHelp : public QObject
{
    Q_OBJECT

private slots:
    void refusesBadArguments_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("no folder") << QStringList() << "usage: kalmihelp [--build] <help root folder>";
        QTest::newRow("two folders") << QStringList{"/tmp", "/tmp"} << "usage: kalmihelp";
        QTest::newRow("missing folder") << QStringList{"--build", "/nowhere/at/all"}
                                        << "kalmihelp: not a folder: /nowhere/at/all";
    }

    void refusesBadArguments()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        QProcess process;
        process.start(program, arguments);
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitCode(), 2);
        QVERIFY2(QString::fromLocal8Bit(process.readAllStandardError()).contains(message), qPrintable(message));
    }

    // The program opens the page editor on a help root, as its authors start it.
    void opensTheEditorOnAHelpRoot()
    {
        MTestFolder folder;
        QVERIFY(MTestHelpRoot::copyTo(folder.path()));
        QProcess process;
        process.setProcessChannelMode(QProcess::ForwardedChannels);
        process.start(program, {folder.path()});
        QVERIFY(process.waitForStarted());
        WId window = 0;
        QTRY_VERIFY_WITH_TIMEOUT((window = windowNamed(QStringLiteral("Edit topic Start"))) != 0, 30000);
        QTest::qWait(500);
        const QImage shot = QGuiApplication::primaryScreen()->grabWindow(window).toImage();
        QDir().mkpath("/tmp/kalmishots");
        shot.save("/tmp/kalmishots/kalmihelp.png");
        process.terminate();
        QVERIFY(process.waitForFinished(10000));
        QVERIFY(shot.width() >= 600 && shot.height() >= 400);
        // A window of widgets, not a blank square: many colours show.
        QSet<QRgb> colours;
        for (int y = 0; y < shot.height(); y += 4) {
            for (int x = 0; x < shot.width(); x += 4)
                colours.insert(shot.pixel(x, y));
        }
        QVERIFY(colours.size() > 8);
    }

    // What the system ships is what the tool makes of the help sources.
    void shippedPagesComeFromTheSources()
    {
        MTestFolder folder;
        const QString sources = projectRoot + "/tools/help/";
        QDirIterator it(sources, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            const QString target = folder.path() + QDir(sources).relativeFilePath(file);
            QDir().mkpath(QFileInfo(target).path());
            QVERIFY(QFile::copy(file, target));
        }
        MSettings::instance()->set_userLangId(QStringLiteral("en"));
        MHelpEngine engine;
        engine.setHelpRoot(folder.path());
        engine.loadIndex();
        QCOMPARE(engine.rowCount(), 4);
        engine.build();
        const QString shipped = projectRoot + "/resources/help/en/";
        const QStringList files = filesUnder(folder.path() + "export/en");
        // The local help document lies beside the pages but is made by its own generator.
        QStringList shippedFiles = filesUnder(shipped);
        shippedFiles.removeOne(QStringLiteral("KalmiDraw.pdf"));
        QCOMPARE(shippedFiles, files);
        for (const QString &file : files)
            QVERIFY2(readAll(shipped + file) == readAll(folder.path() + "export/en/" + file), qPrintable(file));
    }

    // The tool help panel reads the shipped page of each tool of the tool bar.
    void toolPanelShowsShippedPages_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("heading");
        QTest::newRow("brush") << "brushtool" << "Brush tool";
        QTest::newRow("grid") << "gridtool" << "Grid";
        QTest::newRow("ruler") << "rullertool" << "Ruler";
        QTest::newRow("symmetry") << "symmetrytool" << "Symmetry";
        QTest::newRow("pan") << "pantool" << "Pan";
        QTest::newRow("zoom") << "zoomtool" << "Zoom";
        QTest::newRow("rotate") << "rotatetool" << "Rotate";
    }

    void toolPanelShowsShippedPages()
    {
        QFETCH(QString, page);
        QFETCH(QString, heading);
        MSettings::instance()->set_userLangId(QStringLiteral("en"));
        MHelpWidget panel;
        panel.resize(300, 500);
        panel.showPage(page);
        const QStringList lines = panel.toPlainText().split('\n', Qt::SkipEmptyParts);
        QVERIFY(lines.contains(heading));
        // The marks of translatable texts never show.
        QVERIFY(!panel.toPlainText().contains("<t>"));
        if (page == QLatin1String("brushtool")) {
            panel.show();
            QVERIFY(QTest::qWaitForWindowExposed(&panel));
            QDir().mkpath("/tmp/kalmishots");
            panel.grab().save("/tmp/kalmishots/brushtool-help.png");
        }
    }
};

QTEST_MAIN(TestKalmiHelp)
#include "tst_kalmihelp.moc"
