#include "mactionlist.h"

#include "maction.h"
#include "mwindowcommands.h"

#include <QAction>
#include <QHash>
#include <QKeySequence>
#include <QMenu>
#include <QToolBar>
#include <QWidget>

namespace {
// The title of the first bar or menu that shows the action.
QString placeOf(const QAction *action)
{
    for (const QWidget *widget : action->associatedWidgets()) {
        if (const auto *menu = qobject_cast<const QMenu *>(widget))
            return menu->title().remove(QLatin1Char('&'));
        if (qobject_cast<const QToolBar *>(widget))
            return widget->windowTitle();
    }
    return QString();
}
} // namespace

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
    QHash<QString, int> uses;
    for (QAction *action : MWindowCommands::of(widget)) {
        // A hidden command is out of reach, and so is its key.
        if (action->objectName().isEmpty() || !action->isVisible())
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
        ++uses[description];
    }
    // Two commands of the same words in different bars (each tool's
    // "Transform as selection") are told apart by their bar.
    for (int i = 0; i < count(); ++i) {
        auto *row = static_cast<MAction *>(item(i));
        const QString place = placeOf(row->action());
        if (uses.value(row->description()) > 1 && !place.isEmpty())
            row->set_description(QStringLiteral("%1 (%2)").arg(row->description(), place));
    }
}

QObject *MActionList::createItem()
{
    return new MAction;
}
