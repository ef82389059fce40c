#include "mloadinggate.h"

#include "mdocumentstorage.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenuBar>
#include <QMouseEvent>
#include <QShortcutEvent>
#include <QStatusBar>
#include <QTabletEvent>

MLoadingGate::MLoadingGate(MDocumentStorage *storage, QMainWindow *window)
    : QObject(window)
    , m_window(window)
{
    connect(storage, &MDocumentStorage::loadingWaitStarted, this, &MLoadingGate::waitStarted);
    connect(storage, &MDocumentStorage::loadingWaitEnded, this, &MLoadingGate::waitEnded);
}

MLoadingGate::~MLoadingGate()
{
    watch(false);
    if (m_busyCursor)
        QApplication::restoreOverrideCursor();
}

void MLoadingGate::letThrough(QObject *command)
{
    m_through.append(command);
}

void MLoadingGate::waitStarted()
{
    m_waiting = true;
    watch(true);
    if (!m_busyCursor) {
        m_busyCursor = true;
        QApplication::setOverrideCursor(Qt::BusyCursor);
    }
    if (m_window)
        m_window->statusBar()->showMessage(tr("Waiting for the document to finish loading..."));
}

void MLoadingGate::waitEnded(bool loaded)
{
    m_waiting = false;
    if (m_busyCursor && QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    m_busyCursor = false;
    if (m_window)
        m_window->statusBar()->clearMessage();
    // Input meant for a document that is gone would act on the next one.
    if (!loaded)
        m_held.clear();
    // The command that waited goes on first: what came after it follows
    // from the event loop, and whatever comes meanwhile queues behind it.
    QMetaObject::invokeMethod(this, &MLoadingGate::giveBack, Qt::QueuedConnection);
}

void MLoadingGate::giveBack()
{
    // A command given back may wait again: the rest stays held until then.
    while (!m_waiting && !m_held.empty()) {
        Held held = std::move(m_held.front());
        m_held.pop_front();
        if (!held.receiver)
            continue;
        m_givingBack = held.event.get();
        QCoreApplication::sendEvent(held.receiver, held.event.get());
        m_givingBack = nullptr;
    }
    if (!isHolding())
        watch(false);
}

void MLoadingGate::watch(bool on)
{
    if (on == m_watching)
        return;
    m_watching = on;
    if (QCoreApplication *application = QCoreApplication::instance()) {
        if (on)
            application->installEventFilter(this);
        else
            application->removeEventFilter(this);
    }
}

bool MLoadingGate::eventFilter(QObject *watched, QEvent *event)
{
    if (event == m_givingBack || !isHolding() || !holds(watched, event))
        return false;
    std::unique_ptr<QEvent> kept = copy(event);
    if (!kept)
        return false;
    m_held.push_back({watched, std::move(kept)});
    event->accept();
    return true;
}

bool MLoadingGate::inWindow(QObject *object) const
{
    for (QObject *at = object; at; at = at->parent()) {
        if (qobject_cast<QMenuBar *>(at))
            return false;
        if (auto *widget = qobject_cast<QWidget *>(at))
            return m_window && widget->window() == m_window;
    }
    return false;
}

bool MLoadingGate::holds(QObject *receiver, const QEvent *event) const
{
    switch (event->type()) {
    case QEvent::Shortcut:
        for (const QPointer<QObject> &command : m_through) {
            if (command == receiver)
                return false;
        }
        return inWindow(receiver);
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::ContextMenu:
        return receiver->isWidgetType() && inWindow(receiver);
    default:
        return false;
    }
}

std::unique_ptr<QEvent> MLoadingGate::copy(const QEvent *event)
{
    std::unique_ptr<QInputEvent> kept;
    switch (event->type()) {
    case QEvent::Shortcut: {
        const auto *shortcut = static_cast<const QShortcutEvent *>(event);
        return std::make_unique<QShortcutEvent>(shortcut->key(), shortcut->shortcutId(), shortcut->isAmbiguous());
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: {
        const auto *mouse = static_cast<const QMouseEvent *>(event);
        kept = std::make_unique<QMouseEvent>(mouse->type(), mouse->localPos(), mouse->windowPos(), mouse->screenPos(),
                                             mouse->button(), mouse->buttons(), mouse->modifiers(), mouse->source());
        break;
    }
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        const auto *key = static_cast<const QKeyEvent *>(event);
        kept = std::make_unique<QKeyEvent>(key->type(), key->key(), key->modifiers(), key->nativeScanCode(),
                                           key->nativeVirtualKey(), key->nativeModifiers(), key->text(),
                                           key->isAutoRepeat(), key->count());
        break;
    }
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease: {
        const auto *pen = static_cast<const QTabletEvent *>(event);
        kept = std::make_unique<QTabletEvent>(pen->type(), pen->posF(), pen->globalPosF(), int(pen->deviceType()),
                                              int(pen->pointerType()), pen->pressure(), pen->xTilt(), pen->yTilt(),
                                              pen->tangentialPressure(), pen->rotation(), pen->z(), pen->modifiers(),
                                              pen->uniqueId(), pen->button(), pen->buttons());
        break;
    }
    case QEvent::ContextMenu: {
        const auto *menu = static_cast<const QContextMenuEvent *>(event);
        kept = std::make_unique<QContextMenuEvent>(menu->reason(), menu->pos(), menu->globalPos(), menu->modifiers());
        break;
    }
    default:
        return nullptr;
    }
    kept->setTimestamp(static_cast<const QInputEvent *>(event)->timestamp());
    return kept;
}
