#include "mtablet.h"

#include <QTabletEvent>

MTablet::MTablet(QObject *parent)
    : QObject(parent)
{
}

#define M_TABLET_SETTER(name, type, member, same)                                                                     \
    void MTablet::set_##name(type value)                                                                               \
    {                                                                                                                  \
        if (same)                                                                                                      \
            return;                                                                                                    \
        member = value;                                                                                                \
        emit name##Changed(value);                                                                                     \
    }

M_TABLET_SETTER(pointerType, int, m_pointerType, m_pointerType == value)
M_TABLET_SETTER(device, int, m_device, m_device == value)
M_TABLET_SETTER(proximityDevice, int, m_proximityDevice, m_proximityDevice == value)
M_TABLET_SETTER(pressure, double, m_pressure, qFuzzyCompare(m_pressure, value))
M_TABLET_SETTER(tangentialPressure, double, m_tangentialPressure, qFuzzyCompare(m_tangentialPressure, value))
M_TABLET_SETTER(xTilt, int, m_xTilt, m_xTilt == value)
M_TABLET_SETTER(yTilt, int, m_yTilt, m_yTilt == value)
M_TABLET_SETTER(on, bool, m_on, m_on == value)

bool MTablet::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::TabletMove || type == QEvent::TabletPress || type == QEvent::TabletRelease) {
        auto *tablet = static_cast<QTabletEvent *>(event);
        set_pressure(tablet->pressure());
        set_pointerType(int(tablet->pointerType()));
        set_device(int(tablet->deviceType()));
        set_tangentialPressure(tablet->tangentialPressure());
        set_xTilt(tablet->xTilt());
        set_yTilt(tablet->yTilt());
        if (type == QEvent::TabletPress)
            set_on(true);
        else if (type == QEvent::TabletRelease)
            set_on(false);
        return false;
    }
    return QObject::eventFilter(watched, event);
}
