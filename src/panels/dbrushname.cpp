#include "dbrushname.h"

#include "mbrush.h"
#include "mbrushlist.h"

DBrushName::DBrushName(const QString &group, const QString &description, QWidget *parent)
    : DName(group, description, parent)
{
    QStringList groups;
    const MBrushList *library = MBrushList::instance();
    for (int row = 0; row < library->rowCount(); ++row)
        groups << library->brush(row)->group();
    setGroups(groups);
}
