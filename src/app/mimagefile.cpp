#include "mimagefile.h"

#include "mregularfile.h"
#include "mutility.h"

#include <QBuffer>
#include <QImageReader>
#include <QMimeData>

namespace {
void tell(QString *reason, const QString &text)
{
    if (reason)
        *reason = text;
}
} // namespace

QImage MImageFile::read(const QString &path, QString *reason, const SizeCheck &check)
{
    MRegularFile file(path);
    if (!file.openForReading()) {
        tell(reason, file.errorString());
        return QImage();
    }
    // A reader on a named file still takes the format from its suffix first.
    QImageReader reader(&file);
    return check ? read(reader, reason, check) : MUtility::readImage(reader, reason);
}

QImage MImageFile::read(QImageReader &reader, QString *reason, const SizeCheck &check)
{
    const QString refused = check ? check(reader.size()) : QString();
    if (!refused.isEmpty()) {
        tell(reason, refused);
        return QImage();
    }
    const QImage image = reader.read();
    if (image.isNull())
        tell(reason, reader.errorString());
    return image;
}

QImage MImageFile::fromMimeData(const QMimeData *data, QString *reason, const SizeCheck &check)
{
    if (!data)
        return QImage();
    bool encoded = false;
    const QStringList formats = data->formats();
    for (const QString &format : formats) {
        if (!format.startsWith(QLatin1String("image/")))
            continue;
        QByteArray bytes = data->data(format);
        if (bytes.isEmpty())
            continue;
        encoded = true;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        QString why;
        const QImage image = read(reader, &why, check);
        if (!image.isNull())
            return image;
        if (check && !check(reader.size()).isEmpty()) {
            tell(reason, why);
            return QImage();
        }
    }
    // The program's own copies come decoded already, in no image format;
    // another program's would be decoded here without a check.
    if (!encoded && data->hasImage())
        return qvariant_cast<QImage>(data->imageData());
    return QImage();
}
