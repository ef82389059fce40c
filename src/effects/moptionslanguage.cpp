#include "moptionslanguage.h"

namespace options {

const QVector<QByteArray> &spelling()
{
    static const QVector<QByteArray> words = mlang::spelling({";"}, {});
    Q_ASSERT(words.size() == InvalidKind + 1);
    return words;
}

Parser::Parser(Scanner *scanner)
    : mlang::Parser(scanner, spelling())
{
}

void Parser::TextureOptions()
{
    m_sampling = Sampling();
    while (isSamplingOption(la.kind)) {
        SamplingOption(&m_sampling);
        expect(SemicolonKind);
    }
}

} // namespace options
