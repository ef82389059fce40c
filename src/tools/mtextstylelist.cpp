#include "mtextstylelist.h"

MTextStyleList::MTextStyleList(QObject *parent)
    : QObject(parent)
{
}
