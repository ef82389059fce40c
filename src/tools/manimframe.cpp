#include "manimframe.h"

#include <QTimer>

namespace {
// The interval every outline animates at when started without one.
constexpr int defaultInterval = 100;
} // namespace

MAnimFrame::MAnimFrame(QObject *parent)
    : QObject(parent)
    , m_timer(new QTimer(this))
{
    connect(m_timer, &QTimer::timeout, this, &MAnimFrame::animate);
}

void MAnimFrame::start(int msec)
{
    m_timer->start(msec);
    set_isStarted(true);
}

void MAnimFrame::stop()
{
    set_isStarted(false);
}

void MAnimFrame::set_isStarted(bool value)
{
    if (value) {
        if (!m_timer->isActive())
            m_timer->start(m_timer->interval() > 0 ? m_timer->interval() : defaultInterval);
    } else {
        m_timer->stop();
    }
    if (value == m_isStarted)
        return;
    m_isStarted = value;
    emit isStartedChanged(value);
}

void MAnimFrame::animate()
{
    const int next = dashOffset + 1;
    dashOffset = period <= next ? 0 : next;
    emit refresh();
}
