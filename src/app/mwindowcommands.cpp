#include "mwindowcommands.h"

#include <QAction>
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
