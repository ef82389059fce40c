#include "mpatternlist.h"

MPatternList::MPatternList(QObject *parent)
    : QObject(parent)
{
}
