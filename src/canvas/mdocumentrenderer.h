#pragma once

#include "mdocumentparts.h"
#include "mfileresult.h"

#include <QImage>
#include <QList>
#include <QPainterPath>
#include <QRectF>
#include <QString>

class MPaintParams;
class MTextureLayer;

// What the document looks like: drawn for a view's frame, or rendered
// offscreen into an image (the flattened picture, one layer, the current
// layer for copying). The offscreen renders wait for a load in progress and
// refuse (null image, logged) a size the driver cannot render. Owned by its
// document.
class MDocumentRenderer
{
public:
    explicit MDocumentRenderer(const MDocumentParts &parts);

    // The queued stamps drawn first, then the paper, the layers and the
    // selection's overlay, into the frame buffer bound in the params' context.
    void draw(MPaintParams *params);
    // A refusal's logged line goes to why, when given.
    QImage renderToImage(const QString &programName, int width, int height, const QPainterPath &clipPath,
                         bool drawBackground, bool drawAllLayers, const QList<MTextureLayer *> &layers,
                         QString *why = nullptr);
    QImage flattenedImage(const QString &programName);
    // The largest side the driver renders, 0 without a context.
    int maximumRenderSize();
    QImage grabLayer(MTextureLayer *layer, const QString &programName);
    QImage grabLayerSized(MTextureLayer *layer, const QString &programName, int width, int height);
    QRectF layerBoundingRect(MTextureLayer *layer);
    // The current layer, within the selection's bounds or the painted
    // rectangle, for the clipboard; null when there is nothing to copy.
    QImage copyImage(bool selectionOnly, QString *why = nullptr);
    // Saves every layer, alone at the size of the painted rectangle, as
    // <folder>/<baseName><number>.png, the number padded to four digits.
    // Without reverse the last row is 1 and row 0 the layer count; with it
    // row 0 is 1. With background each image shows row 0 under the layer.
    // Refused (WriteNotOpened) when there is nothing to export or the folder
    // is missing; WriteIncomplete when an image could not be saved.
    MFileResult exportLayersAsPng(const QString &folder, const QString &baseName, bool reverse, bool background);

private:
    MDocumentParts m_parts;
};
