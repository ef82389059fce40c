#include "dshadername.h"

#include "mshader.h"
#include "mshaderlist.h"

DShaderName::DShaderName(int type, const QString &group, const QString &description, QWidget *parent)
    : DName(group, description, parent)
    , m_type(type)
{
    QStringList groups;
    const MShaderList *library = MShaderList::instance();
    for (int row = 0; row < library->rowCount(); ++row) {
        const MShader *shader = library->shaderAt(row);
        if (shader->type() == type)
            groups << shader->group();
    }
    setGroups(groups);
}
