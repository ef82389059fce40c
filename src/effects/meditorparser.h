#pragma once

#include <QList>
#include <QRegExp>
#include <QSyntaxHighlighter>
#include <QTextCharFormat>

// A rule-based highlighter with block comments that run over lines and a
// search highlight drawn over everything else.
class MEditorParser : public QSyntaxHighlighter
{
    Q_OBJECT
public:
    struct Rule
    {
        QRegExp pattern;
        QTextCharFormat format;
    };

    explicit MEditorParser(QObject *parent = nullptr);

    void setSearch(const QString &text, bool caseSensitive, bool wholeWord);
    bool isSearchActive() const { return searchActive; }
    QString fileFilter() const { return filePattern; }
    const QList<Rule> &highlightingRules() const { return rules; }
    const QList<QTextCharFormat> &classFormats() const { return keywordFormats; }

    // The text with every character other than ASCII letters, digits and "_"
    // escaped, for use inside a regular expression.
    static QString escaped(const QString &text);

public slots:
    void resetSearch();

protected:
    void highlightBlock(const QString &text) override;
    virtual void setupRules() {}
    // Lays the format on every match of the pattern in the line.
    void applyPattern(const QString &text, const QRegExp &pattern, const QTextCharFormat &format);

    QList<Rule> rules;
    QRegExp commentStartExpression;
    QRegExp commentEndExpression;
    QTextCharFormat multiLineCommentFormat;
    QList<QTextCharFormat> keywordFormats;
    QString filePattern;
    QRegExp searchExpression;
    QTextCharFormat searchFormat;
    bool searchActive = false;
};
