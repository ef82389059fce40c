#include "mlayerlistcontrol.h"

MLayerListControl::MLayerListControl(QObject *parent)
    : MControl(parent)
{
}
