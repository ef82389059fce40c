#pragma once

#include "msingleton.h"

#include <QObject>

// Pen-tablet state; an event filter on the main window and the canvas view.
class MTablet : public QObject, public MSingleton<MTablet>
{
    Q_OBJECT
    Q_PROPERTY(int proximityDevice READ proximityDevice WRITE set_proximityDevice NOTIFY proximityDeviceChanged)
public:
    explicit MTablet(QObject *parent = nullptr);

    int proximityDevice() const { return m_proximityDevice; }

public slots:
    void set_proximityDevice(int value);

signals:
    void proximityDeviceChanged(int value);

private:
    int m_proximityDevice = 0;
};
