#include "moptionslanguage.h"

namespace options {

const QVector<QByteArray> &spelling()
{
    static const QVector<QByteArray> words = [] {
        QVector<QByteArray> list = {"EOF", "ident", "number", "string", ";", "min", "filter", "=", "mag", "wraps",
                                    "wrapt"};
        for (const char *word : mlang::filterWords)
            list.append(word);
        for (const char *word : mlang::wrapWords)
            list.append(word);
        list.append("invalid token");
        Q_ASSERT(list.size() == InvalidKind + 1);
        return list;
    }();
    return words;
}

Scanner::Scanner(const QString &text)
    : mlang::Scanner(text, spelling())
{
}

Parser::Parser(Scanner *scanner)
    : mlang::Parser(scanner)
{
}

QString Parser::syntaxMessage(int n) const
{
    switch (n) {
    case InvalidFilter:
        return QStringLiteral("invalid Filter");
    case InvalidWrapMode:
        return QStringLiteral("invalid WrapMode");
    default:
        return expectedMessage(spelling(), n);
    }
}

void Parser::TextureOptions()
{
    m_minFilter = 5;
    m_magFilter = 1;
    m_wrapS = 2;
    m_wrapT = 2;
    while (la.kind == MinKind || la.kind == MagKind || la.kind == WrapSKind || la.kind == WrapTKind) {
        get();
        switch (t.kind) {
        case MinKind:
            expect(FilterKind);
            expect(EqualKind);
            Filter(&m_minFilter);
            break;
        case MagKind:
            expect(FilterKind);
            expect(EqualKind);
            Filter(&m_magFilter);
            break;
        case WrapSKind:
            expect(EqualKind);
            WrapMode(&m_wrapS);
            break;
        default:
            expect(EqualKind);
            WrapMode(&m_wrapT);
            break;
        }
        expect(SemicolonKind);
    }
}

void Parser::Filter(int *index)
{
    keywordIndex(NearestKind, 6, InvalidFilter, index);
}

void Parser::WrapMode(int *index)
{
    keywordIndex(RepeatKind, 5, InvalidWrapMode, index);
}

} // namespace options
