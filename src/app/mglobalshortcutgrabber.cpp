#include "mglobalshortcutgrabber.h"

#include "mglobalshortcut.h"

#include <QSocketNotifier>

#ifdef KALMI_HAVE_X11
#include <X11/Xlib.h>
#include <X11/keysym.h>
#endif

namespace {
#ifdef KALMI_HAVE_X11
bool g_grabFailed = false;

int grabErrorHandler(Display *, XErrorEvent *event)
{
    if (event->error_code == BadAccess || event->error_code == BadValue || event->error_code == BadWindow)
        g_grabFailed = true;
    return 0;
}

unsigned int xModifiers(Qt::KeyboardModifiers modifiers)
{
    unsigned int mask = 0;
    if (modifiers & Qt::ShiftModifier)
        mask |= ShiftMask;
    if (modifiers & Qt::ControlModifier)
        mask |= ControlMask;
    if (modifiers & Qt::AltModifier)
        mask |= Mod1Mask;
    if (modifiers & Qt::MetaModifier)
        mask |= Mod4Mask;
    return mask;
}

// Caps Lock and Num Lock must not keep the hot key from firing.
const unsigned int kLockVariants[] = {0, LockMask, Mod2Mask, LockMask | Mod2Mask};
#endif

quint64 grabKey(unsigned int keycode, unsigned int mask)
{
    return (quint64(keycode) << 32) | mask;
}
} // namespace

MGlobalShortcutGrabber::MGlobalShortcutGrabber()
{
#ifdef KALMI_HAVE_X11
    m_display = XOpenDisplay(nullptr);
    if (m_display) {
        m_notifier = new QSocketNotifier(ConnectionNumber(static_cast<Display *>(m_display)), QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &MGlobalShortcutGrabber::readEvents);
    }
#endif
}

MGlobalShortcutGrabber::~MGlobalShortcutGrabber()
{
#ifdef KALMI_HAVE_X11
    if (m_display)
        XCloseDisplay(static_cast<Display *>(m_display));
#endif
}

unsigned long MGlobalShortcutGrabber::keySymbol(int key)
{
#ifdef KALMI_HAVE_X11
    if (key >= Qt::Key_F1 && key <= Qt::Key_F35)
        return XK_F1 + (key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Escape: return XK_Escape;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return XK_Tab;
    case Qt::Key_Backspace: return XK_BackSpace;
    case Qt::Key_Return: return XK_Return;
    case Qt::Key_Enter: return XK_KP_Enter;
    case Qt::Key_Insert: return XK_Insert;
    case Qt::Key_Delete: return XK_Delete;
    case Qt::Key_Pause: return XK_Pause;
    case Qt::Key_Print: return XK_Print;
    case Qt::Key_Clear: return XK_Clear;
    case Qt::Key_Home: return XK_Home;
    case Qt::Key_End: return XK_End;
    case Qt::Key_Left: return XK_Left;
    case Qt::Key_Up: return XK_Up;
    case Qt::Key_Right: return XK_Right;
    case Qt::Key_Down: return XK_Down;
    case Qt::Key_PageUp: return XK_Page_Up;
    case Qt::Key_PageDown: return XK_Page_Down;
    default: break;
    }
    // Latin-1 characters are their own key symbols, in lower case.
    if (key >= 0x20 && key <= 0xff)
        return QChar(key).toLower().unicode();
#else
    Q_UNUSED(key)
#endif
    return 0;
}

bool MGlobalShortcutGrabber::grab(MGlobalShortcut *shortcut, int key, Qt::KeyboardModifiers modifiers)
{
#ifdef KALMI_HAVE_X11
    auto *display = static_cast<Display *>(m_display);
    const unsigned long symbol = keySymbol(key);
    if (!display || !symbol)
        return false;
    const KeyCode keycode = XKeysymToKeycode(display, symbol);
    if (!keycode)
        return false;
    const unsigned int mask = xModifiers(modifiers);
    const Window root = DefaultRootWindow(display);
    XSync(display, False);
    g_grabFailed = false;
    XErrorHandler previous = XSetErrorHandler(grabErrorHandler);
    for (unsigned int lock : kLockVariants)
        XGrabKey(display, keycode, mask | lock, root, True, GrabModeAsync, GrabModeAsync);
    XSync(display, False);
    const bool failed = g_grabFailed;
    if (failed) {
        for (unsigned int lock : kLockVariants)
            XUngrabKey(display, keycode, mask | lock, root);
        XSync(display, False);
    }
    XSetErrorHandler(previous);
    if (failed)
        return false;
    m_grabs.insert(grabKey(keycode, mask), shortcut);
    return true;
#else
    Q_UNUSED(shortcut)
    Q_UNUSED(key)
    Q_UNUSED(modifiers)
    return false;
#endif
}

bool MGlobalShortcutGrabber::ungrab(MGlobalShortcut *shortcut, int key, Qt::KeyboardModifiers modifiers)
{
#ifdef KALMI_HAVE_X11
    auto *display = static_cast<Display *>(m_display);
    if (!display)
        return false;
    const KeyCode keycode = XKeysymToKeycode(display, keySymbol(key));
    const unsigned int mask = xModifiers(modifiers);
    if (m_grabs.value(grabKey(keycode, mask)) != shortcut)
        return false;
    const Window root = DefaultRootWindow(display);
    for (unsigned int lock : kLockVariants)
        XUngrabKey(display, keycode, mask | lock, root);
    XSync(display, False);
    m_grabs.remove(grabKey(keycode, mask));
    return true;
#else
    Q_UNUSED(shortcut)
    Q_UNUSED(key)
    Q_UNUSED(modifiers)
    return false;
#endif
}

void MGlobalShortcutGrabber::readEvents()
{
#ifdef KALMI_HAVE_X11
    auto *display = static_cast<Display *>(m_display);
    while (XPending(display)) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type != KeyPress)
            continue;
        const unsigned int mask = event.xkey.state & (ShiftMask | ControlMask | Mod1Mask | Mod4Mask);
        MGlobalShortcut *shortcut = m_grabs.value(grabKey(event.xkey.keycode, mask));
        if (shortcut && shortcut->isEnabled())
            emit shortcut->activated(shortcut);
    }
#endif
}
