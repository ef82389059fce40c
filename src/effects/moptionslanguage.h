#pragma once

#include "mlangparser.h"

// The language of the "@options" section: how the layer textures are sampled
// (filters and wrap modes), as four indices in keyword order.
namespace options {

// The token classes (EofKind to StringKind), the sampling words, Token, Buffer,
// UTF8Buffer, StartStates, KeywordMap and Errors are the shared ones.
using namespace mlang;

enum Kind {
    SemicolonKind = FirstSpelledKind,
    MinKind, // the sampling words, filters and wrap modes, 5 to 21
    InvalidKind = MinKind + SamplingWordCount // 22
};

// The spelling of every kind, indexed by kind.
const QVector<QByteArray> &spelling();

using Scanner = mlang::LanguageScanner<&spelling>;

class Parser : public mlang::Parser
{
public:
    explicit Parser(Scanner *scanner);

    // Filter indices 0 (nearest) to 5 (linearmipmaplinear); wrap indices 0
    // (repeat) to 4 (mirrorclamptoedge).
    int minFilter() const { return m_sampling.minFilter; }
    int magFilter() const { return m_sampling.magFilter; }
    int wrapS() const { return m_sampling.wrapS; }
    int wrapT() const { return m_sampling.wrapT; }

protected:
    void root() override { TextureOptions(); }

private:
    void TextureOptions();

    Sampling m_sampling;
};

} // namespace options
