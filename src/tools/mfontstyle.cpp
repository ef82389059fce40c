#include "mfontstyle.h"

MFontStyle::MFontStyle(QObject *parent)
    : QObject(parent)
{
    const QFont standard(QStringLiteral("Arial"));
    m_letterSpacing = standard.letterSpacing();
    m_letterSpacingType = standard.letterSpacingType();
}

QFont MFontStyle::font() const
{
    QFont font(m_fontName);
    font.setPixelSize(m_size);
    font.setWeight(m_bold ? QFont::Bold : QFont::Normal);
    font.setItalic(m_italic);
    font.setUnderline(m_underline);
    font.setStrikeOut(m_strikeOut);
    font.setLetterSpacing(QFont::SpacingType(m_letterSpacingType), m_letterSpacing);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

template<typename T, typename Signal>
void MFontStyle::assign(T &field, const T &value, Signal signal)
{
    if (value == field)
        return;
    field = value;
    emit(this->*signal)(value);
    emit fontStyleChanged(this);
}

void MFontStyle::set_fontColor(const QColor &value)
{
    assign(m_fontColor, value, &MFontStyle::fontColorChanged);
}

void MFontStyle::set_fontName(const QString &value)
{
    assign(m_fontName, value, &MFontStyle::fontNameChanged);
}

void MFontStyle::set_size(int value)
{
    assign(m_size, value, &MFontStyle::sizeChanged);
}

void MFontStyle::set_bold(bool value)
{
    assign(m_bold, value, &MFontStyle::boldChanged);
}

void MFontStyle::set_italic(bool value)
{
    assign(m_italic, value, &MFontStyle::italicChanged);
}

void MFontStyle::set_underline(bool value)
{
    assign(m_underline, value, &MFontStyle::underlineChanged);
}

void MFontStyle::set_strikeOut(bool value)
{
    assign(m_strikeOut, value, &MFontStyle::strikeOutChanged);
}

void MFontStyle::set_letterSpacing(double value)
{
    assign(m_letterSpacing, value, &MFontStyle::letterSpacingChanged);
}

void MFontStyle::set_letterSpacingType(int value)
{
    assign(m_letterSpacingType, value, &MFontStyle::letterSpacingTypeChanged);
}
