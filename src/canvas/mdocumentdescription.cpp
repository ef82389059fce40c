#include "mdocumentdescription.h"

#include "menum.h"
#include "mlogger.h"
#include "mutility.h"

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

MReadResult damaged(const QString &what)
{
    MLogger::instance()->systemError(QStringLiteral("Invalid canvas header: %1").arg(what));
    return ReadBadData;
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

MReadResult MDocumentDescription::readPaper(QDataStream &stream)
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
        return damaged(QStringLiteral("paper image of %1 x %2 pixels, larger than %3 x %4")
                           .arg(size.width())
                           .arg(size.height())
                           .arg(MUtility::maximumImageSize().width())
                           .arg(MUtility::maximumImageSize().height()));
    paperTile = reader.read();
    return ReadDone;
}

MReadResult MDocumentDescription::read(QDataStream &stream)
{
    qint32 layerCount = 0, tileCount = 0;
    qint8 colorSpec = 0;
    stream >> paintedRect >> paperType;
    if (stream.status() != QDataStream::Ok || !readColor(stream, paperColor, colorSpec))
        return MLayerDescription::cutShort();
    if (!withinLimit(paintedRect.x()) || !withinLimit(paintedRect.y()) || !(paintedRect.width() >= 0.0)
        || !(paintedRect.height() >= 0.0) || !withinLimit(paintedRect.x() + paintedRect.width())
        || !withinLimit(paintedRect.y() + paintedRect.height()))
        return damaged(QStringLiteral("painted rectangle %1, %2, %3 x %4")
                           .arg(paintedRect.x())
                           .arg(paintedRect.y())
                           .arg(paintedRect.width())
                           .arg(paintedRect.height()));
    if (paperType < MEnum::Transparent || paperType > MEnum::Paper)
        return damaged(QStringLiteral("paper type %1").arg(paperType));
    if (colorSpec < qint8(QColor::Invalid) || colorSpec > qint8(QColor::Hsl))
        return damaged(QStringLiteral("colour spec %1").arg(colorSpec));
    if (paperType == MEnum::Paper) {
        const MReadResult paper = readPaper(stream);
        if (paper != ReadDone)
            return paper;
    }
    stream >> autoExtent >> paintMargin >> layerCount >> tileCount;
    if (stream.status() != QDataStream::Ok
        || !MLayerDescription::holds(stream, layerCount, MLayerDescription::SmallestRecord))
        return MLayerDescription::cutShort();
    if (!withinLimit(paintMargin))
        return damaged(QStringLiteral("paint margin %1").arg(paintMargin));
    if (layerCount > MaximumLayers)
        return damaged(QStringLiteral("%1 layers, more than the %2 a document can have")
                           .arg(layerCount)
                           .arg(MaximumLayers));
    layers.clear();
    layers.reserve(layerCount);
    for (qint32 row = 0; row < layerCount; ++row) {
        layers.append(MLayerDescription());
        const MReadResult result = layers.last().read(stream);
        if (result != 0)
            return result;
    }
    return ReadDone;
}
