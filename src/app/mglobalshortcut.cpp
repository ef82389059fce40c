#include "mglobalshortcut.h"

#include "mglobalshortcutgrabber.h"

#include <QHash>
#include <QPair>

namespace {
using Pair = QPair<quint32, quint32>;

QHash<Pair, MGlobalShortcut *> &registry()
{
    static QHash<Pair, MGlobalShortcut *> table;
    return table;
}

// Virtual-key codes of the keys a US layout types as characters.
quint32 usLayoutKeycode(int key)
{
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return quint32(key);
    switch (key) {
    case Qt::Key_Semicolon: return 186;
    case Qt::Key_Equal: return 187;
    case Qt::Key_Comma: return 188;
    case Qt::Key_Period: return 190;
    case Qt::Key_QuoteLeft: return 192;
    case Qt::Key_BracketLeft: return 219;
    case Qt::Key_Backslash: return 220;
    case Qt::Key_BracketRight: return 221;
    case Qt::Key_Apostrophe: return 222;
    default: return 0;
    }
}
} // namespace

MGlobalShortcut::MGlobalShortcut(QObject *parent)
    : QObject(parent)
{
}

MGlobalShortcut::~MGlobalShortcut()
{
    unsetShortcut();
}

QKeySequence MGlobalShortcut::shortcut() const
{
    if (!m_key)
        return QKeySequence();
    return QKeySequence(m_key | int(m_modifiers));
}

quint32 MGlobalShortcut::nativeModifiers(Qt::KeyboardModifiers modifiers)
{
    quint32 flags = 0;
    if (modifiers & Qt::AltModifier)
        flags += 1;
    if (modifiers & Qt::ControlModifier)
        flags += 2;
    if (modifiers & Qt::ShiftModifier)
        flags += 4;
    if (modifiers & Qt::MetaModifier)
        flags += 8;
    return flags;
}

quint32 MGlobalShortcut::nativeKeycode(int key)
{
    switch (key) {
    case Qt::Key_Space: return 32;
    case Qt::Key_Asterisk: return 106;
    case Qt::Key_Plus: return 107;
    case Qt::Key_Minus: return 109;
    case Qt::Key_Slash: return 111;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return 9;
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    case Qt::Key_Pause: return 19;
    case Qt::Key_Print: return 42;
    case Qt::Key_Clear: return 12;
    case Qt::Key_Home: return 36;
    case Qt::Key_End: return 35;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_VolumeDown: return 174;
    case Qt::Key_VolumeMute: return 173;
    case Qt::Key_VolumeUp: return 175;
    case Qt::Key_MediaPlay: return 179;
    case Qt::Key_MediaStop: return 178;
    case Qt::Key_MediaPrevious: return 177;
    case Qt::Key_MediaNext: return 176;
    default: break;
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return quint32(112 + key - Qt::Key_F1);
    // Characters: the key the layout types them with. Without the Windows
    // layout tables the US layout, the fallback there, decides.
    return key <= 0xffff ? usLayoutKeycode(QChar(key).toUpper().unicode()) : 0;
}

MGlobalShortcut *MGlobalShortcut::registeredShortcut(quint32 nativeKey, quint32 nativeModifiers)
{
    return registry().value(Pair(nativeKey, nativeModifiers));
}

void MGlobalShortcut::setEnabled(bool enabled)
{
    if (m_enabled == enabled)
        return;
    m_enabled = enabled;
    emit enabledChanged(enabled);
}

bool MGlobalShortcut::setShortcut(const QKeySequence &shortcut)
{
    unsetShortcut();
    const int combined = shortcut.isEmpty() ? 0 : shortcut[0];
    m_key = combined & ~int(Qt::KeyboardModifierMask);
    m_modifiers = Qt::KeyboardModifiers(combined & int(Qt::KeyboardModifierMask));
    m_nativeKey = nativeKeycode(m_key);
    m_nativeModifiers = nativeModifiers(m_modifiers);
    // A pair another shortcut of this process holds is taken, as the system
    // would say of another program's.
    const Pair pair(m_nativeKey, m_nativeModifiers);
    m_registered = m_nativeKey != 0 && !registry().contains(pair)
                   && MGlobalShortcutGrabber::instance()->grab(this, m_key, m_modifiers);
    if (m_registered)
        registry().insert(pair, this);
    return m_registered;
}

bool MGlobalShortcut::unsetShortcut()
{
    const Pair pair(m_nativeKey, m_nativeModifiers);
    if (!m_registered || registry().value(pair) != this)
        return false;
    if (!MGlobalShortcutGrabber::instance()->ungrab(this, m_key, m_modifiers))
        return false;
    registry().remove(pair);
    m_registered = false;
    return true;
}
