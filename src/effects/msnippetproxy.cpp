#include "msnippetproxy.h"

#include "msnippet.h"
#include "msnippetlist.h"

MSnippetProxy::MSnippetProxy(QObject *parent)
    : QSortFilterProxyModel(parent)
{
}

bool MSnippetProxy::filterAcceptsRow(int sourceRow, const QModelIndex &) const
{
    const auto *list = qobject_cast<const MSnippetList *>(sourceModel());
    const MSnippet *snippet = list ? list->snippetAt(sourceRow) : nullptr;
    if (!snippet)
        return true;
    const QRegExp pattern = filterRegExp();
    if (pattern.isEmpty())
        return true;
    return pattern.indexIn(snippet->description()) >= 0;
}
