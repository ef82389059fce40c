#include "mtextfinder.h"

#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>

class TestMTextFinder : public QObject
{
    Q_OBJECT

private:
    QPlainTextEdit edit;
    MTextFinder finder;

    void setUp(const QString &text, const QString &pattern, bool regExp = false)
    {
        edit.setPlainText(text);
        finder.set_textEdit(&edit);
        finder.set_textToFind(pattern);
        finder.set_isRegExp(regExp);
        finder.set_caseSensitive(false);
        finder.set_wholeWord(false);
        finder.set_backward(false);
    }

    void placeCursor(int position)
    {
        QTextCursor cursor = edit.textCursor();
        cursor.setPosition(position);
        edit.setTextCursor(cursor);
    }

    // The selection as "start:end".
    QString selection() const
    {
        const QTextCursor cursor = edit.textCursor();
        return QStringLiteral("%1:%2").arg(cursor.selectionStart()).arg(cursor.selectionEnd());
    }

private slots:
    // Successive searches from a cursor position, each found selection listed.
    void findSteps_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("regExp");
        QTest::addColumn<bool>("caseSensitive");
        QTest::addColumn<bool>("wholeWord");
        QTest::addColumn<bool>("backward");
        QTest::addColumn<int>("start");
        QTest::addColumn<QStringList>("steps");

        QTest::newRow("forward wraps to the first match")
            << "cat dog cat" << "cat" << false << false << false << false << 0
            << QStringList{"0:3", "8:11", "0:3"};
        QTest::newRow("backward wraps to the last match")
            << "cat dog cat" << "cat" << false << false << false << true << 5
            << QStringList{"0:3", "8:11", "0:3"};
        QTest::newRow("case-insensitive by default")
            << "Cat cat" << "CAT" << false << false << false << false << 0 << QStringList{"0:3", "4:7"};
        QTest::newRow("case-sensitive")
            << "Cat cat CAT" << "CAT" << false << true << false << false << 0 << QStringList{"8:11", "8:11"};
        QTest::newRow("whole words skip parts of words")
            << "concat cat" << "cat" << false << false << true << false << 0 << QStringList{"7:10", "7:10"};
        QTest::newRow("regular expression")
            << "a1 b22 c333" << "[0-9]+" << true << false << false << false << 0
            << QStringList{"1:2", "4:6", "8:11", "1:2"};
        QTest::newRow("case-insensitive regular expression")
            << "Ab ab" << "AB" << true << false << false << false << 0 << QStringList{"0:2", "3:5"};
        QTest::newRow("empty matches move on")
            << "ab" << "x*" << true << false << false << false << 0 << QStringList{"1:1", "2:2", "0:0"};
        QTest::newRow("no match keeps the cursor")
            << "abc" << "z" << false << false << false << false << 1 << QStringList{"1:1", "1:1"};
    }

    void findSteps()
    {
        QFETCH(QString, text);
        QFETCH(QString, pattern);
        QFETCH(bool, regExp);
        QFETCH(bool, caseSensitive);
        QFETCH(bool, wholeWord);
        QFETCH(bool, backward);
        QFETCH(int, start);
        QFETCH(QStringList, steps);
        setUp(text, pattern, regExp);
        finder.set_caseSensitive(caseSensitive);
        finder.set_wholeWord(wholeWord);
        finder.set_backward(backward);
        placeCursor(start);
        QStringList seen;
        for (int i = 0; i < steps.size(); ++i) {
            finder.find();
            seen.append(selection());
        }
        QCOMPARE(seen, steps);
    }

    void findNextAndPrevIgnoreTheDirectionProperty()
    {
        setUp("x y x y x", "x");
        finder.set_backward(true);
        placeCursor(3);
        QVERIFY(finder.findNext());
        QCOMPARE(selection(), QString("4:5"));
        QVERIFY(finder.findPrev());
        QCOMPARE(selection(), QString("0:1"));
    }

    // Every replace-all ends, whatever the pattern and its replacement.
    void replaceAll_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<bool>("regExp");
        QTest::addColumn<QString>("result");
        QTest::addColumn<int>("count");

        QTest::newRow("replacement holds the text") << "aaa" << "a" << "aa" << false << "aaaaaa" << 3;
        QTest::newRow("plain text") << "one two one" << "one" << "1" << false << "1 two 1" << 2;
        QTest::newRow("to nothing") << "a-b-c" << "-" << "" << false << "abc" << 2;
        QTest::newRow("no match") << "abc" << "z" << "y" << false << "abc" << 0;
        QTest::newRow("star matches empty text") << "abc" << "x*" << "-" << true << "-a-b-c-" << 4;
        QTest::newRow("star eats its run") << "axxb" << "x*" << "-" << true << "-a--b-" << 4;
        QTest::newRow("line starts") << "a\nb" << "^" << "> " << true << "> a\n> b" << 2;
        QTest::newRow("line ends") << "a\nb" << "$" << ";" << true << "a;\nb;" << 2;
        QTest::newRow("empty pattern, empty text") << "" << "x*" << "y" << true << "y" << 1;
        QTest::newRow("empty match, empty replacement") << "ab" << "x*" << "" << true << "ab" << 3;
        QTest::newRow("regular expression holds its own match") << "ab" << "b|bb" << "bb" << true << "abb" << 1;
    }

    void replaceAll()
    {
        QFETCH(QString, text);
        QFETCH(QString, pattern);
        QFETCH(QString, replacement);
        QFETCH(bool, regExp);
        QFETCH(QString, result);
        QFETCH(int, count);
        setUp(text, pattern, regExp);
        finder.set_replaceText(replacement);
        QCOMPARE(finder.replaceAll(), count);
        QCOMPARE(edit.toPlainText(), result);
    }

    void replaceAllIsOneUndoStep()
    {
        setUp("a b a b a", "a");
        finder.set_replaceText("c");
        QCOMPARE(finder.replaceAll(), 3);
        QCOMPARE(edit.toPlainText(), QString("c b c b c"));
        edit.undo();
        QCOMPARE(edit.toPlainText(), QString("a b a b a"));
        edit.redo();
        QCOMPARE(edit.toPlainText(), QString("c b c b c"));
    }

    void replaceChangesTheSelectionThenFindsTheNext()
    {
        setUp("a b a", "a");
        finder.set_replaceText("zz");
        placeCursor(0);
        finder.replace(); // no selection: only finds
        QCOMPARE(edit.toPlainText(), QString("a b a"));
        QCOMPARE(selection(), QString("0:1"));
        finder.replace();
        QCOMPARE(edit.toPlainText(), QString("zz b a"));
        QCOMPARE(selection(), QString("5:6"));
    }

    void invalidRegularExpression_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("valid");
        QTest::newRow("open group") << "(" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("valid") << "a(b)" << true;
    }

    void invalidRegularExpression()
    {
        QFETCH(QString, pattern);
        QFETCH(bool, valid);
        setUp("(a(b)", pattern, true);
        finder.set_replaceText("x");
        placeCursor(1);
        QCOMPARE(finder.validateRegExp(), valid);
        if (valid)
            return;
        // Nothing is found or changed with it.
        QVERIFY(!finder.find());
        QCOMPARE(selection(), QString("1:1"));
        QCOMPARE(finder.replaceAll(), 0);
        QCOMPARE(edit.toPlainText(), QString("(a(b)"));
    }

    void getTextToFindTakesTheWordUnderTheCursor()
    {
        setUp("alpha beta gamma", QString());
        QSignalSpy changed(&finder, &MTextFinder::textToFindChanged);
        placeCursor(8);
        finder.getTextToFind();
        QCOMPARE(finder.textToFind(), QString("beta"));
        QCOMPARE(selection(), QString("6:10"));
        // A selection is taken as it is.
        QTextCursor cursor = edit.textCursor();
        cursor.setPosition(1);
        cursor.setPosition(4, QTextCursor::KeepAnchor);
        edit.setTextCursor(cursor);
        finder.getTextToFind();
        QCOMPARE(finder.textToFind(), QString("lph"));
        QCOMPARE(changed.count(), 0);
    }

    void settersSignalOnlyChanges()
    {
        MTextFinder f;
        QSignalSpy text(&f, &MTextFinder::textToFindChanged);
        QSignalSpy regExp(&f, &MTextFinder::isRegExpChanged);
        f.set_textToFind("a");
        f.set_textToFind("a");
        f.set_isRegExp(false);
        f.set_isRegExp(true);
        QCOMPARE(text.count(), 1);
        QCOMPARE(regExp.count(), 1);
    }

    void withoutAnEditorNothingHappens()
    {
        MTextFinder f;
        f.set_textToFind("a");
        QVERIFY(!f.find());
        QCOMPARE(f.replaceAll(), 0);
        f.replace();
        f.getTextToFind();
    }
};

QTEST_MAIN(TestMTextFinder)
#include "tst_mtextfinder.moc"
