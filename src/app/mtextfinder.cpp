#include "mtextfinder.h"

#include "mlogger.h"

#include <QPlainTextEdit>
#include <QRegularExpression>

MTextFinder::MTextFinder(QObject *parent) : QObject(parent)
{
}

QRegularExpression MTextFinder::regularExpression() const
{
    return QRegularExpression(m_textToFind, m_caseSensitive ? QRegularExpression::NoPatternOption
                                                             : QRegularExpression::CaseInsensitiveOption);
}

bool MTextFinder::validateRegExp() const
{
    return !m_textToFind.isEmpty() && regularExpression().isValid();
}

bool MTextFinder::canSearch() const
{
    if (!m_textEdit || m_textToFind.isEmpty())
        return false;
    if (m_isRegExp && !validateRegExp()) {
        const QRegularExpression expression = regularExpression();
        MLogger::instance()->log(QStringLiteral("Invalid regular expression \"%1\": %2")
                                     .arg(m_textToFind, expression.errorString()));
        return false;
    }
    return true;
}

QTextCursor MTextFinder::search(const QTextCursor &from, bool backward) const
{
    QTextDocument::FindFlags flags;
    if (backward)
        flags |= QTextDocument::FindBackward;
    if (m_caseSensitive)
        flags |= QTextDocument::FindCaseSensitively;
    if (m_wholeWord)
        flags |= QTextDocument::FindWholeWords;
    QTextDocument *document = m_textEdit->document();
    if (m_isRegExp)
        return document->find(regularExpression(), from, flags);
    return document->find(m_textToFind, from, flags);
}

bool MTextFinder::find(bool backward)
{
    if (!canSearch())
        return false;
    const QTextCursor current = m_textEdit->textCursor();
    QTextCursor found = search(current, backward);
    // A pattern that matches empty text would match again where the cursor
    // stands: step over it, or the search never moves on.
    if (!found.isNull() && !found.hasSelection() && !current.hasSelection()
        && found.position() == current.position()) {
        QTextCursor step = current;
        if (step.movePosition(backward ? QTextCursor::PreviousCharacter : QTextCursor::NextCharacter))
            found = search(step, backward);
        else
            found = QTextCursor();
    }
    if (found.isNull()) {
        QTextCursor wrap = m_textEdit->textCursor();
        wrap.movePosition(backward ? QTextCursor::End : QTextCursor::Start);
        found = search(wrap, backward);
    }
    if (found.isNull())
        return false;
    m_textEdit->setTextCursor(found);
    return true;
}

bool MTextFinder::find()
{
    return find(m_backward);
}

bool MTextFinder::findNext()
{
    return find(false);
}

bool MTextFinder::findPrev()
{
    return find(true);
}

void MTextFinder::getTextToFind()
{
    if (!m_textEdit)
        return;
    QTextCursor cursor = m_textEdit->textCursor();
    if (!cursor.hasSelection()) {
        cursor.select(QTextCursor::WordUnderCursor);
        m_textEdit->setTextCursor(cursor);
    }
    // Taken from the editor, not typed: no change to announce.
    m_textToFind = cursor.selectedText();
}

void MTextFinder::replace()
{
    if (!m_textEdit)
        return;
    QTextCursor cursor = m_textEdit->textCursor();
    if (cursor.hasSelection()) {
        cursor.insertText(m_replaceText);
        m_textEdit->setTextCursor(cursor);
    }
    find();
}

int MTextFinder::replaceAll()
{
    if (!canSearch())
        return 0;
    int count = 0;
    QTextCursor block = m_textEdit->textCursor();
    block.beginEditBlock();
    QTextCursor from(m_textEdit->document());
    from.movePosition(QTextCursor::Start);
    for (;;) {
        QTextCursor found = search(from, false);
        if (found.isNull())
            break;
        const bool empty = !found.hasSelection();
        found.insertText(m_replaceText);
        ++count;
        from = found;
        // Each search starts after the inserted text, so a replacement that
        // holds the text to find is never found again; an empty match also
        // steps over the next character, or it would be found again at once.
        if (empty && !from.movePosition(QTextCursor::NextCharacter))
            break;
    }
    block.endEditBlock();
    return count;
}

void MTextFinder::set_textToFind(const QString &value)
{
    if (m_textToFind == value)
        return;
    m_textToFind = value;
    emit textToFindChanged(value);
}

void MTextFinder::set_replaceText(const QString &value)
{
    if (m_replaceText == value)
        return;
    m_replaceText = value;
    emit replaceTextChanged(value);
}

void MTextFinder::set_caseSensitive(bool value)
{
    if (m_caseSensitive == value)
        return;
    m_caseSensitive = value;
    emit caseSensitiveChanged(value);
}

void MTextFinder::set_wholeWord(bool value)
{
    if (m_wholeWord == value)
        return;
    m_wholeWord = value;
    emit wholeWordChanged(value);
}

void MTextFinder::set_isRegExp(bool value)
{
    if (m_isRegExp == value)
        return;
    m_isRegExp = value;
    emit isRegExpChanged(value);
}

void MTextFinder::set_backward(bool value)
{
    if (m_backward == value)
        return;
    m_backward = value;
    emit backwardChanged(value);
}

void MTextFinder::set_textEdit(QPlainTextEdit *value)
{
    if (m_textEdit == value)
        return;
    m_textEdit = value;
    emit textEditChanged(value);
}
