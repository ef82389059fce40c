#include "mparamslanguage.h"

#include "mfield.h"
#include "mtexture.h"

#include <QColor>

namespace params {

namespace {
bool isVarType(int kind)
{
    return kind >= IntKind && kind <= EnumKind;
}

bool isInfo(int kind)
{
    return kind == StringKind || kind == MinKind || kind == MaxKind || kind == IncrementKind || kind == EnumKind;
}

// A string token's text without its quotes.
QString unquoted(const Token &token)
{
    return token.kind == StringKind ? token.val.mid(1, token.val.size() - 2) : QString();
}
} // namespace

const QVector<QByteArray> &spelling()
{
    static const QVector<QByteArray> words = mlang::spelling(
        {";", "texture"},
        {"int", "bool", "float", "color", "enum", "true", "false", "rgb", "(", ",", ")", "max", "increment", "values"});
    Q_ASSERT(words.size() == InvalidKind + 1);
    return words;
}

Parser::Parser(Scanner *scanner)
    : mlang::Parser(scanner, spelling())
    , m_invalidExpression(addAlternative(QStringLiteral("invalid Expression")))
{
}

Parser::~Parser()
{
    qDeleteAll(m_params);
    qDeleteAll(m_textures);
}

QList<MField *> Parser::takeParams()
{
    QList<MField *> taken;
    taken.swap(m_params);
    return taken;
}

QList<MTexture *> Parser::takeTextures()
{
    QList<MTexture *> taken;
    taken.swap(m_textures);
    return taken;
}

void Parser::Params()
{
    while (la.kind == TextureKind || isVarType(la.kind)) {
        if (la.kind == TextureKind)
            TextureDecl();
        else
            VarDecl();
        expect(SemicolonKind);
    }
}

void Parser::VarDecl()
{
    auto *field = new MField();
    m_params.append(field);
    VarType(field);
    expect(IdentKind);
    if (t.kind == IdentKind)
        field->setName(t.val.toUtf8());
    if (la.kind == EqualKind) {
        get();
        Value(field);
    }
    Bounds bounds;
    while (isInfo(la.kind))
        Info(field, &bounds);
    // Both bounds at once: one after the other, a minimum above the default
    // maximum would be swapped with it and lost.
    if (bounds.hasMinimum && bounds.hasMaximum)
        field->setRange(bounds.minimum, bounds.maximum);
    else if (bounds.hasMinimum)
        field->setMinimum(bounds.minimum);
    else if (bounds.hasMaximum)
        field->setMaximum(bounds.maximum);
}

void Parser::VarType(MField *field)
{
    get();
    switch (t.kind) {
    case IntKind:
        field->setType(QMetaType::Int);
        break;
    case BoolKind:
        field->setType(QMetaType::Bool);
        break;
    case FloatKind:
        field->setType(QMetaType::Double);
        break;
    case ColorKind:
        field->setType(QMetaType::QColor);
        break;
    default:
        field->setType(QMetaType::Int);
        field->setEnumName(QByteArrayLiteral("enum"));
        break;
    }
}

void Parser::Value(MField *field)
{
    switch (la.kind) {
    case NumberKind:
        get();
        if (field->type() == QMetaType::Int)
            field->setValue(intValue());
        else
            field->setValue(floatValue());
        break;
    case TrueKind:
    case FalseKind:
        get();
        field->setValue(t.kind == TrueKind);
        break;
    case RgbKind: {
        get();
        int rgba[4] = {0, 0, 0, 255};
        expect(LeftParenKind);
        for (int i = 0; i < 3; ++i) {
            if (i > 0)
                expect(CommaKind);
            if (expect(NumberKind))
                rgba[i] = intValue();
        }
        if (la.kind == CommaKind) {
            get();
            if (expect(NumberKind))
                rgba[3] = intValue();
        }
        expect(RightParenKind);
        // A component outside 0..255 makes an invalid colour, as QColor has it.
        QColor color;
        if (rgba[0] >= 0 && rgba[0] <= 255 && rgba[1] >= 0 && rgba[1] <= 255 && rgba[2] >= 0 && rgba[2] <= 255
            && rgba[3] >= 0 && rgba[3] <= 255)
            color.setRgb(rgba[0], rgba[1], rgba[2], rgba[3]);
        field->setValue(color);
        break;
    }
    default:
        synErr(m_invalidExpression);
        break;
    }
}

void Parser::Info(MField *field, Bounds *bounds)
{
    switch (la.kind) {
    case StringKind:
        get();
        field->setLabel(unquoted(t));
        break;
    case MinKind:
    case MaxKind:
    case IncrementKind: {
        get();
        const int which = t.kind;
        expect(EqualKind);
        if (!expect(NumberKind))
            break;
        const double number = numberValue();
        if (which == MinKind) {
            bounds->hasMinimum = true;
            bounds->minimum = number;
        } else if (which == MaxKind) {
            bounds->hasMaximum = true;
            bounds->maximum = number;
        } else {
            field->setSingleStep(number);
        }
        break;
    }
    default: // enum values
        get();
        expect(ValuesKind);
        expect(EqualKind);
        EnumValue(field);
        while (la.kind == NumberKind)
            EnumValue(field);
        break;
    }
}

void Parser::EnumValue(MField *field)
{
    const int value = expect(NumberKind) ? intValue() : 0;
    expect(StringKind);
    field->addPickItem(unquoted(t), value);
}

void Parser::TextureDecl()
{
    get();
    expect(IdentKind);
    const QByteArray name = t.kind == IdentKind ? t.val.toUtf8() : QByteArray();
    MTexture *texture = nullptr;
    if (m_textureCount >= maxTextures) {
        semErr(QStringLiteral("You can use 4 user textures max."));
    } else {
        texture = new MTexture();
        texture->setName(name);
        m_textures.append(texture);
        ++m_textureCount;
    }
    expect(StringKind);
    if (texture)
        texture->setFileName(unquoted(t));
    // Options of a texture over the limit are parsed into this one and dropped.
    MTexture dropped;
    while (isSamplingOption(la.kind))
        TextureOption(texture ? texture : &dropped);
}

void Parser::TextureOption(MTexture *texture)
{
    Sampling sampling;
    sampling.minFilter = texture->minFilter();
    sampling.magFilter = texture->magFilter();
    sampling.wrapS = texture->wrapS();
    sampling.wrapT = texture->wrapT();
    SamplingOption(&sampling);
    texture->setMinFilter(sampling.minFilter);
    texture->setMagFilter(sampling.magFilter);
    texture->setWrapS(sampling.wrapS);
    texture->setWrapT(sampling.wrapT);
}

} // namespace params
