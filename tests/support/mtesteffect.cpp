#include "mtesteffect.h"

#include "mfield.h"
#include "mtestglrig.h"
#include "mtexture.h"

MTestEffect::MTestEffect(const QString &id, const QString &body)
    : m_body(body)
{
    set_id(id);
    set_group(QStringLiteral("tests"));
    set_description(QStringLiteral("test effect"));
}

MTestEffect::~MTestEffect()
{
    clearParams();
    qDeleteAll(m_textures);
}

MTexture *MTestEffect::addTexture(const QByteArray &name, const QString &file)
{
    auto *texture = new MTexture();
    texture->setName(name);
    texture->setFileName(file);
    m_textures.append(texture);
    setTexturesModified(true);
    return texture;
}

void MTestEffect::addParam(const QByteArray &name, const QVariant &defaultValue)
{
    auto *field = new MField();
    field->setName(name);
    field->setType(defaultValue.userType());
    field->setValue(defaultValue);
    m_params.append(field);
}

void MTestEffect::clearParams()
{
    qDeleteAll(m_params);
    m_params.clear();
}

int MTestEffect::paramCount() const
{
    return m_parses ? m_params.size() : 0;
}

MField *MTestEffect::paramAt(int index) const
{
    return m_parses ? m_params.value(index) : nullptr;
}

MField *MTestEffect::param(const QByteArray &name) const
{
    for (MField *field : m_params) {
        if (m_parses && field->name() == name)
            return field;
    }
    return nullptr;
}

QString MTestEffect::buildFragmentSource(bool *ok) const
{
    if (ok)
        *ok = m_parses;
    if (!m_parses)
        return QString();
    QString source = MTestGLRig::framedSource(type() == BrushShader, m_body);
    QString declarations;
    for (const MTexture *texture : m_textures)
        declarations += QStringLiteral("uniform sampler2D %1;\n").arg(QString::fromLatin1(texture->name()));
    return source.replace(QStringLiteral("void main(void)"), declarations + QStringLiteral("void main(void)"));
}
