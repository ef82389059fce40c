#include "mtesteffect.h"

#include "mfield.h"
#include "mtestglrig.h"

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
    return m_parses ? MTestGLRig::framedSource(type() == BrushShader, m_body) : QString();
}
