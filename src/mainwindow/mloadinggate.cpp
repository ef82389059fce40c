#include "mloadinggate.h"

#include "mcanvas.h"

#include <QCoreApplication>
#include <QEvent>

MLoadingGate::MLoadingGate(MCanvas *canvas, QObject *parent)
    : QObject(parent)
    , m_canvas(canvas)
{
    QCoreApplication::instance()->installEventFilter(this);
}

MLoadingGate::~MLoadingGate()
{
    if (QCoreApplication *application = QCoreApplication::instance())
        application->removeEventFilter(this);
}

bool MLoadingGate::eventFilter(QObject *, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::TabletPress:
    case QEvent::TouchBegin:
    case QEvent::Drop:
        if (m_canvas && m_canvas->isLoading())
            m_canvas->finishLoading();
        break;
    default:
        break;
    }
    return false;
}
