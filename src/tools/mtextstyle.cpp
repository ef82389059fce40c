#include "mtextstyle.h"

MTextStyle::MTextStyle(QObject *parent)
    : QObject(parent)
{
}

void MTextStyle::set_id(const QString &id)
{
    if (m_id == id)
        return;
    m_id = id;
    emit idChanged(m_id);
}

void MTextStyle::set_fontName(const QString &fontName)
{
    if (m_fontName == fontName)
        return;
    m_fontName = fontName;
    emit fontNameChanged(m_fontName);
}

void MTextStyle::set_fontSize(int fontSize)
{
    if (m_fontSize == fontSize)
        return;
    m_fontSize = fontSize;
    emit fontSizeChanged(m_fontSize);
}

void MTextStyle::set_fontBold(bool fontBold)
{
    if (m_fontBold == fontBold)
        return;
    m_fontBold = fontBold;
    emit fontBoldChanged(m_fontBold);
}

void MTextStyle::set_fontItalic(bool fontItalic)
{
    if (m_fontItalic == fontItalic)
        return;
    m_fontItalic = fontItalic;
    emit fontItalicChanged(m_fontItalic);
}

void MTextStyle::set_fontUnderline(bool fontUnderline)
{
    if (m_fontUnderline == fontUnderline)
        return;
    m_fontUnderline = fontUnderline;
    emit fontUnderlineChanged(m_fontUnderline);
}

void MTextStyle::set_fontColor(const QColor &fontColor)
{
    if (m_fontColor == fontColor)
        return;
    m_fontColor = fontColor;
    emit fontColorChanged(m_fontColor);
}
