#include "mmath.h"

MMath::MMath(QObject *parent)
    : QObject(parent)
{
}
