#pragma once

#include <QObject>
#include <QTextCursor>
#include <QTextDocument>

class QPlainTextEdit;
class QRegularExpression;

// Find and replace in one plain-text editor, driven by the fields and buttons
// of the editor that holds it.
class MTextFinder : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString textToFind READ textToFind WRITE set_textToFind NOTIFY textToFindChanged)
    Q_PROPERTY(QString replaceText READ replaceText WRITE set_replaceText NOTIFY replaceTextChanged)
    Q_PROPERTY(bool caseSensitive READ caseSensitive WRITE set_caseSensitive NOTIFY caseSensitiveChanged)
    Q_PROPERTY(bool wholeWord READ wholeWord WRITE set_wholeWord NOTIFY wholeWordChanged)
    Q_PROPERTY(bool isRegExp READ isRegExp WRITE set_isRegExp NOTIFY isRegExpChanged)
    Q_PROPERTY(bool backward READ backward WRITE set_backward NOTIFY backwardChanged)
    Q_PROPERTY(QPlainTextEdit *textEdit READ textEdit WRITE set_textEdit NOTIFY textEditChanged)
public:
    explicit MTextFinder(QObject *parent = nullptr);

    QString textToFind() const { return m_textToFind; }
    QString replaceText() const { return m_replaceText; }
    bool caseSensitive() const { return m_caseSensitive; }
    bool wholeWord() const { return m_wholeWord; }
    bool isRegExp() const { return m_isRegExp; }
    bool backward() const { return m_backward; }
    QPlainTextEdit *textEdit() const { return m_textEdit; }

    // Selects the next match in the direction, wrapping round the document;
    // false when nothing matches (the selection stays as it was).
    bool find(bool backward);
    bool find();
    bool findNext();
    bool findPrev();
    // The selection, or the word under the cursor (then selected), becomes the text to find.
    void getTextToFind();
    void replace();
    // Replaces every match from the start in one undo step; the number replaced.
    int replaceAll();
    // Whether there is a text to find that compiles as a regular expression.
    bool validateRegExp() const;

public slots:
    void set_textToFind(const QString &value);
    void set_replaceText(const QString &value);
    void set_caseSensitive(bool value);
    void set_wholeWord(bool value);
    void set_isRegExp(bool value);
    void set_backward(bool value);
    void set_textEdit(QPlainTextEdit *value);

signals:
    void textToFindChanged(const QString &value);
    void replaceTextChanged(const QString &value);
    void caseSensitiveChanged(bool value);
    void wholeWordChanged(bool value);
    void isRegExpChanged(bool value);
    void backwardChanged(bool value);
    void textEditChanged(QPlainTextEdit *value);

private:
    QRegularExpression regularExpression() const;
    // One search from the cursor; a null cursor when nothing matches.
    QTextCursor search(const QTextCursor &from, bool backward) const;
    // A usable pattern to search for: a text, and a valid expression when it is one.
    bool canSearch() const;

    QString m_textToFind;
    QString m_replaceText;
    bool m_caseSensitive = false;
    bool m_wholeWord = false;
    bool m_isRegExp = false;
    bool m_backward = false;
    QPlainTextEdit *m_textEdit = nullptr;
};
