// The code editor driven with key events as from the keyboard.

#include "dsearchengine.h"
#include "meditor.h"
#include "meditorparserglsl.h"
#include "mlinenumberarea.h"
#include "msettings.h"
#include "mtestmodaldriver.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTextBlock>

namespace {
void key(QWidget *widget, int code, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString &text = QString())
{
    QTest::sendKeyEvent(QTest::Press, widget, Qt::Key(code), text, modifiers);
    QTest::sendKeyEvent(QTest::Release, widget, Qt::Key(code), text, modifiers);
}

// The cursor's selection as "first line-last line", or "none".
QString selectedLines(const MEditor &editor)
{
    const QTextCursor cursor = editor.textCursor();
    if (!cursor.hasSelection())
        return QStringLiteral("none");
    const QTextDocument *document = editor.document();
    const QTextBlock first = document->findBlock(cursor.selectionStart());
    const QTextBlock last = document->findBlock(cursor.selectionEnd());
    const bool whole = cursor.selectionStart() == first.position()
                       && cursor.selectionEnd() == last.position() + last.length() - 1;
    return QStringLiteral("%1-%2%3").arg(first.blockNumber()).arg(last.blockNumber()).arg(whole ? "" : " partial");
}
} // namespace

class TestEditor : public QObject
{
    Q_OBJECT

private slots:
    void init() { MSettings::instance()->set_editorSmartTab(true); }

    void gutterGrowsWithTheLineCount()
    {
        MEditor editor;
        editor.resize(400, 300);
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        const int digit = editor.fontMetrics().horizontalAdvance(QLatin1Char('9'));
        editor.setPlainText(QStringLiteral("1\n2\n3\n4\n5\n6\n7\n8\n9"));
        QCOMPARE(editor.lineNumberAreaWidth(), 3 + digit);
        QCOMPARE(editor.viewport()->geometry().left() - editor.contentsRect().left(), 3 + digit + 10);
        editor.moveCursor(QTextCursor::End);
        key(&editor, Qt::Key_Return);
        QCOMPARE(editor.blockCount(), 10);
        QCOMPARE(editor.lineNumberAreaWidth(), 3 + 2 * digit);
        QCOMPARE(editor.viewport()->geometry().left() - editor.contentsRect().left(), 3 + 2 * digit + 10);
        QCOMPARE(editor.lineNumberArea()->sizeHint().width(), 3 + 2 * digit);
        QCOMPARE(editor.lineNumberArea()->width(), 3 + 2 * digit + 10);
    }

    void returnKeepsIndentation_data()
    {
        QTest::addColumn<bool>("smart");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("at");
        QTest::addColumn<QString>("expected");
        QTest::newRow("two tabs") << true << "\t\tx = 1;" << 8 << "\t\tx = 1;\n\t\t";
        QTest::newRow("blanks, line split") << true << "  a b" << 3 << "  a\n   b";
        QTest::newRow("no indentation") << true << "abc" << 3 << "abc\n";
        QTest::newRow("setting off") << false << "\t\tx" << 3 << "\t\tx\n";
    }
    void returnKeepsIndentation()
    {
        QFETCH(bool, smart);
        QFETCH(QString, text);
        QFETCH(int, at);
        MSettings::instance()->set_editorSmartTab(smart);
        MEditor editor;
        editor.setPlainText(text);
        QTextCursor cursor = editor.textCursor();
        cursor.setPosition(at);
        editor.setTextCursor(cursor);
        key(&editor, Qt::Key_Return);
        QTEST(editor.toPlainText(), "expected");
        // One undo takes the whole new line back.
        if (smart) {
            editor.undo();
            QCOMPARE(editor.toPlainText(), text);
        }
    }

    void tabsOnSelectedLines_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("selection");
        QTest::newRow("indent three lines") << int(Qt::Key_Tab) << "a\nb\nc\nd" << 0 << 5 << "\ta\n\tb\n\tc\nd"
                                            << "0-2";
        QTest::newRow("end at a line start counts") << int(Qt::Key_Tab) << "a\nb\nc" << 2 << 4 << "a\n\tb\n\tc" << "1-2";
        QTest::newRow("unindent four blanks") << int(Qt::Key_Backtab) << "    a\n\tb\nc" << 2 << 8
                                              << "   a\nb\nc" << "0-1";
        QTest::newRow("unindent one tab only") << int(Qt::Key_Backtab) << "\t\ta\n\tb" << 0 << 6 << "\ta\nb" << "0-1";
    }
    void tabsOnSelectedLines()
    {
        QFETCH(int, code);
        QFETCH(QString, text);
        QFETCH(int, from);
        QFETCH(int, to);
        MEditor editor;
        editor.setPlainText(text);
        QTextCursor cursor = editor.textCursor();
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        editor.setTextCursor(cursor);
        key(&editor, code, code == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
        QTEST(editor.toPlainText(), "expected");
        QTEST(selectedLines(editor), "selection");
        editor.undo();
        QCOMPARE(editor.toPlainText(), text);
    }

    void shiftTabWithoutSelection_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("at");
        QTest::addColumn<QString>("expected");
        QTest::newRow("tab") << "\tabc" << 4 << "abc";
        QTest::newRow("blank") << "  abc" << 5 << " abc";
        QTest::newRow("no indentation keeps the text") << "abc" << 3 << "abc";
        QTest::newRow("text before the cursor stays") << "x\ty" << 2 << "x\ty";
    }
    void shiftTabWithoutSelection()
    {
        QFETCH(QString, text);
        QFETCH(int, at);
        MEditor editor;
        editor.setPlainText(text);
        QTextCursor cursor = editor.textCursor();
        cursor.setPosition(at);
        editor.setTextCursor(cursor);
        key(&editor, Qt::Key_Backtab, Qt::ShiftModifier);
        QCoreApplication::processEvents();
        QTEST(editor.toPlainText(), "expected");
    }

    void tabWithoutSelectionTypesATab()
    {
        MEditor editor;
        editor.setPlainText(QStringLiteral("ab"));
        editor.moveCursor(QTextCursor::End);
        key(&editor, Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
        QCOMPARE(editor.toPlainText(), QStringLiteral("ab\t"));
    }

    void everyPrintableCharacterTypes()
    {
        MEditor editor;
        QSignalSpy fragments(&editor, &MEditor::insertCodeFragment);
        const QString shifted = QStringLiteral("~!@#$%^&*()_+{}|:\"<>?");
        QString typed;
        for (ushort u = 32; u < 127; ++u) {
            const QChar c(u);
            const bool shift = c.isUpper() || shifted.contains(c);
            const int code = c.isLetter() ? int(c.toUpper().unicode()) : int(u);
            key(&editor, code, shift ? Qt::ShiftModifier : Qt::NoModifier, QString(c));
            typed += c;
        }
        // A capital K and a blank typed with Shift held are text too.
        key(&editor, Qt::Key_K, Qt::ShiftModifier, QStringLiteral("K"));
        key(&editor, Qt::Key_Space, Qt::ShiftModifier, QStringLiteral(" "));
        typed += QStringLiteral("K ");
        QCOMPARE(editor.toPlainText(), typed);
        QCOMPARE(fragments.count(), 0);
    }

    void controlKeys_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("search");
        QTest::newRow("Ctrl+K") << int(Qt::Key_K) << int(Qt::ControlModifier) << true;
        QTest::newRow("Ctrl+Space") << int(Qt::Key_Space) << int(Qt::ControlModifier) << true;
        QTest::newRow("Ctrl+Shift+K") << int(Qt::Key_K) << int(Qt::ControlModifier | Qt::ShiftModifier) << false;
        QTest::newRow("Ctrl+Shift+Space") << int(Qt::Key_Space) << int(Qt::ControlModifier | Qt::ShiftModifier)
                                          << false;
    }
    void controlKeys()
    {
        QFETCH(int, code);
        QFETCH(int, modifiers);
        QFETCH(bool, search);
        MEditor editor;
        QSignalSpy fragments(&editor, &MEditor::insertCodeFragment);
        editor.setPlainText(QStringLiteral("float a = smoothst"));
        editor.moveCursor(QTextCursor::End);
        bool searched = false;
        QString searchText;
        if (search) {
            MTestModalDriver::onNextDialog("DSearchEngine", [&](QDialog *dialog) {
                searchText = dialog->findChild<QLineEdit *>(QStringLiteral("searchEdit"))->text();
                dialog->activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(dialog));
                QTest::keyClick(dialog->findChild<QTableView *>(QStringLiteral("tableView")), Qt::Key_Return);
            }, &searched);
        }
        key(&editor, code, Qt::KeyboardModifiers(modifiers));
        QCOMPARE(searched, search);
        if (search) {
            QCOMPARE(searchText, QStringLiteral("smoothst"));
            QCOMPARE(editor.toPlainText(), QStringLiteral("float a = smoothstep"));
            QCOMPARE(fragments.count(), 0);
        } else {
            QCOMPARE(editor.toPlainText(), QStringLiteral("float a = smoothst"));
            QCOMPARE(fragments.count(), 1);
            QCOMPARE(fragments.at(0).at(0).toString(), QStringLiteral("smoothst"));
        }
    }

    void cursorLineLitOnlyWhenEditable()
    {
        MEditor editor;
        editor.setPlainText(QStringLiteral("a\nb"));
        editor.moveCursor(QTextCursor::End);
        QCOMPARE(editor.extraSelections().size(), 1);
        editor.setReadOnly(true);
        editor.moveCursor(QTextCursor::Start);
        QCOMPARE(editor.extraSelections().size(), 0);
    }

    void formattedHtmlKeepsTheColours()
    {
        MEditor editor;
        MEditorParserGLSL highlighter;
        editor.setPlainText(QStringLiteral("vec4 a; // note\nfloat b;"));
        QVERIFY(!editor.formattedHtml().contains(QStringLiteral("#008000")));
        highlighter.setDocument(editor.document());
        highlighter.rehighlight();
        const QString html = editor.formattedHtml();
        QVERIFY(html.contains(QStringLiteral("color:#000080;\">vec4</span>")));
        QVERIFY(html.contains(QStringLiteral("italic; color:#008000;\">// note</span>")));
        QVERIFY(html.contains(QStringLiteral("white-space: pre")));
        // The editor's own document is left as it was.
        QCOMPARE(editor.toPlainText(), QStringLiteral("vec4 a; // note\nfloat b;"));
    }
};

QTEST_MAIN(TestEditor)
#include "tst_meditor.moc"
