// The effect list and the brush engine chooser over one effect library: which
// rows each shows for a search, what choosing a row does, and their buttons.

#include "dbrushengine.h"
#include "mshader.h"
#include "mshaderlist.h"
#include "mshaderproxy.h"
#include "mshaderwidget.h"
#include "mtestdialogscript.h"
#include "mtesteffectlist.h"
#include "mtestfolder.h"

#include <QAction>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QToolButton>

namespace {
// Two effects and two brush engines, named so that searches tell them apart.
struct Library
{
    MTestFolder root;

    Library()
    {
        QDir().mkpath(root.filePath(QStringLiteral("system")));
        QDir().mkpath(root.filePath(QStringLiteral("user")));
        int n = 0;
        const QList<QStringList> entries{{"0", "color", "warm tint"},
                                         {"0", "filters", "soft blur"},
                                         {"1", "brush engines", "grain"},
                                         {"1", "wet", "soft bristles"}};
        for (const QStringList &entry : entries) {
            const QString id = QStringLiteral("{00000000-0000-4000-8000-%1}").arg(++n, 12, 10, QLatin1Char('0'));
            const QJsonObject json{{"id", id},
                                   {"group", entry.at(1)},
                                   {"description", entry.at(2)},
                                   {"source", QString::fromLatin1(QByteArray("@main").toBase64())},
                                   {"type", entry.at(0).toInt()}};
            root.writeFile(QStringLiteral("system/") + id.toLower() + ".kxs", QJsonDocument(json).toJson());
        }
        MShaderList::destroyInstance();
        MShaderList::setInstance(
            new MShaderList(root.filePath(QStringLiteral("system")), root.filePath(QStringLiteral("user"))));
    }
    ~Library() { MShaderList::destroyInstance(); }
};

QStringList shown(const QAbstractItemModel *proxy)
{
    QStringList list;
    MShaderList *library = MShaderList::instance();
    const auto *filter = static_cast<const QSortFilterProxyModel *>(proxy);
    for (int row = 0; row < proxy->rowCount(); ++row)
        list << library->shaderAt(filter->mapToSource(proxy->index(row, 0)).row())->description();
    list.sort();
    return list;
}

// Makes the row showing the description current in the view.
bool choose(QTableView *view, const QString &description)
{
    const QModelIndex index = MTestEffectList::cellOf(view, description);
    view->setCurrentIndex(index);
    return index.isValid();
}
} // namespace

class TestMShaderWidget : public QObject
{
    Q_OBJECT

private slots:
    void searchShowsOneTypeOnly_data()
    {
        QTest::addColumn<bool>("engines"); // the chooser, else the effect list
        QTest::addColumn<QString>("search");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("effects") << false << "" << QStringList{"soft blur", "warm tint"};
        QTest::newRow("effects by group") << false << " COLOR " << QStringList{"warm tint"};
        QTest::newRow("an engine's name finds no effect") << false << "grain" << QStringList();
        QTest::newRow("effects by description") << false << "soft" << QStringList{"soft blur"};
        QTest::newRow("engines") << true << "" << QStringList{"grain", "soft bristles"};
        QTest::newRow("engine by description only") << true << "Bristle" << QStringList{"soft bristles"};
        QTest::newRow("an effect's name finds no engine") << true << "tint" << QStringList();
    }
    void searchShowsOneTypeOnly()
    {
        QFETCH(bool, engines);
        QFETCH(QString, search);
        QFETCH(QStringList, rows);
        Library library;
        std::unique_ptr<QWidget> widget;
        if (engines)
            widget.reset(new DBrushEngine);
        else
            widget.reset(new MShaderWidget);
        widget->findChild<QLineEdit *>(QStringLiteral("searchLineEdit"))->setText(search);
        QCOMPARE(shown(widget->findChild<QTableView *>(QStringLiteral("tableView"))->model()), rows);
    }

    void chooserOkNeedsARow_data()
    {
        QTest::addColumn<QString>("row"); // empty: none chosen
        QTest::addColumn<bool>("doubleClick");
        QTest::newRow("nothing chosen") << QString() << false;
        QTest::newRow("Ok on a row") << "grain" << false;
        QTest::newRow("double click on a row") << "soft bristles" << true;
    }
    void chooserOkNeedsARow()
    {
        QFETCH(QString, row);
        QFETCH(bool, doubleClick);
        Library library;
        MTestDialogScript script;
        DBrushEngine dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto *view = dialog.findChild<QTableView *>(QStringLiteral("tableView"));
        if (!row.isEmpty())
            QVERIFY(choose(view, row));
        if (doubleClick) {
            const QPoint cell = view->visualRect(view->currentIndex()).center();
            QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, cell);
            QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, cell);
        } else {
            QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("okButton")), Qt::LeftButton);
        }
        if (row.isEmpty()) {
            QCOMPARE(script.requests().size(), 1);
            QCOMPARE(script.requests().at(0).text, QStringLiteral("Please select a valid brush engine."));
            QVERIFY(dialog.isVisible());
            QVERIFY(!dialog.shader());
        } else {
            QCOMPARE(script.requests().size(), 0);
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
            QVERIFY(dialog.shader());
            QCOMPARE(dialog.shader()->description(), row);
        }
    }

    void choosingARowMakesItCurrent()
    {
        Library library;
        MShaderWidget widget;
        QVERIFY(choose(widget.tableView(), QStringLiteral("soft blur")));
        QCOMPARE(MShaderList::instance()->current()->description(), QStringLiteral("soft blur"));
    }

    void actionsAndDoubleClick()
    {
        qRegisterMetaType<QAction *>();
        Library library;
        MShaderWidget widget;
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
        QTableView *view = widget.tableView();
        QVERIFY(choose(view, QStringLiteral("warm tint")));
        const QPoint cell = view->visualRect(view->currentIndex()).center();
        // No apply action yet: nothing to trigger, nothing breaks.
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, cell);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, cell);

        QAction apply(QStringLiteral("apply"), nullptr);
        QSignalSpy triggered(&apply, &QAction::triggered);
        QSignalSpy changed(&widget, &MShaderWidget::applyShaderActionChanged);
        widget.set_applyShaderAction(&apply);
        widget.set_applyShaderAction(&apply);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(widget.findChild<QToolButton *>(QStringLiteral("btnApplyShader"))->defaultAction(), &apply);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, cell);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, cell);
        QCOMPARE(triggered.count(), 1);
    }
};

QTEST_MAIN(TestMShaderWidget)
#include "tst_mshaderwidget.moc"
