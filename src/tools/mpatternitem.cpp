#include "mpatternitem.h"

MPatternItem::MPatternItem(QObject *parent)
    : QObject(parent)
{
}

void MPatternItem::set_image(const QImage &image)
{
    m_image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    emit imageChanged(m_image);
}

void MPatternItem::set_fileName(const QString &fileName)
{
    if (fileName == m_fileName)
        return;
    m_fileName = fileName;
    emit fileNameChanged(fileName);
}

void MPatternItem::set_name(const QString &name)
{
    if (name == m_name)
        return;
    m_name = name;
    emit nameChanged(name);
}

void MPatternItem::set_usePatternColor(bool value)
{
    if (value == m_usePatternColor)
        return;
    m_usePatternColor = value;
    emit usePatternColorChanged(value);
}
