#include "mversioninfo.h"

#include <QDataStream>
#include <QSysInfo>
#include <QTest>

// The version record the update check downloads: read from the server's
// bytes and compared with the running program.
class TestMVersionInfo : public QObject
{
    Q_OBJECT

private slots:
    void runningProgram()
    {
        const MVersionInfo running;
        QCOMPARE(running.name, QString("KalmiDraw"));
        QCOMPARE(running.toString(), QString("1.4.2-") + running.platform);
#ifdef Q_OS_WIN
        QVERIFY(running.platform == "win64" || running.platform == "win32");
#else
        // The platform it runs on, not a Windows build it is not.
        QVERIFY2(!running.platform.startsWith("win"), qPrintable(running.platform));
        QVERIFY2(running.platform.startsWith(QSysInfo::kernelType()), qPrintable(running.platform));
#endif
    }

    void compare_data()
    {
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<int>("patch");
        QTest::addColumn<bool>("newer");
        QTest::newRow("patch up") << 1 << 4 << 3 << true;
        QTest::newRow("minor up") << 1 << 5 << 0 << true;
        QTest::newRow("major up") << 2 << 0 << 0 << true;
        QTest::newRow("same") << 1 << 4 << 2 << false;
        QTest::newRow("minor down, patch up") << 1 << 3 << 9 << false;
        QTest::newRow("major down") << 0 << 9 << 9 << false;
        QTest::newRow("major up, rest down") << 2 << 0 << 0 << true;
    }
    void compare()
    {
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(int, patch);
        QFETCH(bool, newer);
        // Name and platform take no part: the server's record is another build.
        MVersionInfo server;
        server.name = "Other";
        server.platform = "linux";
        server.major = major;
        server.minor = minor;
        server.patch = patch;
        MVersionInfo read;
        QVERIFY(read.load(server.toByteArray()));
        QCOMPARE(read.name, QString("Other"));
        QCOMPARE(read.platform, QString("linux"));
        QCOMPARE(read.isNewerThan(MVersionInfo()), newer);
        // Equal is never newer, in either direction.
        if (!newer && major == 1 && minor == 4 && patch == 2)
            QVERIFY(!MVersionInfo().isNewerThan(read));
    }

    void serverLayout()
    {
        // The bytes as the server writes them: Qt 5.12 stream, big-endian.
        QByteArray bytes;
        QDataStream out(&bytes, QIODevice::WriteOnly);
        out.setVersion(17);
        out << QString("KalmiDraw") << qint32(3) << qint32(1) << qint32(7) << QString("win64");
        MVersionInfo read;
        QVERIFY(read.load(bytes));
        QCOMPARE(read.toString(), QString("3.1.7-win64"));
    }

    void unreadable_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("text") << QByteArray("<html>Not found</html>");
        MVersionInfo record;
        QTest::newRow("cut short") << record.toByteArray().left(record.toByteArray().size() - 3);
        QTest::newRow("trailing bytes") << record.toByteArray() + "junk";
    }
    void unreadable()
    {
        QFETCH(QByteArray, bytes);
        MVersionInfo read;
        QVERIFY(!read.load(bytes));
        if (bytes.isEmpty()) {
            QVERIFY(read.name.isEmpty());
            QCOMPARE(read.major + read.minor + read.patch, 0);
        }
    }
};

QTEST_GUILESS_MAIN(TestMVersionInfo)
#include "tst_mversioninfo.moc"
