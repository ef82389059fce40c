#include "mpathvarlist.h"

MPathVarList::MPathVarList(QObject *parent)
    : QObject(parent)
{
}
