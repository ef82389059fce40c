#include "mmenubutton.h"

#include <QAction>
#include <QMenu>

MMenuButton::MMenuButton(QWidget *parent)
    : QToolButton(parent)
{
    setPopupMode(QToolButton::MenuButtonPopup);
    connect(this, &QToolButton::triggered, this, &QToolButton::setDefaultAction);
}

void MMenuButton::setActions(const QList<QAction *> &actions)
{
    if (actions.isEmpty())
        return;
    QMenu *previous = menu();
    auto *list = new QMenu(this);
    for (QAction *action : actions)
        list->addAction(action);
    setDefaultAction(actions.first());
    setMenu(list);
    if (previous && previous->parent() == this)
        delete previous;
}
