#include "mshaderobject.h"

#include "mfield.h"
#include "mshader.h"
#include "mshaderlist.h"

MShaderObject::MShaderObject(QObject *parent)
    : QObject(parent)
    , m_shaderValues(new MValues(this))
{
}

MShaderObject::~MShaderObject() = default;

void MShaderObject::copyFrom(const MShaderObject *other)
{
    if (!other || other == this)
        return;
    m_isShaderActive = other->m_isShaderActive;
    m_shaderId = other->m_shaderId;
    m_shaderValues->copyFrom(other->m_shaderValues);
}

void MShaderObject::loadDefaultValues(const QString &id)
{
    m_shaderValues->clear();
    MShader *shader = MShaderList::instance()->find(id);
    if (!shader || !shader->parseParams())
        return;
    for (int i = 0; i < shader->paramCount(); ++i) {
        if (const MField *field = shader->paramAt(i))
            m_shaderValues->setValue(field->name(), field->value());
    }
}

void MShaderObject::refreshValues(MShader *shader)
{
    const QHash<QByteArray, QVariant> kept = m_shaderValues->values();
    m_shaderValues->clear();
    if (!shader->parseParams()) {
        // An effect whose parameters no longer parse must not cost the user
        // the values already chosen.
        for (auto it = kept.cbegin(); it != kept.cend(); ++it)
            m_shaderValues->setValue(it.key(), it.value());
        return;
    }
    for (int i = 0; i < shader->paramCount(); ++i) {
        const MField *field = shader->paramAt(i);
        if (!field)
            continue;
        const auto found = kept.constFind(field->name());
        m_shaderValues->setValue(field->name(), found != kept.cend() ? found.value() : field->value());
    }
}

void MShaderObject::set_shaderId(const QString &id)
{
    const bool same = m_shaderId == id;
    if (MShader *shader = MShaderList::instance()->find(id)) {
        m_shaderId = id;
        if (same)
            refreshValues(shader);
        else
            loadDefaultValues(id);
        if (!m_isShaderActive) {
            m_isShaderActive = true;
            emit isShaderActiveChanged(true);
        }
    } else {
        m_shaderId.clear();
        m_shaderValues->clear();
    }
    if (!same)
        emit shaderIdChanged(m_shaderId);
}

void MShaderObject::set_isShaderActive(bool value)
{
    if (m_isShaderActive == value)
        return;
    m_isShaderActive = value;
    emit isShaderActiveChanged(value);
}

MShaderObject::ShaderState MShaderObject::shaderState() const
{
    return {m_shaderId, m_shaderValues->values(), m_isShaderActive};
}

void MShaderObject::setShaderState(const ShaderState &state)
{
    const bool idChanged = m_shaderId != state.id;
    m_shaderId = state.id;
    if (m_shaderValues->values() != state.values) {
        m_shaderValues->clear();
        for (auto it = state.values.cbegin(); it != state.values.cend(); ++it)
            m_shaderValues->setValue(it.key(), it.value());
    }
    if (idChanged)
        emit shaderIdChanged(m_shaderId);
    set_isShaderActive(state.active);
}
