#include "mtablet.h"

MTablet::MTablet(QObject *parent)
    : QObject(parent)
{
}

void MTablet::set_proximityDevice(int value)
{
    if (m_proximityDevice == value)
        return;
    m_proximityDevice = value;
    emit proximityDeviceChanged(value);
}
