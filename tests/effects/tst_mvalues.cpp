#include "mvalues.h"

#include <QColor>
#include <QSignalSpy>
#include <QTest>

class TestMValues : public QObject
{
    Q_OBJECT

private slots:
    void setValueSignalsRealChangesOnly_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QVariant>("given");
        QTest::addColumn<bool>("signalled");
        QTest::addColumn<QVariant>("result");
        QTest::newRow("new name") << QVariant() << QVariant(2.5) << true << QVariant(2.5);
        QTest::newRow("same double") << QVariant(2.5) << QVariant(2.5) << false << QVariant(2.5);
        QTest::newRow("equal int over a double keeps the double") << QVariant(1.0) << QVariant(1) << false << QVariant(1.0);
        QTest::newRow("other double") << QVariant(1.0) << QVariant(1.5) << true << QVariant(1.5);
        QTest::newRow("other type, other value") << QVariant(1.0) << QVariant(QColor(Qt::red)) << true << QVariant(QColor(Qt::red));
        QTest::newRow("same colour") << QVariant(QColor(Qt::red)) << QVariant(QColor(Qt::red)) << false << QVariant(QColor(Qt::red));
    }

    void setValueSignalsRealChangesOnly()
    {
        QFETCH(QVariant, stored);
        QFETCH(QVariant, given);
        QFETCH(bool, signalled);
        QFETCH(QVariant, result);
        MValues values;
        if (stored.isValid())
            values.setValue("radius", stored);
        QSignalSpy changed(&values, &MValues::valueChanged);
        values.setValue("radius", given);
        QCOMPARE(changed.count(), signalled ? 1 : 0);
        if (signalled) {
            QCOMPARE(changed.first().at(0).toByteArray(), QByteArray("radius"));
            QCOMPARE(changed.first().at(1), given);
        }
        QCOMPARE(values.value("radius").userType(), result.userType());
        QCOMPARE(values.value("radius"), result);
    }

    void clearAndCopyAreSilent()
    {
        MValues source;
        source.setValue("a", 1);
        source.setValue("b", QStringLiteral("text"));
        MValues target;
        target.setValue("c", 3.0);
        QSignalSpy changed(&target, &MValues::valueChanged);
        target.copyFrom(&source);
        QVERIFY(!target.contains("c"));
        QCOMPARE(target.value("a"), QVariant(1));
        QCOMPARE(target.value("b"), QVariant(QStringLiteral("text")));
        // A copy, not a share.
        source.setValue("a", 2);
        QCOMPARE(target.value("a"), QVariant(1));
        target.copyFrom(nullptr);
        QCOMPARE(target.values().size(), 2);
        target.clear();
        QVERIFY(target.values().isEmpty());
        QVERIFY(!target.value("a").isValid());
        QCOMPARE(changed.count(), 0);
    }

    void emptyValuesSetNoUniforms()
    {
        MValues values;
        QVERIFY(!values.value("radius").isValid());
        values.setUniforms(nullptr);
    }
};

QTEST_GUILESS_MAIN(TestMValues)
#include "tst_mvalues.moc"
