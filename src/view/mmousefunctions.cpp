#include "mmousefunctions.h"

MMouseFunctions::MMouseFunctions(QObject *parent)
    : QObject(parent)
{
}
