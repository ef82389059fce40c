#include "mlangparser.h"

#include <cmath>
#include <limits>

namespace mlang {

void Errors::error(int line, int col, const QString &message)
{
    if (!m_fatal)
        m_lines.append(QStringLiteral("-- line %1 col %2: %3").arg(line).arg(col).arg(message));
}

void Errors::fatal(const QString &message)
{
    if (m_fatal)
        return;
    m_lines.append(message);
    m_fatal = true;
}

Parser::Parser(Scanner *scanner, const QVector<QByteArray> &spelling)
    : m_spelling(spelling)
    , m_minKind(spelling.indexOf("min"))
    , m_scanner(scanner)
{
    m_invalidFilter = addAlternative(QStringLiteral("invalid Filter"));
    m_invalidWrapMode = addAlternative(QStringLiteral("invalid WrapMode"));
}

Parser::~Parser() = default;

void Parser::parse()
{
    la = Token();
    get();
    root();
    expect(EofKind);
}

int Parser::addAlternative(const QString &message)
{
    m_alternatives.append(message);
    return m_spelling.size() + m_alternatives.size() - 1;
}

QString Parser::syntaxMessage(int n) const
{
    static const char *const classes[] = {"EOF", "ident", "number", "string"};
    if (n >= 0 && n < FirstSpelledKind)
        return QStringLiteral("%1 expected").arg(QLatin1String(classes[n]));
    if (n < m_spelling.size())
        return QStringLiteral("\"%1\" expected").arg(QString::fromLatin1(m_spelling.at(n)));
    return m_alternatives.value(n - m_spelling.size());
}

void Parser::get()
{
    t = la;
    la = m_scanner->scan();
    ++m_errDist;
    const QString fatal = m_scanner->fatalError();
    if (!fatal.isEmpty())
        m_errors.fatal(fatal);
}

bool Parser::expect(int kind)
{
    if (la.kind != kind) {
        synErr(kind);
        return false;
    }
    get();
    return true;
}

void Parser::synErr(int n)
{
    if (m_errDist >= minErrDist)
        m_errors.error(la.line, la.col, syntaxMessage(n));
    m_errDist = 0;
}

void Parser::semErr(const QString &message)
{
    m_errors.error(la.line, la.col, message);
}

void Parser::Filter(int *index)
{
    keywordIndex(m_minKind + FirstFilterWord, 6, m_invalidFilter, index);
}

void Parser::WrapMode(int *index)
{
    keywordIndex(m_minKind + FirstWrapWord, 5, m_invalidWrapMode, index);
}

bool Parser::isSamplingOption(int kind) const
{
    const int word = kind - m_minKind;
    return word == MinWord || word == MagWord || word == WrapSWord || word == WrapTWord;
}

void Parser::SamplingOption(Sampling *sampling)
{
    get();
    const int option = t.kind - m_minKind;
    if (option == MinWord || option == MagWord) {
        expect(m_minKind + FilterWord);
        expect(m_minKind + EqualWord);
        Filter(option == MinWord ? &sampling->minFilter : &sampling->magFilter);
    } else {
        expect(m_minKind + EqualWord);
        WrapMode(option == WrapSWord ? &sampling->wrapS : &sampling->wrapT);
    }
}

void Parser::keywordIndex(int firstKind, int count, int invalid, int *index)
{
    if (la.kind >= firstKind && la.kind < firstKind + count) {
        get();
        *index = t.kind - firstKind;
    } else {
        synErr(invalid);
    }
}

bool Parser::numberOf(double *value)
{
    *value = 0;
    bool ok = false;
    const double converted = t.val.toDouble(&ok);
    if (ok && std::isfinite(converted)) {
        *value = converted;
        return true;
    }
    semErr(QStringLiteral("Invalid number"));
    return false;
}

double Parser::numberValue()
{
    double value;
    numberOf(&value);
    return value;
}

float Parser::floatValue()
{
    double value;
    if (!numberOf(&value))
        return 0.0f;
    if (std::fabs(value) <= double(std::numeric_limits<float>::max()))
        return float(value);
    semErr(QStringLiteral("Invalid number"));
    return 0.0f;
}

int Parser::intValue()
{
    double value;
    if (!numberOf(&value))
        return 0;
    value = std::trunc(value);
    if (value >= double(std::numeric_limits<int>::min()) && value <= double(std::numeric_limits<int>::max()))
        return int(value);
    semErr(QStringLiteral("Invalid number"));
    return 0;
}

} // namespace mlang
