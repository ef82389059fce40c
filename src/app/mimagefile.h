#pragma once

#include <QImage>
#include <QString>

#include <functional>

class QImageReader;
class QMimeData;

// Images that come from outside: a file the painter or a library names, or
// what another program put on the clipboard. The size their header tells is
// checked before any pixel is decoded: a few bytes can claim gigapixels.
class MImageFile
{
public:
    // Why an image of this size is refused, in words; empty when it is not.
    using SizeCheck = std::function<QString(const QSize &)>;

    // The image of a regular file. Null, with reason telling why, when the
    // file is not a regular one, when its size is refused (without a check,
    // beyond the limit of MUtility::maximumImageSize), or when it cannot be
    // decoded.
    static QImage read(const QString &path, QString *reason, const SizeCheck &check = SizeCheck());
    static QImage read(QImageReader &reader, QString *reason, const SizeCheck &check);
    // The first image the data holds in an image format that decodes; null
    // when none does, and reason tells why when one was refused for its size.
    static QImage fromMimeData(const QMimeData *data, QString *reason, const SizeCheck &check);
};
