#include "mbrushsettinginfolist.h"

MBrushSettingInfoList::MBrushSettingInfoList(QObject *parent)
    : QObject(parent)
{
}
