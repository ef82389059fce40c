#pragma once

#include <QKeySequence>
#include <QObject>

// A system-wide hot key that fires while the application is not focused.
// The key and modifiers are kept in the Windows hot-key codes the shortcut
// is described by; on X11 the same key is grabbed on the root window, and
// where no grab is possible the registration reports failure.
class MGlobalShortcut : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool enabled READ isEnabled WRITE setEnabled NOTIFY enabledChanged)
    Q_PROPERTY(QKeySequence shortcut READ shortcut WRITE setShortcut)
public:
    explicit MGlobalShortcut(QObject *parent = nullptr);
    ~MGlobalShortcut() override;

    bool isEnabled() const { return m_enabled; }
    QKeySequence shortcut() const;
    bool isRegistered() const { return m_registered; }
    quint32 nativeKey() const { return m_nativeKey; }
    quint32 nativeModifiers() const { return m_nativeModifiers; }
    // The hot key's id: virtual-key code XOR modifier flags.
    quint32 id() const { return m_nativeKey ^ m_nativeModifiers; }

    // Framework modifiers to hot-key flags: Alt 1, Control 2, Shift 4, Meta 8.
    static quint32 nativeModifiers(Qt::KeyboardModifiers modifiers);
    // Framework key to virtual-key code; 0 when the key has none.
    static quint32 nativeKeycode(int key);
    // The registered shortcut of a key and flags, or null.
    static MGlobalShortcut *registeredShortcut(quint32 nativeKey, quint32 nativeModifiers);

public slots:
    void setEnabled(bool enabled);
    bool setShortcut(const QKeySequence &shortcut);
    bool unsetShortcut();

signals:
    void activated(MGlobalShortcut *shortcut);
    void enabledChanged(bool enabled);

private:
    bool m_enabled = true;
    int m_key = 0;
    Qt::KeyboardModifiers m_modifiers;
    quint32 m_nativeKey = 0;
    quint32 m_nativeModifiers = 0;
    bool m_registered = false;
};
