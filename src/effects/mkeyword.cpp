#include "mkeyword.h"

MKeyword::MKeyword(QObject *parent)
    : QObject(parent)
{
}

void MKeyword::set_keyword(const QString &value)
{
    if (m_keyword == value)
        return;
    m_keyword = value;
    emit keywordChanged(value);
}

void MKeyword::set_description(const QString &value)
{
    if (m_description == value)
        return;
    m_description = value;
    emit descriptionChanged(value);
}

void MKeyword::set_keywordClass(int value)
{
    if (m_keywordClass == value)
        return;
    m_keywordClass = value;
    emit keywordClassChanged(value);
}
