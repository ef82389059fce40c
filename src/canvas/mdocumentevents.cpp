#include "mdocumentevents.h"

MDocumentEvents::MDocumentEvents(QObject *parent)
    : QObject(parent)
{
}
