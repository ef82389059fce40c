#include "mtesteffectlist.h"

#include "mshader.h"
#include "mshaderlist.h"

#include <QSortFilterProxyModel>
#include <QTableView>

namespace MTestEffectList {

QModelIndex cellOf(const QTableView *view, const QString &description)
{
    const auto *proxy = qobject_cast<const QSortFilterProxyModel *>(view->model());
    if (!proxy)
        return QModelIndex();
    int column = 0;
    while (column < proxy->columnCount() && view->isColumnHidden(column))
        ++column;
    for (int row = 0; row < proxy->rowCount(); ++row) {
        const QModelIndex index = proxy->index(row, column);
        const MShader *shader = MShaderList::instance()->shaderAt(proxy->mapToSource(index).row());
        if (shader && shader->description() == description)
            return index;
    }
    return QModelIndex();
}

} // namespace MTestEffectList
