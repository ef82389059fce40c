#include "mshapelist.h"

#include "mfolders.h"
#include "mlogger.h"
#include "mshape.h"

namespace {
const QString kExtension = QStringLiteral("kxh");
} // namespace

MShapeList::MShapeList(QObject *parent)
    : MParamList(MFolders::ShapeDir, kExtension, parent)
{
    setUp();
}

MShapeList::MShapeList(const QString &systemFolder, const QString &userFolder, QObject *parent)
    : MParamList(MFolders::ShapeDir, kExtension, systemFolder, userFolder, parent)
{
    setUp();
}

MShapeList::~MShapeList()
{
    clear();
    delete m_default;
}

void MShapeList::setUp()
{
    setMetaObject(MShape::staticMetaObject);
    m_default = new MShape();
    m_default->setDescription(tr("Default shape"));
    m_default->setGroup(tr("basic"));
    setDefaultItem(m_default);
    setOrderMode(IndexOrder);
    load();
    *MLogger::instance() << QStringLiteral("Shapes loaded: %1 shapes").arg(count());
}

QObject *MShapeList::createItem()
{
    return new MShape();
}

bool MShapeList::readItem(QObject *item, const QString &path)
{
    auto *shape = qobject_cast<MShape *>(item);
    if (!shape || !shape->readJson(path))
        return false;
    // Drawn with the library, not while a view of it sizes its columns.
    shape->preview();
    return true;
}

void MShapeList::loadItems(const QStringList &order, const Files &files)
{
    if (order.isEmpty()) {
        MLogger::instance()->systemError(QStringLiteral("Shape system and user directories are empty. Adding a default shape"));
        auto *shape = new MShape();
        shape->setDescription(tr("Default shape"));
        shape->setGroup(tr("basic"));
        setRows({shape});
        return;
    }
    setRows(readItems(order, files, QStringLiteral("Unable to load shape ")));
    setCurrentRow(0);
}

MShape *MShapeList::shapeAt(int row) const
{
    return isValidRow(row) ? qobject_cast<MShape *>(item(row)) : nullptr;
}

MShape *MShapeList::currentShape() const
{
    auto *shape = qobject_cast<MShape *>(currentItem());
    return shape ? shape : m_default;
}
