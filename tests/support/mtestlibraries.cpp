#include "mtestlibraries.h"

#include "mshaderlist.h"
#include "mtestfolder.h"

#include <QDir>

namespace MTestLibraries {

MShaderList *makeEffects(const MTestFolder &root)
{
    const QString system = root.filePath(QStringLiteral("effects-system/"));
    const QString user = root.filePath(QStringLiteral("effects-user/"));
    QDir().mkpath(system);
    QDir().mkpath(user);
    MShaderList::destroyInstance();
    auto *library = new MShaderList(system, user);
    MShaderList::setInstance(library);
    return library;
}

} // namespace MTestLibraries
