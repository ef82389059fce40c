#include "mdocumentdescription.h"

#include "menum.h"
#include "mlogger.h"
#include "mplatform.h"
#include "mutility.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QFileInfo>
#include <QImageReader>

#include <cmath>

namespace {
bool withinLimit(double value)
{
    // Written so that NaN fails too.
    return std::abs(value) <= MDocumentDescription::CoordinateLimit;
}

// A header beyond what a document can have.
MFileResult beyondLimit(const QString &what)
{
    return MFileResult(ReadBadData,
                       MLogger::instance()->systemError(QStringLiteral("Invalid canvas header: %1").arg(what)));
}

// A colour as the stream writes it, refused before it becomes a QColor when
// its spec is none the file format knows: the framework would store it as it is.
bool readColor(QDataStream &stream, QColor &color, qint8 &spec)
{
    char bytes[11];
    if (stream.readRawData(bytes, sizeof(bytes)) != int(sizeof(bytes)))
        return false;
    spec = qint8(bytes[0]);
    if (spec < qint8(QColor::Invalid) || spec > qint8(QColor::Hsl))
        return true;
    QDataStream colorStream(QByteArray::fromRawData(bytes, sizeof(bytes)));
    colorStream.setVersion(stream.version());
    colorStream >> color;
    return true;
}
} // namespace

QString MDocumentDescription::imageRefusal(const QSize &size, qint64 availableMemory)
{
    // A size the header did not tell is left to the decoder.
    if (!size.isValid())
        return QString();
    const qint64 side = qint64(2 * CoordinateLimit);
    if (size.width() > side || size.height() > side)
        return QCoreApplication::translate("MDocumentDescription",
                                           "The image is %1 x %2 pixels: a document reaches at most %3 pixels across.")
            .arg(size.width())
            .arg(size.height())
            .arg(side);
    const qint64 needed = qint64(size.width()) * size.height() * ImageBytesPerPixel;
    if (availableMemory >= 0 && needed > availableMemory)
        return QCoreApplication::translate("MDocumentDescription",
                                           "The image is %1 x %2 pixels: it needs about %3 MB of memory and only %4 MB "
                                           "are available.")
            .arg(size.width())
            .arg(size.height())
            .arg((needed + (1 << 20) - 1) >> 20)
            .arg(availableMemory >> 20);
    return QString();
}

MImageFile::SizeCheck MDocumentDescription::imageCheck()
{
    return [](const QSize &size) { return imageRefusal(size, MPlatform::availableMemory()); };
}

MFileResult MDocumentDescription::readPaper(QDataStream &stream)
{
    qint32 marker = 0;
    stream >> paperName >> marker;
    if (stream.status() != QDataStream::Ok)
        return MLayerDescription::cutShort();
    // The paper is looked for in the papers folder by this name: a path in
    // it must not reach any other file.
    paperName = QFileInfo(paperName).fileName();
    paperTile = QImage();
    if (marker == 0 || !stream.device())
        return ReadDone;
    // As the stream's own image reading does, with the size read from the
    // header before any pixel memory is taken.
    QImageReader reader(stream.device(), "png");
    const QSize size = reader.size();
    if (!MUtility::isWithinImageLimit(size))
        return beyondLimit(QStringLiteral("paper image of %1 x %2 pixels, larger than %3 x %4")
                           .arg(size.width())
                           .arg(size.height())
                           .arg(MUtility::maximumImageSize().width())
                           .arg(MUtility::maximumImageSize().height()));
    paperTile = reader.read();
    return ReadDone;
}

MFileResult MDocumentDescription::read(QDataStream &stream)
{
    qint32 layerCount = 0, tileCount = 0;
    qint8 colorSpec = 0;
    stream >> paintedRect >> paperType;
    if (stream.status() != QDataStream::Ok || !readColor(stream, paperColor, colorSpec))
        return MLayerDescription::cutShort();
    if (!withinLimit(paintedRect.x()) || !withinLimit(paintedRect.y()) || !(paintedRect.width() >= 0.0)
        || !(paintedRect.height() >= 0.0) || !withinLimit(paintedRect.x() + paintedRect.width())
        || !withinLimit(paintedRect.y() + paintedRect.height()))
        return MLayerDescription::damaged(QStringLiteral("Invalid canvas header: painted rectangle %1, %2, %3 x %4")
                           .arg(paintedRect.x())
                           .arg(paintedRect.y())
                           .arg(paintedRect.width())
                           .arg(paintedRect.height()));
    if (paperType < MEnum::Transparent || paperType > MEnum::Paper)
        return MLayerDescription::damaged(QStringLiteral("Invalid canvas header: paper type %1").arg(paperType));
    if (colorSpec < qint8(QColor::Invalid) || colorSpec > qint8(QColor::Hsl))
        return MLayerDescription::damaged(QStringLiteral("Invalid canvas header: colour spec %1").arg(colorSpec));
    if (paperType == MEnum::Paper) {
        const MFileResult paper = readPaper(stream);
        if (!paper.isDone())
            return paper;
    }
    stream >> autoExtent >> paintMargin >> layerCount >> tileCount;
    if (stream.status() != QDataStream::Ok
        || !MLayerDescription::holds(stream, layerCount, MLayerDescription::SmallestRecord))
        return MLayerDescription::cutShort();
    if (!withinLimit(paintMargin))
        return MLayerDescription::damaged(QStringLiteral("Invalid canvas header: paint margin %1").arg(paintMargin));
    if (layerCount > MaximumLayers)
        return beyondLimit(QStringLiteral("%1 layers, more than the %2 a document can have")
                           .arg(layerCount)
                           .arg(MaximumLayers));
    layers.clear();
    layers.reserve(layerCount);
    for (qint32 row = 0; row < layerCount; ++row) {
        layers.append(MLayerDescription());
        const MFileResult result = layers.last().read(stream);
        if (!result.isDone())
            return result;
    }
    return ReadDone;
}
