#include "msettings.h"
#include "msettingsformat.h"
#include "mtestdialogscript.h"
#include "mtestfilesizelimit.h"
#include "mtestfolder.h"
#include "mtestlogwatch.h"

#include <QColor>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRect>
#include <QTest>

// The settings file is read and written by the system itself: it must read
// what the framework's INI format wrote and write what that format reads, and
// a save that fails must leave the file as it was.
class TestMSettingsFormat : public QObject
{
    Q_OBJECT

private:
    static QByteArray readAll(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void initTestCase()
    {
        QCoreApplication::setOrganizationName(QStringLiteral("Vantorel"));
        QCoreApplication::setApplicationName(QStringLiteral("KalmiDraw"));
        MSettingsFormat::install();
    }

    void cleanupTestCase() { MSettings::destroyInstance(); }

    // Each value, under keys that need escaping, goes both ways between this
    // format and the framework's INI format, and reads back as the framework
    // reads its own files.
    void sameTextAsTheFrameworks_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("plain") << "name" << QVariant(QStringLiteral("hard pencil"));
        QTest::newRow("int") << "undoLimit" << QVariant(42);
        QTest::newRow("bool") << "showGrid" << QVariant(true);
        QTest::newRow("double") << "undoMemoryMax" << QVariant(1.25);
        QTest::newRow("grouped") << "Action/actionFileSave" << QVariant(QStringLiteral("Ctrl+S"));
        QTest::newRow("deep group") << "RullerTool/sub/angleStep" << QVariant(5);
        QTest::newRow("group named general") << "General/x" << QVariant(1);
        QTest::newRow("odd key") << "a key;=with [odd] #chars\u00e9\u4e2d" << QVariant(1);
        QTest::newRow("quotes and escapes") << "text" << QVariant(QStringLiteral("say \"hi\"\\ \t\n\r end"));
        QTest::newRow("separators") << "text" << QVariant(QStringLiteral("a,b;c=d"));
        QTest::newRow("edge spaces") << "text" << QVariant(QStringLiteral("  padded  "));
        QTest::newRow("unicode") << "text" << QVariant(QStringLiteral("caf\u00e9 \u4e2d\u6587 0\u00e9a"));
        QTest::newRow("control then hex digit") << "text" << QVariant(QString(QChar(1)) + QStringLiteral("ab"));
        QTest::newRow("at sign") << "text" << QVariant(QStringLiteral("@Invalid()"));
        QTest::newRow("empty text") << "text" << QVariant(QString());
        QTest::newRow("list") << "recentFiles" << QVariant(QStringList{"/a b/c.kxd", "x,y", " z ", "@q"});
        QTest::newRow("one-item list") << "recentFiles" << QVariant(QStringList{"only"});
        QTest::newRow("empty list") << "recentFiles" << QVariant(QStringList());
        QTest::newRow("bytes") << "geometry" << QVariant(QByteArray("\x01\xd9\xd0\xcb\x00\x03\x00\x00\xff\n\\\"", 12));
        QTest::newRow("colour") << "paperColor" << QVariant(QColor(10, 20, 30, 40));
        QTest::newRow("rect") << "r" << QVariant(QRect(-1, 2, 30, 40));
        QTest::newRow("size") << "s" << QVariant(QSize(5, 6));
        QTest::newRow("point") << "p" << QVariant(QPoint(-7, 8));
    }

    void sameTextAsTheFrameworks()
    {
        QFETCH(QString, key);
        QFETCH(QVariant, value);
        MTestFolder folder;
        const QString ini = folder.filePath(QStringLiteral("framework.ini"));
        {
            QSettings framework(ini, QSettings::IniFormat);
            framework.setValue(key, value);
            framework.setValue(QStringLiteral("zz/after"), QStringLiteral("next"));
        }
        // What the framework reads of its own file is the reference (under
        // another name: it keeps what it wrote in memory).
        const QString copy = folder.filePath(QStringLiteral("copy.ini"));
        QVERIFY(QFile::copy(ini, copy));
        const QVariant expected = QSettings(copy, QSettings::IniFormat).value(key);

        const QSettings::SettingsMap read = MSettingsFormat::fromText(readAll(ini));
        QCOMPARE(read.value(key), expected);
        QCOMPARE(read.value(QStringLiteral("zz/after")), QVariant(QStringLiteral("next")));
        QCOMPARE(read.size(), 2);

        QSettings::SettingsMap map;
        map.insert(key, value);
        map.insert(QStringLiteral("zz/after"), QStringLiteral("next"));
        const QByteArray text = MSettingsFormat::toText(map);
        QCOMPARE(text, readAll(ini));
        QCOMPARE(MSettingsFormat::fromText(text), read);
    }

    // Text the framework's writer never makes but a person may (comments,
    // blank lines, spaces around '=', a line continued, a line without '=',
    // Windows line ends) reads as the framework reads it.
    void readsHandEditedFiles()
    {
        const QByteArray text = "\xef\xbb\xbf; a comment\n\n[General]\n  width = 12  \nbroken line\n"
                                "long=first \\\n second\n[Paper]\r\ncolor=\"#ff0000\" ; red\r\n"
                                "list = a , \"b \" ,c\n[%General]\nx=\\x41\\101\\q\n";
        MTestFolder folder;
        QSettings framework(folder.writeFile(QStringLiteral("edited.ini"), text), QSettings::IniFormat);
        const QSettings::SettingsMap map = MSettingsFormat::fromText(text);
        QCOMPARE(map.keys(), framework.allKeys());
        for (const QString &key : map.keys())
            QCOMPARE(map.value(key), framework.value(key));
        QCOMPARE(map.value(QStringLiteral("Paper/color")), QVariant(QStringLiteral("#ff0000")));
        QCOMPARE(map.size(), 5);
    }

    // With the disk full, a save fails as a whole: the file keeps every key
    // it had, the failure is logged and shown once however often the saves
    // fail, and the changes are saved once there is room again.
    void fullDiskLeavesTheOldFile()
    {
        MSettings::destroyInstance();
        QSettings settings;
        QCOMPARE(settings.format(), MSettingsFormat::install());
        settings.clear();
        for (int i = 0; i < 200; ++i)
            settings.setValue(QStringLiteral("Group%1/key").arg(i / 20) + QString::number(i), QString(40, QLatin1Char('v')));
        settings.sync();
        QCOMPARE(settings.status(), QSettings::NoError);
        const QString path = settings.fileName();
        QVERIFY(path.endsWith(QLatin1String("Vantorel/KalmiDraw.conf")));
        const QByteArray before = readAll(path);
        QVERIFY(before.size() > 8000);

        MTestDialogScript script;
        MTestLogWatch log;
        {
            MTestFileSizeLimit full(4000);
            QVERIFY(full.isActive());
            settings.setValue(QStringLiteral("added"), 1);
            settings.sync();
            QCOMPARE(settings.status(), QSettings::AccessError);
            // Every later change fails the same way, through any object.
            settings.setValue(QStringLiteral("added"), 2);
            settings.sync();
            {
                QSettings other;
                other.setValue(QStringLiteral("other"), 3);
            }
            QCoreApplication::processEvents();
        }
        QCOMPARE(readAll(path), before);
        QVERIFY2(log.count(QStringLiteral("Cannot save the settings to ") + path + QStringLiteral(": File too large")) == 1,
                 qPrintable(log.lines().join(QLatin1Char('\n'))));
        QCOMPARE(script.requests().size(), 1);
        QCOMPARE(script.requests().at(0).icon, QMessageBox::Warning);
        QVERIFY(script.requests().at(0).text.contains(path));
        QCOMPARE(script.requests().at(0).informativeText, QString("File too large"));

        // Room again: the next save writes every change, and a later failure
        // is told again.
        settings.setValue(QStringLiteral("later"), 4);
        settings.sync();
        // Read as the framework reads a file it never saw.
        MTestFolder folder;
        const QString copy = folder.filePath(QStringLiteral("copy.conf"));
        QVERIFY(QFile::copy(path, copy));
        QSettings reread(copy, QSettings::IniFormat);
        QCOMPARE(reread.value(QStringLiteral("added")).toInt(), 2);
        QCOMPARE(reread.value(QStringLiteral("other")).toInt(), 3);
        QCOMPARE(reread.value(QStringLiteral("Group9/key199")).toString(), QString(40, QLatin1Char('v')));
        QCOMPARE(reread.allKeys().size(), 203);
        {
            MTestFileSizeLimit full(4000);
            settings.setValue(QStringLiteral("again"), 5);
            settings.sync();
            QCoreApplication::processEvents();
        }
        QCOMPARE(script.requests().size(), 2);
        settings.clear();
        settings.sync();
    }

    // With no byte free the framework cannot even make its lock file, and
    // the writer above never runs: a changed preference is still reported,
    // once however often it fails, and saved once there is room again.
    void lockFileThatCannotBeMadeIsReported()
    {
        MSettings::destroyInstance();
        MSettings *settings = MSettings::instance();
        settings->set_userMail(QStringLiteral("before@example.org"));
        QCoreApplication::processEvents();
        const QString path = settings->fileName();
        const QByteArray before = readAll(path);
        QVERIFY(before.contains("before@example.org"));

        MTestDialogScript script;
        {
            // Less than the lock's first line (and than the log's lines: the
            // painter is told, the log cannot take the line either).
            MTestFileSizeLimit full(4);
            QVERIFY(full.isActive());
            settings->set_userMail(QStringLiteral("lost@example.org"));
            QCoreApplication::processEvents();
            settings->set_userMail(QStringLiteral("again@example.org"));
            QCoreApplication::processEvents();
            QCoreApplication::processEvents();
        }
        QCOMPARE(readAll(path), before);
        QCOMPARE(script.requests().size(), 1);
        QCOMPARE(script.requests().at(0).icon, QMessageBox::Warning);
        QVERIFY(script.requests().at(0).text.contains(path));
        QCOMPARE(script.requests().at(0).informativeText, QString("File too large"));
        QVERIFY(!QFileInfo::exists(path + QStringLiteral(".lock")));

        settings->setShowGrid(!settings->showGrid());
        QCoreApplication::processEvents();
        QVERIFY(readAll(path).contains("again@example.org"));
        QCOMPARE(script.requests().size(), 1);
        MSettings::destroyInstance();
    }

    // A save killed half-way leaves its lock (and, where the file system
    // cannot make unnamed files, its temporary file): the next start removes
    // them, but not while another process holds the lock.
    void leftoversOfAKilledSave()
    {
        MTestFolder folder;
        const QString path = folder.filePath(QStringLiteral("KalmiDraw.conf"));
        folder.writeFile(QStringLiteral("KalmiDraw.conf"), "[General]\nkept=1\n");
        const QStringList leftovers{QStringLiteral("KalmiDraw.conf.Ab12Cd"), QStringLiteral("KalmiDraw.conf.lock")};
        const QStringList others{QStringLiteral("KalmiDraw.conf.bak"), QStringLiteral("KalmiDraw.conf.a-b_cd"),
                                 QStringLiteral("KalmiDraw.conf.Ab12Cde"), QStringLiteral("Other.conf.Ab12Cd")};
        for (const QString &name : others)
            folder.writeFile(name, "x");
        folder.writeFile(QStringLiteral("KalmiDraw.conf.Ab12Cd"), "[General]\nkep");
        // The lock of a process that no longer runs.
        folder.writeFile(QStringLiteral("KalmiDraw.conf.lock"), "2147483646\nkalmidraw\n\n");

        // Held by a live process (this one), nothing goes.
        {
            QFile::rename(path + QStringLiteral(".lock"), path + QStringLiteral(".lock.dead"));
            QLockFile held(path + QStringLiteral(".lock"));
            QVERIFY(held.tryLock(0));
            MSettingsFormat::removeLeftovers(path);
            QVERIFY(QFileInfo::exists(folder.filePath(leftovers.at(0))));
            held.unlock();
            QFile::rename(path + QStringLiteral(".lock.dead"), path + QStringLiteral(".lock"));
        }
        MSettingsFormat::removeLeftovers(path);
        for (const QString &name : leftovers)
            QVERIFY2(!QFileInfo::exists(folder.filePath(name)), qPrintable(name));
        for (const QString &name : others)
            QVERIFY2(QFileInfo::exists(folder.filePath(name)), qPrintable(name));
        QCOMPARE(readAll(path), QByteArray("[General]\nkept=1\n"));
    }
};

QTEST_MAIN(TestMSettingsFormat)
#include "tst_msettingsformat.moc"
