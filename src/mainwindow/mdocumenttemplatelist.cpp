#include "mdocumenttemplatelist.h"

#include "mdocumenttemplate.h"
#include "mfolders.h"
#include "mlogger.h"

#include <algorithm>

namespace {
const QString kExtension = QStringLiteral("kxt");
} // namespace

MDocumentTemplateList::MDocumentTemplateList(QObject *parent)
    : MParamList(MFolders::TemplateDir, kExtension, parent)
{
    setUp();
}

MDocumentTemplateList::MDocumentTemplateList(const QString &systemFolder, const QString &userFolder,
                                             QObject *parent)
    : MParamList(MFolders::TemplateDir, kExtension, systemFolder, userFolder, parent)
{
    setUp();
}

MDocumentTemplateList::~MDocumentTemplateList()
{
    delete m_default;
}

void MDocumentTemplateList::setUp()
{
    setMetaObject(MDocumentTemplate::staticMetaObject);
    m_default = new MDocumentTemplate();
    setDefaultItem(m_default);
    load();
    *MLogger::instance() << QStringLiteral("Document templates loaded: %1 templates").arg(count());
}

QObject *MDocumentTemplateList::createItem()
{
    return new MDocumentTemplate();
}

bool MDocumentTemplateList::readItem(QObject *item, const QString &path)
{
    auto *documentTemplate = qobject_cast<MDocumentTemplate *>(item);
    return documentTemplate && documentTemplate->load(path);
}

void MDocumentTemplateList::loadItems(const QStringList &order, const Files &files)
{
    if (order.isEmpty()) {
        MLogger::instance()->systemError(
            QStringLiteral("Template system and user directories are empty. Adding a default template"));
        setRows({new MDocumentTemplate()});
    } else {
        setRows(readItems(order, files, QStringLiteral("Unable to load document template ")));
    }
    reorder();
    setCurrentRow(0);
}

void MDocumentTemplateList::reorder()
{
    QList<QObject *> items;
    for (int row = 0; row < count(); ++row)
        items.append(item(row));
    std::stable_sort(items.begin(), items.end(), [](QObject *a, QObject *b) {
        auto *ta = static_cast<MDocumentTemplate *>(a);
        auto *tb = static_cast<MDocumentTemplate *>(b);
        if (ta->width() != tb->width())
            return ta->width() < tb->width();
        return ta->height() < tb->height();
    });
    arrangeItems(items);
}

MDocumentTemplate *MDocumentTemplateList::templateAt(int row) const
{
    return isValidRow(row) ? qobject_cast<MDocumentTemplate *>(item(row)) : nullptr;
}
