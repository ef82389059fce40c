#include "msingleinstance.h"

#include <QLocalSocket>
#include <QSignalSpy>
#include <QTest>

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
        silent.connectToServer(name);
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
        QLocalServer::removeServer(name);
        QVERIFY(server.listen(name));
        QVERIFY(MSingleInstance::sendMessage(name, {QStringLiteral("hello"), QString::fromUtf8("héllo")}));
        QVERIFY(server.waitForNewConnection(2000));
        QLocalSocket *socket = server.nextPendingConnection();
        const QByteArray expected("hello\nh\xc3\xa9llo\n");
        QByteArray received = socket->readAll();
        while (received.size() < expected.size() && socket->waitForReadyRead(2000))
            received += socket->readAll();
        QCOMPARE(received, expected);
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
};

QTEST_GUILESS_MAIN(TestMSingleInstance)
#include "tst_msingleinstance.moc"
