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

// Recursive-descent parsing over a scanner: the current and the look-ahead
// token, expectation of a kind and the rule that a syntax error is reported
// only when at least two tokens were accepted since the previous one. The
// parser never skips input after an error.
class Parser
{
public:
    explicit Parser(Scanner *scanner);
    virtual ~Parser();
    Parser(const Parser &) = delete;
    Parser &operator=(const Parser &) = delete;

    // Runs the root production, then expects the end of text.
    void parse();
    const Errors &errors() const { return m_errors; }

protected:
    static constexpr int minErrDist = 2;

    virtual void root() = 0;
    // The message of a missing kind, or of an invalid alternative (numbers
    // above the token kinds).
    virtual QString syntaxMessage(int n) const = 0;
    // "EOF expected", "ident expected", "\";\" expected"...
    static QString expectedMessage(const QVector<QByteArray> &spelling, int kind);

    void get();
    void expect(int kind);
    void synErr(int n);
    // Reported at the look-ahead token whatever the syntax errors before it.
    void semErr(const QString &message);
    // One of `count` keywords from `firstKind` on, as its index; otherwise the
    // syntax error `invalid` and the index unchanged.
    void keywordIndex(int firstKind, int count, int invalid, int *index);

    // The number just accepted, or 0 with "Invalid number" when it does not fit.
    double numberValue();
    float floatValue();
    int intValue();

    Token t;  // last accepted
    Token la; // look-ahead

private:
    bool numberOf(double *value);

    Scanner *m_scanner;
    Errors m_errors;
    int m_errDist = minErrDist;
};

} // namespace mlang
