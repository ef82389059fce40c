#include "moptionslanguage.h"

namespace options {

const QVector<QByteArray> &spelling()
{
    static const QVector<QByteArray> words = mlang::spelling({";", "min", "filter", "=", "mag", "wraps", "wrapt"}, {});
    Q_ASSERT(words.size() == InvalidKind + 1);
    return words;
}

Scanner::Scanner(const QString &text)
    : mlang::Scanner(text, spelling())
{
}

Parser::Parser(Scanner *scanner)
    : mlang::Parser(scanner, spelling())
{
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

} // namespace options
