#pragma once

#include "msingleton.h"

#include <QHash>
#include <QObject>

class MGlobalShortcut;
class QSocketNotifier;

// The platform side of the global shortcuts: on X11 a key grab on the root
// window over a connection of its own, whose key presses activate the
// shortcut that grabbed them. Without X11 nothing can be grabbed.
class MGlobalShortcutGrabber : public QObject, public MSingleton<MGlobalShortcutGrabber>
{
    Q_OBJECT
public:
    MGlobalShortcutGrabber();
    ~MGlobalShortcutGrabber() override;

    bool grab(MGlobalShortcut *shortcut, int key, Qt::KeyboardModifiers modifiers);
    bool ungrab(MGlobalShortcut *shortcut, int key, Qt::KeyboardModifiers modifiers);
    // The X key symbol of a framework key, 0 when it has none.
    static unsigned long keySymbol(int key);

private:
    void readEvents();

    void *m_display = nullptr;
    QSocketNotifier *m_notifier = nullptr;
    // (key code, modifier mask) grabbed -> its shortcut
    QHash<quint64, MGlobalShortcut *> m_grabs;
};
