#include "mbrushinputinfolist.h"

MBrushInputInfoList::MBrushInputInfoList(QObject *parent)
    : QObject(parent)
{
}
