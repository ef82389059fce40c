#include "mfiledialog.h"

#include "mfolders.h"
#include "msettings.h"
#include "mutility.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

namespace {
QUrl place(const QString &path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return QUrl::fromLocalFile(canonical.isEmpty() ? path : canonical);
}
} // namespace

MFileDialog::MFileDialog(const QString &caption, Location location, QWidget *parent)
    : QFileDialog(parent)
    , m_location(location)
{
    setWindowTitle(caption);
    setSidebarUrls({place(MUtility::lastFilesDirectory()), place(MUtility::picturesDirectory()),
                    place(MFolders::userDocumentsPath()),
                    place(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation)),
                    QUrl::fromLocalFile(QStringLiteral("My Computer"))});
    const QString start = MSettings::instance()->lastFilesDir();
    if (!start.isEmpty())
        setDirectory(start);
    switch (location) {
    case ImageLocation:
        setNameFilters(MUtility::imageFileFilter(false));
        setDefaultSuffix(QStringLiteral("png"));
        break;
    case ModelLocation:
        setNameFilters(MUtility::modelFileFilters());
        setDefaultSuffix(QStringLiteral("obj"));
        break;
    default:
        setNameFilters(MUtility::documentFileFilters());
        setDefaultSuffix(QStringLiteral("kxd"));
        break;
    }
}

QString MFileDialog::getFileName()
{
    QString fileName;
    if (!MUtility::chooseFile(this, fileName))
        return QString();
    MSettings::instance()->set_lastFilesDir(QFileInfo(fileName).absolutePath());
    return fileName;
}
