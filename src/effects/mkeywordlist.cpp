#include "mkeywordlist.h"

#include "mkeyword.h"
#include "mutility.h"

const QString MKeywordList::kResource = QStringLiteral(":/keywords/keywords_glsl.txt");

MKeywordList::MKeywordList(QObject *parent)
    : MKeywordList(kResource, parent)
{
}

MKeywordList::MKeywordList(const QString &path, QObject *parent)
    : MTableModel(parent)
{
    setMetaObject(MKeyword::staticMetaObject);
    load(path);
}

QObject *MKeywordList::createItem()
{
    return new MKeyword();
}

MKeyword *MKeywordList::keywordAt(int row) const
{
    return qobject_cast<MKeyword *>(item(row));
}

MKeyword *MKeywordList::parseLine(const QString &line)
{
    const QStringList parts = line.split(QLatin1Char(';'));
    const QString &keyword = parts.at(0);
    if (keyword.isEmpty())
        return nullptr;
    auto *entry = new MKeyword();
    entry->set_keyword(keyword);
    bool ok = false;
    const int keywordClass = parts.size() > 1 ? parts.at(1).trimmed().toInt(&ok) : 0;
    entry->set_keywordClass(ok ? keywordClass : 0);
    // The description keeps the blank after its ";", as the file gives it.
    const QString description = parts.value(2);
    entry->set_description(description.isEmpty() ? keyword : description);
    return entry;
}

void MKeywordList::load(const QString &path)
{
    QStringList lines;
    if (!MUtility::readLines(lines, path, true, true))
        return;
    for (const QString &line : qAsConst(lines)) {
        if (MKeyword *entry = parseLine(line))
            append(entry);
    }
}
