#include "mbrushinputinfolist.h"
#include "menum.h"

#include <QTest>

class TestMBrushInputInfoList : public QObject
{
    Q_OBJECT

private slots:
    void everyInputRow_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("description");
        QTest::addColumn<double>("minimum");
        QTest::addColumn<double>("defaultValue");
        QTest::addColumn<double>("maximum");
        auto row = [](int id, const char *label, const char *description, double minimum, double defaultValue, double maximum) {
            QTest::newRow(label) << id << QString::fromLatin1(label) << QString::fromLatin1(description) << minimum
                                 << defaultValue << maximum;
        };
        row(0, "Pressure", "Stylus pressure", 0, 1, 1);
        row(1, "Tangential pressure", "Stylus tangential pressure", 0, 1, 1);
        row(2, "X tilt", "X tilt", -60, 0, 60);
        row(3, "Y tilt", "Y tilt", -60, 0, 60);
        row(4, "Position x", "Position x", -100, 0, 100);
        row(5, "Position y", "Position y", -100, 0, 100);
        row(6, "Direction x", "Direction x", -1, 0, 1);
        row(7, "Direction y", "Direction y", -1, 0, 1);
        row(8, "Speed", "Speed", 0, 0, 100);
        row(9, "Time to previous", "Time elapsed between two inputs of a stroke (ms)", 0, 0, 100);
        row(10, "Total time", "Time elapsed since the start of a stroke (ms)", 0, 0, 10000);
        row(11, "Distance to previous", "Distance travelled by the stylus or mouse between two inputs of a stroke (px)", 0, 0, 80);
        row(12, "Total distance", "Distance travelled by the stylus or mouse since the start of stroke (px)", 0, 0, 1000);
        row(13, "Random number", "Random number generated at each stamp (between 0 and 1)", 0, 0, 1);
    }

    void everyInputRow()
    {
        QFETCH(int, id);
        QFETCH(QString, label);
        QFETCH(QString, description);
        QFETCH(double, minimum);
        QFETCH(double, defaultValue);
        QFETCH(double, maximum);
        const MBrushInputInfo info = MBrushInputInfoList::instance()->info(id);
        QCOMPARE(info.id(), id);
        QVERIFY(info.name().isEmpty());
        QCOMPARE(info.label(), label);
        QCOMPARE(info.description(), description);
        QCOMPARE(info.minimum(), minimum);
        QCOMPARE(info.defaultValue(), defaultValue);
        QCOMPARE(info.maximum(), maximum);
    }

    void oneRowPerInput()
    {
        QCOMPARE(MBrushInputInfoList::instance()->count(), int(MEnum::biCount));
        QCOMPARE(MBrushInputInfoList::instance()->count(), 14);
    }

    void unknownInputsGiveTheFallback_data()
    {
        QTest::addColumn<int>("id");
        QTest::newRow("count marker") << int(MEnum::biCount);
        QTest::newRow("negative") << -2;
    }

    void unknownInputsGiveTheFallback()
    {
        QFETCH(int, id);
        const MBrushInputInfo info = MBrushInputInfoList::instance()->info(id);
        QVERIFY(info.label().isEmpty());
        QCOMPARE(info.minimum(), 0.0);
        QCOMPARE(info.defaultValue(), 0.5);
        QCOMPARE(info.maximum(), 1.0);
    }
};

QTEST_GUILESS_MAIN(TestMBrushInputInfoList)
#include "tst_mbrushinputinfolist.moc"
