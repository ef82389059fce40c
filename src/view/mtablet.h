#pragma once

#include "msingleton.h"

#include <QObject>

// Pen-tablet state; an event filter on the main window and the canvas view.
// It only watches tablet events and lets them through, so the framework still
// turns them into the mouse events the view builds its samples from.
class MTablet : public QObject, public MSingleton<MTablet>
{
    Q_OBJECT
    Q_PROPERTY(int pointerType READ pointerType WRITE set_pointerType NOTIFY pointerTypeChanged)
    Q_PROPERTY(int device READ device WRITE set_device NOTIFY deviceChanged)
    Q_PROPERTY(int proximityDevice READ proximityDevice WRITE set_proximityDevice NOTIFY proximityDeviceChanged)
    Q_PROPERTY(double pressure READ pressure WRITE set_pressure NOTIFY pressureChanged)
    Q_PROPERTY(double tangentialPressure READ tangentialPressure WRITE set_tangentialPressure
                   NOTIFY tangentialPressureChanged)
    Q_PROPERTY(int xTilt READ xTilt WRITE set_xTilt NOTIFY xTiltChanged)
    Q_PROPERTY(int yTilt READ yTilt WRITE set_yTilt NOTIFY yTiltChanged)
    Q_PROPERTY(bool on READ on WRITE set_on NOTIFY onChanged)
public:
    explicit MTablet(QObject *parent = nullptr);

    int pointerType() const { return m_pointerType; }
    int device() const { return m_device; }
    int proximityDevice() const { return m_proximityDevice; }
    double pressure() const { return m_pressure; }
    double tangentialPressure() const { return m_tangentialPressure; }
    int xTilt() const { return m_xTilt; }
    int yTilt() const { return m_yTilt; }
    bool on() const { return m_on; }

    bool eventFilter(QObject *watched, QEvent *e) override;

public slots:
    void set_pointerType(int value);
    void set_device(int value);
    void set_proximityDevice(int value);
    void set_pressure(double value);
    void set_tangentialPressure(double value);
    void set_xTilt(int value);
    void set_yTilt(int value);
    void set_on(bool value);

signals:
    void pointerTypeChanged(int value);
    void deviceChanged(int value);
    void proximityDeviceChanged(int value);
    void pressureChanged(double value);
    void tangentialPressureChanged(double value);
    void xTiltChanged(int value);
    void yTiltChanged(int value);
    void onChanged(bool value);

private:
    int m_pointerType = 1;      // QTabletEvent::Pen
    int m_device = 2;           // QTabletEvent::Stylus
    int m_proximityDevice = 2;
    double m_pressure = 0.0;
    double m_tangentialPressure = 0.0;
    int m_xTilt = 0;
    int m_yTilt = 0;
    bool m_on = false;
};
