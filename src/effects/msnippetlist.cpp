#include "msnippetlist.h"

#include "mfolders.h"
#include "mlogger.h"
#include "msnippet.h"
#include "msnippetstream.h"

namespace {
const QString kExtension = QStringLiteral("kxn");
} // namespace

MSnippetList::MSnippetList(QObject *parent)
    : MParamList(MFolders::SnippetDir, kExtension, parent)
{
    setUp();
}

MSnippetList::MSnippetList(const QString &systemFolder, const QString &userFolder, QObject *parent)
    : MParamList(MFolders::SnippetDir, kExtension, systemFolder, userFolder, parent)
{
    setUp();
}

MSnippetList::~MSnippetList()
{
    delete m_default;
}

void MSnippetList::setUp()
{
    setMetaObject(MSnippet::staticMetaObject);
    setOrderMode(IndexOrder);
    load();
    m_default = new MSnippet();
    setDefaultItem(m_default);
    *MLogger::instance() << QStringLiteral("Code fragments loaded: %1 fragments").arg(count());
}

QObject *MSnippetList::createItem()
{
    return new MSnippet();
}

bool MSnippetList::readItem(QObject *item, const QString &path)
{
    auto *snippet = qobject_cast<MSnippet *>(item);
    return snippet && MSnippetStream(snippet).read(path);
}

void MSnippetList::loadItems(const QStringList &order, const Files &files)
{
    if (order.isEmpty()) {
        MLogger::instance()->systemError(QStringLiteral("Code fragments system and user directories are empty."));
        setRows({});
        return;
    }
    // Every fragment read from disk has the same name: the order file's order stays.
    setRows(readItems(order, files, QStringLiteral("Unable to load snippet ")));
}

MSnippet *MSnippetList::snippetAt(int row) const
{
    return isValidRow(row) ? qobject_cast<MSnippet *>(item(row)) : nullptr;
}

bool MSnippetList::saveItem(MSnippet *snippet)
{
    if (!snippet)
        return false;
    const QString path = userFilePath(snippet);
    if (path.isEmpty() || !MSnippetStream(snippet).write(path)) {
        MLogger::instance()->systemError(QStringLiteral("Unable to write %1").arg(path));
        return false;
    }
    return true;
}
