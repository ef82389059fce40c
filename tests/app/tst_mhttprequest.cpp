#include "mhttprequest.h"
#include "msettings.h"
#include "mtesthttpserver.h"

#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>
#include <QUrlQuery>

Q_DECLARE_METATYPE(const QByteArray *)

// Requests built for real and answered by a server on the loopback address.
class TestMHttpRequest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qRegisterMetaType<const QByteArray *>();
    }

    void query_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("encoded");
        QTest::newRow("blank") << "a b" << "a%20b";
        QTest::newRow("ampersand and equals") << "x&y=z" << "x%26y%3Dz";
        QTest::newRow("unreserved") << "Az09-._~" << "Az09-._~";
        QTest::newRow("non-ascii") << QString::fromUtf8("é") << "%C3%A9";
        QTest::newRow("plus and slash") << "1+1/2" << "1%2B1%2F2";
    }
    void query()
    {
        QFETCH(QString, value);
        QFETCH(QString, encoded);
        MHttpRequest request("http://host/p", nullptr);
        request.addParameter("Name", "first");
        request.addParameter("name", value);
        QCOMPARE(request.query(), "name=" + encoded);
        QCOMPARE(request.url(), "http://host/p?name=" + encoded);
        request.method = MHttpRequest::Post;
        QCOMPARE(request.url(), QString("http://host/p"));
    }

    void serverAddresses()
    {
        MSettings::instance()->set_serverUrl("http://127.0.0.1:1234");
        QCOMPARE(MHttpRequest::siteRoot(), QString("http://127.0.0.1:1234/"));
        QCOMPARE(MHttpRequest::serverUrl("/van/download/version.info"),
                 QString("http://127.0.0.1:1234/van/download/version.info"));
        MSettings::instance()->set_serverUrl("http://127.0.0.1:1234/");
        QCOMPARE(MHttpRequest::serverUrl("contact-us/"), QString("http://127.0.0.1:1234/contact-us/"));
    }

    void getAndPost()
    {
        MTestHttpServer server;
        QVERIFY(server.listen());
        server.setAnswer("/get", "answer");
        server.setAnswer("/post", "ok");

        QByteArray buffer("old");
        QPointer<MHttpRequest> get = new MHttpRequest(server.address() + "/get", &buffer);
        get->addParameter("q", "a b&c");
        QSignalSpy finished(get, &MHttpRequest::finished);
        QSignalSpy errors(get, &MHttpRequest::error);
        get->send();
        QVERIFY(finished.wait(5000));
        QCOMPARE(errors.count(), 0);
        QCOMPARE(buffer, QByteArray("answer"));
        QCOMPARE(finished.first().first().value<const QByteArray *>(), &buffer);
        QCOMPARE(server.requests().last().method, QByteArray("GET"));
        QCOMPARE(server.requests().last().path, QByteArray("/get?q=a%20b%26c"));
        QTRY_VERIFY(get.isNull()); // used once, gone after its answer

        QByteArray postBuffer;
        auto *post = new MHttpRequest(server.address() + "/post", &postBuffer);
        post->method = MHttpRequest::Post;
        post->addParameter("email", "me@x.org");
        QSignalSpy postFinished(post, &MHttpRequest::finished);
        post->send();
        QVERIFY(postFinished.wait(5000));
        const MTestHttpServer::Request &sent = server.requests().last();
        QCOMPARE(sent.method, QByteArray("POST"));
        QCOMPARE(sent.path, QByteArray("/post"));
        QCOMPARE(sent.body, QByteArray("email=me%40x.org"));
        QCOMPARE(sent.headers.value("content-type"), QByteArray("application/x-www-form-urlencoded"));
        QCOMPARE(sent.headers.value("user-agent"), QByteArray("User Agent"));
        QCOMPARE(postBuffer, QByteArray("ok"));
    }

    // A failure is one error signal and nothing else: no finished with an
    // empty buffer that a caller would take for an empty answer.
    void failures_data()
    {
        QTest::addColumn<bool>("serverUp");
        QTest::newRow("server down") << false;
        QTest::newRow("not found") << true;
    }
    void failures()
    {
        QFETCH(bool, serverUp);
        MTestHttpServer server;
        QVERIFY(server.listen());
        const QString address = serverUp ? server.address() : MTestHttpServer::deadAddress();
        QByteArray buffer("untouched");
        QPointer<MHttpRequest> request = new MHttpRequest(address + "/missing", &buffer);
        QSignalSpy finished(request, &MHttpRequest::finished);
        QSignalSpy errors(request, &MHttpRequest::error);
        request->send();
        QVERIFY(errors.wait(5000));
        QTRY_VERIFY(request.isNull());
        QCOMPARE(errors.count(), 1);
        QVERIFY(errors.first().first().toString().startsWith("Network reply error : "));
        QCOMPARE(finished.count(), 0);
        QCOMPARE(buffer, QByteArray("untouched"));
    }

    // The update check and the log upload go over https only; plain http
    // is let through to this machine's loopback alone, which nothing else
    // can listen on.
    void addresses_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("allowed");
        QTest::newRow("https") << "https://www.example.com/van/download/version.info" << true;
        QTest::newRow("https in capitals") << "HTTPS://WWW.EXAMPLE.COM/" << true;
        QTest::newRow("http") << "http://www.example.com/send" << false;
        QTest::newRow("http to a private address") << "http://192.168.1.10/" << false;
        QTest::newRow("http to the loopback") << "http://127.0.0.1:8080/" << true;
        QTest::newRow("http to the loopback, v6") << "http://[::1]:8080/" << true;
        QTest::newRow("http to localhost") << "http://localhost/" << true;
        QTest::newRow("http to a name starting like it") << "http://localhost.example.com/" << false;
        QTest::newRow("file") << "file:///etc/passwd" << false;
        QTest::newRow("ftp") << "ftp://www.example.com/" << false;
        QTest::newRow("no host") << "https:///path" << false;
        QTest::newRow("not an address") << "www.example.com" << false;
    }

    void addresses()
    {
        QFETCH(QString, address);
        QFETCH(bool, allowed);
        QCOMPARE(MHttpRequest::isAllowedAddress(QUrl(address, QUrl::TolerantMode)), allowed);
    }

    // A request to an address not allowed is never sent: it fails from the
    // event loop as a connection would, and goes.
    void refusedAddressIsNotSent()
    {
        QByteArray buffer("untouched");
        QPointer<MHttpRequest> request = new MHttpRequest("http://www.example.com/send", &buffer);
        request->method = MHttpRequest::Post;
        request->addParameter("system_logs", "private");
        QSignalSpy finished(request, &MHttpRequest::finished);
        QSignalSpy errors(request, &MHttpRequest::error);
        request->send();
        QCOMPARE(errors.count(), 0);
        QVERIFY(errors.wait(5000));
        QTRY_VERIFY(request.isNull());
        QCOMPARE(errors.count(), 1);
        QCOMPARE(errors.first().first().toString(),
                 QStringLiteral("Request refused: http://www.example.com/send is not an https address"));
        QCOMPARE(finished.count(), 0);
        QCOMPARE(buffer, QByteArray("untouched"));
    }
};

QTEST_MAIN(TestMHttpRequest)
#include "tst_mhttprequest.moc"
