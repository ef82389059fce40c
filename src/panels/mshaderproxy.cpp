#include "mshaderproxy.h"

#include "mshader.h"
#include "mshaderlist.h"

MShaderProxy::MShaderProxy(QObject *parent)
    : QSortFilterProxyModel(parent)
{
}

void MShaderProxy::set(int type)
{
    if (m_type == type)
        return;
    m_type = type;
    invalidateFilter();
}

void MShaderProxy::setSearchText(const QString &text)
{
    setFilterRole(Qt::DisplayRole);
    setFilterKeyColumn(-1);
    const QString trimmed = text.trimmed();
    setFilterRegExp(QRegExp(trimmed.isEmpty() ? QStringLiteral("*") : QStringLiteral("*") + trimmed + QStringLiteral("*"),
                            Qt::CaseInsensitive, QRegExp::Wildcard));
}

bool MShaderProxy::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const
{
    Q_UNUSED(sourceParent)
    const auto *library = qobject_cast<const MShaderList *>(sourceModel());
    const MShader *shader = library ? library->shaderAt(sourceRow) : nullptr;
    if (!shader)
        return true;
    if (m_type != -1 && shader->type() != m_type)
        return false;
    const QRegExp pattern = filterRegExp();
    if (pattern.isEmpty())
        return true;
    return pattern.exactMatch(shader->group()) || pattern.exactMatch(shader->description());
}
