#include "meventfilter.h"

#include <QEvent>

MEventFilter::MEventFilter(QObject *parent)
    : QObject(parent)
{
}

MEventFilter *MEventFilter::busyFilter()
{
    static MEventFilter filter;
    return &filter;
}

bool MEventFilter::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
        return true;
    default:
        return QObject::eventFilter(watched, event);
    }
}
