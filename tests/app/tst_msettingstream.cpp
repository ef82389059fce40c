#include "msettingstream.h"

#include <QCoreApplication>
#include <QSettings>
#include <QSize>
#include <QTest>

class TestMSettingStream : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QCoreApplication::setOrganizationName("Vantorel");
        QCoreApplication::setApplicationName("KalmiDrawStreamTest");
        QSettings().clear();
    }

    void names_data()
    {
        QTest::addColumn<QString>("group");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("storedGroup");
        QTest::addColumn<QString>("storedKey");
        QTest::newRow("small group, capital key") << "selectionToBrush" << "ExportPaper" << "SelectionToBrush"
                                                  << "exportPaper";
        QTest::newRow("already right") << "ShowLogs" << "rememberMe" << "ShowLogs" << "rememberMe";
        QTest::newRow("one letter") << "x" << "Y" << "X" << "y";
    }

    void names()
    {
        QFETCH(QString, group);
        QFETCH(QString, key);
        QFETCH(QString, storedGroup);
        QFETCH(QString, storedKey);
        MSettingStream stream;
        stream.setGroup(group);
        stream.add(1, key, 42);
        QCOMPARE(stream.group(), storedGroup);
        QCOMPARE(stream.key(1), storedKey);
        stream.save();
        QSettings settings;
        QCOMPARE(settings.value(storedGroup + "/" + storedKey).toInt(), 42);
    }

    void saveThenLoadRoundTrip()
    {
        // The same options as a dialog registers them each time it opens.
        auto addOptions = [](MSettingStream &stream) {
            stream.setGroup("roundTrip");
            stream.add(1, "flag", false);
            stream.add(2, "count", 1);
            stream.add(3, "size", QSize(1, 1));
            stream.add(4, "geometry", QByteArray());
        };
        MSettingStream writer;
        addOptions(writer);
        writer.value(1) = true;
        writer.value(2) = 17;
        writer.value(3) = QSize(640, 480);
        writer.value(4) = QByteArray("\x01\x02\xff", 3);
        writer.save();

        MSettingStream reader;
        addOptions(reader);
        reader.add(5, "missing", QString("default"));
        reader.load();
        // Each value comes back in the type of its default.
        QCOMPARE(reader.value(1), QVariant(true));
        QCOMPARE(reader.value(2), QVariant(17));
        QCOMPARE(reader.value(3), QVariant(QSize(640, 480)));
        QCOMPARE(reader.value(4), QVariant(QByteArray("\x01\x02\xff", 3)));
        QCOMPARE(reader.value(5), QVariant(QString("default")));
    }

    void secondAddReplacesTheFirst()
    {
        MSettingStream stream;
        stream.add(7, "first", 1);
        stream.add(7, "second", 2);
        QCOMPARE(stream.key(7), QString("second"));
        QCOMPARE(stream.value(7), QVariant(2));
    }

    void unknownIdGivesAScratchValue()
    {
        MSettingStream stream;
        stream.setGroup("scratch");
        QVariant &value = stream.value(99);
        QVERIFY(!value.isValid());
        value = 5;
        QVERIFY(!stream.contains(99));
        QVERIFY(!stream.value(99).isValid());
        stream.save();
        QVERIFY(!QSettings().childGroups().contains("Scratch"));
    }
};

QTEST_MAIN(TestMSettingStream)
#include "tst_msettingstream.moc"
