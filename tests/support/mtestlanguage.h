#pragma once

#include <QString>
#include <QStringList>
#include <QTest>

// Helpers for the tests of the two small languages of effect sources.
namespace MTestLanguage {

// Every token the scanner gives for the text as "kind:text@line:col", up to
// and including the end of text (a scanner that stops advancing is cut off).
template<class Scanner>
QString tokens(const QString &text)
{
    Scanner scanner(text);
    QStringList list;
    for (int i = 0; i <= text.size() + 1; ++i) {
        const auto t = scanner.scan();
        list << QStringLiteral("%1:%2@%3:%4").arg(t.kind).arg(t.val).arg(t.line).arg(t.col);
        if (t.kind == 0)
            break;
    }
    return list.join(QLatin1Char(' '));
}

// The first token of the text, which must be the only one: its kind, or -1.
template<class Scanner>
int onlyTokenKind(const QString &text)
{
    Scanner scanner(text);
    const auto t = scanner.scan();
    return t.val == text && scanner.scan().kind == 0 ? t.kind : -1;
}

// Data rows (columns text and kind) for the spelled tokens of a language,
// numbered from firstKind on; words once more in capitals.
inline void addKindRows(const QStringList &spelled, int firstKind)
{
    int kind = firstKind;
    for (const QString &text : spelled) {
        QTest::newRow(qPrintable(text)) << text << kind;
        if (text.at(0).isLetter())
            QTest::newRow(qPrintable(text.toUpper())) << text.toUpper() << kind;
        ++kind;
    }
}

} // namespace MTestLanguage
