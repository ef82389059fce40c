#include "mlistmodel.h"
#include "mtestfolder.h"
#include "mtestitem.h"

#include <QJsonDocument>
#include <QMimeData>
#include <QPointer>
#include <QTest>

#include <memory>

namespace {
class TestListModel : public MListModel<MTestItem>
{
public:
    TestListModel() { log = new MTestSignalLog(this); }
    ~TestListModel() override { clear(); }

    void onItemInserted(MTestItem *item) override { log->entries.append(QStringLiteral("onItemInserted ") + item->id()); }
    void onItemMoved(MTestItem *item) override { log->entries.append(QStringLiteral("onItemMoved ") + (item ? item->id() : QStringLiteral("null"))); }
    void releaseItem(MTestItem *item) override { log->entries.append(QStringLiteral("releaseItem ") + item->id()); }

    void fill(const QString &ids)
    {
        for (const QChar id : ids)
            appendItem(new MTestItem(QString(id), QString()));
        log->entries.clear();
    }
    QString ids() const
    {
        QString text;
        for (int row = 0; row < count(); ++row)
            text += at(row)->id();
        return text;
    }

    MTestSignalLog *log;
};
} // namespace

class TestMListModel : public QObject
{
    Q_OBJECT

private slots:
    void rolesAreThePropertyNames()
    {
        TestListModel model;
        const QHash<int, QByteArray> roles = model.roleNames();
        QCOMPARE(roles.size(), MTestItem::staticMetaObject.propertyCount());
        QCOMPARE(roles.value(256), QByteArray("objectName"));
        QCOMPARE(roles.value(257), QByteArray("id"));
        QCOMPARE(model.roleOfProperty("size"), 256 + MTestItem::staticMetaObject.indexOfProperty("size"));
        QCOMPARE(model.roleOfProperty("bogus"), -1);
        QCOMPARE(model.roleOfPropertyIndex(4), 260);
    }

    void dataAndSetDataByRole_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QByteArray>("property");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("written");
        QTest::newRow("size") << 1 << QByteArray("size") << QVariant(2.5) << true;
        QTest::newRow("colour from text") << 0 << QByteArray("color") << QVariant(QStringLiteral("#102030")) << true;
        QTest::newRow("object name") << 0 << QByteArray("objectName") << QVariant(QStringLiteral("named")) << true;
        QTest::newRow("value the property cannot take") << 0 << QByteArray("size") << QVariant(QStringLiteral("big")) << false;
        QTest::newRow("row past the end") << 2 << QByteArray("size") << QVariant(2.5) << false;
        QTest::newRow("role of no property") << 0 << QByteArray() << QVariant(1) << false;
    }

    void dataAndSetDataByRole()
    {
        QFETCH(int, row);
        QFETCH(QByteArray, property);
        QFETCH(QVariant, value);
        QFETCH(bool, written);
        TestListModel model;
        model.fill(QStringLiteral("ab"));
        const int role = property.isEmpty() ? Qt::UserRole + 99 : model.roleOfProperty(property);
        const QModelIndex index = model.index(row);
        const QVariant before = model.data(index, role);
        QCOMPARE(model.setData(index, value, role), written);
        if (written) {
            QVariant expected = value;
            QVERIFY(expected.convert(model.at(row)->property(property.constData()).userType()));
            QCOMPARE(model.data(index, role), expected);
            QCOMPARE(model.at(row)->property(property.constData()), expected);
        } else {
            QCOMPARE(model.data(index, role), before);
        }
        QVERIFY(!model.data(model.index(0), Qt::DisplayRole).isValid());
    }

    void insertion_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("ids");
        QTest::addColumn<int>("at");
        QTest::newRow("between") << 1 << "axb" << 1;
        QTest::newRow("beyond the end appends") << 5 << "abx" << 2;
        QTest::newRow("negative prepends") << -3 << "xab" << 0;
    }

    void insertion()
    {
        QFETCH(int, row);
        QFETCH(QString, ids);
        QFETCH(int, at);
        TestListModel model;
        model.fill(QStringLiteral("ab"));
        model.setCurrentRow(0);
        model.log->entries.clear();
        auto *item = new MTestItem(QStringLiteral("x"), QString());
        model.insertAt(row, item);
        QCOMPARE(model.ids(), ids);
        QCOMPARE(model.current(), item);
        QCOMPARE(model.previousRow(), 0);
        QCOMPARE(model.log->take(), (QStringList{QStringLiteral("rowsAboutToBeInserted %1 %1").arg(at),
                                                 QStringLiteral("rowsInserted %1 %1").arg(at),
                                                 QStringLiteral("currentRowChanged %1").arg(at), "countChanged 3",
                                                 "onItemInserted x"}));
        // The same item twice would be owned, and deleted, twice.
        model.insertAt(0, item);
        model.appendItem(nullptr);
        QCOMPARE(model.ids(), ids);
        QVERIFY(model.log->entries.isEmpty());
    }

    void newItems()
    {
        TestListModel model;
        model.fill(QStringLiteral("ab"));
        MTestItem *last = model.appendNew();
        MTestItem *first = model.prependNew();
        MTestItem *middle = model.insertNew(2);
        QCOMPARE(model.count(), 5);
        QCOMPARE(model.first(), first);
        QCOMPARE(model.last(), last);
        QCOMPARE(model.at(2), middle);
        QCOMPARE(model.current(), middle);
        QVERIFY(!middle->parent());
        QVERIFY(!model.at(5));
        QVERIFY(!model.at(-1));
    }

    void removal_data()
    {
        QTest::addColumn<QString>("rows");
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("removed");
        QTest::addColumn<bool>("take");
        QTest::addColumn<QString>("ids");
        QTest::addColumn<QStringList>("currentSignals");
        for (const bool take : {false, true}) {
            const char *how = take ? "taken" : "removed";
            QTest::addRow("%s: current last row", how)
                << "abc" << 2 << 2 << take << "ab" << QStringList{"currentRowChanged -1", "currentRowChanged 1"};
            QTest::addRow("%s: only row", how) << "a" << 0 << 0 << take << "" << QStringList{"currentRowChanged -1"};
            QTest::addRow("%s: row before the current one", how)
                << "abc" << 1 << 0 << take << "bc" << QStringList{"currentRowChanged -1", "currentRowChanged 1"};
            QTest::addRow("%s: no current row", how)
                << "abc" << -1 << 0 << take << "bc" << QStringList{"currentRowChanged -1", "currentRowChanged -1"};
        }
    }

    // A removed item is released and deleted; a taken one goes to the caller
    // untouched, with the same announcements.
    void removal()
    {
        QFETCH(QString, rows);
        QFETCH(int, current);
        QFETCH(int, removed);
        QFETCH(bool, take);
        QFETCH(QString, ids);
        QFETCH(QStringList, currentSignals);
        TestListModel model;
        model.fill(rows);
        model.setCurrentRow(current);
        model.log->entries.clear();
        const QPointer<MTestItem> item = model.at(removed);
        const QString id = item->id();
        std::unique_ptr<MTestItem> taken;
        if (take)
            taken.reset(model.takeAt(removed));
        else
            model.removeAt(removed);
        QCOMPARE(!item, !take);
        QCOMPARE(taken.get(), take ? item.data() : nullptr);
        QCOMPARE(model.ids(), ids);
        QStringList expected{QStringLiteral("rowsAboutToBeRemoved %1 %1").arg(removed)};
        if (!take)
            expected << QStringLiteral("releaseItem ") + id;
        expected << QStringLiteral("rowsRemoved %1 %1").arg(removed);
        expected += currentSignals + QStringList{QStringLiteral("countChanged %1").arg(ids.size())};
        QCOMPARE(model.log->take(), expected);
        if (taken) {
            // No longer followed by the list.
            model.log->entries.clear();
            taken->setProperty("id", QStringLiteral("z"));
            QVERIFY(model.log->entries.isEmpty());
        }
    }

    void removalOfInvalidRowsIsIgnored()
    {
        TestListModel model;
        model.fill(QStringLiteral("ab"));
        model.setCurrentRow(-1);
        model.log->entries.clear();
        model.removeAt(2);
        model.removeAt(-1);
        model.removeCurrent();
        QCOMPARE(model.takeAt(2), nullptr);
        QCOMPARE(model.takeAt(-1), nullptr);
        QCOMPARE(model.ids(), QStringLiteral("ab"));
        QVERIFY(model.log->entries.isEmpty());
        model.setCurrentRow(1);
        model.removeCurrent();
        QCOMPARE(model.ids(), QStringLiteral("a"));
    }

    void moves_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("ids");
        QTest::addColumn<QStringList>("signalLog");
        QTest::newRow("up") << "up" << 2 << "acb"
                            << QStringList{"rowsMoved 2 1", "currentRowChanged 1", "onItemMoved b"};
        QTest::newRow("down") << "down" << 0 << "bac"
                              << QStringList{"rowsMoved 1 0", "currentRowChanged 0", "onItemMoved b", "currentRowChanged 1"};
        QTest::newRow("up from the top") << "up" << 0 << "abc" << QStringList{};
        QTest::newRow("down from the bottom") << "down" << 2 << "abc" << QStringList{};
        QTest::newRow("up past the end") << "up" << 3 << "abc" << QStringList{};
        QTest::newRow("down from a negative row") << "down" << -1 << "abc" << QStringList{};
    }

    void moves()
    {
        QFETCH(QString, operation);
        QFETCH(int, row);
        QFETCH(QString, ids);
        QFETCH(QStringList, signalLog);
        TestListModel model;
        model.fill(QStringLiteral("abc"));
        model.setCurrentRow(1);
        model.log->entries.clear();
        if (operation == QLatin1String("up"))
            model.moveUp(row);
        else
            model.moveDown(row);
        QCOMPARE(model.ids(), ids);
        QCOMPARE(model.log->take(), signalLog);
    }

    void currentRowIsAnnouncedEveryTime()
    {
        TestListModel model;
        model.fill(QStringLiteral("ab"));
        model.setCurrentRow(1);
        model.log->entries.clear();
        model.setCurrentRow(1);
        model.setCurrentRow(9);
        QCOMPARE(model.log->take(), (QStringList{"currentRowChanged 1", "currentRowChanged -1"}));
        QCOMPARE(model.previousRow(), 1);
        QVERIFY(!model.current());
    }

    void propertyChangeAnnouncesExactlyItsRole_data()
    {
        QTest::addColumn<QByteArray>("property");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("size") << QByteArray("size") << QVariant(4.0);
        QTest::newRow("colour") << QByteArray("color") << QVariant(QColor(Qt::red));
        QTest::newRow("object name") << QByteArray("objectName") << QVariant(QStringLiteral("named"));
        QTest::newRow("no notify signal") << QByteArray("note") << QVariant(QStringLiteral("quiet"));
    }

    void propertyChangeAnnouncesExactlyItsRole()
    {
        QFETCH(QByteArray, property);
        QFETCH(QVariant, value);
        TestListModel model;
        model.fill(QStringLiteral("abc"));
        model.at(1)->setProperty(property.constData(), value);
        const bool notified = property != "note";
        QCOMPARE(model.log->take(), notified ? QStringList{QStringLiteral("dataChanged 1 0 [%1]").arg(model.roleOfProperty(property))}
                                             : QStringList{});
    }

    void disconnectedItemsAreNotFollowed()
    {
        TestListModel model;
        model.fill(QStringLiteral("ab"));
        model.disconnectAll();
        model.at(0)->setSize(7);
        QVERIFY(model.log->entries.isEmpty());
        model.connectAll();
        model.connectAll();
        model.at(0)->setSize(8);
        QCOMPARE(model.log->take().size(), 1);
    }

    void clearReleasesEveryItem()
    {
        TestListModel model;
        model.fill(QStringLiteral("ab"));
        model.setCurrentRow(0);
        model.log->entries.clear();
        const QPointer<MTestItem> item = model.at(1);
        model.clear();
        QVERIFY(!item);
        QCOMPARE(model.log->take(), (QStringList{"rowsAboutToBeRemoved 0 1", "releaseItem a", "releaseItem b", "rowsRemoved 0 1",
                                                 "currentRowChanged -1", "countChanged 0"}));
        QVERIFY(model.isEmpty());
    }

    void dragCarriesTheFirstRow()
    {
        TestListModel model;
        model.fill(QStringLiteral("abcd"));
        QVERIFY(!model.mimeData({}));
        QScopedPointer<QMimeData> mime(model.mimeData({model.index(3), model.index(1)}));
        QCOMPARE(mime->data(model.mimeType()), QByteArray::fromHex("00000003"));
        QCOMPARE(model.mimeTypes(), QStringList{QStringLiteral("application/vnd.vantorel")});
        QCOMPARE(int(model.flags(model.index(0))), 63);
        QCOMPARE(int(model.flags(QModelIndex())), 32);
    }

    void jsonRoundTrip()
    {
        MTestFolder folder;
        const QString path = folder.filePath(QStringLiteral("list.json"));
        TestListModel source;
        source.fill(QStringLiteral("ab"));
        source.at(0)->setPosition(QVector3D(1, -2.5, 3));
        source.at(0)->setColor(QColor(10, 20, 30));
        source.at(1)->setSize(0.125);
        source.at(1)->setLevel(7);
        source.at(1)->setNote(QStringLiteral("n"));
        source.at(1)->setObjectName(QStringLiteral("not stored"));
        QVERIFY(source.saveToFile(path));
        const QJsonDocument saved = QJsonDocument::fromJson(folder.readFile(QStringLiteral("list.json")));
        QVERIFY(saved.isArray());
        QCOMPARE(saved.array().at(0).toObject().value(QStringLiteral("position")).toString(), QStringLiteral("1;-2.5;3"));

        TestListModel target;
        target.fill(QStringLiteral("xyz"));
        QVERIFY(target.loadFromFile(path));
        QCOMPARE(target.ids(), QStringLiteral("ab"));
        QCOMPARE(target.currentRow(), 0);
        const QStringList log = target.log->take();
        QVERIFY(log.contains(QStringLiteral("onItemInserted a")) && log.contains(QStringLiteral("onItemInserted b")));
        QCOMPARE(log.mid(log.size() - 2), (QStringList{"currentRowChanged 0", "countChanged 2"}));
        for (int row = 0; row < 2; ++row) {
            for (const char *name : {"id", "description", "size", "level", "position", "color", "note"})
                QCOMPARE(target.at(row)->property(name), source.at(row)->property(name));
        }
        QVERIFY(target.at(1)->objectName().isEmpty());
        // Loaded items are followed like inserted ones.
        target.at(1)->setSize(3);
        QCOMPARE(target.log->take().size(), 1);
    }

    void unusableFilesLeaveTheListUnchanged_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("empty array") << QByteArray("[]");
        QTest::newRow("object") << QByteArray("{\"id\": \"q\"}");
        QTest::newRow("truncated") << QByteArray("[{\"id\": ");
    }

    void unusableFilesLeaveTheListUnchanged()
    {
        QFETCH(QByteArray, content);
        MTestFolder folder;
        TestListModel model;
        model.fill(QStringLiteral("ab"));
        QVERIFY(!model.loadFromFile(folder.writeFile(QStringLiteral("list.json"), content)));
        QVERIFY(!model.loadFromFile(folder.filePath(QStringLiteral("missing.json"))));
        QCOMPARE(model.ids(), QStringLiteral("ab"));
        QVERIFY(!model.saveToFile(folder.filePath(QStringLiteral("no/such/folder/list.json"))));
    }
};

QTEST_GUILESS_MAIN(TestMListModel)
#include "tst_mlistmodel.moc"
