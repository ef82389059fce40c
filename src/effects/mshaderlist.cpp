#include "mshaderlist.h"

#include "mfolders.h"
#include "mlogger.h"
#include "mshader.h"

namespace {
const QString kExtension = QStringLiteral("kxs");
} // namespace

MShaderList::MShaderList(QObject *parent)
    : MParamList(MFolders::ShaderDir, kExtension, parent)
{
    setUp();
}

MShaderList::MShaderList(const QString &systemFolder, const QString &userFolder, QObject *parent)
    : MParamList(MFolders::ShaderDir, kExtension, systemFolder, userFolder, parent)
{
    setUp();
}

MShaderList::~MShaderList()
{
    delete m_default;
}

void MShaderList::setUp()
{
    setMetaObject(MShader::staticMetaObject);
    setMimeType(QStringLiteral("application/vnd.vantorel.shader"));
    m_default = new MShader();
    m_default->set_description(QStringLiteral("Default effect"));
    m_default->set_group(QStringLiteral("basic"));
    setDefaultItem(m_default);
    load();
    *MLogger::instance() << QStringLiteral("Shaders loaded: %1 shaders").arg(count());
}

QObject *MShaderList::createItem()
{
    return new MShader();
}

bool MShaderList::readItem(QObject *item, const QString &path)
{
    auto *shader = qobject_cast<MShader *>(item);
    return shader && shader->load(path);
}

void MShaderList::loadItems(const QStringList &order, const Files &files)
{
    if (order.isEmpty()) {
        MLogger::instance()->systemError(QStringLiteral("Shader system and user directories are empty. Adding a default shader"));
        auto *shader = new MShader();
        shader->set_description(tr("Default effect"));
        shader->set_group(tr("basic"));
        setRows({shader});
        return;
    }
    // The system's effects are read from the system folder whatever the user
    // folder holds; a user file of the same id stays where it is, unused.
    Files table = files;
    for (auto it = systemFiles().cbegin(); it != systemFiles().cend(); ++it) {
        const auto user = userFiles().constFind(it.key());
        if (user == userFiles().constEnd())
            continue;
        *MLogger::instance() << QStringLiteral("The user file %1 has the id of a system shader and is not used")
                                    .arg(user.value().path);
        table.insert(it.key(), it.value());
    }
    setRows(readItems(order, table, QStringLiteral("Unable to load shader ")));
    sortItems();
    setCurrentRow(0);
}

MShader *MShaderList::shaderAt(int row) const
{
    return isValidRow(row) ? qobject_cast<MShader *>(item(row)) : nullptr;
}

MShader *MShaderList::find(const QString &id) const
{
    QObject *found = findById(id);
    return found == m_default ? nullptr : qobject_cast<MShader *>(found);
}

MShader *MShaderList::current() const
{
    return qobject_cast<MShader *>(currentItem());
}
