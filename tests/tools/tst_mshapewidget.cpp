#include "dsortlist.h"
#include "mfield.h"
#include "mproxymodel.h"
#include "mshape.h"
#include "mshapelist.h"
#include "mshapewidget.h"
#include "mtestfolder.h"
#include "mtestmodaldriver.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QTableView>
#include <QTest>
#include <QToolButton>

namespace {
QString uuid(int n)
{
    return QStringLiteral("{00000000-0000-4000-8000-%1}").arg(n, 12, 10, QLatin1Char('0'));
}
} // namespace

// The panel over a library of three shapes whose index order is not the
// alphabetical one.
class TestMShapeWidget : public QObject
{
    Q_OBJECT

private:
    MTestFolder m_root;

    QStringList shownDescriptions(MShapeWidget &widget)
    {
        QStringList list;
        MProxyModel *proxy = widget.proxyModel();
        const int column = MShapeList::instance()->column("description")->index();
        for (int row = 0; row < proxy->rowCount(); ++row)
            list << proxy->index(row, column).data().toString();
        return list;
    }

private slots:
    void initTestCase()
    {
        const struct { int id; const char *description; const char *group; } shapes[] = {
            {1, "star", "basic"}, {2, "arrow", "arrows"}, {3, "oval", "basic"}};
        QByteArray index;
        for (const auto &shape : shapes) {
            m_root.writeFile(QStringLiteral("system/") + uuid(shape.id).toLower() + QStringLiteral(".kxh"),
                             QStringLiteral("{\"description\": \"%1\", \"group\": \"%2\"}")
                                 .arg(QLatin1String(shape.description), QLatin1String(shape.group)).toUtf8());
            index += uuid(shape.id).toUtf8() + "\n";
        }
        m_root.writeFile(QStringLiteral("system/index.kxl"), index);
        QDir().mkpath(m_root.filePath(QStringLiteral("user")));
        MShapeList::setInstance(new MShapeList(m_root.filePath(QStringLiteral("system")), m_root.filePath(QStringLiteral("user"))));
    }

    void cleanupTestCase() { MShapeList::destroyInstance(); }

    void form()
    {
        MShapeWidget widget;
        QCOMPARE(widget.objectName(), QStringLiteral("MShapeWidget"));
        QCOMPARE(widget.windowTitle(), QStringLiteral("Shape"));
        auto *view = widget.findChild<QTableView *>(QStringLiteral("tableView"));
        QVERIFY(view);
        QCOMPARE(view->verticalHeader()->defaultSectionSize(), 55);
        QCOMPARE(view->editTriggers(), QAbstractItemView::NoEditTriggers);
        QCOMPARE(view->selectionBehavior(), QAbstractItemView::SelectRows);
        MShapeList *library = MShapeList::instance();
        QVERIFY(!view->isColumnHidden(library->column("preview")->index()));
        QVERIFY(view->isColumnHidden(library->column("id")->index()));
    }

    void filter_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("empty") << QString() << QStringList{"arrow", "oval", "star"};
        QTest::newRow("description") << QStringLiteral("  TA ") << QStringList{"star"};
        QTest::newRow("group") << QStringLiteral("basic") << QStringList{"oval", "star"};
        QTest::newRow("nowhere") << QStringLiteral("hexagon") << QStringList{};
    }

    // Filters on every shown column, sorted by description.
    void filter()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, shown);
        MShapeWidget widget;
        widget.show();
        QTest::keyClicks(widget.findChild<QLineEdit *>(QStringLiteral("filterEdit")), text);
        QTRY_COMPARE(shownDescriptions(widget), shown);
    }

    // Choosing a row makes its shape the one the shape tool takes.
    void choose()
    {
        MShapeWidget widget;
        widget.show();
        auto *view = widget.findChild<QTableView *>(QStringLiteral("tableView"));
        const int column = MShapeList::instance()->column("description")->index();
        view->setCurrentIndex(widget.proxyModel()->index(1, column));
        QCOMPARE(MShapeList::instance()->currentShape()->description(), QStringLiteral("oval"));
    }

    // Cancel keeps the order file; Ok with the last shape moved to the top writes it.
    void sortDialog()
    {
        MShapeWidget widget;
        MShapeList *library = MShapeList::instance();
        const QStringList before = library->order();
        MTestModalDriver::onNextDialog("DSortList", [](QDialog *dialog) { dialog->reject(); });
        widget.findChild<QToolButton *>(QStringLiteral("sortBtn"))->click();
        QCOMPARE(library->order(), before);
        QVERIFY(!QFile::exists(m_root.filePath(QStringLiteral("user/index.kxl"))));

        bool done = false;
        MTestModalDriver::onNextDialog("DSortList", [](QDialog *dialog) {
            auto *sort = static_cast<DSortList *>(dialog);
            sort->orderList()->setCurrentRow(sort->orderList()->count() - 1);
            sort->moveAtTop();
            sort->on_btnOk_clicked();
        }, &done);
        widget.findChild<QToolButton *>(QStringLiteral("sortBtn"))->click();
        QVERIFY(done);
        QCOMPARE(library->order().first(), uuid(3));
        QCOMPARE(library->shapeAt(0)->description(), QStringLiteral("oval"));
    }
};

QTEST_MAIN(TestMShapeWidget)
#include "tst_mshapewidget.moc"
