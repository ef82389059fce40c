#include "msnippet.h"

#include "mparamlist.h"

MSnippet::MSnippet(QObject *parent)
    : QObject(parent)
    , m_id(MParamList::newItemId())
    , m_name(QStringLiteral("empty snippet"))
{
}

void MSnippet::set_id(const QString &value)
{
    if (m_id == value)
        return;
    m_id = value;
    emit idChanged(value);
}

void MSnippet::set_name(const QString &value)
{
    if (m_name == value)
        return;
    m_name = value;
    emit nameChanged(value);
}

void MSnippet::set_description(const QString &value)
{
    if (m_description == value)
        return;
    m_description = value;
    emit descriptionChanged(value);
}

void MSnippet::set_source(const QString &value)
{
    if (m_source == value)
        return;
    m_source = value;
    emit sourceChanged(value);
}
