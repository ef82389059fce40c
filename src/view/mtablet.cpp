#include "mtablet.h"

#include <QTabletEvent>

namespace {
// Pen readings jitter in the last bits; only a real change is worth a signal.
bool sameReading(double a, double b)
{
    return qFuzzyCompare(a, b);
}
} // namespace

MTablet::MTablet(QObject *parent)
    : QObject(parent)
{
}

bool MTablet::eventFilter(QObject *watched, QEvent *e)
{
    switch (e->type()) {
    case QEvent::TabletMove:
    case QEvent::TabletPress:
    case QEvent::TabletRelease: {
        const auto *tablet = static_cast<const QTabletEvent *>(e);
        set_pressure(tablet->pressure());
        set_pointerType(tablet->pointerType());
        set_device(tablet->deviceType());
        set_tangentialPressure(tablet->tangentialPressure());
        set_xTilt(tablet->xTilt());
        set_yTilt(tablet->yTilt());
        if (e->type() == QEvent::TabletPress)
            set_on(true);
        else if (e->type() == QEvent::TabletRelease)
            set_on(false);
        return false;
    }
    default:
        return QObject::eventFilter(watched, e);
    }
}

void MTablet::set_pointerType(int value)
{
    if (m_pointerType == value)
        return;
    m_pointerType = value;
    emit pointerTypeChanged(value);
}

void MTablet::set_device(int value)
{
    if (m_device == value)
        return;
    m_device = value;
    emit deviceChanged(value);
}

void MTablet::set_proximityDevice(int value)
{
    if (m_proximityDevice == value)
        return;
    m_proximityDevice = value;
    emit proximityDeviceChanged(value);
}

void MTablet::set_pressure(double value)
{
    if (sameReading(m_pressure, value))
        return;
    m_pressure = value;
    emit pressureChanged(value);
}

void MTablet::set_tangentialPressure(double value)
{
    if (sameReading(m_tangentialPressure, value))
        return;
    m_tangentialPressure = value;
    emit tangentialPressureChanged(value);
}

void MTablet::set_xTilt(int value)
{
    if (m_xTilt == value)
        return;
    m_xTilt = value;
    emit xTiltChanged(value);
}

void MTablet::set_yTilt(int value)
{
    if (m_yTilt == value)
        return;
    m_yTilt = value;
    emit yTiltChanged(value);
}

void MTablet::set_on(bool value)
{
    if (m_on == value)
        return;
    m_on = value;
    emit onChanged(value);
}
