#pragma once

#include "mlangparser.h"

#include <QList>

class MField;
class MTexture;

// The language of the "@params" section: typed parameters with a default
// value, a label, a range, a step and named choices, and up to four user
// textures with their sampling options.
namespace params {

// The token classes (EofKind to StringKind), the sampling words, Token, Buffer,
// UTF8Buffer, StartStates, KeywordMap and Errors are the shared ones.
using namespace mlang;

enum Kind {
    SemicolonKind = FirstSpelledKind,
    TextureKind,
    MinKind, // the sampling words, filters and wrap modes, 6 to 22
    EqualKind = MinKind + EqualWord,
    IntKind = MinKind + SamplingWordCount,
    BoolKind,
    FloatKind,
    ColorKind,
    EnumKind,
    TrueKind,
    FalseKind,
    RgbKind,
    LeftParenKind,
    CommaKind,
    RightParenKind,
    MaxKind,
    IncrementKind,
    ValuesKind,
    InvalidKind // 37
};

// The spelling of every kind, indexed by kind.
const QVector<QByteArray> &spelling();

using Scanner = mlang::LanguageScanner<&spelling>;

class Parser : public mlang::Parser
{
public:
    static constexpr int maxTextures = 4;

    explicit Parser(Scanner *scanner);
    ~Parser() override;

    // Owned by the parser until taken.
    QList<MField *> params() const { return m_params; }
    QList<MTexture *> textures() const { return m_textures; }
    QList<MField *> takeParams();
    QList<MTexture *> takeTextures();
    int textureCount() const { return m_textureCount; }

protected:
    void root() override { Params(); }

private:
    const int m_invalidExpression;

    // The bounds a declaration gives, applied once it ends.
    struct Bounds
    {
        bool hasMinimum = false;
        bool hasMaximum = false;
        double minimum = 0;
        double maximum = 0;
    };

    void Params();
    void VarDecl();
    void VarType(MField *field);
    void Value(MField *field);
    void Info(MField *field, Bounds *bounds);
    void EnumValue(MField *field);
    void TextureDecl();
    void TextureOption(MTexture *texture);

    QList<MField *> m_params;
    QList<MTexture *> m_textures;
    int m_textureCount = 0;
};

} // namespace params
