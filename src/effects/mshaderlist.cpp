#include "mshaderlist.h"

MShaderList::MShaderList(QObject *parent)
    : QObject(parent)
{
}
