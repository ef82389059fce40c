#include "mwindowcommands.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QWidget>

namespace {
bool ownedByAnotherWindow(const QAction *action, const QWidget *window)
{
    for (const QObject *owner = action->parent(); owner && owner != window; owner = owner->parent()) {
        const auto *widget = qobject_cast<const QWidget *>(owner);
        if (widget && widget->isWindow() && !qobject_cast<const QMenu *>(widget))
            return true;
    }
    return false;
}
} // namespace

QList<QAction *> MWindowCommands::of(const QWidget *window)
{
    QList<QAction *> commands;
    if (!window)
        return commands;
    for (QAction *action : window->findChildren<QAction *>()) {
        if (!ownedByAnotherWindow(action, window))
            commands << action;
    }
    return commands;
}

bool MWindowCommands::triggerShortcut(const QWidget *window, const QKeySequence &keys)
{
    if (keys.isEmpty())
        return false;
    for (QAction *action : of(window)) {
        const Qt::ShortcutContext context = action->shortcutContext();
        if (!action->isEnabled() || !action->isVisible() || !action->shortcuts().contains(keys)
            || (context != Qt::WindowShortcut && context != Qt::ApplicationShortcut))
            continue;
        action->trigger();
        return true;
    }
    return false;
}
