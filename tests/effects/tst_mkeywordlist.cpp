// The built-in GLSL vocabulary and the keyword search dialog.

#include "dsearchengine.h"
#include "mkeyword.h"
#include "mkeywordlist.h"
#include "mtestmodaldriver.h"

#include <QLineEdit>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTest>

#include <memory>

namespace {
QStringList shownKeywords(DSearchEngine *dialog)
{
    auto *view = dialog->findChild<QTableView *>(QStringLiteral("tableView"));
    const QAbstractItemModel *model = view->model();
    const int column = MKeywordList::instance()->itemMetaObject().indexOfProperty("keyword");
    QStringList words;
    for (int row = 0; row < model->rowCount(); ++row)
        words << model->index(row, column).data().toString();
    return words;
}
} // namespace

class TestKeywordList : public QObject
{
    Q_OBJECT

private slots:
    void resourceHoldsEveryClass()
    {
        const MKeywordList *list = MKeywordList::instance();
        QCOMPARE(list->count(), 373);
        QMap<int, int> perClass;
        QSet<QString> words;
        for (int row = 0; row < list->count(); ++row) {
            const MKeyword *keyword = list->keywordAt(row);
            ++perClass[keyword->keywordClass()];
            words.insert(keyword->keyword());
        }
        QCOMPARE(perClass, (QMap<int, int>{{0, 175}, {1, 26}, {2, 4}, {3, 12}, {4, 156}}));
        QCOMPARE(words.size(), 373);
        for (const char *word : {"texture", "f_color", "v_texCoords0", "main", "ClampToBorder", "sampler2D", "vec4",
                                 "f_globalTime", "color", "increment"})
            QVERIFY2(words.contains(QLatin1String(word)), word);

        // The file's last line has no class: it is kept as the file gives it.
        const MKeyword *last = list->keywordAt(list->count() - 1);
        QCOMPARE(last->keyword(), QStringLiteral("MirrorClampToEdge 3"));
        QCOMPARE(last->keywordClass(), 0);
        QCOMPARE(last->description(), QStringLiteral("MirrorClampToEdge 3"));
        // Descriptions keep the blank that follows their ";".
        QCOMPARE(list->keywordAt(0)->keyword(), QStringLiteral("abs"));
        QCOMPARE(list->keywordAt(0)->description(), QStringLiteral(" return the absolute value of the parameter"));
    }

    void lines_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("made");
        QTest::addColumn<QString>("keyword");
        QTest::addColumn<int>("keywordClass");
        QTest::addColumn<QString>("description");
        QTest::newRow("three parts") << "dot; 0; dot product" << true << "dot" << 0 << " dot product";
        QTest::newRow("class with blanks") << "vec4;  4 ; four" << true << "vec4" << 4 << " four";
        QTest::newRow("no class number") << "x; y; z" << true << "x" << 0 << " z";
        QTest::newRow("no description") << "main; 2" << true << "main" << 2 << "main";
        QTest::newRow("empty description") << "main; 2;" << true << "main" << 2 << "main";
        QTest::newRow("one part") << "word" << true << "word" << 0 << "word";
        QTest::newRow("extra parts ignored") << "a; 3; b; c" << true << "a" << 3 << " b";
        QTest::newRow("no keyword") << "; 3; nothing" << false << "" << 0 << "";
    }
    void lines()
    {
        QFETCH(QString, line);
        QFETCH(bool, made);
        std::unique_ptr<MKeyword> keyword(MKeywordList::parseLine(line));
        QCOMPARE(keyword != nullptr, made);
        if (!made)
            return;
        QTEST(keyword->keyword(), "keyword");
        QTEST(keyword->keywordClass(), "keywordClass");
        QTEST(keyword->description(), "description");
    }

    void searchFiltersByNameAndDescription()
    {
        DSearchEngine dialog;
        dialog.setSearchText(QStringLiteral("TEXTURE"));
        const QStringList shown = shownKeywords(&dialog);
        // By name, in any case, and by description only.
        for (const char *word : {"texture", "textureLod", "texture2D", "f_currentLayerTexture", "f_paperTexture",
                                 "Repeat", "ClampToEdge"})
            QVERIFY2(shown.contains(QLatin1String(word)), word);
        QVERIFY(!shown.contains(QStringLiteral("abs")));
        QVERIFY(!shown.contains(QStringLiteral("vec4")));
        // A prefix narrows to the words beginning so.
        dialog.setSearchText(QStringLiteral("smoothst"));
        QCOMPARE(shownKeywords(&dialog), QStringList{"smoothstep"});
    }

    void returnAcceptsSelectedOrFirst_data()
    {
        QTest::addColumn<QString>("search");
        QTest::addColumn<int>("select"); // view row to select, -1 for none
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("keyword");
        QTest::newRow("first shown") << "smoothst" << -1 << true << "smoothstep";
        QTest::newRow("selected") << "clamp" << 1 << true << "";
        QTest::newRow("nothing shown") << "no such word" << -1 << false << "";
    }
    void returnAcceptsSelectedOrFirst()
    {
        QFETCH(QString, search);
        QFETCH(int, select);
        DSearchEngine dialog;
        dialog.setSearchText(search);
        auto *view = dialog.findChild<QTableView *>(QStringLiteral("tableView"));
        view->sortByColumn(MKeywordList::instance()->itemMetaObject().indexOfProperty("keyword"), Qt::AscendingOrder);
        view->clearSelection();
        if (select >= 0)
            view->selectRow(select);
        dialog.show();
        dialog.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QTest::keyClick(view, Qt::Key_Return);
        QFETCH(bool, accepted);
        QCOMPARE(dialog.isVisible(), !accepted);
        if (!accepted)
            return;
        QFETCH(QString, keyword);
        // A selected row wins over the first one.
        QCOMPARE(dialog.keyword(), select >= 0 ? shownKeywords(&dialog).at(select) : keyword);
        QVERIFY(select < 0 || dialog.keyword() != shownKeywords(&dialog).at(0));
    }
};

QTEST_MAIN(TestKeywordList)
#include "tst_mkeywordlist.moc"
