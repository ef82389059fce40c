#pragma once

#include "mfileresult.h"

#include "mimagefile.h"
#include "mlayerdescription.h"

#include <QColor>
#include <QImage>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QVector>

class QDataStream;

// The body of a document file read and checked without the GPU: the header
// (painted rectangle, paper, margin) and every layer record. Only a
// description that read whole is uploaded into a document.
class MDocumentDescription
{
public:
    // Coordinates beyond this are no drawing but damage: the renders and the
    // tile grid turn them into ints.
    static constexpr double CoordinateLimit = 1 << 20;
    // More layers than any painting has: each costs time and memory even
    // when empty, and a count beyond this is damage.
    static constexpr qint32 MaximumLayers = 10000;

    // Memory an image takes on its way into a document, per pixel: the
    // decoded image, its converted copy, the tiles' pixels and their
    // textures, and what the driver keeps of them.
    static constexpr qint64 ImageBytesPerPixel = 20;

    // Why an image of this size (from its header) cannot become a document or
    // a layer, in words: wider or higher than a document reaches, or more
    // memory than is available (unknown when negative); empty when it can.
    static QString imageRefusal(const QSize &size, qint64 availableMemory);
    // The same against the memory available when the image is read.
    static MImageFile::SizeCheck imageCheck();

    // Done, or ReadBadData for a body that is cut short or damaged (the
    // reason logged and given).
    MFileResult read(QDataStream &stream);

    QRectF paintedRect;
    qint32 paperType = 0;
    QColor paperColor;
    QString paperName;
    QImage paperTile;
    bool autoExtent = false;
    double paintMargin = 0.0;
    QVector<MLayerDescription> layers;

private:
    // The paper's name (its file name part alone) and image.
    MFileResult readPaper(QDataStream &stream);
};
