#include "meditorparser.h"

MEditorParser::MEditorParser(QObject *parent)
    : QSyntaxHighlighter(parent)
{
}

QString MEditorParser::escaped(const QString &text)
{
    QString result;
    result.reserve(text.size() * 2);
    for (const QChar c : text) {
        const ushort u = c.unicode();
        const bool plain = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_';
        if (!plain)
            result += QLatin1Char('\\');
        result += c;
    }
    return result;
}

void MEditorParser::applyPattern(const QString &text, const QRegExp &pattern, const QTextCharFormat &format)
{
    QRegExp expression(pattern);
    int index = expression.indexIn(text);
    while (index >= 0) {
        const int length = expression.matchedLength();
        // A pattern that matches nothing would never move on.
        if (length <= 0)
            break;
        setFormat(index, length, format);
        index = expression.indexIn(text, index + length);
    }
}

void MEditorParser::highlightBlock(const QString &text)
{
    for (const Rule &rule : qAsConst(rules))
        applyPattern(text, rule.pattern, rule.format);

    setCurrentBlockState(0);
    if (!commentStartExpression.isEmpty()) {
        QRegExp start(commentStartExpression);
        QRegExp end(commentEndExpression);
        int startIndex = previousBlockState() == 1 ? 0 : start.indexIn(text);
        while (startIndex >= 0) {
            const int endIndex = end.indexIn(text, startIndex);
            int length;
            if (endIndex < 0) {
                setCurrentBlockState(1);
                length = text.length() - startIndex;
            } else {
                length = endIndex - startIndex + end.matchedLength();
            }
            setFormat(startIndex, length, multiLineCommentFormat);
            startIndex = start.indexIn(text, startIndex + length);
        }
    }

    if (searchActive)
        applyPattern(text, searchExpression, searchFormat);
}

void MEditorParser::setSearch(const QString &text, bool caseSensitive, bool wholeWord)
{
    if (text.isEmpty()) {
        searchActive = false;
        rehighlight();
        return;
    }
    searchFormat = QTextCharFormat();
    searchFormat.setBackground(QColor(255, 255, 0));
    searchFormat.setForeground(Qt::black);
    const QString pattern = wholeWord ? QStringLiteral("\\b%1\\b").arg(escaped(text)) : escaped(text);
    searchExpression = QRegExp(pattern, caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive);
    searchActive = true;
    rehighlight();
}

void MEditorParser::resetSearch()
{
    searchActive = false;
    rehighlight();
}
