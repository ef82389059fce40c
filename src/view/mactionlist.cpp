#include "mactionlist.h"

#include "maction.h"

#include <QAction>
#include <QKeySequence>
#include <QWidget>

MActionList::MActionList(QObject *parent)
    : MTableModel(parent)
{
    setMetaObject(MAction::staticMetaObject);
}

void MActionList::fromWidget(QWidget *widget)
{
    clear();
    if (!widget)
        return;
    const QList<QAction *> actions = widget->findChildren<QAction *>();
    for (QAction *action : actions) {
        if (action->objectName().isEmpty())
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
