#include "miconprovider.h"

#include <QPixmap>

QIcon MIconProvider::icon(const QFileInfo &info) const
{
    const QPixmap pixmap(info.absoluteFilePath());
    return pixmap.isNull() ? QFileIconProvider::icon(info) : QIcon(pixmap);
}
