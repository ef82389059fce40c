#include "dsortlist.h"
#include "mfolders.h"
#include "mparamlist.h"
#include "mtestdialogscript.h"
#include "mtestfolder.h"
#include "mutility.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <memory>

namespace {
class Item : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString id MEMBER m_id)
    Q_PROPERTY(QString group MEMBER m_group)
    Q_PROPERTY(QString description MEMBER m_description)
public:
    QString m_id;
    QString m_group;
    QString m_description;
};

// A library of "<id>.kxb" files in root/system and root/user; each file holds
// a group and a description.
class Library : public MParamList
{
public:
    explicit Library(const MTestFolder &root)
        : MParamList(MFolders::BrushDir, QStringLiteral("kxb"), root.filePath("system"), root.filePath("user"))
    {
        setMetaObject(Item::staticMetaObject);
        setDefaultItem(&fallback);
        setOrderMode(IndexOrder);
        load();
    }
    QObject *createItem() override { return new Item; }
    bool readItem(QObject *item, const QString &path) override
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return false;
        jsonToObject(QJsonDocument::fromJson(file.readAll()).object(), item);
        return true;
    }
    void loadItems(const QStringList &order, const Files &files) override
    {
        setRows(readItems(order, files, QStringLiteral("Unable to load item ")));
    }
    Item fallback;
};

// Entries "id=Group/Description"; "id=!" is a file that is no JSON.
void writeItems(const MTestFolder &root, const QString &folder, const QStringList &entries)
{
    QDir().mkpath(root.filePath(folder));
    for (const QString &entry : entries) {
        const QString id = entry.section('=', 0, 0);
        const QString value = entry.section('=', 1);
        const QByteArray content =
            value == "!" ? QByteArray("{ no json")
                         : QJsonDocument(QJsonObject{{"id", id},
                                                     {"group", value.section('/', 0, 0)},
                                                     {"description", value.section('/', 1)}})
                               .toJson();
        root.writeFile(folder + "/" + id + ".kxb", content);
    }
}

QStringList rows(const QListWidget *list)
{
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        texts.append(list->item(row)->text());
    return texts;
}

QStringList ids(const QListWidget *list)
{
    QStringList result;
    for (int row = 0; row < list->count(); ++row)
        result.append(list->item(row)->data(Qt::UserRole).toString());
    return result;
}

// The ids of the user order file, comments dropped.
QStringList writtenOrder(const MTestFolder &root)
{
    QStringList lines;
    if (!MUtility::readLines(lines, root.filePath("user/index.kxl"), true, true))
        return {"<none>"};
    for (QString &line : lines)
        line = line.section('#', 0, 0).trimmed();
    return lines;
}

// A library of a, b, c (system) and c, d (user), ordered "b, a, c".
struct Fixture
{
    Fixture()
    {
        writeItems(root, "system", {"a=Soft/Pencil", "b=Hard/Ink", "c=Wet/Water"});
        writeItems(root, "user", {"c=Mine/Water", "d=Mine/Chalk"});
        root.writeFile("user/index.kxl", "b\na\nc\n");
        library = std::make_unique<Library>(root);
        dialog = std::make_unique<DSortList>(library.get());
    }
    void click(const char *name)
    {
        if (auto *push = dialog->findChild<QPushButton *>(name))
            push->click();
        else
            dialog->findChild<QToolButton *>(name)->click();
    }
    MTestFolder root;
    std::unique_ptr<Library> library;
    std::unique_ptr<DSortList> dialog;
};
} // namespace

class TestDSortList : public QObject
{
    Q_OBJECT

private slots:
    void form()
    {
        Fixture f;
        QCOMPARE(f.dialog->windowTitle(), QString("Sort brush list"));
        QCOMPARE(f.dialog->size(), QSize(463, 347));
        QCOMPARE(f.dialog->orderList()->dragDropMode(), QAbstractItemView::InternalMove);
        QCOMPARE(f.dialog->orderList()->selectionMode(), QAbstractItemView::SingleSelection);
        QCOMPARE(f.dialog->excludeList()->selectionMode(), QAbstractItemView::SingleSelection);
        for (const char *name : {"btnUp", "btnDown", "btnAtTop", "btnAtBottom"})
            QVERIFY2(!f.dialog->findChild<QToolButton *>(name)->icon().isNull(), name);
    }

    void rowsOfBothLists_data()
    {
        QTest::addColumn<QStringList>("system");
        QTest::addColumn<QStringList>("user");
        QTest::addColumn<QString>("order");
        QTest::addColumn<QStringList>("ordered");
        QTest::addColumn<QStringList>("excluded");

        QTest::newRow("origins") << QStringList{"a=Soft/Pencil", "b=Hard/Ink", "c=Wet/Water"}
                                 << QStringList{"c=Mine/Water", "d=Mine/Chalk"} << "b\nc\n"
                                 << QStringList{"hard-ink (system)", "mine-water (user)"}
                                 << QStringList{"mine-chalk (user)", "soft-pencil (system)"};
        QTest::newRow("case and blanks of the order") << QStringList{"a=G/A", "b=G/B"} << QStringList() << "  B  \na\n"
                                                      << QStringList{"g-b (system)", "g-a (system)"} << QStringList();
        QTest::newRow("an id without a file has no row") << QStringList{"a=G/A"} << QStringList() << "x\na\n"
                                                         << QStringList{"g-a (system)"} << QStringList();
        QTest::newRow("an id named twice gets two rows") << QStringList{"a=G/A"} << QStringList() << "a\nA\n"
                                                         << QStringList{"g-a (system)", "g-a (system)"} << QStringList();
        QTest::newRow("unreadable file") << QStringList{"a=!"} << QStringList() << "a\n" << QStringList{"- (system)"}
                                         << QStringList();
    }

    void rowsOfBothLists()
    {
        QFETCH(QStringList, system);
        QFETCH(QStringList, user);
        QFETCH(QString, order);
        QFETCH(QStringList, ordered);
        QFETCH(QStringList, excluded);
        MTestFolder root;
        writeItems(root, "system", system);
        writeItems(root, "user", user);
        root.writeFile("user/index.kxl", order.toUtf8());
        Library library(root);
        DSortList dialog(&library);
        QCOMPARE(rows(dialog.orderList()), ordered);
        QCOMPARE(rows(dialog.excludeList()), excluded);
        for (const QString &id : ids(dialog.orderList()) + ids(dialog.excludeList()))
            QCOMPARE(id, id.trimmed().toUpper());
    }

    void okWithoutAChangeWritesNothing()
    {
        Fixture f;
        const QByteArray before = f.root.readFile("user/index.kxl");
        f.click("btnOk");
        QCOMPARE(f.dialog->result(), int(QDialog::Rejected));
        QCOMPARE(f.root.readFile("user/index.kxl"), before);
    }

    void cancelWritesNothing()
    {
        Fixture f;
        const QByteArray before = f.root.readFile("user/index.kxl");
        f.dialog->orderList()->setCurrentRow(0);
        f.click("btnDown");
        f.click("btnCancel");
        QCOMPARE(f.dialog->result(), int(QDialog::Rejected));
        QCOMPARE(f.root.readFile("user/index.kxl"), before);
        QCOMPARE(f.library->order(), QStringList({"b", "a", "c"}));
    }

    // Moves in the order list from a current row (-1: none); each set the
    // changed flag only when its guard lets it through.
    void moves_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("current");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("order");
        QTest::addColumn<int>("currentAfter");
        QTest::addColumn<bool>("changed");

        QTest::newRow("up") << 3 << 2 << "btnUp" << "B,C,A" << 1 << true;
        QTest::newRow("up from the top") << 3 << 0 << "btnUp" << "B,A,C" << 0 << false;
        QTest::newRow("up without a current row") << 3 << -1 << "btnUp" << "B,A,C" << -1 << true;
        QTest::newRow("up in an empty list") << 0 << -1 << "btnUp" << "" << -1 << true;
        QTest::newRow("down") << 3 << 0 << "btnDown" << "A,B,C" << 1 << true;
        QTest::newRow("down from the bottom") << 3 << 2 << "btnDown" << "B,A,C" << 2 << false;
        QTest::newRow("down without a current row") << 3 << -1 << "btnDown" << "B,A,C" << 0 << true;
        QTest::newRow("at top") << 3 << 2 << "btnAtTop" << "C,B,A" << 0 << true;
        QTest::newRow("at top without a current row") << 3 << -1 << "btnAtTop" << "B,A,C" << 0 << true;
        QTest::newRow("at bottom") << 3 << 0 << "btnAtBottom" << "A,C,B" << 2 << true;
        QTest::newRow("at bottom without a current row") << 3 << -1 << "btnAtBottom" << "B,A,C" << 2 << true;
        QTest::newRow("at top of one row") << 1 << 0 << "btnAtTop" << "B" << 0 << false;
        QTest::newRow("at bottom of one row") << 1 << 0 << "btnAtBottom" << "B" << 0 << false;
    }

    void moves()
    {
        QFETCH(int, count);
        QFETCH(int, current);
        QFETCH(QString, button);
        QFETCH(QString, order);
        QFETCH(int, currentAfter);
        QFETCH(bool, changed);
        MTestFolder root;
        writeItems(root, "system", {"a=G/A", "b=G/B", "c=G/C"});
        root.writeFile("user/index.kxl", QStringList({"b", "a", "c"}).mid(0, count).join('\n').toUtf8() + (count ? "\n" : "x\n"));
        Library library(root);
        DSortList dialog(&library);
        QCOMPARE(dialog.orderList()->count(), count);
        dialog.orderList()->setCurrentRow(current);
        dialog.findChild<QToolButton *>(button)->click();
        QCOMPARE(ids(dialog.orderList()).join(','), order);
        QCOMPARE(dialog.orderList()->currentRow(), currentAfter);
        QCOMPARE(dialog.isChanged(), changed);
    }

    // A move there and back still counts as a change: Ok writes the order.
    void downAndUpThenOkWrites()
    {
        Fixture f;
        f.root.writeFile("user/index.kxl", "b\n a \nc\n");
        f.library = std::make_unique<Library>(f.root);
        f.dialog = std::make_unique<DSortList>(f.library.get());
        f.dialog->orderList()->setCurrentRow(0);
        f.click("btnDown");
        f.click("btnUp");
        f.click("btnOk");
        QCOMPARE(f.dialog->result(), int(QDialog::Accepted));
        // Written back upper-cased, with each item's group and description.
        QCOMPARE(writtenOrder(f.root), QStringList({"B", "A", "C"}));
        QCOMPARE(f.library->order(), QStringList({"B", "A", "C"}));
        QVERIFY(f.root.readFile("user/index.kxl").contains("A # Soft/Pencil"));
    }

    // A row dragged to another place inside the order list: the list's own
    // internal move, which Ok must not take for no change.
    void draggedRowIsAChange()
    {
        Fixture f;
        QListWidget *list = f.dialog->orderList();
        QVERIFY(list->model()->moveRow(QModelIndex(), 0, QModelIndex(), 3));
        QCOMPARE(ids(list), QStringList({"A", "C", "B"}));
        QVERIFY(f.dialog->isChanged());
        f.click("btnOk");
        QCOMPARE(f.dialog->result(), int(QDialog::Accepted));
        QCOMPARE(writtenOrder(f.root), QStringList({"A", "C", "B"}));
    }

    void transfers()
    {
        Fixture f;
        QListWidget *ordered = f.dialog->orderList();
        QListWidget *excluded = f.dialog->excludeList();
        QCOMPARE(ids(ordered), QStringList({"B", "A", "C"}));
        QCOMPARE(ids(excluded), QStringList({"D"}));

        // Without a current row in the source nothing moves.
        ordered->setCurrentRow(-1);
        excluded->setCurrentRow(-1);
        f.click("removeBtn");
        f.click("addBtn");
        QCOMPARE(ids(ordered).size() + ids(excluded).size(), 4);
        QVERIFY(!f.dialog->isChanged());

        // ">" puts the row behind the other list's current row.
        ordered->setCurrentRow(1);
        excluded->setCurrentRow(0);
        f.click("removeBtn");
        QCOMPARE(ids(ordered), QStringList({"B", "C"}));
        QCOMPARE(ids(excluded), QStringList({"D", "A"}));
        QCOMPARE(excluded->currentRow(), 1);
        QCOMPARE(excluded->item(1)->text(), QString("soft-pencil (system)"));
        QVERIFY(f.dialog->isChanged());

        // "<" with no current row in the order list puts it at the top.
        ordered->setCurrentRow(-1);
        excluded->setCurrentRow(0);
        f.click("addBtn");
        QCOMPARE(ids(ordered), QStringList({"D", "B", "C"}));

        // ">>" keeps the order, "<<" brings them all back.
        excluded->setCurrentRow(-1);
        f.click("removeAllBtn");
        QCOMPARE(ids(ordered), QStringList());
        QCOMPARE(ids(excluded), QStringList({"D", "B", "C", "A"}));
        ordered->setCurrentRow(-1);
        f.click("addAllBtn");
        QCOMPARE(ids(ordered), QStringList({"D", "B", "C", "A"}));
        QCOMPARE(ids(excluded), QStringList());

        f.click("btnOk");
        QCOMPARE(f.dialog->result(), int(QDialog::Accepted));
        QCOMPARE(writtenOrder(f.root), QStringList({"D", "B", "C", "A"}));
    }

    // An empty order would leave the library showing nothing at its next load.
    void emptyOrderIsRefused()
    {
        Fixture f;
        MTestDialogScript script;
        f.dialog->show();
        const QByteArray before = f.root.readFile("user/index.kxl");
        f.dialog->excludeList()->setCurrentRow(-1);
        f.click("removeAllBtn");
        QCOMPARE(f.dialog->orderList()->count(), 0);
        f.click("btnOk");
        QCOMPARE(script.requests().size(), 1);
        QCOMPARE(script.requests().first().icon, QMessageBox::Warning);
        QCOMPARE(script.requests().first().text, QString("The list is empty: keep at least one item in it."));
        QVERIFY(f.dialog->isVisible());
        QCOMPARE(f.dialog->result(), int(QDialog::Rejected));
        QCOMPARE(f.root.readFile("user/index.kxl"), before);
        QCOMPARE(f.library->order(), QStringList({"b", "a", "c"}));
        // One item back, and Ok goes through.
        QCOMPARE(ids(f.dialog->excludeList()), QStringList({"B", "A", "C", "D"}));
        f.dialog->excludeList()->setCurrentRow(0);
        f.click("addBtn");
        f.click("btnOk");
        QCOMPARE(f.dialog->result(), int(QDialog::Accepted));
        QCOMPARE(writtenOrder(f.root), QStringList({"B"}));
    }

    void failedWriteIsReported()
    {
        Fixture f;
        MTestDialogScript script;
        f.dialog->show();
        // A folder where the order file should be: it cannot be written.
        QVERIFY(QFile::remove(f.root.filePath("user/index.kxl")));
        QVERIFY(QDir().mkpath(f.root.filePath("user/index.kxl")));
        f.dialog->orderList()->setCurrentRow(0);
        f.click("btnDown");
        f.click("btnOk");
        QCOMPARE(script.requests().size(), 1);
        QCOMPARE(script.requests().first().icon, QMessageBox::Critical);
        QVERIFY(script.requests().first().text.startsWith("The new order could not be saved in "));
        QVERIFY(f.dialog->isVisible());
        QCOMPARE(f.dialog->result(), int(QDialog::Rejected));
        // The library keeps the order it had.
        QCOMPARE(f.library->order(), QStringList({"b", "a", "c"}));
    }

    void libraryRowsStayAsTheyAre()
    {
        Fixture f;
        const QString before = f.library->item(0)->property("description").toString();
        f.dialog->orderList()->setCurrentRow(2);
        f.click("btnAtTop");
        f.click("btnOk");
        QCOMPARE(f.dialog->result(), int(QDialog::Accepted));
        QCOMPARE(f.library->item(0)->property("description").toString(), before);
        // The next load follows the new order.
        Library reloaded(f.root);
        QCOMPARE(reloaded.item(0)->property("description").toString(), QString("Water"));
        QCOMPARE(reloaded.item(0)->property("group").toString(), QString("Mine"));
    }
};

QTEST_MAIN(TestDSortList)
#include "tst_dsortlist.moc"
