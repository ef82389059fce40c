#pragma once

#include "mdocumentparts.h"
#include "mshaderobject.h"

#include <QByteArray>
#include <QHash>
#include <QVariant>

#include <functional>

class MBufferLayer;
class MTextureLayer;
class QColor;
class QImage;
class QPainterPath;
class QPointF;
class QRectF;
class QString;

// The edits of a document's layers, each one undo step on the document's
// history: adding, removing, showing, locking, moving, duplicating and
// merging layers, their properties and effects, images and buffers pasted
// into them, and fills. Each waits for a load in progress first and does
// nothing when it failed.
class MLayerEdits
{
public:
    explicit MLayerEdits(const MDocumentParts &parts);

    const MDocumentParts &parts() const { return m_parts; }
    // The document's context made current, then its queued stamps drawn:
    // before the layers' or the selection's tiles are read or changed, or
    // the stroke layer is used as scratch; false before set-up.
    bool flushStrokesAndMakeCurrent();

    // Sets properties of the layer at row by name.
    void updateLayerProperties(int row, const QHash<QByteArray, QVariant> &before,
                               const QHash<QByteArray, QVariant> &after);
    // The effect of the layer at row, with its values.
    void updateLayerShader(int row, const MShaderObject::ShaderState &before, const MShaderObject::ShaderState &after);
    // Adding a layer to a document that holds as many as a document file
    // can is refused (layerLimitReached); false then.
    bool appendLayer();
    bool prependLayer();
    void removeLayer(int row);
    void removeLayers();
    void removeEmptyLayers();
    void showLayer(int row);
    void lockLayer(int row);
    void showAllLayers();
    void hideAllLayers();
    void hideAllLayersExcept(int row);
    void lockAllLayers();
    void unlockAllLayers();
    void moveUpLayer(int row);
    void moveDownLayer(int row);
    // Every tile of source drawn over (or copied onto) the tile of
    // destination at the same place, one tile command each.
    void blitLayer(MTextureLayer *destination, int destinationRow, MTextureLayer *source, bool copyOnly);
    bool duplicateLayer(int row);
    void mergeLayers(int lower, int upper);
    void nextLayer();
    void previousLayer();
    // Hidden and locked layers, null images and missing layers are refused
    // with false.
    bool pasteImage(const QPointF &centre, const QImage &image, bool clip, const QString &text, int row,
                    const QRectF &sourceRect, int mode);
    // In a new layer; false when the document holds as many layers as it can.
    bool appendImage(const QPointF &centre, const QImage &image);
    // The buffer's tiles are freed as they are pasted.
    bool pasteBuffer(MBufferLayer *buffer, int row, const QString &text);
    // Bakes the current layer's effect into its pixels and takes the effect
    // off; true when the change was recorded.
    bool applyEffect();

    // The current layer filled with the colour (transparent erases), where
    // painting is allowed.
    void fill(const QColor &color);
    void erase();
    // The tiles of the layer at row filled with the colour, kept inside the
    // selection when there is one, as the undo step "Clear". A visible colour
    // first gets tiles over the selection's bounds (the painted rectangle
    // without a selection), so that an empty layer is filled too; erasing
    // touches the existing tiles only.
    void fillLayer(int row, const QColor &color);
    // The path (the whole painted rectangle when empty) filled with the
    // colour in the layer at row (-1: the current one), as "Fill path".
    bool fillPath(const QPainterPath &path, const QColor &color, int row);

private:
    int count() const;
    MTextureLayer *at(int row) const;
    MTextureLayer *strokeLayer() const;
    // Empties the stroke layer, the queued stamps drawn first when it holds tiles.
    void clearStrokeLayer();
    void refresh();
    void updateThumbnail(int row);
    // The effect of the layer at row drawn into its pixels and taken off,
    // recorded in the open macro; true when a tile changed.
    bool bakeEffect(int row);
    // Sets a flag property on the layers that pass, as one undo step.
    void setLayerFlags(const char *property, const std::function<bool(int, const MTextureLayer *)> &value);

    MDocumentParts m_parts;
};
