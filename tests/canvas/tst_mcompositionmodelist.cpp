#include "mcompositionmode.h"
#include "mcompositionmodelist.h"
#include "msettings.h"

#include <QApplication>
#include <QTest>
#include <QTranslator>

namespace {

// Translates every text of the composition mode table by wrapping it in brackets.
class BracketTranslator : public QTranslator
{
public:
    QString translate(const char *context, const char *sourceText, const char *, int) const override
    {
        if (qstrcmp(context, "MCompositionModeList") != 0)
            return QString();
        return QLatin1Char('[') + QString::fromUtf8(sourceText) + QLatin1Char(']');
    }
    bool isEmpty() const override { return false; }
};

QList<int> entryModes(const QVector<MCompositionModeList::Entry> &entries)
{
    QList<int> modes;
    for (const MCompositionModeList::Entry &entry : entries)
        modes << entry.value;
    return modes;
}

int modeLabelled(const QVector<MCompositionModeList::Entry> &entries, const QString &label)
{
    for (const MCompositionModeList::Entry &entry : entries)
        if (entry.label == label)
            return entry.value;
    return -1;
}

} // namespace

class TestMCompositionModeList : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        MCompositionModeList::destroyInstance();
        MSettings::instance()->set_translateCompositionModes(true);
    }

    void table()
    {
        MCompositionModeList *list = MCompositionModeList::instance();
        QCOMPARE(list->count(), 39);
        int brushModes = 0;
        for (int row = 0; row < list->count(); ++row) {
            const auto *mode = qobject_cast<MCompositionMode *>(list->item(row));
            QVERIFY(mode);
            // Ids 0 to 37 without a gap, then 1000.
            QCOMPARE(mode->mode(), row < 38 ? row : 1000);
            brushModes += mode->usedByBrush();
        }
        QCOMPARE(brushModes, 29);
        auto described = [list](int row) { return qobject_cast<MCompositionMode *>(list->item(row))->description(); };
        QCOMPARE(described(0), QStringLiteral("Normal"));
        QCOMPARE(described(12), QStringLiteral("Plus"));
        QCOMPARE(described(31), QStringLiteral("HSL luminosity"));
        QCOMPARE(described(37), QStringLiteral("Burn shadow"));
        QCOMPARE(described(38), QStringLiteral("User"));
    }

    void newItemDefaults()
    {
        std::unique_ptr<QObject> item(MCompositionModeList::instance()->createItem());
        const auto *mode = qobject_cast<MCompositionMode *>(item.get());
        QVERIFY(mode);
        QCOMPARE(mode->mode(), 0);
        QVERIFY(mode->description().isEmpty());
        QVERIFY(mode->usedByBrush());
    }

    void entries_data()
    {
        QTest::addColumn<bool>("brushOnly");
        QTest::addColumn<int>("count");
        QTest::addColumn<QList<int>>("first");
        QTest::newRow("brush modes") << true << 29 << QList<int>{0, 5, 7, 12};
        QTest::newRow("all modes") << false << 39 << QList<int>{0, 1, 2, 3};
    }

    void entries()
    {
        QFETCH(bool, brushOnly);
        QFETCH(int, count);
        QFETCH(QList<int>, first);
        const QVector<MCompositionModeList::Entry> entries = MCompositionModeList::instance()->entries(brushOnly);
        const QList<int> modes = entryModes(entries);
        QCOMPARE(modes.size(), count);
        QCOMPARE(modes.mid(0, 4), first);
        QCOMPARE(entries.first().label, QStringLiteral("Normal"));
        QCOMPARE(modes.contains(1000), !brushOnly);
        if (!brushOnly)
            QCOMPARE(modes.last(), 1000);
        // Entries carry the id, not the row.
        QCOMPARE(modeLabelled(entries, QStringLiteral("Plus")), 12);
        QCOMPARE(modeLabelled(entries, QStringLiteral("Darker")), 24);
    }

    void translatedTexts_data()
    {
        QTest::addColumn<bool>("translate");
        QTest::newRow("translated") << true;
        QTest::newRow("as stored") << false;
    }

    void translatedTexts()
    {
        QFETCH(bool, translate);
        BracketTranslator translator;
        QVERIFY(QCoreApplication::installTranslator(&translator));
        MSettings::instance()->set_translateCompositionModes(translate);
        MCompositionModeList *list = MCompositionModeList::instance();
        // The dodge and burn descriptions are stored translated when the table is built.
        QCOMPARE(qobject_cast<MCompositionMode *>(list->item(32))->description(), QStringLiteral("[Dodge highlight]"));
        QCOMPARE(qobject_cast<MCompositionMode *>(list->item(0))->description(), QStringLiteral("Normal"));

        const QVector<MCompositionModeList::Entry> entries = list->entries(false);
        QCOMPARE(entries.at(0).label, translate ? QStringLiteral("[Normal]") : QStringLiteral("Normal"));
        QCOMPARE(entries.at(38).label, translate ? QStringLiteral("[User]") : QStringLiteral("User"));
        QCoreApplication::removeTranslator(&translator);
    }
};

QTEST_MAIN(TestMCompositionModeList)
#include "tst_mcompositionmodelist.moc"
