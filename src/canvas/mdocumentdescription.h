#pragma once

#include "mdocumentfile.h"

#include "mlayerdescription.h"

#include <QColor>
#include <QImage>
#include <QRectF>
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

    // 0, or 3 for a body that is cut short or damaged (the reason logged).
    MReadResult read(QDataStream &stream);

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
    MReadResult readPaper(QDataStream &stream);
};
