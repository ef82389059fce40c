#include "mfield.h"
#include "mproxymodel.h"
#include "mtablemodel.h"
#include "mtestitem.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

namespace {
class TestModel : public MTableModel
{
public:
    // Rows "id=description", in this order.
    explicit TestModel(const QStringList &rows = {"k1=Rose", "k2=sky", "k3=brown", "RObin=blue", "k5=Iron"})
    {
        setMetaObject(MTestItem::staticMetaObject);
        for (const QString &row : rows)
            append(new MTestItem(row.section(QLatin1Char('='), 0, 0), row.section(QLatin1Char('='), 1)));
        setCurrentRow(-1);
    }
    QObject *createItem() override { return new MTestItem; }
    int rowOf(const QString &id) const { return indexOf(findById(id)); }
};

const int kId = 1;
const int kDescription = 2;

// The ids the proxy shows, top to bottom.
QString shownIds(const QSortFilterProxyModel &proxy)
{
    QStringList ids;
    for (int row = 0; row < proxy.rowCount(); ++row)
        ids.append(proxy.index(row, kId).data().toString());
    return ids.join(QLatin1Char(','));
}
// The names of the columns a view shows, left to right.
QStringList shownColumns(const QTableView &view)
{
    QStringList names;
    const QHeaderView *header = view.horizontalHeader();
    for (int visual = 0; visual < header->count(); ++visual) {
        const int column = header->logicalIndex(visual);
        if (!view.isColumnHidden(column))
            names.append(view.model()->headerData(column, Qt::Horizontal).toString());
    }
    return names;
}
} // namespace

class TestMProxyModel : public QObject
{
    Q_OBJECT

private slots:
    void searchAndSort_data()
    {
        QTest::addColumn<int>("sortColumn"); // -1: never sorted
        QTest::addColumn<QString>("search");
        QTest::addColumn<QString>("shown");
        QTest::newRow("nothing typed") << -1 << "" << "k1,k2,k3,RObin,k5";
        QTest::newRow("any column, any case") << -1 << "ro" << "k1,k3,RObin,k5";
        QTest::newRow("blanks around the text") << -1 << "  RO " << "k1,k3,RObin,k5";
        QTest::newRow("no match") << -1 << "zz" << "";
        QTest::newRow("sorted by description") << kDescription << "ro" << "k5,k1,RObin,k3";
        QTest::newRow("sorted by id") << kId << "o" << "RObin,k1,k3,k5";
        QTest::newRow("cleared after sorting") << kDescription << "" << "k1,k2,k3,RObin,k5";
    }

    void searchAndSort()
    {
        QFETCH(int, sortColumn);
        QFETCH(QString, search);
        QFETCH(QString, shown);
        TestModel model;
        QTableView view;
        QLineEdit edit;
        MProxyModel proxy(&model, &view, &edit);
        if (sortColumn >= 0)
            view.sortByColumn(sortColumn, Qt::AscendingOrder);
        edit.setText(QStringLiteral("something"));
        edit.setText(search);
        QCOMPARE(shownIds(proxy), shown);
        // Return repeats the search without changing it.
        QTest::keyClick(&edit, Qt::Key_Return);
        QCOMPARE(shownIds(proxy), shown);
    }

    void clickingAColumnNarrowsTheSearchUntilTheNextText()
    {
        TestModel model;
        QTableView view;
        QLineEdit edit;
        MProxyModel proxy(&model, &view, &edit);
        edit.setText(QStringLiteral("ro"));
        QCOMPARE(shownIds(proxy), QStringLiteral("k1,k3,RObin,k5"));
        proxy.sort(kDescription, Qt::DescendingOrder);
        QCOMPARE(shownIds(proxy), QStringLiteral("k3,k1,k5"));
        edit.setText(QStringLiteral("rO"));
        QCOMPARE(shownIds(proxy), QStringLiteral("k3,RObin,k1,k5"));
    }

    void backToTheModelsOrder()
    {
        TestModel model;
        MProxyModel proxy(&model);
        proxy.sort(kDescription);
        QCOMPARE(shownIds(proxy), QStringLiteral("k5,k1,RObin,k3,k2"));
        proxy.sort(-1);
        QCOMPARE(shownIds(proxy), QStringLiteral("k1,k2,k3,RObin,k5"));
        // A later click sorts again.
        proxy.sort(kId, Qt::DescendingOrder);
        QCOMPARE(shownIds(proxy), QStringLiteral("k5,k3,k2,k1,RObin"));
        proxy.resetSort();
        QCOMPARE(shownIds(proxy), QStringLiteral("k1,k2,k3,RObin,k5"));
        // The model's order is followed as it grows.
        model.append(new MTestItem(QStringLiteral("a0"), QStringLiteral("a")));
        QCOMPARE(shownIds(proxy), QStringLiteral("k1,k2,k3,RObin,k5,a0"));
    }

    // One test only arranges headers: the first arrangement is the process's only one.
    void chosenColumnsInChosenOrder()
    {
        TestModel model;
        QTableView view;
        MProxyModel proxy(&model, &view);
        proxy.setColumns({"description", "bogus", "id"});
        QCOMPARE(proxy.visibleColumns(), (QVector<QByteArray>{"description", "bogus", "id"}));
        QStringList hidden;
        for (int column = 0; column < model.columnCount(); ++column) {
            if (view.isColumnHidden(column))
                hidden.append(QString::fromLatin1(model.column(column)->name()));
        }
        QCOMPARE(hidden, (QStringList{"objectName", "size", "level", "position", "color", "note"}));
        QCOMPARE(shownColumns(view), (QStringList{"description", "id"}));

        // A later proxy hides its columns but keeps the header as it is.
        QTableView second;
        MProxyModel later(&model, &second);
        later.setColumns({"size", "id"});
        QCOMPARE(shownColumns(second), (QStringList{"id", "size"}));
        for (int section = 0; section < model.columnCount(); ++section)
            QCOMPARE(second.horizontalHeader()->logicalIndex(section), section);

        // Without a view only the names are kept.
        MProxyModel bare(&model);
        bare.setColumns({"id"});
        QCOMPARE(bare.visibleColumns(), QVector<QByteArray>{"id"});
    }

    void selectionAndCurrentRowInStep()
    {
        TestModel model;
        model.setCurrentRow(2);
        QTableView view;
        MProxyModel proxy(&model, &view);
        // The model's current row is selected at once.
        QCOMPARE(proxy.mapToSource(view.currentIndex()).row(), 2);

        proxy.sort(kDescription, Qt::DescendingOrder); // sky, brown, blue, Rose, Iron
        view.selectRow(0);
        QCOMPARE(model.currentRow(), model.rowOf(QStringLiteral("k2")));
        view.selectRow(4);
        QCOMPARE(model.currentRow(), model.rowOf(QStringLiteral("k5")));

        model.setCurrentRow(model.rowOf(QStringLiteral("RObin")));
        QCOMPARE(view.currentIndex().row(), 2);
        QVERIFY(view.selectionModel()->isRowSelected(2, QModelIndex()));

        // A row the search hides cannot be selected; the selection stays.
        QTableView searchView;
        QLineEdit edit;
        MProxyModel searched(&model, &searchView, &edit);
        edit.setText(QStringLiteral("k"));
        const QModelIndex selected = searchView.currentIndex();
        model.setCurrentRow(model.rowOf(QStringLiteral("RObin")));
        QCOMPARE(searchView.currentIndex(), selected);
        QCOMPARE(model.currentRow(), model.rowOf(QStringLiteral("RObin")));

        // setCurrentIndex hands the view's current row to the model.
        searchView.selectionModel()->blockSignals(true);
        searchView.setCurrentIndex(searched.index(1, kId));
        searchView.selectionModel()->blockSignals(false);
        searched.setCurrentIndex();
        QCOMPARE(model.currentRow(), model.rowOf(QStringLiteral("k2")));
    }

    void clicksReportTheModelsRowAndColumn()
    {
        TestModel model;
        QTableView view;
        MProxyModel proxy(&model, &view);
        QSignalSpy doubleClicks(&proxy, SIGNAL(doubleClick(int,int)));
        QSignalSpy menus(&proxy, SIGNAL(contextMenuRequested(QPoint,int,int)));

        // Nothing current: nothing reported.
        emit view.doubleClicked(QModelIndex());
        emit view.customContextMenuRequested(QPoint(1, 2));
        QCOMPARE(doubleClicks.count(), 0);
        QCOMPARE(menus.count(), 0);

        proxy.sort(kDescription);
        view.setCurrentIndex(proxy.index(0, kDescription)); // Iron, the last model row
        emit view.doubleClicked(proxy.index(3, kId));       // the current index counts, not the clicked one
        emit view.customContextMenuRequested(QPoint(7, 9));
        QCOMPARE(doubleClicks.count(), 1);
        QCOMPARE(doubleClicks.at(0), (QVariantList{4, kDescription}));
        QCOMPARE(menus.count(), 1);
        QCOMPARE(menus.at(0), (QVariantList{QPoint(7, 9), 4, kDescription}));
    }

    void sortColumnAndModel()
    {
        TestModel model;
        MProxyModel proxy(&model);
        QCOMPARE(proxy.sortColumnIndex(), -1);
        proxy.setSortColumn("description");
        QCOMPARE(proxy.sortColumnIndex(), kDescription);
        proxy.setSortColumn("bogus");
        QCOMPARE(proxy.sortColumnIndex(), kDescription);

        TestModel other({"z=last", "y=first"});
        QTableView view;
        proxy.setModel(&other);
        view.setModel(&proxy);
        QCOMPARE(proxy.tableModel(), &other);
        QCOMPARE(shownIds(proxy), QStringLiteral("z,y"));
        proxy.sort(kDescription);
        QCOMPARE(shownIds(proxy), QStringLiteral("y,z"));
    }
};

QTEST_MAIN(TestMProxyModel)
#include "tst_mproxymodel.moc"
