#pragma once

#include "mlangparser.h"

// The language of the "@options" section: how the layer textures are sampled
// (filters and wrap modes), as four indices in keyword order.
namespace options {

// Token, Buffer, UTF8Buffer, StartStates, KeywordMap and Errors are the shared ones.
using namespace mlang;

enum Kind {
    EofKind,
    IdentKind,
    NumberKind,
    StringKind,
    SemicolonKind,
    MinKind,
    FilterKind,
    EqualKind,
    MagKind,
    WrapSKind,
    WrapTKind,
    NearestKind, // the six filters, 11 to 16
    RepeatKind = NearestKind + 6, // the five wrap modes, 17 to 21
    InvalidKind = RepeatKind + 5 // 22
};

// The spelling of every kind, indexed by kind.
const QVector<QByteArray> &spelling();

class Scanner : public mlang::Scanner
{
public:
    explicit Scanner(const QString &text);
};

class Parser : public mlang::Parser
{
public:
    explicit Parser(Scanner *scanner);

    // Filter indices 0 (nearest) to 5 (linearmipmaplinear); wrap indices 0
    // (repeat) to 4 (mirrorclamptoedge).
    int minFilter() const { return m_minFilter; }
    int magFilter() const { return m_magFilter; }
    int wrapS() const { return m_wrapS; }
    int wrapT() const { return m_wrapT; }

protected:
    void root() override { TextureOptions(); }

private:
    void TextureOptions();

    int m_minFilter = 5;
    int m_magFilter = 1;
    int m_wrapS = 2;
    int m_wrapT = 2;
};

} // namespace options
