#include "mdocumenttemplatelist.h"

MDocumentTemplateList::MDocumentTemplateList(QObject *parent)
    : QObject(parent)
{
}
