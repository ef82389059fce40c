#include "mshapelist.h"

MShapeList::MShapeList(QObject *parent)
    : QObject(parent)
{
}
