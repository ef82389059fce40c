#include "mlogcategory.h"
#include "mfolders.h"
#include "mlogger.h"
#include "mtestlogwatch.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>

#include <thread>

class TestMLogger : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // A second start logs beside the running copy and must leave its lines;
        // only the copy that goes on running empties the log, once.
        QFile stale(MFolders::userDataPath() + QStringLiteral("vantor.log"));
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.write("old line\n");
        stale.close();
        MLogger::instance()->log(QStringLiteral("Only one instance at a time!"));
        const QStringList kept = MTestLogWatch::fileLines();
        QCOMPARE(kept.size(), 2);
        QCOMPARE(kept.first(), QStringLiteral("old line"));
        QCOMPARE(MTestLogWatch::message(kept.last()), QStringLiteral("Only one instance at a time!."));
        MLogger::instance()->startSession();
    }

    void sessionLineStartsTheFile()
    {
        const QStringList lines = MTestLogWatch::fileLines();
        QVERIFY(!lines.isEmpty());
        QCOMPARE(MTestLogWatch::message(lines.first()), QStringLiteral("Starting vantor log session."));
        QVERIFY(!lines.join(QLatin1Char('\n')).contains(QStringLiteral("old line")));
    }

    // The log's echo and the developer traces stay off the terminal unless a
    // developer turns their category on.
    void debugOutputIsOffByDefault()
    {
        for (const QLoggingCategory *category : {&lcLog(), &lcApp(), &lcCanvas(), &lcUndo(), &lcBrush()}) {
            QVERIFY2(!category->isDebugEnabled(), category->categoryName());
            QVERIFY2(category->isWarningEnabled(), category->categoryName());
        }
        static QStringList printed;
        printed.clear();
        const QtMessageHandler previous = qInstallMessageHandler(
            [](QtMsgType, const QMessageLogContext &, const QString &message) { printed.append(message); });
        MLogger::instance()->log(QStringLiteral("quiet"));
        MLogger::instance()->systemError(QStringLiteral("still quiet"));
        const QStringList byDefault = printed;
        QLoggingCategory::setFilterRules(QStringLiteral("kalmi.log.debug=true"));
        MLogger::instance()->log(QStringLiteral("loud"));
        QLoggingCategory::setFilterRules(QString());
        qInstallMessageHandler(previous);
        QCOMPARE(byDefault, QStringList());
        QCOMPARE(printed, QStringList{QStringLiteral("Loud.")});
        QCOMPARE(MTestLogWatch::message(MTestLogWatch::fileLines().last()), QStringLiteral("Loud."));
    }

    void lineFormat_data()
    {
        QTest::addColumn<bool>("debug");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("written");
        QTest::newRow("lower case gets capital and stop") << false << "unable to open" << "Unable to open.";
        QTest::newRow("full stop kept single") << false << "Saved." << "Saved.";
        QTest::newRow("exclamation gets a stop") << false << "Only one instance at a time!" << "Only one instance at a time!.";
        QTest::newRow("empty becomes a stop") << false << "" << ".";
        QTest::newRow("debug keeps no stop") << true << "x" << "X";
        QTest::newRow("debug keeps dashes") << true << "-----" << "-----";
        QTest::newRow("non-ascii first letter") << false << QString::fromUtf8("éclair") << QString::fromUtf8("Éclair.");
    }

    void lineFormat()
    {
        QFETCH(bool, debug);
        QFETCH(QString, message);
        QFETCH(QString, written);
        if (debug)
            MLogger::instance()->debug(message);
        else
            *MLogger::instance() << message;
        const QString last = MTestLogWatch::fileLines().last();
        static const QRegularExpression stamp(QStringLiteral("^\\d{4}/\\d{2}/\\d{2} \\d{2}:\\d{2}:\\d{2}: "));
        QVERIFY2(stamp.match(last).hasMatch(), qPrintable(last));
        QCOMPARE(MTestLogWatch::message(last), written);
    }

    void twoThreadsNeverInterleave()
    {
        const int perThread = 400;
        const QString a = QStringLiteral("worker line ") + QString(200, QLatin1Char('a'));
        const QString b = QStringLiteral("gui line ") + QString(200, QLatin1Char('b'));
        // A plain thread: its join is a hand-off thread checkers can follow.
        std::thread worker([&]() {
            for (int i = 0; i < perThread; ++i)
                MLogger::instance()->log(a);
        });
        for (int i = 0; i < perThread; ++i)
            MLogger::instance()->log(b);
        worker.join();

        int countA = 0, countB = 0;
        for (const QString &line : MTestLogWatch::fileLines()) {
            const QString message = MTestLogWatch::message(line);
            if (message.startsWith(QStringLiteral("Worker line"))) {
                QCOMPARE(message, MLogger::capitalizeFirst(a) + QLatin1Char('.'));
                ++countA;
            } else if (message.startsWith(QStringLiteral("Gui line"))) {
                QCOMPARE(message, MLogger::capitalizeFirst(b) + QLatin1Char('.'));
                ++countB;
            }
        }
        QCOMPARE(countA, perThread);
        QCOMPARE(countB, perThread);
    }
};

QTEST_GUILESS_MAIN(TestMLogger)
#include "tst_mlogger.moc"
