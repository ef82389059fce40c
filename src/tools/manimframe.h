#pragma once

#include <QObject>
#include <QVector>

class QTimer;

// The clock of marching ants: each tick moves the dash offset one step
// along its cycle and asks for a repaint.
class MAnimFrame : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool isStarted READ isStarted WRITE set_isStarted NOTIFY isStartedChanged)
public:
    explicit MAnimFrame(QObject *parent = nullptr);

    bool isStarted() const { return m_isStarted; }
    QTimer *timer() const { return m_timer; }

    void start(int msec);
    void stop();

    int dashOffset = 0;
    double period = 10.0;
    QVector<double> dashPattern{5.0, 5.0};

public slots:
    // Starting and stopping go through here, so the flag, its signal and
    // the timer always agree.
    void set_isStarted(bool value);

signals:
    void isStartedChanged(bool value);
    void refresh();

protected slots:
    void animate();

private:
    bool m_isStarted = false;
    QTimer *m_timer;
};
