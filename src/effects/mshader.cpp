#include "mshader.h"

#include "mtexture.h"

MShader::MShader(QObject *parent)
    : QObject(parent)
    , m_minFilter(filterToGl(5))
    , m_magFilter(filterToGl(1))
    , m_wrapS(wrapModeToGl(2))
    , m_wrapT(wrapModeToGl(2))
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

int MShader::textureCount() const
{
    return 0;
}

MTexture *MShader::texture(int index) const
{
    return nullptr;
}

void MShader::setSampling(int minFilter, int magFilter, int wrapS, int wrapT)
{
    m_minFilter = minFilter;
    m_magFilter = magFilter;
    m_wrapS = wrapS;
    m_wrapT = wrapT;
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
