#include "mfield.h"
#include "mtablemodel.h"
#include "mtestfolder.h"
#include "mtestitem.h"

#include <QDataStream>
#include <QHeaderView>
#include <QIcon>
#include <QJsonDocument>
#include <QMimeData>
#include <QPointer>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

namespace {
class IdItem : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString id MEMBER m_id)
    Q_PROPERTY(QString description MEMBER m_description)
    QString m_id;
    QString m_description;
};

class IdModel : public MTableModel
{
public:
    IdModel() { setMetaObject(IdItem::staticMetaObject); }
    QObject *createItem() override { return new IdItem; }
};

class TestModel : public MTableModel
{
public:
    TestModel()
    {
        setMetaObject(MTestItem::staticMetaObject);
        log = new MTestSignalLog(this);
    }
    QObject *createItem() override { return new MTestItem; }
    void itemAdded(QObject *item) override { log->entries.append(QStringLiteral("itemAdded ") + idOf(item)); }
    void itemRemoved(QObject *item) override { log->entries.append(QStringLiteral("itemRemoved ") + idOf(item)); }
    static QString idOf(QObject *item) { return item ? item->property("id").toString() : QStringLiteral("null"); }

    // Rows named by the letters of ids: "abc" gives rows with ids a, b and c.
    void fill(const QString &ids)
    {
        for (const QChar id : ids)
            append(new MTestItem(QString(id), QString()));
        log->entries.clear();
    }
    QString ids() const
    {
        QString text;
        for (int row = 0; row < count(); ++row)
            text += idOf(item(row));
        return text;
    }
    MTestItem *at(int row) const { return qobject_cast<MTestItem *>(item(row)); }
    QModelIndex anyIndex(int row, int column) const { return createIndex(row, column); }

    MTestSignalLog *log;
};
} // namespace

class TestMTableModel : public QObject
{
    Q_OBJECT

private slots:
    void columnsFollowTheItemClass()
    {
        IdModel model;
        QCOMPARE(model.columnCount(), 3);
        const QHash<int, QByteArray> roles = model.roleNames();
        QCOMPARE(roles.size(), 3);
        QCOMPARE(roles.value(256), QByteArray("objectName"));
        QCOMPARE(roles.value(257), QByteArray("id"));
        QCOMPARE(roles.value(258), QByteArray("description"));
        QCOMPARE(model.column(2)->name(), QByteArray("description"));
        QCOMPARE(model.column(2)->index(), 2);
        QCOMPARE(model.column(2)->type(), int(QMetaType::QString));
        QCOMPARE(model.column("id")->label(), QStringLiteral("id"));
        QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("id"));
        QVERIFY(!model.headerData(1, Qt::Vertical).isValid());
        QVERIFY(!model.headerData(3, Qt::Horizontal).isValid());
        QVERIFY(!model.headerData(1, Qt::Horizontal, Qt::ToolTipRole).isValid());

        // A second item class replaces the columns.
        model.setMetaObject(MTestItem::staticMetaObject);
        QCOMPARE(model.columnCount(), 8);
        QVERIFY(!model.column("bogus"));
        QCOMPARE(model.column("color")->type(), int(QMetaType::QColor));
    }

    void dataGoesThroughTheColumnDescriptor()
    {
        TestModel model;
        auto *item = new MTestItem(QStringLiteral("a"), QStringLiteral("first"));
        item->setColor(Qt::red);
        item->setPosition(QVector3D(1, 2.5, 3));
        model.append(item);
        const int color = model.column("color")->index();
        const int position = model.column("position")->index();
        QCOMPARE(model.data(model.index(0, color)).toString(), QStringLiteral("#FF0000"));
        QCOMPARE(model.data(model.index(0, position)).toString(), QStringLiteral("[1, 2.5, 3]"));
        QCOMPARE(model.data(model.index(0, position), Qt::EditRole), QVariant(QVector3D(1, 2.5, 3)));
        QCOMPARE(model.data(model.index(0, color), Qt::DecorationRole).userType(), int(QMetaType::QIcon));
        QVERIFY(!model.data(QModelIndex()).isValid());
        QVERIFY(!model.data(model.index(0, 99)).isValid());
    }

    void rowsOutOfRangeUseTheDefaultItem()
    {
        TestModel model;
        model.fill(QStringLiteral("ab"));
        QVERIFY(!model.item(5));
        QVERIFY(!model.findById(QStringLiteral("zz")));
        MTestItem fallback(QStringLiteral("default"), QString());
        model.setDefaultItem(&fallback);
        QCOMPARE(model.item(5), &fallback);
        QCOMPARE(model.item(-1), &fallback);
        QCOMPARE(model.findById(QStringLiteral("zz")), &fallback);
        model.setCurrentRow(-1);
        QCOMPARE(model.currentItem(), &fallback);
        QCOMPARE(model.item(1)->property("id").toString(), QStringLiteral("b"));
    }

    void insertionSignalsInOrder_data()
    {
        QTest::addColumn<QString>("rows");
        QTest::addColumn<QString>("operation");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("ids");
        QTest::addColumn<QStringList>("signalLog");
        QTest::newRow("append to empty") << "" << "append" << 0 << "x"
                                         << QStringList{"rowsAboutToBeInserted 0 0", "rowsInserted 0 0", "currentRowChanged 0",
                                                        "itemAdded x", "countChanged 1"};
        QTest::newRow("append") << "ab" << "append" << 0 << "abx"
                                << QStringList{"rowsAboutToBeInserted 2 2", "rowsInserted 2 2", "currentRowChanged 2",
                                               "itemAdded x", "countChanged 3"};
        QTest::newRow("insert between") << "ab" << "insert" << 1 << "axb"
                                        << QStringList{"rowsAboutToBeInserted 1 1", "rowsInserted 1 1", "currentRowChanged 1",
                                                       "itemAdded x", "countChanged 3"};
        QTest::newRow("insert past the end appends") << "ab" << "insert" << 9 << "abx"
                                                     << QStringList{"rowsAboutToBeInserted 2 2", "rowsInserted 2 2",
                                                                    "currentRowChanged 2", "itemAdded x", "countChanged 3"};
        QTest::newRow("insert before the start prepends") << "ab" << "insert" << -4 << "xab"
                                                          << QStringList{"rowsAboutToBeInserted 0 0", "rowsInserted 0 0",
                                                                         "currentRowChanged 0", "itemAdded x", "countChanged 3"};
        QTest::newRow("prepend") << "ab" << "prepend" << 0 << "xab"
                                 << QStringList{"rowsAboutToBeInserted 0 0", "rowsInserted 0 0", "currentRowChanged 0",
                                                "itemAdded x", "countChanged 3"};
        QTest::newRow("add item is silent") << "ab" << "addItem" << 0 << "abx" << QStringList{"itemAdded x"};
    }

    void insertionSignalsInOrder()
    {
        QFETCH(QString, rows);
        QFETCH(QString, operation);
        QFETCH(int, row);
        QFETCH(QString, ids);
        QFETCH(QStringList, signalLog);
        TestModel model;
        model.fill(rows);
        model.setCurrentRow(0);
        model.log->entries.clear();
        const int previous = model.currentRow();
        auto *item = new MTestItem(QStringLiteral("x"), QString());
        if (operation == QLatin1String("append"))
            model.append(item);
        else if (operation == QLatin1String("insert"))
            model.insert(row, item);
        else if (operation == QLatin1String("prepend"))
            model.prepend(item);
        else
            model.addItem(item);
        QCOMPARE(model.log->take(), signalLog);
        QCOMPARE(model.ids(), ids);
        QCOMPARE(model.findById(QStringLiteral("X")), item);
        if (operation != QLatin1String("addItem")) {
            QCOMPARE(model.currentItem(), item);
            QCOMPARE(model.previousRow(), previous);
        }
    }

    void removalMovesTheCurrentRow_data()
    {
        QTest::addColumn<QString>("rows");
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("removed");
        QTest::addColumn<QString>("ids");
        QTest::addColumn<int>("newCurrent");
        QTest::newRow("last row while current") << "abc" << 2 << 2 << "ab" << 1;
        QTest::newRow("only row") << "a" << 0 << 0 << "" << -1;
        QTest::newRow("row before the current one") << "abc" << 2 << 0 << "bc" << 1;
        QTest::newRow("row after the current one") << "abc" << 0 << 1 << "ac" << 0;
        QTest::newRow("no current row") << "abc" << -1 << 1 << "ac" << -1;
    }

    void removalMovesTheCurrentRow()
    {
        QFETCH(QString, rows);
        QFETCH(int, current);
        QFETCH(int, removed);
        QFETCH(QString, ids);
        QFETCH(int, newCurrent);
        TestModel model;
        model.fill(rows);
        model.setCurrentRow(current);
        model.log->entries.clear();
        const QPointer<QObject> item = model.item(removed);
        const QString id = TestModel::idOf(item);
        model.removeAt(removed);
        QCOMPARE(model.log->take(),
                 (QStringList{QStringLiteral("rowsAboutToBeRemoved %1 %1").arg(removed), QStringLiteral("itemRemoved ") + id,
                              QStringLiteral("rowsRemoved %1 %1").arg(removed),
                              QStringLiteral("currentRowChanged %1").arg(newCurrent),
                              QStringLiteral("countChanged %1").arg(ids.size())}));
        QCOMPARE(model.ids(), ids);
        QCOMPARE(model.currentRow(), newCurrent);
        QCOMPARE(model.previousRow(), current);
        // The item outlives the call and is deleted by the event loop.
        QVERIFY(item);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!item);
    }

    void removalOfAnInvalidRowChangesNothing()
    {
        TestModel model;
        model.fill(QStringLiteral("ab"));
        model.removeAt(2);
        model.removeAt(-1);
        QVERIFY(model.log->entries.isEmpty());
        QCOMPARE(model.ids(), QStringLiteral("ab"));
    }

    void clearDeletesAtOnce()
    {
        TestModel model;
        model.fill(QStringLiteral("abc"));
        model.setCurrentRow(1);
        model.log->entries.clear();
        const QPointer<QObject> item = model.item(0);
        model.clear();
        QVERIFY(!item);
        QCOMPARE(model.log->take(), (QStringList{"rowsAboutToBeRemoved 0 2", "rowsRemoved 0 2", "currentRowChanged -1",
                                                 "countChanged 0"}));
        QCOMPARE(model.previousRow(), 1);
        QVERIFY(!model.findById(QStringLiteral("a")));
    }

    void setCurrentRow_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("current");
        QTest::newRow("valid") << 1 << 1;
        QTest::newRow("same row again") << 0 << 0;
        QTest::newRow("past the end") << 7 << -1;
        QTest::newRow("negative") << -5 << -1;
    }

    void setCurrentRow()
    {
        QFETCH(int, row);
        QFETCH(int, current);
        TestModel model;
        model.fill(QStringLiteral("abc"));
        model.setCurrentRow(0);
        model.log->entries.clear();
        model.setCurrentRow(row);
        QCOMPARE(model.log->take(), QStringList{QStringLiteral("currentRowChanged %1").arg(current)});
        QCOMPARE(model.currentRow(), current);
        QCOMPARE(model.property("currentRow").toInt(), current);
        QCOMPARE(model.previousRow(), 0);
    }

    void idIndexKeepsEveryHeldItemFindable_data()
    {
        QTest::addColumn<int>("removed");
        QTest::addColumn<int>("found");
        QTest::newRow("removing the second keeps the first") << 1 << 0;
        QTest::newRow("removing the first hands the id to the second") << 0 << 0;
        QTest::newRow("removing an item of another id") << 2 << 0;
    }

    void idIndexKeepsEveryHeldItemFindable()
    {
        QFETCH(int, removed);
        QFETCH(int, found);
        TestModel model;
        model.append(new MTestItem(QStringLiteral("abc"), QStringLiteral("first")));
        model.append(new MTestItem(QStringLiteral("  ABC "), QStringLiteral("second")));
        model.append(new MTestItem(QStringLiteral("other"), QStringLiteral("third")));
        QCOMPARE(model.findById(QStringLiteral("abc")), model.item(0));
        QCOMPARE(model.findById(QStringLiteral(" Other")), model.item(2));
        model.removeAt(removed);
        QCOMPARE(model.findById(QStringLiteral("abc")), model.item(found));
        // With both gone, the id is unknown.
        model.removeAt(0);
        if (removed == 2)
            QCOMPARE(model.findById(QStringLiteral("abc")), model.item(0));
        else
            QVERIFY(!model.findById(QStringLiteral("abc")));
    }

    void idIndexFollowsAChangedId()
    {
        TestModel model;
        model.fill(QStringLiteral("ab"));
        MTestItem *item = model.at(0);
        item->setId(QStringLiteral("renamed"));
        QCOMPARE(model.findById(QStringLiteral("RENAMED")), item);
        QVERIFY(!model.findById(QStringLiteral("a")));
        // Once removed and deleted, neither id may lead to it.
        model.removeAt(0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!model.findById(QStringLiteral("renamed")));
        QVERIFY(!model.findById(QStringLiteral("a")));
        QCOMPARE(model.findById(QStringLiteral("b")), model.item(0));
    }

    void itemChangesAreAnnounced()
    {
        TestModel model;
        model.fill(QStringLiteral("ab"));
        QSignalSpy changed(&model, &MTableModel::propertyChanged);
        model.at(1)->setSize(3.5);
        const int size = model.column("size")->index();
        QCOMPARE(model.log->take(), QStringList{QStringLiteral("dataChanged 1 %1 []").arg(size)});
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toInt(), 1);
        QCOMPARE(changed.at(0).at(1).value<QObject *>(), model.item(1));
        QCOMPARE(changed.at(0).at(2).toByteArray(), QByteArray("size"));
        QCOMPARE(changed.at(0).at(3), QVariant(3.5));

        // No notify signal, nothing to follow; a removed item is no longer followed.
        model.at(1)->setNote(QStringLiteral("quiet"));
        MTestItem *removed = model.at(0);
        model.removeAt(0);
        model.log->entries.clear();
        removed->setSize(9);
        QVERIFY(model.log->entries.isEmpty());
        QCOMPARE(changed.count(), 1);
    }

    void setDataWritesThroughTheEditRole_data()
    {
        QTest::addColumn<QByteArray>("property");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("role");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("written");
        QTest::newRow("size") << QByteArray("size") << 0 << int(Qt::EditRole) << QVariant(4.0) << true;
        QTest::newRow("property without notify") << QByteArray("note") << 0 << int(Qt::EditRole) << QVariant(QStringLiteral("n")) << true;
        QTest::newRow("display role refused") << QByteArray("size") << 0 << int(Qt::DisplayRole) << QVariant(4.0) << false;
        QTest::newRow("row past the end") << QByteArray("size") << 2 << int(Qt::EditRole) << QVariant(4.0) << false;
        QTest::newRow("value the property cannot take") << QByteArray("size") << 0 << int(Qt::EditRole)
                                                        << QVariant(QStringLiteral("large")) << false;
    }

    void setDataWritesThroughTheEditRole()
    {
        QFETCH(QByteArray, property);
        QFETCH(int, row);
        QFETCH(int, role);
        QFETCH(QVariant, value);
        QFETCH(bool, written);
        TestModel model;
        model.fill(QStringLiteral("ab"));
        MTestItem fallback;
        model.setDefaultItem(&fallback);
        const QVariant before = model.item(0)->property(property.constData());
        QSignalSpy changed(&model, &MTableModel::propertyChanged);
        const int column = model.column(property)->index();
        QCOMPARE(model.setData(model.anyIndex(row, column), value, role), written);
        QCOMPARE(model.item(0)->property(property.constData()), written ? value : before);
        QCOMPARE(fallback.property(property.constData()), MTestItem().property(property.constData()));
        QCOMPARE(changed.count(), written ? (property == "note" ? 1 : 2) : 0);
        if (written) {
            QCOMPARE(changed.first().at(2).toByteArray(), property);
            QCOMPARE(changed.first().at(3), value);
        }
    }

    void flagsAndDragData()
    {
        TestModel model;
        model.fill(QStringLiteral("abcde"));
        QCOMPARE(int(model.flags(model.index(0, 0))), 63);
        QCOMPARE(int(model.flags(QModelIndex())), 32);
        QCOMPARE(model.mimeTypes(), QStringList{QStringLiteral("application/vnd.vantorel")});
        QVERIFY(!model.mimeData({}));
        QScopedPointer<QMimeData> mime(model.mimeData({model.index(4, 1), model.index(2, 1)}));
        QVERIFY(mime);
        QCOMPARE(mime->formats(), QStringList{QStringLiteral("application/vnd.vantorel")});
        QCOMPARE(mime->data(QStringLiteral("application/vnd.vantorel")), QByteArray::fromHex("00000004"));

        model.setMimeType(QStringLiteral("application/x-test"));
        mime.reset(model.mimeData({model.index(1, 0)}));
        QCOMPARE(mime->data(QStringLiteral("application/x-test")), QByteArray::fromHex("00000001"));
    }

    void loadJson_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("loaded");
        QTest::addColumn<QString>("ids");
        QTest::addColumn<int>("count");
        QTest::newRow("object, not an array") << QByteArray("{\"id\": \"x\"}") << false << "ab" << 2;
        QTest::newRow("empty array") << QByteArray("[]") << false << "ab" << 2;
        QTest::newRow("malformed") << QByteArray("[{\"id\": \"x\"}") << false << "ab" << 2;
        QTest::newRow("not JSON") << QByteArray("\x89PNG\r\n") << false << "ab" << 2;
        QTest::newRow("two rows") << QByteArray("[{\"id\": \"x\"}, {\"id\": \"y\", \"unknown\": 5}]") << true << "xy" << 2;
        QTest::newRow("non-object element gives a default row") << QByteArray("[7, {\"id\": \"y\"}, {\"id\": \"z\"}]") << true
                                                                << "yz" << 3;
    }

    void loadJson()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, loaded);
        QFETCH(QString, ids);
        QFETCH(int, count);
        MTestFolder folder;
        TestModel model;
        model.fill(QStringLiteral("ab"));
        model.setCurrentRow(1);
        model.log->entries.clear();
        QCOMPARE(model.loadJson(folder.writeFile(QStringLiteral("rows.json"), content)), loaded);
        if (!loaded) {
            QVERIFY(model.log->entries.isEmpty());
            QCOMPARE(model.currentRow(), 1);
        } else {
            QCOMPARE(model.currentRow(), 0);
            QCOMPARE(model.log->entries.mid(model.log->entries.size() - 2),
                     (QStringList{"currentRowChanged 0", QStringLiteral("countChanged %1").arg(model.count())}));
            QCOMPARE(model.findById(ids.right(1).toUpper()), model.item(model.count() - 1));
        }
        QCOMPARE(model.ids(), ids);
        QCOMPARE(model.count(), count);
    }

    void loadJsonOfAMissingFileFails()
    {
        TestModel model;
        model.fill(QStringLiteral("a"));
        QVERIFY(!model.loadJson(QStringLiteral("/nonexistent/rows.json")));
        QCOMPARE(model.ids(), QStringLiteral("a"));
    }

    void loadJsonSetsOnlyDeclaredProperties()
    {
        MTestFolder folder;
        TestModel model;
        const QString path = folder.writeFile(QStringLiteral("rows.json"), 
            "[{\"id\": \"full\", \"size\": 2.5, \"level\": 3.0, \"position\": \"1;2;3\", \"color\": \"#ff0000\","
            "  \"note\": \"kept\", \"unknown\": true},"
            " {\"id\": \"short vector\", \"position\": \"1;2\", \"size\": \"big\", \"level\": \"many\"}]");
        QVERIFY(model.loadJson(path));
        QCOMPARE(model.count(), 2);
        const MTestItem *full = model.at(0);
        QCOMPARE(full->size(), 2.5);
        QCOMPARE(full->level(), 3);
        QCOMPARE(full->position(), QVector3D(1, 2, 3));
        QCOMPARE(full->color(), QColor(Qt::red));
        QCOMPARE(full->note(), QStringLiteral("kept"));
        QVERIFY(!full->property("unknown").isValid());
        const MTestItem *other = model.at(1);
        QCOMPARE(other->position(), QVector3D());
        // Values the properties cannot take leave the defaults.
        QCOMPARE(other->size(), 1.0);
        QCOMPARE(other->level(), 0);
    }

    void objectJsonRoundTrip()
    {
        MTestItem item(QStringLiteral("{ID}"), QStringLiteral("text"));
        item.setObjectName(QStringLiteral("not stored"));
        item.setSize(0.25);
        item.setLevel(-4);
        item.setPosition(QVector3D(1.5, -2, 3));
        item.setColor(QColor(1, 2, 3));
        item.setNote(QStringLiteral("n"));
        QJsonObject json{{"stale", 1}};
        objectToJson(json, &item);
        QCOMPARE(json.keys(), (QStringList{"color", "description", "id", "level", "note", "position", "size"}));
        QCOMPARE(json.value(QStringLiteral("position")).toString(), QStringLiteral("1.5;-2;3"));
        QCOMPARE(json.value(QStringLiteral("color")).toString(), QStringLiteral("#010203"));
        QCOMPARE(json.value(QStringLiteral("level")).toInt(), -4);

        MTestItem copy;
        jsonToObject(json, &copy);
        QVERIFY(copy.objectName().isEmpty());
        for (const char *name : {"id", "description", "size", "level", "position", "color", "note"})
            QCOMPARE(copy.property(name), item.property(name));
    }

    void vectorText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QVector3D>("vector");
        QTest::newRow("three parts") << "1;2.5;-3" << QVector3D(1, 2.5, -3);
        QTest::newRow("two parts") << "1;2" << QVector3D();
        QTest::newRow("four parts") << "1;2;3;4" << QVector3D();
        QTest::newRow("empty part counts 0") << "1;;3" << QVector3D(1, 0, 3);
        QTest::newRow("not a number counts 0") << "a;2;3" << QVector3D(0, 2, 3);
        QTest::newRow("empty text") << "" << QVector3D();
    }

    void vectorText()
    {
        QFETCH(QString, text);
        QFETCH(QVector3D, vector);
        QCOMPARE(stringToVector3D(text), vector);
    }

    void vectorHelpers()
    {
        QCOMPARE(vector3DToString(QVector3D(0.1f, 1234567.0f, -2)), QStringLiteral("0.1;1.23457e+06;-2"));
        QCOMPARE(variantToVector3D(QVector3D(1, 2, 3)), QVector3D(1, 2, 3));
        QCOMPARE(variantToVector3D(QVariant()), QVector3D());
        QCOMPARE(variantToVector3D(QStringLiteral("1;2;3")), QVector3D());
    }

    void setupViewShowsTheListedColumnsInOrder()
    {
        TestModel model;
        model.fill(QStringLiteral("ab"));
        QTableView view;
        view.setModel(&model);
        model.setupView(&view, {"size", "bogus", "id"});
        const int id = model.column("id")->index();
        const int size = model.column("size")->index();
        for (int column = 0; column < model.columnCount(); ++column)
            QCOMPARE(view.isColumnHidden(column), column != id && column != size);
        QCOMPARE(view.horizontalHeader()->logicalIndex(0), size);
        QCOMPARE(view.horizontalHeader()->logicalIndex(1), id);
        QCOMPARE(view.selectionBehavior(), QAbstractItemView::SelectRows);
        QCOMPARE(view.selectionMode(), QAbstractItemView::SingleSelection);
        QCOMPARE(view.editTriggers(), QAbstractItemView::NoEditTriggers);
        QVERIFY(view.horizontalHeader()->sectionsMovable());

        model.setColumnWidth(&view, "id", 123);
        QCOMPARE(view.columnWidth(id), 123);
        MTableModel::setRowHeight(&view, 40);
        QCOMPARE(view.verticalHeader()->defaultSectionSize(), 40);
        QCOMPARE(view.verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);

        model.setupView(nullptr, {"id"});
        MTableModel::setRowHeight(nullptr, 10);
    }
};

QTEST_MAIN(TestMTableModel)
#include "tst_mtablemodel.moc"
