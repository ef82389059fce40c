#include "mlistpaneldelegate.h"

MListPanelDelegate::MListPanelDelegate(QObject *parent) : QObject(parent)
{
}
