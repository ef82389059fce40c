#include "mhelpengine.h"
#include "mhelpitem.h"
#include "mtestfolder.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

namespace {
// The tree as text: title(id) and the children in brackets.
QString describe(const MHelpItem *item)
{
    QStringList parts;
    for (int i = 0; i < item->childCount(); ++i) {
        const MHelpItem *child = item->child(i);
        QString text = child->title() + QLatin1Char('(') + child->id() + QLatin1Char(')');
        if (child->childCount() > 0)
            text += QLatin1Char('[') + describe(child) + QLatin1Char(']');
        parts.append(text);
    }
    return parts.join(QLatin1Char(' '));
}
} // namespace

class TestMHelpEngine : public QObject
{
    Q_OBJECT

private slots:
    void parsesIndexLines_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("tree");
        QTest::addColumn<QString>("trace");
        QTest::newRow("nested levels") << "A $$ a\n\tB $$ b\n\t\tC $$ c\nD $$ d" << "A(a)[B(b)[C(c)]] D(d)" << "";
        QTest::newRow("back two levels at once")
            << "A $$ a\n\tB $$ b\n\t\tC $$ c\n\tE $$ e\nD $$ d" << "A(a)[B(b)[C(c)] E(e)] D(d)" << "";
        QTest::newRow("a jump of two TABs is one level") << "A $$ a\n\t\tB $$ b\n\t\tC $$ c" << "A(a)[B(b) C(c)]" << "";
        QTest::newRow("leading TAB stays at the top level")
            << "\tA $$ a\n\tB $$ b\n\t\tC $$ c" << "A(a) B(b)[C(c)]" << "";
        QTest::newRow("blanks before a TAB do not count") << "A $$ a\n  \tB $$ b" << "A(a) B(b)" << "";
        QTest::newRow("comments and blank lines") << "# topics\n\n   \nA $$ a\n\t# B $$ b\n\tC $$ c" << "A(a)[C(c)]"
                                                  << "";
        QTest::newRow("empty parts dropped, further parts ignored")
            << "Title $$ $$ page $$ more" << "Title(page)" << "";
        QTest::newRow("line without separator skipped")
            << "A $$ a\nNo separator\nB $$ b" << "A(a) B(b)" << "invalid index entry: No separator";
        QTest::newRow("title only skipped") << "Lonely $$\nB $$ b" << "B(b)" << "invalid index entry: Lonely $$";
    }

    void parsesIndexLines()
    {
        QFETCH(QString, text);
        QFETCH(QString, tree);
        QFETCH(QString, trace);
        MHelpEngine engine;
        if (!trace.isEmpty())
            QTest::ignoreMessage(QtDebugMsg, qPrintable(QStringLiteral("mhelpengine::MHelpEngine::loadIndex ") + trace));
        QSignalSpy reset(&engine, &QAbstractItemModel::modelReset);
        engine.loadIndex(text.split(QLatin1Char('\n')));
        QCOMPARE(describe(engine.rootItem()), tree);
        QCOMPARE(reset.count(), 1);
    }

    void modelFollowsTheTree()
    {
        MHelpEngine engine;
        QAbstractItemModelTester tester(&engine, QAbstractItemModelTester::FailureReportingMode::QtTest);
        engine.loadIndex({"A $$ a", "\tB $$ b", "\t\tC $$ c", "D $$ d"});
        const QModelIndex a = engine.index(0, 0);
        const QModelIndex c = engine.index(0, 0, engine.index(0, 0, a));
        QCOMPARE(c.data().toString(), QStringLiteral("C"));
        QCOMPARE(engine.itemOf(c)->title(), QStringLiteral("C"));
        QCOMPARE(c.parent().parent(), a);
        QCOMPARE(engine.indexOf(engine.itemOf(c)), c);
        QCOMPARE(engine.rowCount(), 2);
        engine.loadIndex(QStringList());
        QCOMPARE(engine.rowCount(), 0);
    }

    void savedIndexLoadsBack()
    {
        MTestFolder folder;
        MHelpEngine engine;
        engine.setHelpRoot(folder.path());
        const QStringList lines{"Brush tool $$ BrushTool", "\tPinceau à l'eau – été $$ Water_Brush",
                                "\t\tDeep $$ deep", "\tMore $$ more", "Last $$ _intro"};
        engine.loadIndex(lines);
        QVERIFY(engine.saveIndex());
        QCOMPARE(engine.indexPath(), folder.path() + "source/en/index.txt");
        const QByteArray saved = folder.readFile("source/en/index.txt");
        QVERIFY(saved.startsWith("Brush tool\t\t\t\t\t\t\t\t\t$$brush-tool\n\tPinceau à l'eau – été\t"));

        MHelpEngine reloaded;
        reloaded.setHelpRoot(folder.path());
        reloaded.loadIndex();
        QCOMPARE(describe(reloaded.rootItem()),
                 QStringLiteral("Brush tool(brush-tool)[Pinceau à l'eau – été(water--brush)[Deep(deep)] More(more)] "
                                "Last(intro)"));
        // Saved again, the page names are their own page names.
        QVERIFY(reloaded.saveIndex());
        QCOMPARE(folder.readFile("source/en/index.txt"), saved);
    }

    void missingIndexGivesAnEmptyTree()
    {
        MTestFolder folder;
        MHelpEngine engine;
        engine.setHelpRoot(folder.path());
        engine.loadIndex({"A $$ a"});
        engine.loadIndex();
        QCOMPARE(engine.rowCount(), 0);
    }

    void fileNameRule_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("page");
        QTest::newRow("camel case") << "BrushTool" << "brush-tool";
        QTest::newRow("dash kept once") << "Main-Window" << "main-window";
        QTest::newRow("underscore then capital") << "My_Page" << "my--page";
        QTest::newRow("leading underscore") << "_intro" << "intro";
        QTest::newRow("two leading underscores") << "__intro" << "intro";
        QTest::newRow("digit then capital") << "Tool2D" << "tool2-d";
        QTest::newRow("already a page name") << "brush-tool" << "brush-tool";
        QTest::newRow("accented capital") << "ÉtéPage" << "été-page";
        QTest::newRow("empty") << "" << "";
    }

    void fileNameRule()
    {
        QFETCH(QString, name);
        QFETCH(QString, page);
        QCOMPARE(MHelpEngine::fileNameOf(name), page);
        QCOMPARE(MHelpEngine::fileNameOf(page), page);
    }

    void pagesStayInTheirFolder_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<bool>("safe");
        QTest::newRow("plain") << "brushTool" << true;
        QTest::newRow("dots inside") << "v1.2" << true;
        QTest::newRow("parent folder") << "../outside" << false;
        QTest::newRow("sub folder") << "a/b" << false;
        QTest::newRow("backslash") << "a\\b" << false;
        QTest::newRow("only dots") << ".." << false;
        QTest::newRow("absolute") << "/etc/passwd" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("newline") << "a\nb" << false;
        QTest::newRow("carriage return") << "page\r" << false;
        QTest::newRow("escape") << "\x1b[2Jpage" << false;
        QTest::newRow("delete") << "page\x7f" << false;
        QTest::newRow("NUL") << QString(QChar(0)) + "page" << false;
    }

    void pagesStayInTheirFolder()
    {
        QFETCH(QString, id);
        QFETCH(bool, safe);
        MTestFolder folder;
        MHelpEngine engine;
        engine.setHelpRoot(folder.path());
        engine.loadIndex({QStringLiteral("Topic $$ x")});
        MHelpItem *item = engine.rootItem()->child(0);
        item->set_id(id);
        QCOMPARE(!engine.sourcePagePath(item).isEmpty(), safe);
        QCOMPARE(!engine.exportPagePath(item).isEmpty(), safe);
        if (safe)
            QCOMPARE(engine.exportPagePath(item), folder.path() + "export/en/" + MHelpEngine::fileNameOf(id) + ".html");
    }

    void checkFindsEmptyAndClashingIds()
    {
        MHelpEngine engine;
        engine.loadIndex({"A $$ Page", "\tB $$ other", "\t\tC $$ PAGE", "D $$ d"});
        engine.rootItem()->child(1)->set_id(QString());
        QTest::ignoreMessage(QtDebugMsg, "mhelpengine::MHelpEngine::checkItem Id is already in use PAGE C");
        QTest::ignoreMessage(QtDebugMsg, "mhelpengine::MHelpEngine::checkItem Empty item id D");
        engine.checkIndex();
        QCOMPARE(engine.usedIds(), (QSet<QString>{"page", "other", ""}));
        QCOMPARE(describe(engine.rootItem()), QStringLiteral("A(Page)[B(other)[C(PAGE)]] D()"));
    }
};

QTEST_MAIN(TestMHelpEngine)
#include "tst_mhelpengine.moc"
