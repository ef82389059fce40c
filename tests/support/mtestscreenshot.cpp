#include "mtestscreenshot.h"

#include <QDir>
#include <QtGlobal>

namespace MTestScreenshot {

void keep(const QImage &image, const QString &name)
{
    const QString folder = qEnvironmentVariable("KALMI_TEST_SCREENSHOTS");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    if (!image.save(QDir(folder).filePath(name)))
        qWarning("Could not keep the screenshot %s", qPrintable(name));
}

void keep(const QPixmap &pixmap, const QString &name)
{
    keep(pixmap.toImage(), name);
}

} // namespace MTestScreenshot
