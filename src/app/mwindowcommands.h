#pragma once

#include <QList>

class QAction;
class QWidget;

// The commands a window answers to: the actions under it, less those of the
// windows it opened (an editor with its own Undo and Redo), which are theirs.
// Its menus are windows too, but their actions are the window's.
class MWindowCommands
{
public:
    static QList<QAction *> of(const QWidget *window);
};
