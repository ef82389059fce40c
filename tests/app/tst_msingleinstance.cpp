#include "mfilelock.h"
#include "msingleinstance.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QSignalSpy>
#include <QTest>

#include <chrono>
#include <future>
#include <thread>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

class TestMSingleInstance : public QObject
{
    Q_OBJECT

private slots:
    void nobodyListening()
    {
        QVERIFY(!MSingleInstance::sendMessage(QStringLiteral("kalmi.test.nobody"), {QStringLiteral("hello")}, 2000));
    }

    void eachStartRaisesOnce()
    {
        const QString name = QStringLiteral("kalmi.test.running");
        MSingleInstance running;
        running.listen(name);
        QSignalSpy spy(&running, &MSingleInstance::newInstance);

        QVERIFY(MSingleInstance::sendMessage(name, {QStringLiteral("hello")}));
        QVERIFY(MSingleInstance::sendMessage(name, {QStringLiteral("hello")}));
        QTRY_COMPARE(spy.count(), 2);

        // A client that connects and sends nothing still counts.
        QLocalSocket silent;
        silent.connectToServer(MSingleInstance::serverPath(name));
        QVERIFY(silent.waitForConnected(2000));
        QTRY_COMPARE(spy.count(), 3);
        silent.disconnectFromServer();
        QTest::qWait(20);
        QCOMPARE(spy.count(), 3);
    }

    void wireFormatIsUtf8LinesEndingInLineFeed()
    {
        const QString name = QStringLiteral("kalmi.test.wire");
        QLocalServer server;
        QLocalServer::removeServer(MSingleInstance::serverPath(name));
        QVERIFY(server.listen(MSingleInstance::serverPath(name)));
        QVERIFY(MSingleInstance::sendMessage(name, {QStringLiteral("hello"), QString::fromUtf8("héllo")}));
        QVERIFY(server.waitForNewConnection(2000));
        QLocalSocket *socket = server.nextPendingConnection();
        const QByteArray expected("hello\nh\xc3\xa9llo\n\n");
        QByteArray received = socket->readAll();
        while (received.size() < expected.size() && socket->waitForReadyRead(2000))
            received += socket->readAll();
        QCOMPARE(received, expected);
    }

    // What a start sends reaches the running copy whole, however it arrives;
    // a start that sends nothing hands nothing over.
    void messagesArriveWhole()
    {
        const QString name = QStringLiteral("kalmi.test.message");
        MSingleInstance running;
        running.listen(name);
        QSignalSpy messages(&running, &MSingleInstance::messageReceived);
        const QString file = QString::fromUtf8("/some where/\xc3\xa9t\xc3\xa9.kxd");
        QVERIFY(MSingleInstance::sendMessage(name, {QStringLiteral("hello"), file}));
        QTRY_COMPARE(messages.count(), 1);
        QCOMPARE(messages.first().first().toStringList(), QStringList({QStringLiteral("hello"), file}));

        QLocalSocket slow;
        slow.connectToServer(MSingleInstance::serverPath(name));
        QVERIFY(slow.waitForConnected(2000));
        slow.write("hel");
        QVERIFY(slow.waitForBytesWritten(2000));
        QTest::qWait(50);
        slow.write("lo\n/a.kxd\n");
        QVERIFY(slow.waitForBytesWritten(2000));
        slow.disconnectFromServer();
        QTRY_COMPARE(messages.count(), 2);
        QCOMPARE(messages.last().first().toStringList(), QStringList({QStringLiteral("hello"), QStringLiteral("/a.kxd")}));

        QLocalSocket silent;
        silent.connectToServer(MSingleInstance::serverPath(name));
        QVERIFY(silent.waitForConnected(2000));
        silent.disconnectFromServer();
        QTest::qWait(50);
        QCOMPARE(messages.count(), 2);
    }

    // A file name may hold a newline, a carriage return or a "%": it still
    // arrives as the one name it is, never as two paths.
    void namesArriveAsTheyAre()
    {
        const QString name = QStringLiteral("kalmi.test.names");
        MSingleInstance running;
        running.listen(name);
        QSignalSpy messages(&running, &MSingleInstance::messageReceived);
        const QStringList hello{QStringLiteral("hello"), QStringLiteral("/tmp/first.kxd\n/tmp/second 100%25\r.kxd")};
        QVERIFY(MSingleInstance::sendMessage(name, hello));
        QTRY_COMPARE(messages.count(), 1);
        QCOMPARE(messages.first().first().toStringList(), hello);
    }

    void decoding_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("plain lines") << QByteArray("hello\n/a.kxd\n") << true << QStringList{"hello", "/a.kxd"};
        QTest::newRow("escapes") << QByteArray("a%0Ab%25c%0d\n") << true << QStringList{"a\nb%c\r"};
        QTest::newRow("no final newline") << QByteArray("hello") << true << QStringList{"hello"};
        QTest::newRow("lone percent") << QByteArray("hello\n50%\n") << false << QStringList();
        QTest::newRow("percent and one digit") << QByteArray("hello\n%4\n") << false << QStringList();
        QTest::newRow("percent and no hex") << QByteArray("%zz\n") << false << QStringList();
    }

    void decoding()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, accepted);
        QFETCH(QStringList, lines);
        QStringList decoded{QStringLiteral("left over")};
        QCOMPARE(MSingleInstance::decodeMessage(bytes, decoded), accepted);
        QCOMPARE(decoded, lines);
        if (accepted)
            QCOMPARE(MSingleInstance::encodeMessage(decoded), MSingleInstance::encodeMessage(lines));
    }

    // The socket is the user's own, in the runtime folder, not a name every
    // user of the machine shares.
    void socketLivesInTheRuntimeFolder()
    {
        const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
        QVERIFY(!runtime.isEmpty());
        const QString name = QStringLiteral("kalmi.test.where");
        MSingleInstance running;
        running.listen(name);
        QCOMPARE(MSingleInstance::serverPath(name), runtime + QStringLiteral("/") + name);
        QVERIFY(QFileInfo(runtime + QStringLiteral("/") + name).exists());
        QVERIFY(!QFileInfo::exists(QDir::tempPath() + QStringLiteral("/") + name));
    }

    void staleServerNameIsReclaimed()
    {
        const QString name = QStringLiteral("kalmi.test.stale");
        {
            MSingleInstance first;
            first.listen(name);
        }
        MSingleInstance second;
        second.listen(name);
        QSignalSpy spy(&second, &MSingleInstance::newInstance);
        QVERIFY(MSingleInstance::sendMessage(name, {QStringLiteral("hello")}));
        QTRY_COMPARE(spy.count(), 1);
        second.close();
        QVERIFY(!MSingleInstance::sendMessage(name, {QStringLiteral("hello")}, 1000));
    }

    // A start that missed the running program must not take its name: the
    // running program's socket stays, and it still hears later starts. A
    // socket file nobody listens on (a program that was killed) is taken over.
    void runningSocketIsNeverTakenOver()
    {
        const QString name = QStringLiteral("kalmi.test.taken");
        MSingleInstance running;
        QVERIFY(running.listen(name));
        QSignalSpy messages(&running, &MSingleInstance::messageReceived);
        {
            MSingleInstance late;
            QVERIFY(!late.listen(name));
        }
        QVERIFY(MSingleInstance::sendMessage(name, {QStringLiteral("hello"), QStringLiteral("/a.kxd")}, 2000));
        QTRY_COMPARE(messages.count(), 1);

        const QString killedName = QStringLiteral("kalmi.test.killed");
        const QByteArray path = QFile::encodeName(MSingleInstance::serverPath(killedName));
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, path.constData(), sizeof(address.sun_path));
        QVERIFY(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)) == 0);
        ::close(fd);
        QVERIFY(QFileInfo::exists(MSingleInstance::serverPath(killedName)));
        MSingleInstance next;
        QVERIFY(next.listen(killedName));
        QVERIFY(MSingleInstance::sendMessage(killedName, {QStringLiteral("hello")}, 2000));
    }

    // One lock decides which start becomes the program; the others hand
    // their lines over to it, and give up in time when it never answers.
    void claimDecidesWhoRuns()
    {
        const QString name = QStringLiteral("kalmi.test.claim");
        MFileLock first(MSingleInstance::lockPath(name));
        QCOMPARE(MSingleInstance::claim(first, name, {QStringLiteral("hello")}, 1000), MSingleInstance::Program);
        QVERIFY(first.isLocked());

        MFileLock second(MSingleInstance::lockPath(name));
        QElapsedTimer waited;
        waited.start();
        QCOMPARE(MSingleInstance::claim(second, name, {QStringLiteral("hello")}, 300), MSingleInstance::NoAnswer);
        QVERIFY(waited.elapsed() < 5000);
        QVERIFY(!second.isLocked());

        // The start ends only once the program holds its lines.
        MSingleInstance program;
        QVERIFY(program.listen(name));
        QSignalSpy messages(&program, &MSingleInstance::messageReceived);
        const QStringList hello{QStringLiteral("hello"), QStringLiteral("/b.kxd")};
        std::future<MSingleInstance::Claim> handing = std::async(std::launch::async, [&]() {
            return MSingleInstance::claim(second, name, hello, 60000);
        });
        QVERIFY(QTest::qWaitFor([&]() { return handing.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
                                60000));
        QCOMPARE(handing.get(), MSingleInstance::HandedOver);
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.first().first().toStringList(), hello);

        // Once the program ends, the next start becomes the program.
        program.close();
        first.unlock();
        QCOMPARE(MSingleInstance::claim(second, name, hello, 1000), MSingleInstance::Program);
    }

    // A program that is ending reads a start's lines but never takes them:
    // the start must not end as if it had handed its file over, but become
    // the program once the lock is gone.
    void programEndingAsAStartHandsOver()
    {
        const QString name = QStringLiteral("kalmi.test.ending");
        MFileLock ending(MSingleInstance::lockPath(name));
        QVERIFY(ending.tryLock());
        const QByteArray path = QFile::encodeName(MSingleInstance::serverPath(name));
        QFile::remove(QString::fromLocal8Bit(path));
        const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, path.constData(), sizeof(address.sun_path));
        QVERIFY(::bind(listener, reinterpret_cast<sockaddr *>(&address), sizeof(address)) == 0);
        QVERIFY(::listen(listener, 4) == 0);
        QByteArray read;
        std::thread program([&]() {
            const int client = ::accept(listener, nullptr, nullptr);
            char bytes[256];
            ssize_t got = 0;
            while (!read.endsWith("\n\n") && (got = ::read(client, bytes, sizeof(bytes))) > 0)
                read.append(bytes, int(got));
            ::close(client);
            ::close(listener);
            ::unlink(path.constData());
            ending.unlock();
        });
        MFileLock start(MSingleInstance::lockPath(name));
        const MSingleInstance::Claim claim = MSingleInstance::claim(start, name, {QStringLiteral("hello"), QStringLiteral("/c.kxd")}, 10000);
        program.join();
        QCOMPARE(claim, MSingleInstance::Program);
        QCOMPARE(read, QByteArray("hello\n/c.kxd\n\n"));
        QVERIFY(start.isLocked());
    }
};

QTEST_GUILESS_MAIN(TestMSingleInstance)
#include "tst_msingleinstance.moc"
