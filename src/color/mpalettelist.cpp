#include "mpalettelist.h"

MPaletteList::MPaletteList(QObject *parent)
    : QObject(parent)
{
}
