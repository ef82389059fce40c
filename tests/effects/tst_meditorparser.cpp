// Highlighting of effect sources: keyword classes, literals, comments and the
// search overlay, read back from the formats laid on each line.

#include "meditorparserglsl.h"

#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

namespace {
// The format the highlighter laid on the character at column of line.
QTextCharFormat formatAt(QTextDocument *document, int line, int column)
{
    const QTextBlock block = document->findBlockByNumber(line);
    QTextCharFormat found;
    for (const QTextLayout::FormatRange &range : block.layout()->formats()) {
        if (column >= range.start && column < range.start + range.length)
            found = range.format; // later ranges are drawn over earlier ones
    }
    return found;
}

// "none", "bold <colour>", "<colour>", "italic <colour>" with the colour's name.
QString look(const QTextCharFormat &format)
{
    if (!format.hasProperty(QTextFormat::ForegroundBrush) && !format.hasProperty(QTextFormat::BackgroundBrush))
        return QStringLiteral("none");
    QString text = format.foreground().color().name();
    if (format.fontWeight() > 50)
        text.prepend(QStringLiteral("bold "));
    if (format.fontItalic())
        text.prepend(QStringLiteral("italic "));
    if (format.background().style() != Qt::NoBrush)
        text += QStringLiteral(" on ") + format.background().color().name();
    return text;
}

QString name(Qt::GlobalColor color)
{
    return QColor(color).name();
}
} // namespace

class TestEditorParser : public QObject
{
    Q_OBJECT

private slots:
    void formats_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("expected");
        const QString lookup = QStringLiteral("vec4 c = texture(f_currentLayerTexture, v_texCoords0); // sample it");
        QTest::newRow("type") << lookup << 0 << 1 << "bold " + name(Qt::darkBlue);
        QTest::newRow("function") << lookup << 0 << 10 << "bold " + name(Qt::black);
        QTest::newRow("input") << lookup << 0 << 20 << "bold " + name(Qt::darkYellow);
        QTest::newRow("plain name") << lookup << 0 << 5 << "none";
        QTest::newRow("comment slashes") << lookup << 0 << lookup.indexOf("//") << "italic " + name(Qt::darkGreen);
        QTest::newRow("comment end") << lookup << 0 << lookup.size() - 1 << "italic " + name(Qt::darkGreen);
        QTest::newRow("section word") << "@main" << 0 << 2 << "bold " + name(Qt::darkRed);
        QTest::newRow("section at sign") << "@main" << 0 << 0 << "none";
        QTest::newRow("filter name") << "min filter = LinearMipMapLinear;" << 0 << 15 << "bold " + name(Qt::darkCyan);
        QTest::newRow("keyword in string") << "x \"texture\";" << 0 << 4 << name(Qt::darkBlue);
        QTest::newRow("decimal number") << "a = 12.5;" << 0 << 7 << name(Qt::black);
        QTest::newRow("digit before a lone dot") << "a = 3. ;" << 0 << 4 << name(Qt::black);
        QTest::newRow("lone dot") << "a = 3. ;" << 0 << 5 << "none";
        QTest::newRow("digit of a name") << "x2 = 1;" << 0 << 1 << "none";
        const QString block = QStringLiteral("a /* start\nvec4 inside\nstill\nend */ float b;");
        QTest::newRow("block opening") << block << 0 << 3 << "italic " + name(Qt::darkGreen);
        QTest::newRow("before block") << block << 0 << 0 << "none";
        QTest::newRow("block keyword inside") << block << 1 << 1 << "italic " + name(Qt::darkGreen);
        QTest::newRow("block middle line") << block << 2 << 2 << "italic " + name(Qt::darkGreen);
        QTest::newRow("block closing") << block << 3 << 4 << "italic " + name(Qt::darkGreen);
        QTest::newRow("after block") << block << 3 << 7 << "bold " + name(Qt::darkBlue);
        QTest::newRow("opening in a line comment") << "// see /*\nvec4 x;" << 1 << 0 << "italic " + name(Qt::darkGreen);
        QTest::newRow("opening in a string") << "\"/*\"\nvec4 x;" << 1 << 0 << "italic " + name(Qt::darkGreen);
    }
    void formats()
    {
        QFETCH(QString, source);
        QFETCH(int, line);
        QFETCH(int, column);
        QTextDocument document(source);
        MEditorParserGLSL parser;
        parser.setDocument(&document);
        QCoreApplication::processEvents(); // the first highlight is a queued one
        QTEST(look(formatAt(&document, line, column)), "expected");
    }

    void removingTheCommentEndExtendsTheComment()
    {
        // Edited in an editor, whose document has a layout that reports the edit.
        QPlainTextEdit editor(QStringLiteral("/*\nvec4 a;\n*/\nvec4 b;\nvec4 c;"));
        QTextDocument &document = *editor.document();
        MEditorParserGLSL parser;
        parser.setDocument(&document);
        QCoreApplication::processEvents(); // the first highlight is a queued one
        QCOMPARE(look(formatAt(&document, 3, 0)), QString("bold " + name(Qt::darkBlue)));
        QTextCursor cursor(document.findBlockByNumber(2));
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        for (int line : {3, 4})
            QCOMPARE(look(formatAt(&document, line, 0)), QString("italic " + name(Qt::darkGreen)));
        QCOMPARE(document.lastBlock().userState(), 1);
    }

    void search_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("caseSensitive");
        QTest::addColumn<bool>("wholeWord");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QList<int>>("lit"); // columns drawn with the search colours
        QTest::newRow("literal dot") << "a.b" << false << false << "axb a.b" << QList<int>{4, 5, 6};
        QTest::newRow("any case") << "VEC" << false << false << "vec4 Vec" << QList<int>{0, 1, 2, 5, 6, 7};
        QTest::newRow("case sensitive") << "Vec" << true << false << "vec4 Vec" << QList<int>{5, 6, 7};
        QTest::newRow("whole word") << "vec" << false << true << "vec4 vec" << QList<int>{5, 6, 7};
        QTest::newRow("over a comment") << "it" << false << false << "// it" << QList<int>{3, 4};
        QTest::newRow("brackets and plus") << "a[+]" << false << false << "a[+] a+" << QList<int>{0, 1, 2, 3};
        QTest::newRow("empty text") << "" << false << false << "abc" << QList<int>();
    }
    void search()
    {
        QFETCH(QString, text);
        QFETCH(bool, caseSensitive);
        QFETCH(bool, wholeWord);
        QFETCH(QString, line);
        QFETCH(QList<int>, lit);
        QTextDocument document(line);
        MEditorParserGLSL parser;
        parser.setDocument(&document);
        QCoreApplication::processEvents(); // the first highlight is a queued one
        parser.setSearch(QStringLiteral("zzz"), false, false);
        parser.setSearch(text, caseSensitive, wholeWord);
        QList<int> found;
        for (int column = 0; column < line.size(); ++column) {
            if (look(formatAt(&document, 0, column)).endsWith(QStringLiteral(" on #ffff00")))
                found << column;
        }
        QCOMPARE(found, lit);
        QCOMPARE(parser.isSearchActive(), !text.isEmpty());

        parser.resetSearch();
        QVERIFY(!parser.isSearchActive());
        for (int column = 0; column < line.size(); ++column)
            QVERIFY(!look(formatAt(&document, 0, column)).contains(QStringLiteral(" on ")));
    }

    void everyKeywordMatchesOnlyItself()
    {
        // The rules are built from the words as written: a word with blanks
        // or signs must match nothing but itself.
        MEditorParserGLSL parser;
        // One rule a keyword, then strings, numbers and line comments.
        QCOMPARE(parser.highlightingRules().size(), 376);
        QTextDocument document(QStringLiteral("MirrorClampToEdge 3\nMirrorClampToEdgeX3"));
        parser.setDocument(&document);
        QCoreApplication::processEvents(); // the first highlight is a queued one
        QCOMPARE(look(formatAt(&document, 0, 0)), QString("bold " + name(Qt::black)));
        QCOMPARE(look(formatAt(&document, 1, 0)), QStringLiteral("none"));
    }
};

QTEST_MAIN(TestEditorParser)
#include "tst_meditorparser.moc"
