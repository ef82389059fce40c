#include "mconnector.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {
class Source : public QObject
{
    Q_OBJECT
signals:
    void ping();
};
} // namespace

class TestMConnector : public QObject
{
    Q_OBJECT

private slots:
    void addChainsAndDisconnectAllDrops()
    {
        Source source;
        int calls = 0;
        MConnector connector;
        QVERIFY(!connector.isConnected());
        MConnector *chained = connector.add(connect(&source, &Source::ping, this, [&] { ++calls; }))
                                  ->add(connect(&source, &Source::ping, this, [&] { calls += 10; }));
        QCOMPARE(chained, &connector);
        QVERIFY(connector.isConnected());
        QCOMPARE(connector.count(), 2);
        emit source.ping();
        QCOMPARE(calls, 11);

        connector.disconnectAll();
        QVERIFY(!connector.isConnected());
        QCOMPARE(connector.count(), 0);
        emit source.ping();
        QCOMPARE(calls, 11);

        // Dropped and made again, as an editor does around each write.
        connector.add(connect(&source, &Source::ping, this, [&] { ++calls; }));
        emit source.ping();
        QCOMPARE(calls, 12);
    }

    void destructionLeavesTheConnectionsLive()
    {
        Source source;
        int calls = 0;
        {
            MConnector connector;
            connector.add(connect(&source, &Source::ping, this, [&] { ++calls; }));
        }
        emit source.ping();
        QCOMPARE(calls, 1);
    }
};

QTEST_MAIN(TestMConnector)
#include "tst_mconnector.moc"
