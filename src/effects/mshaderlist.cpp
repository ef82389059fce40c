#include "mshaderlist.h"

#include "mshader.h"

MShaderList::MShaderList(QObject *parent)
    : QObject(parent)
{
}

MShaderList::~MShaderList()
{
    qDeleteAll(m_items);
}

void MShaderList::append(MShader *shader)
{
    if (shader && !m_items.contains(shader))
        m_items.append(shader);
}

MShader *MShaderList::find(const QString &id) const
{
    const QString key = id.trimmed().toUpper();
    for (MShader *shader : m_items) {
        if (shader->id().trimmed().toUpper() == key)
            return shader;
    }
    return nullptr;
}
