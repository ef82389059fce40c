#include "mparamlist.h"
#include "mfolders.h"
#include "mtestfolder.h"
#include "mtestlogwatch.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QSortFilterProxyModel>
#include <QTest>

namespace {
class LibraryItem : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString id MEMBER m_id)
    Q_PROPERTY(QString group MEMBER m_group)
    Q_PROPERTY(QString description MEMBER m_description)
public:
    explicit LibraryItem(const QString &id = QString(), const QString &group = QString(),
                         const QString &description = QString())
        : m_id(id), m_group(group), m_description(description)
    {
    }
    QString m_id;
    QString m_group;
    QString m_description;
};

// A library of JSON item files "<name>.kxb" in root/system and root/user.
class TestLibrary : public MParamList
{
public:
    explicit TestLibrary(const MTestFolder &root, int mode = IndexOrder)
        : MParamList(MFolders::BrushDir, QStringLiteral("kxb"), root.filePath(QStringLiteral("system")),
                     root.filePath(QStringLiteral("user")))
        , fallback(QStringLiteral("DEFAULT"), QString(), QStringLiteral("default"))
    {
        setMetaObject(LibraryItem::staticMetaObject);
        setDefaultItem(&fallback);
        setOrderMode(mode);
        load();
    }
    QObject *createItem() override { return new LibraryItem; }
    bool readItem(QObject *item, const QString &path) override
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return false;
        const QJsonDocument document = QJsonDocument::fromJson(file.readAll());
        if (!document.isObject())
            return false;
        jsonToObject(document.object(), item);
        return true;
    }
    void loadItems(const QStringList &order, const Files &files) override
    {
        setRows(readItems(order, files, QStringLiteral("Unable to load item ")));
    }

    QString descriptions() const { return values("description"); }
    QString ids() const { return values("id"); }
    QString values(const char *name) const
    {
        QStringList list;
        for (int row = 0; row < count(); ++row)
            list.append(item(row)->property(name).toString());
        return list.join(QLatin1Char(','));
    }
    int rowOf(const QString &id) const { return indexOf(findById(id)); }

    LibraryItem fallback;
};

QByteArray itemJson(const QVariantMap &members)
{
    return QJsonDocument(QJsonObject::fromVariantMap(members)).toJson();
}

// Each entry is "name=description": the file "name.kxb" (or "name" when it has
// an extension) holding that description and no id; "!" as description makes
// the file unreadable as an item.
void writeItems(const MTestFolder &root, const QString &folder, const QStringList &entries)
{
    QDir().mkpath(root.filePath(folder));
    for (const QString &entry : entries) {
        const QString name = entry.section(QLatin1Char('='), 0, 0);
        const QString description = entry.section(QLatin1Char('='), 1);
        const QString file = folder + QLatin1Char('/') + name + (name.contains(QLatin1Char('.')) ? QString() : QStringLiteral(".kxb"));
        root.writeFile(file, description == QLatin1String("!") ? QByteArray("{ not json")
                                                                 : itemJson({{QStringLiteral("description"), description}}));
    }
}

// The ids a proxy over the library shows, row by row.
QString shownIds(const QAbstractItemModel &view)
{
    QStringList ids;
    for (int row = 0; row < view.rowCount(); ++row)
        ids.append(view.index(row, 1).data().toString());
    return ids.join(QLatin1Char(','));
}

const QString kUuid = QStringLiteral("{6F9619FF-8B86-D011-B42D-00C04FC964FF}");
} // namespace

class TestMParamList : public QObject
{
    Q_OBJECT

private slots:
    void loadsInTheOrderOfTheOrderFiles_data()
    {
        QTest::addColumn<QStringList>("system");
        QTest::addColumn<QStringList>("user");
        QTest::addColumn<QString>("systemIndex"); // null: no order file
        QTest::addColumn<QString>("userIndex");
        QTest::addColumn<QString>("rows");
        QTest::addColumn<QString>("order");
        QTest::addColumn<int>("failures");

        const QStringList abc{"a=sys a", "b=sys b", "c=sys c"};
        QTest::newRow("no order file: user files, then system files") << QStringList{"b=sys b", "c=sys c", "notes.txt=x"}
                                                                       << QStringList{"d=user d", "a=user a"} << QString()
                                                                       << QString() << "user a,user d,sys b,sys c"
                                                                       << "A,D,B,C" << 0;
        QTest::newRow("user file hides the system file in any case") << QStringList{"ABC=system"} << QStringList{"Abc=user"}
                                                                     << QString() << QString() << "user" << "ABC" << 0;
        QTest::newRow("user order names the items") << abc << QStringList() << QString() << "b\na\n" << "sys b,sys a"
                                                    << "b,a" << 0;
        QTest::newRow("comments, blank lines and case") << abc << QStringList() << QString()
                                                        << "  b   # brushes/soft\n\n# a comment only\n   \nA\n"
                                                        << "sys b,sys a" << "b,A" << 0;
        QTest::newRow("system order when the user's names nothing") << abc << QStringList() << "c\nb\n"
                                                                    << "# nothing\n\n" << "sys c,sys b" << "c,b" << 0;
        QTest::newRow("user order before the system order") << abc << QStringList{"a=user a"} << "c\nb\n" << "a\nc\n"
                                                            << "user a,sys c" << "a,c" << 0;
        QTest::newRow("ids without a file are skipped") << abc << QStringList() << QString() << "x\nc\n../c\n" << "sys c"
                                                        << "x,c,../c" << 0;
        QTest::newRow("an id listed twice loads once") << abc << QStringList() << QString() << "a\nb\nA\n" << "sys a,sys b"
                                                       << "a,b,A" << 0;
        QTest::newRow("an unreadable file is left out") << QStringList{"a=sys a", "b=!", "c=sys c"} << QStringList()
                                                        << QString() << QString() << "sys a,sys c" << "A,B,C" << 1;
        QTest::newRow("empty folders") << QStringList() << QStringList() << QString() << QString() << "" << "" << 0;
    }

    void loadsInTheOrderOfTheOrderFiles()
    {
        QFETCH(QStringList, system);
        QFETCH(QStringList, user);
        QFETCH(QString, systemIndex);
        QFETCH(QString, userIndex);
        QFETCH(QString, rows);
        QFETCH(QString, order);
        QFETCH(int, failures);
        MTestFolder root;
        writeItems(root, QStringLiteral("system"), system);
        writeItems(root, QStringLiteral("user"), user);
        if (!systemIndex.isNull())
            root.writeFile(QStringLiteral("system/index.kxl"), systemIndex.toUtf8());
        if (!userIndex.isNull())
            root.writeFile(QStringLiteral("user/index.kxl"), userIndex.toUtf8());
        const MTestLogWatch log;
        const QByteArray userIndexBefore = root.readFile(QStringLiteral("user/index.kxl"));

        TestLibrary library(root);
        QCOMPARE(library.descriptions(), rows);
        QCOMPARE(library.order().join(QLatin1Char(',')), order);
        QCOMPARE(library.currentRow(), rows.isEmpty() ? -1 : 0);
        QCOMPARE(log.count(QStringLiteral("System error: Unable to load item ") + root.path()), failures);
        const int systemFiles = system.size() - system.filter(QStringLiteral(".txt=")).size();
        QCOMPARE(log.count(QStringLiteral("Directory: brushes, users: %1, system: %2.").arg(user.size()).arg(systemFiles)), 1);
        // Loading never writes the order file.
        QCOMPARE(root.readFile(QStringLiteral("user/index.kxl")), userIndexBefore);
        // Every row can be found by its id, and only rows can.
        for (int row = 0; row < library.count(); ++row)
            QCOMPARE(library.rowOf(library.item(row)->property("id").toString()), row);
    }

    void itemsRememberTheirFiles()
    {
        MTestFolder root;
        writeItems(root, QStringLiteral("system"), {"Mixed=system", "plain=system plain"});
        writeItems(root, QStringLiteral("user"), {"MiXeD=user"});
        TestLibrary library(root);
        QObject *mixed = library.findById(QStringLiteral("mixed"));
        QObject *plain = library.findById(QStringLiteral("PLAIN"));
        QCOMPARE(MParamList::itemFile(mixed).path, root.filePath(QStringLiteral("user/MiXeD.kxb")));
        QCOMPARE(MParamList::itemFile(mixed).location, int(MFolders::UserPath));
        QCOMPARE(MParamList::itemFile(plain).location, int(MFolders::SystemPath));
        QCOMPARE(library.userFilePath(mixed), root.filePath(QStringLiteral("user/MiXeD.kxb")));
        QCOMPARE(library.systemFilePath(QStringLiteral("mixed")), root.filePath(QStringLiteral("system/Mixed.kxb")));
        // A file not yet written goes under the lower-cased id.
        QCOMPARE(library.userFilePath(plain), root.filePath(QStringLiteral("user/plain.kxb")));
        QVERIFY(!MParamList::itemFile(&library.fallback).isValid());
        QVERIFY(library.isSystemId(QStringLiteral("MIXED")));
        QVERIFY(library.isSystemId(QStringLiteral("plain")));
        QVERIFY(!library.isSystemId(QStringLiteral(" plain")));
    }

    void fileNames_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("name"); // empty: refused
        QTest::newRow("trimmed and lower-cased") << " Soft Brush " << "soft brush.kxb";
        QTest::newRow("braced id") << kUuid << kUuid.toLower() + ".kxb";
        QTest::newRow("parent folder") << "../x" << "";
        QTest::newRow("dots") << ".." << "";
        QTest::newRow("absolute path") << "/etc/passwd" << "";
        QTest::newRow("back slash") << "..\\x" << "";
        QTest::newRow("drive") << "C:x" << "";
        QTest::newRow("empty") << "  " << "";
        QTest::newRow("line break") << "a\nb" << "";
    }

    void fileNames()
    {
        QFETCH(QString, id);
        QFETCH(QString, name);
        MTestFolder root;
        TestLibrary library(root);
        QCOMPARE(library.itemFileName(id), name.isEmpty() ? QString() : root.filePath(QStringLiteral("system/")) + name);
        QCOMPARE(library.userItemFileName(id), name.isEmpty() ? QString() : root.filePath(QStringLiteral("user/")) + name);
        QCOMPARE(library.indexFileName(MFolders::UserPath), root.filePath(QStringLiteral("user/index.kxl")));
        QCOMPARE(library.indexFileName(MFolders::SystemPath), root.filePath(QStringLiteral("system/index.kxl")));
    }

    void acceptedIds_data()
    {
        QTest::addColumn<QString>("readId");
        QTest::addColumn<QString>("fileId");
        QTest::addColumn<QString>("accepted"); // "new": a fresh braced UUID
        QTest::newRow("braced UUID") << kUuid << "NAME" << kUuid;
        QTest::newRow("lower case and blanks") << "  " + kUuid.toLower() + " " << "NAME" << kUuid;
        QTest::newRow("null UUID") << "{00000000-0000-0000-0000-000000000000}" << "NAME"
                                   << "{00000000-0000-0000-0000-000000000000}";
        QTest::newRow("without braces") << kUuid.mid(1, 36) << "NAME" << "NAME";
        QTest::newRow("climbing out") << "../../x" << "NAME" << "NAME";
        QTest::newRow("UUID with a path") << kUuid + "/../x" << "NAME" << "NAME";
        QTest::newRow("not hexadecimal") << "{6F9619FF-8B86-D011-B42D-00C04FC964FZ}" << "NAME" << "NAME";
        QTest::newRow("empty") << "" << "NAME" << "NAME";
        QTest::newRow("nothing usable") << "../x" << ".." << "new";
        QTest::newRow("file id with a separator") << "x" << "A/B" << "new";
    }

    void acceptedIds()
    {
        QFETCH(QString, readId);
        QFETCH(QString, fileId);
        QFETCH(QString, accepted);
        const QString id = MParamList::acceptedItemId(readId, fileId);
        if (accepted == QLatin1String("new")) {
            QVERIFY(MParamList::isItemId(id));
            QCOMPARE(id, id.toUpper());
            QVERIFY(id != MParamList::acceptedItemId(readId, fileId));
        } else {
            QCOMPARE(id, accepted);
        }
    }

    void hostileIdsNeverLeaveTheFolder_data()
    {
        QTest::addColumn<QVariant>("fileId");
        QTest::addColumn<QString>("id");
        QTest::addColumn<int>("logged");
        QTest::newRow("parent folder") << QVariant("../x") << "PLAIN" << 1;
        QTest::newRow("two levels up") << QVariant("../../x") << "PLAIN" << 1;
        QTest::newRow("absolute path") << QVariant(QStringLiteral("/tmp/x")) << "PLAIN" << 1;
        QTest::newRow("not a UUID") << QVariant("{not-a-uuid}") << "PLAIN" << 1;
        QTest::newRow("a number") << QVariant(42) << "PLAIN" << 1;
        QTest::newRow("no id") << QVariant() << "PLAIN" << 0;
        QTest::newRow("braced UUID") << QVariant(kUuid.toLower()) << kUuid << 0;
    }

    void hostileIdsNeverLeaveTheFolder()
    {
        QFETCH(QVariant, fileId);
        QFETCH(QString, id);
        QFETCH(int, logged);
        MTestFolder root;
        QVariantMap members{{QStringLiteral("description"), QStringLiteral("hostile")}};
        if (fileId.isValid())
            members.insert(QStringLiteral("id"), fileId);
        root.writeFile(QStringLiteral("user/plain.kxb"), itemJson(members));
        // What the ids would reach from the user folder.
        const QString outside = root.writeFile(QStringLiteral("x.kxb"), "keep");
        const MTestLogWatch log;

        TestLibrary library(root);
        QCOMPARE(library.count(), 1);
        QCOMPARE(library.item(0)->property("id").toString(), id);
        QCOMPARE(log.count(QStringLiteral("System error: Invalid id")), logged);
        QCOMPARE(library.userFilePath(library.item(0)), root.filePath(QStringLiteral("user/plain.kxb")));

        library.removeAt(0);
        QVERIFY(!QFile::exists(root.filePath(QStringLiteral("user/plain.kxb"))));
        QVERIFY(QFile::exists(outside));
        QCOMPARE(root.readFile(QStringLiteral("x.kxb")), QByteArray("keep"));
    }

    void appendedItemsWithHostileIdsDeleteNothing()
    {
        MTestFolder root;
        const QString outside = root.writeFile(QStringLiteral("x.kxb"), "keep");
        TestLibrary library(root);
        library.append(new LibraryItem(QStringLiteral("../x")));
        QCOMPARE(library.userFilePath(library.item(0)), QString());
        library.removeAt(0);
        QVERIFY(QFile::exists(outside));
        QCOMPARE(library.count(), 0);
    }

    void writingTheOrderFile_data()
    {
        QTest::addColumn<QString>("group");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("line");
        QTest::newRow("group and description") << "basic" << "soft" << "ID1 # basic/soft";
        QTest::newRow("group only") << "basic" << "" << "ID1 # basic/";
        QTest::newRow("description only") << "" << "soft" << "ID1 # soft";
        QTest::newRow("neither") << "" << "" << "ID1 # ";
        QTest::newRow("trimmed") << "  basic " << " soft  " << "ID1 # basic/soft";
    }

    void writingTheOrderFile()
    {
        QFETCH(QString, group);
        QFETCH(QString, description);
        QFETCH(QString, line);
        MTestFolder root;
        TestLibrary library(root);
        library.append(new LibraryItem(QStringLiteral("id1"), group, description));
        QCOMPARE(library.order(), QStringList{"ID1"});
        QCOMPARE(QString::fromUtf8(root.readFile(QStringLiteral("user/index.kxl"))), line + QLatin1Char('\n'));
        // An id no item has is written bare; blank entries are dropped.
        QVERIFY(library.setOrder({QStringLiteral(" ghost "), QStringLiteral("  "), QStringLiteral("ID1")}));
        QCOMPARE(QString::fromUtf8(root.readFile(QStringLiteral("user/index.kxl"))), "ghost\n" + line + QLatin1Char('\n'));
        QCOMPARE(library.readIndex(MFolders::UserPath), (QStringList{"ghost", "ID1"}));
    }

    void appendAndRemoveKeepTheOrderFile()
    {
        MTestFolder root;
        writeItems(root, QStringLiteral("system"), {"Abc=system abc", "def=system def"});
        writeItems(root, QStringLiteral("user"), {"Abc=user abc"});
        root.writeFile(QStringLiteral("user/index.kxl"), "abc\ndef\n");
        TestLibrary library(root);
        QCOMPARE(library.descriptions(), QStringLiteral("user abc,system def"));

        // An id already in the order, in another case, leaves the file alone.
        root.writeFile(QStringLiteral("user/index.kxl"), "untouched");
        QVERIFY(!library.addId(QStringLiteral(" ABC ")));
        auto *twin = new LibraryItem(QStringLiteral("Def"), QString(), QStringLiteral("another def"));
        library.append(twin);
        QCOMPARE(root.readFile(QStringLiteral("user/index.kxl")), QByteArray("untouched"));
        QCOMPARE(library.count(), 3);

        // Removing the user item deletes the file it was read from, drops its
        // id from the order (whatever its case there) and keeps the system file.
        library.removeAt(library.rowOf(QStringLiteral("abc")));
        QVERIFY(!QFile::exists(root.filePath(QStringLiteral("user/Abc.kxb"))));
        QVERIFY(QFile::exists(root.filePath(QStringLiteral("system/Abc.kxb"))));
        QCOMPARE(library.order(), QStringList{"def"});
        QCOMPARE(root.readFile(QStringLiteral("user/index.kxl")), QByteArray("def # system def\n"));
        QCOMPARE(library.findById(QStringLiteral("abc")), &library.fallback);

        // A new item's file is the lower-cased id in the user folder.
        auto *item = new LibraryItem(kUuid, QStringLiteral("g"), QStringLiteral("new"));
        library.append(item);
        QCOMPARE(library.currentItem(), item);
        QCOMPARE(library.order(), (QStringList{"def", kUuid}));
        const QString path = library.userFilePath(item);
        QCOMPARE(path, root.filePath(QStringLiteral("user/") + kUuid.toLower() + QStringLiteral(".kxb")));
        root.writeFile(QStringLiteral("user/") + kUuid.toLower() + QStringLiteral(".kxb"), "{}");
        library.removeAt(library.indexOf(item));
        QVERIFY(!QFile::exists(path));
        QCOMPARE(library.order(), QStringList{"def"});

        // A system item leaves its file in place.
        library.removeAt(library.indexOf(library.findById(QStringLiteral("def"))));
        QVERIFY(QFile::exists(root.filePath(QStringLiteral("system/def.kxb"))));
        QVERIFY(library.order().isEmpty());
        QCOMPARE(root.readFile(QStringLiteral("user/index.kxl")), QByteArray());
        QVERIFY(!library.removeId(QStringLiteral("def")));
        QCOMPARE(library.item(0), twin);
    }

    // Both libraries find and remove rows by id through these.
    void rowsById_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<int>("row");
        QTest::newRow("as read") << "B" << 1;
        QTest::newRow("other case") << "b" << 1;
        QTest::newRow("surrounding blanks") << " b " << -1;
        QTest::newRow("default item") << "DEFAULT" << -1;
        QTest::newRow("unknown") << "zz" << -1;
        QTest::newRow("empty") << "" << -1;
    }

    void rowsById()
    {
        QFETCH(QString, id);
        QFETCH(int, row);
        MTestFolder root;
        writeItems(root, QStringLiteral("user"), {"a=a", "b=b", "c=c"});
        TestLibrary library(root);
        QCOMPARE(library.rowOfId(id), row);
        QCOMPARE(library.removeById(id), row >= 0);
        QCOMPARE(library.ids(), row >= 0 ? QStringLiteral("A,C") : QStringLiteral("A,B,C"));
        QCOMPARE(QFile::exists(root.filePath(QStringLiteral("user/b.kxb"))), row < 0);
        QCOMPARE(library.order().contains(QStringLiteral("b"), Qt::CaseInsensitive), row < 0);
    }

    void failedWritesAreReported()
    {
        MTestFolder root;
        writeItems(root, QStringLiteral("system"), {"a=sys a"});
        TestLibrary library(root);
        // A folder where the order file should be: no file can replace it.
        QVERIFY(QDir().mkpath(root.filePath(QStringLiteral("user/index.kxl"))));
        const MTestLogWatch log;
        QVERIFY(!library.setOrder({QStringLiteral("a"), QStringLiteral("b")}));
        QCOMPARE(library.order(), (QStringList{"a", "b"}));
        QVERIFY(!library.removeId(QStringLiteral("b")));
        QCOMPARE(library.order(), QStringList{"a"});
        QVERIFY(!library.addId(QStringLiteral("c")));
        QCOMPARE(library.order(), (QStringList{"a", "C"}));
        QCOMPARE(log.count(QStringLiteral("System error: Unable to write ") + root.filePath(QStringLiteral("user/index.kxl"))),
                 3);
        QVERIFY(QFileInfo(root.filePath(QStringLiteral("user/index.kxl"))).isDir());
    }

    void indexOrderDropsTheItemsItLeavesOut()
    {
        MTestFolder root;
        writeItems(root, QStringLiteral("user"), {"a=a", "b=b", "c=c", "d=d"});
        TestLibrary library(root);
        QSortFilterProxyModel view; // follows the rows through the model's signals only
        view.setSourceModel(&library);
        library.setCurrentRow(3);
        const QPersistentModelIndex a = library.index(0, 1);
        const QPointer<QObject> b = library.findById(QStringLiteral("b"));
        const QPointer<QObject> d = library.findById(QStringLiteral("d"));
        const MTestLogWatch log;

        QVERIFY(library.setOrder({QStringLiteral("c"), QStringLiteral("zz"), QStringLiteral("a"), QStringLiteral("C")}));
        library.reorder();
        QCOMPARE(library.ids(), QStringLiteral("C,A"));
        QCOMPARE(shownIds(view), QStringLiteral("C,A"));
        QCOMPARE(log.count(QStringLiteral("System error: Object id not found in list: zz.")), 1);
        QCOMPARE(a.row(), 1);
        QCOMPARE(library.currentRow(), 1);
        // Dropped items are gone for good: no lookup reaches them, their files stay.
        QCOMPARE(library.findById(QStringLiteral("b")), &library.fallback);
        QCOMPARE(library.findById(QStringLiteral("d")), &library.fallback);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!b);
        QVERIFY(!d);
        QVERIFY(QFile::exists(root.filePath(QStringLiteral("user/b.kxb"))));
        QCOMPARE(library.order(), (QStringList{"c", "zz", "a", "C"}));
    }

    void sortedOrder_data()
    {
        QTest::addColumn<QStringList>("items"); // "group/description"
        QTest::addColumn<QString>("sorted");
        QTest::newRow("group, then description") << QStringList{"b/x", "a/z", "b/a", "a/y"} << "a/y,a/z,b/a,b/x";
        QTest::newRow("character codes") << QStringList{"/b", "/B", "/a", "/_"} << "/B,/_,/a,/b";
        QTest::newRow("equal keys keep their rows") << QStringList{"a/1", "a/0", "a/1"} << "a/0,a/1,a/1";
        QTest::newRow("one row") << QStringList{"z/z"} << "z/z";
    }

    void sortedOrder()
    {
        QFETCH(QStringList, items);
        QFETCH(QString, sorted);
        MTestFolder root;
        TestLibrary library(root, MParamList::SortedOrder);
        QSortFilterProxyModel view;
        view.setSourceModel(&library);
        for (int i = 0; i < items.size(); ++i)
            library.append(new LibraryItem(QString::number(i), items.at(i).section(QLatin1Char('/'), 0, 0),
                                           items.at(i).section(QLatin1Char('/'), 1)));
        library.setCurrentRow(0);
        const QPersistentModelIndex first = library.index(0, 2);
        QObject *firstItem = library.item(0);
        library.reorder();
        QStringList rows;
        for (int row = 0; row < library.count(); ++row)
            rows.append(library.item(row)->property("group").toString() + QLatin1Char('/')
                        + library.item(row)->property("description").toString());
        QCOMPARE(rows.join(QLatin1Char(',')), sorted);
        QCOMPARE(shownIds(view), library.ids());
        QCOMPARE(library.currentRow(), 0);
        QCOMPARE(library.item(first.row()), firstItem);
        QCOMPARE(first.column(), 2);
    }
};

QTEST_GUILESS_MAIN(TestMParamList)
#include "tst_mparamlist.moc"
