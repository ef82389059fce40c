#include "msnippetlist.h"

MSnippetList::MSnippetList(QObject *parent)
    : QObject(parent)
{
}
