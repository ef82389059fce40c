#pragma once

#include "mlangscanner.h"

#include <QStringList>

namespace mlang {

// The error lines of one compilation.
class Errors
{
public:
    int count() const { return m_lines.size(); }
    QStringList lines() const { return m_lines; }
    QString text() const { return m_lines.join(QLatin1Char('\n')); }

    // "-- line %1 col %2: %3"
    void error(int line, int col, const QString &message);
    // Appended as it stands; the compilation ends with it and nothing after it is recorded.
    void fatal(const QString &message);
    bool isFatal() const { return m_fatal; }

private:
    QStringList m_lines;
    bool m_fatal = false;
};

// How a texture is sampled: filter indices 0 (nearest) to 5
// (linearmipmaplinear), wrap indices 0 (repeat) to 4 (mirrorclamptoedge).
struct Sampling
{
    int minFilter = 5;
    int magFilter = 1;
    int wrapS = 2;
    int wrapT = 2;
};

// Recursive-descent parsing over a scanner: the current and the look-ahead
// token, expectation of a kind and the rule that a syntax error is reported
// only when at least two tokens were accepted since the previous one. The
// parser never skips input after an error.
class Parser
{
public:
    // spelling: the language's kinds, as given to its scanner.
    Parser(Scanner *scanner, const QVector<QByteArray> &spelling);
    virtual ~Parser();
    Parser(const Parser &) = delete;
    Parser &operator=(const Parser &) = delete;

    // Runs the root production, then expects the end of text.
    void parse();
    const Errors &errors() const { return m_errors; }

protected:
    static constexpr int minErrDist = 2;

    virtual void root() = 0;

    // A syntax error number, past the token kinds, for a production none of
    // whose alternatives starts with the look-ahead token.
    int addAlternative(const QString &message);

    void get();
    // Whether the look-ahead was of that kind (and is now accepted).
    bool expect(int kind);
    void synErr(int n);
    // Reported at the look-ahead token whatever the syntax errors before it.
    void semErr(const QString &message);
    // A filter or wrap-mode keyword, as its index in keyword order; otherwise
    // a syntax error and the index unchanged.
    void Filter(int *index);
    void WrapMode(int *index);
    // Whether the kind starts a sampling option.
    bool isSamplingOption(int kind) const;
    // "min filter = F", "mag filter = F", "wraps = W" or "wrapt = W", its first
    // word being the look-ahead; sets that one of the sampling.
    void SamplingOption(Sampling *sampling);

    // The number just accepted, or 0 with "Invalid number" when it does not fit
    // the value it feeds.
    double numberValue();
    float floatValue();
    int intValue();

    Token t;  // last accepted
    Token la; // look-ahead

private:
    // "EOF expected", "ident expected", "\";\" expected"..., or the message of an alternative.
    QString syntaxMessage(int n) const;
    void keywordIndex(int firstKind, int count, int invalid, int *index);
    bool numberOf(double *value);

    QVector<QByteArray> m_spelling;
    // The kind of "min"; the other sampling words follow it.
    int m_minKind;
    QStringList m_alternatives;
    int m_invalidFilter;
    int m_invalidWrapMode;

    Scanner *m_scanner;
    Errors m_errors;
    int m_errDist = minErrDist;
};

} // namespace mlang
