#include "mtool.h"

MTool::MTool(QObject *parent)
    : QObject(parent)
{
}
