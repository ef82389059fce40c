#include "mactionlist.h"

#include "maction.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QWidget>

MActionList::MActionList(QObject *parent)
    : MTableModel(parent)
{
    setMetaObject(MAction::staticMetaObject);
}

namespace {
// An action of a window of its own inside the widget (an editor the window
// opened, with its own Undo and Redo) is that window's command, not the
// widget's: listed, it would show twice under one name. Menus are windows
// too, but their actions are the widget's.
bool ownedByAnotherWindow(const QAction *action, const QWidget *widget)
{
    for (const QObject *owner = action->parent(); owner && owner != widget; owner = owner->parent()) {
        const auto *window = qobject_cast<const QWidget *>(owner);
        if (window && window->isWindow() && !qobject_cast<const QMenu *>(window))
            return true;
    }
    return false;
}
} // namespace

void MActionList::fromWidget(QWidget *widget)
{
    clear();
    if (!widget)
        return;
    const QList<QAction *> actions = widget->findChildren<QAction *>();
    for (QAction *action : actions) {
        if (action->objectName().isEmpty() || ownedByAnotherWindow(action, widget))
            continue;
        QString description = action->toolTip().isEmpty() ? action->text() : action->toolTip();
        description = description.trimmed();
        if (description.endsWith(QStringLiteral("...")))
            description.chop(3);
        if (description.isEmpty())
            continue;
        auto *row = new MAction;
        row->set_description(description);
        row->set_shortCut(action->shortcut().toString(QKeySequence::PortableText));
        row->set_action(action);
        append(row);
    }
}

QObject *MActionList::createItem()
{
    return new MAction;
}
