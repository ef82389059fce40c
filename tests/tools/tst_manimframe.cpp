#include "manimframe.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>

class TestMAnimFrame : public QObject
{
    Q_OBJECT

private slots:
    void defaults()
    {
        MAnimFrame frame;
        QVERIFY(!frame.isStarted());
        QVERIFY(!frame.timer()->isActive());
        QCOMPARE(frame.dashOffset, 0);
        QCOMPARE(frame.period, 10.0);
        QCOMPARE(frame.dashPattern, (QVector<double>{5.0, 5.0}));
    }

    // Each tick moves the offset one step round its cycle and asks for a repaint.
    void ticksAdvanceTheOffset()
    {
        MAnimFrame frame;
        QSignalSpy refreshed(&frame, &MAnimFrame::refresh);
        frame.start(5);
        QTRY_VERIFY(refreshed.count() >= 23);
        frame.stop();
        QCOMPARE(frame.dashOffset, refreshed.count() % 10);
        const int ticks = refreshed.count();
        QTest::qWait(40);
        QCOMPARE(refreshed.count(), ticks);
    }

    void shortPeriodWraps()
    {
        MAnimFrame frame;
        frame.period = 3;
        QList<int> offsets;
        for (int i = 0; i < 5; ++i) {
            QVERIFY(QMetaObject::invokeMethod(&frame, "animate"));
            offsets << frame.dashOffset;
        }
        QCOMPARE(offsets, (QList<int>{1, 2, 0, 1, 2}));
    }

    void startedAgreesWithSignalAndTimer_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("emitted");
        QTest::addColumn<bool>("started");
        QTest::newRow("start") << "start" << "1" << true;
        QTest::newRow("start twice") << "start start" << "1" << true;
        QTest::newRow("start stop") << "start stop" << "1 0" << false;
        QTest::newRow("stop while stopped") << "stop" << "" << false;
        QTest::newRow("set true") << "on" << "1" << true;
        QTest::newRow("set true then stop") << "on stop" << "1 0" << false;
        QTest::newRow("start then set false") << "start off" << "1 0" << false;
        QTest::newRow("set false while stopped") << "off" << "" << false;
        QTest::newRow("start, set true") << "start on" << "1" << true;
    }

    void startedAgreesWithSignalAndTimer()
    {
        QFETCH(QString, steps);
        QFETCH(QString, emitted);
        QFETCH(bool, started);
        MAnimFrame frame;
        QStringList heard;
        connect(&frame, &MAnimFrame::isStartedChanged, this,
                [&](bool value) { heard << QString::number(int(value)); });
        for (const QString &step : steps.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            if (step == QLatin1String("start"))
                frame.start(100);
            else if (step == QLatin1String("stop"))
                frame.stop();
            else
                QVERIFY(frame.setProperty("isStarted", step == QLatin1String("on")));
            QCOMPARE(frame.timer()->isActive(), frame.isStarted());
        }
        QCOMPARE(heard.join(QLatin1Char(' ')), emitted);
        QCOMPARE(frame.isStarted(), started);
        QCOMPARE(frame.property("isStarted").toBool(), started);
        if (started)
            QCOMPARE(frame.timer()->interval(), 100);
    }
};

QTEST_GUILESS_MAIN(TestMAnimFrame)
#include "tst_manimframe.moc"
