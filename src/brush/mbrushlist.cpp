#include "mbrushlist.h"

MBrushList::MBrushList(QObject *parent)
    : QObject(parent)
{
}
