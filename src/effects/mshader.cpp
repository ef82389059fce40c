#include "mshader.h"

MShader::MShader(QObject *parent)
    : QObject(parent)
{
}

QString MShader::buildFragmentSource(bool *ok) const
{
    if (ok)
        *ok = false;
    return QString();
}

bool MShader::parseParams()
{
    return false;
}

int MShader::paramCount() const
{
    return 0;
}

MField *MShader::paramAt(int index) const
{
    return nullptr;
}

MField *MShader::param(const QByteArray &name) const
{
    return nullptr;
}

void MShader::set_type(int value)
{
    if (m_type == value)
        return;
    m_type = value;
    emit typeChanged(value);
}

void MShader::set_id(const QString &value)
{
    if (m_id == value)
        return;
    m_id = value;
    emit idChanged(value);
}

void MShader::set_group(const QString &value)
{
    if (m_group == value)
        return;
    m_group = value;
    emit groupChanged(value);
}

void MShader::set_description(const QString &value)
{
    if (m_description == value)
        return;
    m_description = value;
    emit descriptionChanged(value);
}
