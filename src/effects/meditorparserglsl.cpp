#include "meditorparserglsl.h"

#include "mkeyword.h"
#include "mkeywordlist.h"

MEditorParserGLSL::MEditorParserGLSL(QObject *parent)
    : MEditorParser(parent)
{
    setupRules();
}

void MEditorParserGLSL::addFormat(const QColor &color, bool bold, bool italic, const QColor &background)
{
    QTextCharFormat format;
    format.setForeground(color);
    if (background != QColor(Qt::transparent))
        format.setBackground(background);
    format.setFontWeight(bold ? 75 : 50);
    format.setFontItalic(italic);
    keywordFormats.append(format);
}

void MEditorParserGLSL::setupRules()
{
    rules.clear();
    keywordFormats.clear();

    multiLineCommentFormat = QTextCharFormat();
    multiLineCommentFormat.setForeground(Qt::darkGreen);
    multiLineCommentFormat.setFontWeight(0);
    multiLineCommentFormat.setFontItalic(true);

    for (Qt::GlobalColor color :
         {Qt::black, Qt::darkYellow, Qt::darkRed, Qt::darkCyan, Qt::darkBlue, Qt::darkMagenta, Qt::darkCyan})
        addFormat(color, true, false, Qt::transparent);

    const MKeywordList *list = MKeywordList::instance();
    for (int row = 0; row < list->count(); ++row) {
        const MKeyword *keyword = list->keywordAt(row);
        if (!keyword || keyword->keywordClass() < 0 || keyword->keywordClass() >= keywordFormats.size())
            continue;
        // A keyword holding characters such as "." or "+" must match only itself.
        const QRegExp pattern(QStringLiteral("\\b%1\\b").arg(escaped(keyword->keyword())), Qt::CaseSensitive);
        rules.append({pattern, keywordFormats.at(keyword->keywordClass())});
    }

    QTextCharFormat stringFormat;
    stringFormat.setForeground(Qt::darkBlue);
    stringFormat.setFontWeight(0);
    stringFormat.setFontItalic(false);
    rules.append({QRegExp(QStringLiteral("\"[^\"]*\""), Qt::CaseSensitive), stringFormat});

    QTextCharFormat numberFormat;
    numberFormat.setForeground(Qt::black);
    numberFormat.setFontWeight(50);
    numberFormat.setFontItalic(false);
    rules.append({QRegExp(QStringLiteral("\\b[0-9]+([.][0-9]*)?\\b"), Qt::CaseSensitive), numberFormat});

    QTextCharFormat lineCommentFormat;
    lineCommentFormat.setForeground(Qt::darkGreen);
    lineCommentFormat.setFontWeight(0);
    lineCommentFormat.setFontItalic(true);
    rules.append({QRegExp(QStringLiteral("[/][/][^\\n]*"), Qt::CaseSensitive), lineCommentFormat});

    commentStartExpression = QRegExp(QStringLiteral("/\\*"), Qt::CaseSensitive);
    commentEndExpression = QRegExp(QStringLiteral("\\*/"), Qt::CaseSensitive);
    filePattern = QStringLiteral("*.kxs");
    rehighlight();
}
