#include "mcachefolder.h"
#include "meventfilter.h"
#include "mfolders.h"
#include "mlogger.h"
#include "msettings.h"
#include "mtestdialogscript.h"
#include "mtestfolder.h"
#include "mtestlogwatch.h"
#include "mtestpng.h"
#include "mutility.h"

#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QJsonValue>
#include <QListWidget>
#include <QMainWindow>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <csignal>
#include <sys/resource.h>

class TestMUtility : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QCoreApplication::setOrganizationName(QStringLiteral("Vantorel"));
        QCoreApplication::setApplicationName(QStringLiteral("KalmiDraw"));
    }
    void cleanupTestCase() { MSettings::destroyInstance(); }

    void folders()
    {
        const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/Vantorel/KalmiDraw/";
        QCOMPARE(MFolders::userDataPath(), data);
        QVERIFY(QDir(data).exists());
        // The cache folder holds a folder of this process's own.
        const QString cache = data + "cache/" + MCacheFolder::folderName(QCoreApplication::applicationPid()) + "/";
        QCOMPARE(MUtility::cacheDirectory(), cache);
        QVERIFY(QDir(cache).exists());
        QCOMPARE(MUtility::dataDirectory(MFolders::SystemPath, MFolders::CacheDir), cache);
        QCOMPARE(MUtility::dataDirectory(MFolders::UserPath, MFolders::CacheDir), cache);
        QCOMPARE(MFolders::brushesDirectory(MFolders::UserPath), data + "datas/brushes/");
        QVERIFY(QDir(data + "datas/brushes").exists());
        QCOMPARE(MFolders::applicationDirectory(), QCoreApplication::applicationDirPath() + "/");
        QCOMPARE(MFolders::templatesDirectory(MFolders::SystemPath),
                 QCoreApplication::applicationDirPath() + "/datas/templates/");
        QCOMPARE(MUtility::cacheFileName("{ABCDEF01-2345-6789-ABCD-EF0123456789}"),
                 cache + "{abcdef01-2345-6789-abcd-ef0123456789}.data");
        const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + "/Vantorel/KalmiDraw/";
        QCOMPARE(MFolders::userDocumentsPath(), documents);
        QCOMPARE(MUtility::screenshotsDirectory(), documents + "screenshots/");
        QVERIFY(QDir(documents + "screenshots").exists());
        QCOMPARE(MUtility::translationFilePath(" FR "), MUtility::translationsDirectory() + "kalmi_fr.qm");
    }

    void languageIdsStayInTheirFolder_data()
    {
        QTest::addColumn<QString>("langId");
        QTest::addColumn<QString>("used");
        QTest::newRow("plain") << "De" << "de";
        QTest::newRow("parent folder") << "../../etc" << "en";
        QTest::newRow("slash") << "fr/x" << "en";
        QTest::newRow("backslash") << "fr\\x" << "en";
        QTest::newRow("empty") << "" << "en";
    }
    void languageIdsStayInTheirFolder()
    {
        QFETCH(QString, langId);
        QFETCH(QString, used);
        QCOMPARE(MUtility::helpDirectory(langId), MFolders::applicationDirectory() + "help/" + used + "/");
        QCOMPARE(MUtility::translationFilePath(langId), MUtility::translationsDirectory() + "kalmi_" + used + ".qm");
    }

    void helpPathFallsBackToEnglish()
    {
        MSettings::instance()->set_userLangId("xx");
        QCOMPARE(MUtility::helpPath(), MUtility::helpDirectory("en"));
        MSettings::instance()->set_userLangId("en");
    }

    void lastFilesDirectory()
    {
        MTestFolder folder;
        MSettings::instance()->set_lastFilesDir(folder.path());
        QCOMPARE(MUtility::lastFilesDirectory(), QDir(folder.path()).canonicalPath() + "/");
        MSettings::instance()->set_lastFilesDir(folder.path() + "missing");
        QCOMPARE(MUtility::lastFilesDirectory(), MFolders::userDocumentsPath());
    }

    void textFiles()
    {
        MTestFolder folder;
        const QString path = folder.filePath("lines.txt");
        const QStringList lines = {QString::fromUtf8("première"), "  ", "", "  padded  ", "last"};
        QVERIFY(MUtility::writeLines(lines, path));
        QCOMPARE(folder.readFile("lines.txt"), QString::fromUtf8("première\n  \n\n  padded  \nlast\n").toUtf8());

        QStringList read = {"stale"};
        QVERIFY(MUtility::readLines(read, path, true, true));
        QCOMPARE(read, QStringList({QString::fromUtf8("première"), "padded", "last"}));
        QVERIFY(MUtility::readLines(read, path, false, false));
        QCOMPARE(read, lines);

        QString text;
        QVERIFY(MUtility::readTextFile(text, path));
        QCOMPARE(text, lines.join("\n") + "\n");
        QStringList untouched = {"keep"};
        QVERIFY(!MUtility::readLines(untouched, folder.filePath("missing.txt"), true, true));
        QCOMPARE(untouched, QStringList({"keep"}));
        QVERIFY(!MUtility::readTextFile(text, folder.filePath("missing.txt")));
    }

    // Order files and the help index are read from files and, by the fuzz
    // targets, from memory: both must give the same lines, whatever system
    // wrote them.
    void textLinesFromFileAndMemory_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("unix") << QByteArray("one\n\ntwo\n") << QStringList{"one", "two"};
        QTest::newRow("windows, no last newline") << QByteArray("one\r\n\r\n two \r\nthree") << QStringList{"one", "two", "three"};
        QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBFone\ntwo") << QStringList{"one", "two"};
        QTest::newRow("not UTF-8") << QByteArray("a\xFF\n") << QStringList{QString("a") + QChar(0xFFFD)};
        QTest::newRow("empty") << QByteArray() << QStringList();
    }

    void textLinesFromFileAndMemory()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        MTestFolder folder;
        const QString path = folder.filePath("lines.txt");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        QStringList read;
        QVERIFY(MUtility::readLines(read, path, true, true));
        QCOMPARE(read, lines);
        QCOMPARE(MUtility::textLines(bytes, true, true), lines);
    }

    void failedWritesAreReportedAndKeepTheOldFile()
    {
        QVERIFY(!MUtility::writeTextFile("x", "/proc/no-such-folder/file.txt"));
        QVERIFY(!MUtility::writeLines({"x"}, "/proc/no-such-folder/file.txt"));
        QVERIFY(!MUtility::writeFile("x", "/proc/no-such-folder/file.bin"));
        QVERIFY(!MUtility::writeFile("x", QString()));

        // A file size limit makes writes fail the way a full disk does.
        MTestFolder folder;
        const QString path = folder.writeFile("kept.txt", "old content");
        struct rlimit previous;
        QVERIFY(getrlimit(RLIMIT_FSIZE, &previous) == 0);
        struct rlimit limit = previous;
        limit.rlim_cur = 1024;
        auto oldHandler = signal(SIGXFSZ, SIG_IGN);
        QVERIFY(setrlimit(RLIMIT_FSIZE, &limit) == 0);
        const bool written = MUtility::writeTextFile(QString(4096, QLatin1Char('n')), path);
        const bool linesWritten = MUtility::writeLines(QVector<QString>(100, QString(64, QLatin1Char(0x6c))).toList(), path);
        const bool bytesWritten = MUtility::writeFile(QByteArray(4096, 'b'), path);
        setrlimit(RLIMIT_FSIZE, &previous);
        signal(SIGXFSZ, oldHandler);
        QVERIFY(!written);
        QVERIFY(!linesWritten);
        QVERIFY(!bytesWritten);
        QCOMPARE(folder.readFile("kept.txt"), QByteArray("old content"));
    }

    void fileFilters()
    {
        QCOMPARE(MUtility::documentFileFilters(), QStringList({"KalmiDraw files (*.kxd)", "All files (*.*)"}));
        QCOMPARE(MUtility::modelFileFilters(), QStringList({"WaveFront object files (*.obj)", "All files (*.*)"}));
        QCOMPARE(MUtility::imageFileFilter(true, {"png", "zz"}), QStringList({"*.png", "*.zz"}));
        QCOMPARE(MUtility::imageFileFilter(false, {"png", "zz"}),
                 QStringList({"All image files (*.png *.zz)", "Portable Network Graphics (*.png)", "zz files (*.zz)"}));
        QCOMPARE(MUtility::imageFormatName().size(), 32);
        QStringList formats = MUtility::imageFormats();
        QVERIFY(formats.contains("png"));
        QCOMPARE(QStringList(formats).removeDuplicates(), 0);
        for (const QString &format : formats)
            QCOMPARE(format, format.toLower());
    }

    void imagesInJson()
    {
        QImage image(5, 3, QImage::Format_ARGB32);
        image.fill(QColor(10, 20, 30, 128));
        image.setPixel(4, 2, qRgba(255, 0, 0, 255));
        const QJsonValue value = MUtility::imageToJson(image);
        QVERIFY(value.isString());
        QVERIFY(QByteArray::fromBase64(value.toString().toLatin1()).startsWith("\x89PNG"));
        const QImage back = MUtility::imageFromJson(value);
        QCOMPARE(back.convertToFormat(QImage::Format_ARGB32), image);
        QVERIFY(MUtility::imageFromJson(QJsonValue("bm90IGEgcG5n")).isNull());
        QVERIFY(MUtility::imageFromJson(QJsonValue(12)).isNull());
        QCOMPARE(MUtility::imageToJson(QImage()).toString(), QString());

        // A size limit refuses larger images before decoding them.
        QCOMPARE(MUtility::imageFromJson(value, QSize(5, 3)).size(), QSize(5, 3));
        QVERIFY(MUtility::imageFromJson(value, QSize(4, 3)).isNull());
        QVERIFY(MUtility::imageFromJson(value, QSize(5, 2)).isNull());
        // A PNG header that claims 100000 x 100000 pixels and holds none.
        QByteArray claim = QByteArray::fromBase64(value.toString().toLatin1()).left(33);
        claim.replace(16, 8, QByteArray::fromHex("000186a0000186a0"));
        QVERIFY(MUtility::imageFromJson(QJsonValue(QString::fromLatin1(claim.toBase64())), QSize(4096, 4096)).isNull());
    }

    // One limit for every image a file carries, the brush texture's, with no
    // way around it: a larger limit asked for is cut down to it.
    void oneImageLimit()
    {
        QCOMPARE(MUtility::maximumImageSize(), QSize(4096, 4096));
        QImage widest(4096, 1, QImage::Format_ARGB32);
        widest.fill(Qt::red);
        const QJsonValue atLimit(QString::fromLatin1(MTestPng::encode(widest).toBase64()));
        QCOMPARE(MUtility::imageFromJson(atLimit).size(), QSize(4096, 1));
        QCOMPARE(MUtility::imageFromJson(atLimit, QSize(100000, 100000)).size(), QSize(4096, 1));
        MLogger::instance();
        const MTestLogWatch log;
        for (const QSize &claimed : {QSize(4097, 1), QSize(1, 4097), QSize(16384, 16384), QSize(30000, 30000)}) {
            const QJsonValue claim(QString::fromLatin1(MTestPng::claiming(claimed.width(), claimed.height()).toBase64()));
            QVERIFY(MUtility::imageFromJson(claim).isNull());
            QVERIFY(MUtility::imageFromJson(claim, QSize(100000, 100000)).isNull());
            QVERIFY(!MUtility::isWithinImageLimit(claimed));
        }
        QCOMPARE(log.count(QStringLiteral("Embedded image refused: image of 30000 x 30000 pixels, larger than 4096 x 4096")), 2);
        QVERIFY(MUtility::isWithinImageLimit(QSize()));
    }

    void newImageAndSwatches()
    {
        QImage image;
        MUtility::newImage(image, 7, 4, true);
        QCOMPARE(image.size(), QSize(7, 4));
        QCOMPARE(image.format(), QImage::Format_ARGB32_Premultiplied);
        QCOMPARE(image.pixel(3, 2), qRgba(0, 0, 0, 0));

        const QImage swatch = MUtility::colorPixmap(QColor(255, 0, 0, 60), 10, 8).toImage();
        QCOMPARE(swatch.size(), QSize(10, 8));
        QCOMPARE(QColor(swatch.pixel(4, 4)), QColor(255, 0, 0, 255));
        QCOMPARE(QColor(swatch.pixel(0, 0)).rgb(), QColor(Qt::gray).rgb());
    }

    void scriptedQuestions()
    {
        MTestDialogScript script;
        script.answer(1).answer(0).answer(1);
        QCOMPARE(MUtility::askChoice({"Save", "Discard", "Cancel"}, "Save?", "Changes"), 1);
        QCOMPARE(script.requests().last().buttons, QStringList({"Save", "Discard", "Cancel"}));
        QCOMPARE(script.requests().last().icon, QMessageBox::Question);
        QVERIFY(!MUtility::askConfirmation("Delete", "Delete it?", "For ever"));
        QVERIFY(MUtility::askConfirmation("Delete", "Delete it?", "For ever"));
        // Closed without a click.
        QCOMPARE(MUtility::askChoice({"A", "B"}, "t", "i"), -1);
        script.answer(7);
        QCOMPARE(MUtility::askChoice({"A", "B"}, "t", "i"), -1);
        script.answer(QMessageBox::Ok);
        QCOMPARE(MUtility::showMessage(QMessageBox::Critical, "KalmiDraw", "Broken"), QMessageBox::Ok);
        QCOMPARE(script.requests().last().text, QString("Broken"));
    }

    // Every question opens over a window, so that a window manager keeps it
    // in front: the dialog that asked, else the main window.
    void questionsOpenOverTheWindowThatAsked()
    {
        MTestDialogScript script;
        MUtility::askChoice({"A"}, "t", "i");
        QCOMPARE(script.requests().last().parent, static_cast<QWidget *>(nullptr));

        QMainWindow main;
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        MUtility::showMessage(QMessageBox::Information, "KalmiDraw", "Added");
        QCOMPARE(script.requests().last().parent, static_cast<QWidget *>(&main));

        QDialog dialog(&main);
        QWidget *asked = nullptr;
        QTimer::singleShot(0, &dialog, [&] {
            MUtility::askConfirmation("Save", "Modified", "Save it?");
            asked = script.requests().last().parent;
            dialog.accept();
        });
        dialog.exec();
        QCOMPARE(asked, static_cast<QWidget *>(&dialog));
    }

    void pickColor()
    {
        MTestDialogScript script;
        QColor color(Qt::transparent);
        script.answerColor(QColor(255, 0, 0, 128));
        QVERIFY(MUtility::pickColor(color));
        QCOMPARE(script.requests().last().color, QColor(Qt::white));
        QCOMPARE(color, QColor(255, 0, 0, 255));

        // A cancelled dialog leaves the colour; it starts on the colour itself.
        MTestDialogScript second;
        QColor blue(Qt::blue);
        QVERIFY(!MUtility::pickColor(blue));
        QCOMPARE(blue, QColor(Qt::blue));
        QCOMPARE(second.requests().last().color, QColor(Qt::blue));
        QColor none(Qt::transparent);
        second.answerColor(QColor(0, 255, 0, 0));
        QVERIFY(MUtility::pickColor(none));
        QCOMPARE(second.requests().last().kind, MUtility::ColorDialog);
        QCOMPARE(none.alpha(), 0);
    }

    void askOpenFileName()
    {
        MTestDialogScript script;
        const QString folder = QDir::tempPath();
        script.answerFile(QStringLiteral("/pictures/cat.png"));
        QCOMPARE(MUtility::askOpenFileName("Open", folder, "Images (*.png)"), QString("/pictures/cat.png"));
        const MUtility::DialogRequest request = script.requests().last();
        QCOMPARE(request.kind, MUtility::FileDialog);
        QCOMPARE(request.title, QString("Open"));
        QCOMPARE(request.folder, folder);
        QCOMPARE(request.filter, QString("Images (*.png)"));

        // Cancelled, or accepted with nothing chosen: no file.
        QCOMPARE(MUtility::askOpenFileName("Open", "/pictures", QString()), QString());
        script.answer(1);
        QCOMPARE(MUtility::askOpenFileName("Open", "/pictures", QString()), QString());
    }

    void busyStateSwallowsClicksOnly()
    {
        QWidget widget;
        widget.setMouseTracking(true);
        widget.resize(100, 100);
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));

        struct Counter : QObject {
            int presses = 0, moves = 0;
            bool eventFilter(QObject *, QEvent *e) override
            {
                if (e->type() == QEvent::MouseButtonPress) ++presses;
                if (e->type() == QEvent::MouseMove) ++moves;
                return false;
            }
        } counter;
        widget.installEventFilter(&counter);

        MUtility::setBusyCursor();
        MUtility::setBusyCursor();
        QVERIFY(QApplication::overrideCursor());
        QTest::mousePress(&widget, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
        QTest::mouseMove(&widget, QPoint(20, 20));
        QMouseEvent move(QEvent::MouseMove, QPointF(30, 30), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&widget, &move);
        QCOMPARE(counter.presses, 0);
        QVERIFY(counter.moves >= 1);

        // One restore ends any number of busy calls.
        MUtility::restoreCursor();
        QVERIFY(!QApplication::overrideCursor());
        QTest::mousePress(&widget, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
        QCOMPARE(counter.presses, 1);
    }

    void listMoves_data()
    {
        QTest::addColumn<int>("move");
        QTest::addColumn<int>("current");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("newCurrent");
        QTest::newRow("up") << 0 << 2 << "acbd" << 1;
        QTest::newRow("first up") << 0 << 0 << "abcd" << 0;
        QTest::newRow("down") << 1 << 1 << "acbd" << 2;
        QTest::newRow("last down") << 1 << 3 << "abcd" << 3;
        QTest::newRow("to top") << 2 << 2 << "cabd" << 0;
        QTest::newRow("to bottom") << 3 << 1 << "acdb" << 3;
    }
    void listMoves()
    {
        QFETCH(int, move);
        QFETCH(int, current);
        QFETCH(QString, expected);
        QFETCH(int, newCurrent);
        QListWidget list;
        list.addItems({"a", "b", "c", "d"});
        list.setCurrentRow(current);
        switch (move) {
        case 0: MUtility::moveCurrentItemUp(&list); break;
        case 1: MUtility::moveCurrentItemDown(&list); break;
        case 2: MUtility::moveCurrentItemToTop(&list); break;
        default: MUtility::moveCurrentItemToBottom(&list); break;
        }
        QString order;
        for (int i = 0; i < list.count(); ++i)
            order += list.item(i)->text();
        QCOMPARE(order, expected);
        QCOMPARE(list.currentRow(), newCurrent);
    }

    void smallHelpers()
    {
        QCOMPARE(MUtility::scaledRect(QRectF(1, 2, 3, 4), 2.0), QRectF(2, 4, 6, 8));
        QCOMPARE(MUtility::lowerFirst("BrushSize"), QString("brushSize"));
        QCOMPARE(MUtility::lowerFirst(""), QString());
        QWidget widget;
        MSettings::instance()->set_tableSelectionColor(QColor("#123456"));
        MUtility::applySelectionPalette(&widget);
        QCOMPARE(widget.palette().color(QPalette::Inactive, QPalette::Highlight), QColor("#123456"));
        QCOMPARE(widget.palette().color(QPalette::Active, QPalette::HighlightedText), QColor(Qt::white));
    }
};

QTEST_MAIN(TestMUtility)
#include "tst_mutility.moc"
