#include "mtextstylelist.h"

#include "mfolders.h"
#include "mtextstyle.h"

#include <QFile>

MTextStyleList::MTextStyleList(QObject *parent)
    : MTextStyleList(fileName(), parent)
{
}

MTextStyleList::MTextStyleList(const QString &path, QObject *parent)
    : MTableModel(parent)
    , m_defaultStyle(new MTextStyle)
{
    setMetaObject(MTextStyle::staticMetaObject);
    // clear() drops rows without the removal hook: keep the index from
    // pointing at deleted styles.
    connect(this, &QAbstractItemModel::rowsAboutToBeRemoved, this, [this](const QModelIndex &, int first, int last) {
        for (int row = first; row <= last; ++row)
            unindex(item(row));
    });
    // A missing file is the usual case: the painter has not written one.
    if (QFile::exists(path))
        loadJson(path);
}

MTextStyleList::~MTextStyleList()
{
    delete m_defaultStyle;
    m_index.clear();
    disconnect(this, &QAbstractItemModel::rowsAboutToBeRemoved, this, nullptr);
}

QString MTextStyleList::fileName()
{
    return MFolders::userDocumentsPath() + QStringLiteral("textstyles.json");
}

QObject *MTextStyleList::createItem()
{
    return new MTextStyle;
}

void MTextStyleList::itemAdded(QObject *item)
{
    auto *style = qobject_cast<MTextStyle *>(item);
    if (!style)
        return;
    const QString key = style->id().toLower();
    if (!m_index.contains(key))
        m_index.insert(key, style);
}

void MTextStyleList::itemRemoved(QObject *item)
{
    unindex(item);
}

void MTextStyleList::unindex(QObject *item)
{
    auto *style = qobject_cast<MTextStyle *>(item);
    if (!style)
        return;
    // Another style may hold the id's entry; it keeps it.
    const QString key = style->id().toLower();
    if (m_index.value(key) == style)
        m_index.remove(key);
}

MTextStyle *MTextStyleList::styleAt(int row) const
{
    return isValidRow(row) ? qobject_cast<MTextStyle *>(item(row)) : nullptr;
}
