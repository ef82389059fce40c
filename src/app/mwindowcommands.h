#pragma once

#include <QList>

class QAction;
class QKeySequence;
class QWidget;

// The commands a window answers to: the actions under it, less those of the
// windows it opened (an editor with its own Undo and Redo), which are theirs.
// Its menus are windows too, but their actions are the window's.
class MWindowCommands
{
public:
    static QList<QAction *> of(const QWidget *window);

    // Triggers the window's command whose shortcut is the keys, as the
    // window would have taken them: enabled, shown and not bound to one
    // widget. False when no command holds the keys.
    static bool triggerShortcut(const QWidget *window, const QKeySequence &keys);
};
