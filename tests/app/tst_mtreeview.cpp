#include "mtreeview.h"

#include <QStandardItemModel>
#include <QTest>

namespace {
// A tree of named rows whose rows can be moved, as the view asks of a model.
class TreeModel : public QStandardItemModel
{
public:
    bool moveRows(const QModelIndex &sourceParent, int sourceRow, int count, const QModelIndex &destinationParent,
                  int destinationChild) override
    {
        QStandardItem *from = sourceParent.isValid() ? itemFromIndex(sourceParent) : invisibleRootItem();
        QStandardItem *to = destinationParent.isValid() ? itemFromIndex(destinationParent) : invisibleRootItem();
        if (count != 1 || sourceRow < 0 || sourceRow >= from->rowCount())
            return false;
        const QList<QStandardItem *> row = from->takeRow(sourceRow);
        if (from == to && destinationChild > sourceRow)
            --destinationChild;
        to->insertRow(destinationChild, row);
        return true;
    }
};

// "a(b,c),d" style: each item's text, children in brackets.
QString describe(const QStandardItem *item)
{
    QStringList parts;
    for (int row = 0; row < item->rowCount(); ++row) {
        const QStandardItem *child = item->child(row);
        QString text = child ? child->text() : QString();
        if (text.isEmpty())
            text = QStringLiteral("_");
        if (child && child->rowCount() > 0)
            text += QLatin1Char('(') + describe(child) + QLatin1Char(')');
        parts.append(text);
    }
    return parts.join(QLatin1Char(','));
}

// Builds "a(b,c),d" into the model.
void build(QStandardItem *parent, const QString &spec, int &pos)
{
    QString name;
    while (pos < spec.size()) {
        const QChar c = spec.at(pos++);
        if (c == QLatin1Char('(')) {
            build(parent->child(parent->rowCount() - 1), spec, pos);
        } else if (c == QLatin1Char(')')) {
            return;
        } else if (c != QLatin1Char(',')) {
            parent->appendRow(new QStandardItem(QString(c)));
        }
    }
}

QModelIndex find(const QStandardItemModel &model, const QString &text)
{
    const QList<QStandardItem *> items = model.findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return items.isEmpty() ? QModelIndex() : items.first()->index();
}
} // namespace

class TestMTreeView : public QObject
{
    Q_OBJECT

private slots:
    // Each operation on the row named "target" of "a(b,c),d".
    void operations_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("tree");
        QTest::addColumn<QString>("current");

        QTest::newRow("insert above") << "insertAbove" << "c" << "a(b,_,c),d" << "_";
        QTest::newRow("insert under") << "insertUnder" << "c" << "a(b,c,_),d" << "_";
        QTest::newRow("insert above without a row") << "insertAbove" << "" << "a(b,c),d,_" << "_";
        QTest::newRow("prepend child") << "prependChildTo" << "a" << "a(_,b,c),d" << "_";
        QTest::newRow("append child") << "appendChildTo" << "d" << "a(b,c),d(_)" << "_";
        QTest::newRow("remove, next row takes its place") << "remove" << "b" << "a(c),d" << "c";
        QTest::newRow("remove the last row") << "remove" << "c" << "a(b),d" << "b";
        QTest::newRow("remove the last top-level row") << "remove" << "d" << "a(b,c)" << "a";
        QTest::newRow("move up") << "moveUp" << "c" << "a(c,b),d" << "c";
        QTest::newRow("move up a first row") << "moveUp" << "b" << "a(b,c),d" << "b";
        QTest::newRow("move down") << "moveDown" << "b" << "a(c,b),d" << "b";
        QTest::newRow("move down a last row") << "moveDown" << "d" << "a(b,c),d" << "d";
        QTest::newRow("move left") << "moveLeft" << "b" << "a(c),b,d" << "b";
        QTest::newRow("move left a top-level row") << "moveLeft" << "a" << "a(b,c),d" << "a";
        QTest::newRow("move right") << "moveRight" << "d" << "a(b,c,d)" << "d";
        QTest::newRow("move right a first row") << "moveRight" << "b" << "a(b,c),d" << "b";
    }

    void operations()
    {
        QFETCH(QString, operation);
        QFETCH(QString, target);
        QFETCH(QString, tree);
        QFETCH(QString, current);
        TreeModel model;
        int pos = 0;
        build(model.invisibleRootItem(), "a(b,c),d", pos);
        QCOMPARE(describe(model.invisibleRootItem()), QString("a(b,c),d"));
        MTreeView view;
        view.setModel(&model);
        if (target.isEmpty()) {
            view.setCurrentIndex(QModelIndex());
        } else {
            view.setCurrentIndex(find(model, target));
            QVERIFY(view.currentIndex().isValid());
        }
        QVERIFY(QMetaObject::invokeMethod(&view, (operation + "Current").toLatin1().constData()));
        QCOMPARE(describe(model.invisibleRootItem()), tree);
        QString shown = view.currentIndex().data().toString();
        QCOMPARE(shown.isEmpty() ? QString("_") : shown, current);
    }

    void childOfAnIndexWithoutColumnsGetsOne()
    {
        TreeModel model;
        model.setColumnCount(0);
        MTreeView view;
        view.setModel(&model);
        view.appendChildToIndex(QModelIndex());
        QCOMPARE(model.columnCount(), 1);
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(view.currentIndex(), model.index(0, 0));
    }

    void withoutAModelNothingHappens()
    {
        MTreeView view;
        view.insertAboveCurrent();
        view.appendChildToCurrent();
        view.removeCurrent();
        view.moveUpCurrent();
        view.moveRightCurrent();
        QVERIFY(!view.model());
    }
};

QTEST_MAIN(TestMTreeView)
#include "tst_mtreeview.moc"
