#include "mlist.h"

#include <QStringList>
#include <QTest>

namespace {
QStringList *journal = nullptr;

struct Entry
{
    Entry() { name = QStringLiteral("new"); }
    explicit Entry(const QString &name) : name(name) {}
    ~Entry() { journal->append(QStringLiteral("deleted ") + name); }
    QString name;
};

class Journaled : public MList<Entry>
{
public:
    ~Journaled() override { clear(); }
    void itemRemoved(Entry *item) override { journal->append(QStringLiteral("removed ") + item->name); }
    void itemCreated(Entry *item) override { journal->append(QStringLiteral("created ") + item->name); }

    void fill(const QString &names)
    {
        for (const QChar name : names)
            append(new Entry(QString(name)));
        journal->clear();
    }
    QString names() const
    {
        QString text;
        for (int i = 0; i < count(); ++i)
            text += at(i)->name.left(1);
        return text;
    }
};
} // namespace

class TestMList : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_journal.clear(); journal = &m_journal; }

    void placement_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("names");
        QTest::addColumn<int>("current");
        QTest::newRow("append") << "append" << 0 << "abx" << 2;
        QTest::newRow("prepend") << "prepend" << 0 << "xab" << 0;
        QTest::newRow("insert past the last appends") << "insert" << 2 << "abx" << 2;
        QTest::newRow("insert between") << "insert" << 1 << "axb" << 1;
        QTest::newRow("insert at zero prepends") << "insert" << 0 << "xab" << 0;
        QTest::newRow("insert negative prepends") << "insert" << -2 << "xab" << 0;
        QTest::newRow("move up") << "moveUp" << 1 << "ba" << 0;
        QTest::newRow("move up the first") << "moveUp" << 0 << "ab" << 0;
        QTest::newRow("move down") << "moveDown" << 0 << "ba" << 1;
        QTest::newRow("move down the last") << "moveDown" << 1 << "ab" << 0;
        QTest::newRow("remove keeps the current index") << "removeAt" << 1 << "a" << 0;
        QTest::newRow("remove out of range") << "removeAt" << 2 << "ab" << 0;
    }

    void placement()
    {
        QFETCH(QString, operation);
        QFETCH(int, index);
        QFETCH(QString, names);
        QFETCH(int, current);
        Journaled list;
        list.fill(QStringLiteral("ab"));
        // Two swaps keep the order and leave index 0 current.
        list.moveUp(1);
        list.moveUp(1);
        QCOMPARE(list.current(), 0);
        auto *item = new Entry(QStringLiteral("x"));
        if (operation == QLatin1String("append"))
            QCOMPARE(list.append(item), 2);
        else if (operation == QLatin1String("prepend"))
            list.prepend(item);
        else if (operation == QLatin1String("insert"))
            list.insert(index, item);
        else {
            delete item;
            m_journal.clear();
            if (operation == QLatin1String("moveUp"))
                list.moveUp(index);
            else if (operation == QLatin1String("moveDown"))
                list.moveDown(index);
            else
                list.removeAt(index);
        }
        QCOMPARE(list.names(), names);
        QCOMPARE(list.current(), current);
    }

    void newItemsPassTheCreationHook()
    {
        Journaled list;
        list.fill(QStringLiteral("ab"));
        list.appendNew()->name = QStringLiteral("z");
        list.prependNew()->name = QStringLiteral("y");
        list.insertNew(2)->name = QStringLiteral("w");
        QCOMPARE(list.names(), QStringLiteral("yawbz"));
        QCOMPARE(list.current(), 2);
        QCOMPARE(m_journal, (QStringList{"created new", "created new", "created new"}));
    }

    void removalAndClearDeleteAfterTheHook()
    {
        Journaled list;
        list.fill(QStringLiteral("abc"));
        list.removeAt(1);
        QCOMPARE(m_journal, (QStringList{"removed b", "deleted b"}));
        m_journal.clear();
        list.clear();
        QCOMPARE(m_journal, (QStringList{"removed a", "deleted a", "removed c", "deleted c"}));
        QCOMPARE(list.count(), 0);
        QCOMPARE(list.current(), 2);
        QVERIFY(!list.at(0));
    }

    void destructionDeletesTheItems()
    {
        {
            Journaled list;
            list.fill(QStringLiteral("ab"));
        }
        QCOMPARE(m_journal, (QStringList{"removed a", "deleted a", "removed b", "deleted b"}));
    }

private:
    QStringList m_journal;
};

QTEST_APPLESS_MAIN(TestMList)
#include "tst_mlist.moc"
