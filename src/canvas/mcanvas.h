#pragma once

#include "mdocumentfile.h"
#include "mdocumentparts.h"
#include "mdocumentrenderer.h"
#include "mdocumentstorage.h"
#include "menum.h"
#include "mlayeredits.h"
#include "mlayerstack.h"
#include "mpaper.h"
#include "mselection.h"
#include "mstrokepaint.h"
#include "mtexturelayer.h"

#include <QColor>
#include <QHash>
#include <QImage>
#include <QList>
#include <QPainterPath>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QVariant>

class MBrush;
class MEvent;
#include <functional>
#include <memory>

class MBufferLayer;
class MDocumentEvents;
class MGpuDevice;
class MLayerListModel;
class MPaintEngine;
class MPaintParams;
class MShaderProgramList;
class MStrokes;
class MTile;
class MTextureTile;
class MUndoHistory;
class MUndoStream;
class QUndoCommand;
class QOpenGLContext;
class QUndoStack;

// The open document: its ordered texture layers, the paper, the painted
// rectangle that bounds the picture, the selection with its rasterised
// layer, a scratch stroke layer, the file name and state flags, the undo
// stack, the GPU state shared with the stroke runners, the paint engine and
// its own OpenGL context, under which all tile work runs.
class MCanvas : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int thumbnailSize READ thumbnailSize NOTIFY thumbnailSizeChanged)
    Q_PROPERTY(bool clipStroke READ clipStroke WRITE set_clipStroke NOTIFY clipStrokeChanged)
    Q_PROPERTY(bool hasSelection READ hasSelection WRITE set_hasSelection NOTIFY hasSelectionChanged)
public:
    // Scratch documents (brush previews) take no number from the counter of
    // new document names.
    enum Purpose { UserDocument, ScratchDocument };

    explicit MCanvas(QObject *parent = nullptr, Purpose purpose = UserDocument);
    ~MCanvas() override;

    // The layers, which the stack owns, and the list model views read them through.
    MLayerStack *layers() const { return m_layers; }
    MLayerListModel *layerModel() const { return m_layerModel; }
    int count() const { return m_layers->count(); }
    bool isEmpty() const { return m_layers->isEmpty(); }
    MTextureLayer *at(int row) const { return m_layers->at(row); }
    MTextureLayer *current() const { return m_layers->current(); }
    int currentRow() const { return m_layers->currentRow(); }
    int indexOf(MTextureLayer *layer) const { return m_layers->indexOf(layer); }
    void insertAt(int row, MTextureLayer *layer) { m_layers->insertAt(row, layer); }
    void appendItem(MTextureLayer *layer) { m_layers->insertAt(m_layers->count(), layer); }
    MTextureLayer *appendNew();
    MTextureLayer *prependNew();
    void removeAt(int row) { m_layers->removeAt(row); }
    MTextureLayer *takeAt(int row) { return m_layers->takeAt(row); }
    void moveUp(int row) { m_layers->moveUp(row); }
    void moveDown(int row) { m_layers->moveDown(row); }

    void initializeGL();
    void shutDown();
    // Makes the document's context current on its surface and leaves it so;
    // false before set-up. Queued stamps stay queued: whatever reads or
    // changes tiles calls flushStrokes.
    bool makeCurrent();
    // Compiles the programs the brush paints with in this document, ahead of
    // its first press; the current brush's, soon after it becomes current.
    void prepareBrush(const MBrush *brush);
    // A stroke that leaves nothing: one stamp of the brush into the stroke
    // layer's tile at the point, then the document is in a stroke until
    // endRehearsal, so that a view can draw a frame as it would during one.
    // The driver builds its code for what the press will draw here, not at
    // the press. False when no stroke could start now.
    bool beginRehearsal(const MBrush *brush, const QPointF &point);
    void endRehearsal();
    // Draws the stamps placed and not drawn yet into the stroke layer; the
    // context that was current stays current. Whatever reads or merges the
    // stroke layer, or changes what stamps read, calls it first.
    void flushStrokes();
    // The document's context and the tile work done under it.
    MGpuDevice *gpuDevice() const { return m_device; }
    bool isGlReady() const;
    QOpenGLContext *context() const;
    MPaintEngine *paintEngine() const { return m_paintEngine; }
    // The strokes: their GL objects, queued stamps and one session per slot.
    MStrokes *strokes() const { return m_strokes; }
    MShaderProgramList *shaderProgramList() const;
    // The undo history; the stack and the tile backups its commands refer
    // to by id are the history's.
    MUndoHistory *history() const { return m_history; }
    QUndoStack *undoStack() const;
    MUndoStream *undoStream() const;
    // Takes a command that failed and is on no stack: it goes once control
    // is back in the event loop, or with the document if that is first.
    void disposeCommand(QUndoCommand *command);

    int thumbnailSize() const { return 60; }
    // The paper and painted rectangle, and the selection.
    MPaper *paper() const { return m_paper; }
    MSelection *selection() const { return m_selection; }
    bool clipStroke() const { return m_selection->clipStroke(); }
    bool hasSelection() const { return m_selection->hasSelection(); }
    bool clipToSelection() const { return m_selection->clipToSelection(); }
    QRectF paintedRect() const { return m_paper->paintedRect(); }
    static QRectF boundedPaintedRect(const QRectF &rect, bool *limited = nullptr)
    {
        return MPaper::boundedPaintedRect(rect, limited);
    }
    int paperType() const { return m_paper->paperType(); }
    QColor paperColor() const { return m_paper->paperColor(); }
    QString paperName() const { return m_paper->paperName(); }
    QImage paperTile() const { return m_paper->paperTile(); }
    QPainterPath selectionPath() const { return m_selection->path(); }
    double paintMargin() const { return m_paper->paintMargin(); }
    bool autoExtent() const { return m_paper->autoExtent(); }
    void setAutoExtentSilently(bool value) { m_paper->setAutoExtentSilently(value); }
    MTextureLayer *strokeLayer() const { return m_strokeLayer; }
    MTextureLayer *selectionLayer() const { return m_selection->layer(); }
    QString fileName() const { return m_fileName; }
    bool isNew() const { return m_isNew; }
    bool isReadOnly() const { return m_isReadOnly; }
    bool isModified() const;
    bool strokeInProgress() const { return m_strokeInProgress; }
    void setStrokeInProgress(bool value) { m_strokeInProgress = value; }
    // How the last load (document or image) and the last save ended, with
    // the reason the reader or writer logged for a failure.
    const MFileResult &lastReadResult() const { return m_storage->lastReadResult(); }
    const MFileResult &lastWriteResult() const { return m_storage->lastWriteResult(); }

    // New-document state from the settings, with one empty layer.
    void reset();
    void connectSignals();
    void disconnectSignals();

    MTextureLayer *createLayer();
    QString newLayerName() const;
    // The layer edits, each one undo step.
    MLayerEdits *layerEdits() const { return m_layerEdits.get(); }
    void updateLayerProperties(int row, const QHash<QByteArray, QVariant> &before,
                               const QHash<QByteArray, QVariant> &after)
    {
        m_layerEdits->updateLayerProperties(row, before, after);
    }
    void updateLayerShader(int row, const MShaderObject::ShaderState &before, const MShaderObject::ShaderState &after)
    {
        m_layerEdits->updateLayerShader(row, before, after);
    }
    bool currentLayerEditable() const { return m_layers->currentLayerEditable(); }
    bool isStrokeAllowed() const;

    // One input event of a stroke in a slot (0 to 29; symmetric copies of a
    // stroke use one slot each); a press starts it with the paint given.
    void stroke(MEvent *event, int slot, const MStrokePaint &paint);
    void startStroke(MEvent *event, const MStrokePaint &paint, int slot);
    // Ends a stroke in progress: its stamps are merged into the layer, or
    // thrown away when the layer can no longer be painted.
    void endStroke(MEvent *event, int slot);
    void erase() { m_layerEdits->erase(); }
    void fill(const QColor &color) { m_layerEdits->fill(color); }
    void drawLine(const QPointF &from, const QPointF &to, const MStrokePaint &paint);
    // Strokes every sub-path with the paint; 0 without a current layer.
    int brushStroke(const QPainterPath &path, bool clip, const MStrokePaint &paint);
    void beginMacro(const QString &text);
    void endMacro();

    // Tile primitives, under the document's context, with the queued stamps drawn first.
    void clearTile(MTile *tile);
    void clearLayer(MTextureLayer *layer);
    // The source drawn through the program and laid over the destination
    // with premultiplied source-over.
    void blitTile(MTextureTile *destination, MTextureTile *source, const QString &programName, double opacity,
                  const QRect &area = QRect());
    // The tile painted with the colour, inside the selection when there is one.
    void fillTile(MTile *tile, const QColor &color);
    bool blitImage(const QPointF &centre, const QImage &image, MTextureLayer *layer, bool clearFirst);

    // Rendering, by the document's renderer.
    // The parts the document is made of, for whatever draws it.
    const MDocumentParts &parts() const { return m_parts; }
    MDocumentRenderer *renderer() const { return m_renderer.get(); }
    void draw(MPaintParams *params) { m_renderer->draw(params); }
    QImage renderToImage(const QString &programName, int width, int height, const QPainterPath &clipPath,
                         bool drawBackground, bool drawAllLayers, const QList<MTextureLayer *> &layers)
    {
        return m_renderer->renderToImage(programName, width, height, clipPath, drawBackground, drawAllLayers, layers);
    }
    QImage flattenedImage(const QString &programName) { return m_renderer->flattenedImage(programName); }
    // The largest width or height an offscreen render may have; 0 when the
    // context cannot be made current.
    int maximumRenderSize();
    QImage grabLayer(MTextureLayer *layer, const QString &programName)
    {
        return m_renderer->grabLayer(layer, programName);
    }
    QImage grabLayerSized(MTextureLayer *layer, const QString &programName, int width, int height)
    {
        return m_renderer->grabLayerSized(layer, programName, width, height);
    }
    QRectF layerBoundingRect(MTextureLayer *layer) { return m_renderer->layerBoundingRect(layer); }
    QImage copyImage(bool selectionOnly, QString *why = nullptr) { return m_renderer->copyImage(selectionOnly, why); }
    // Images, buffers and effects, each one undo step. Hidden and locked
    // layers, null images and missing layers are refused with false.
    bool pasteImage(const QPointF &centre, const QImage &image, bool clip, const QString &text, int row,
                    const QRectF &sourceRect, int mode)
    {
        return m_layerEdits->pasteImage(centre, image, clip, text, row, sourceRect, mode);
    }
    // In a new layer; false when the document holds as many layers as it can.
    bool appendImage(const QPointF &centre, const QImage &image) { return m_layerEdits->appendImage(centre, image); }
    // The buffer's tiles are freed as they are pasted.
    bool pasteBuffer(MBufferLayer *buffer, int row, const QString &text)
    {
        return m_layerEdits->pasteBuffer(buffer, row, text);
    }
    // Bakes the current layer's effect into its pixels and takes the effect
    // off; true when the change was recorded.
    bool applyEffect() { return m_layerEdits->applyEffect(); }
    void blitLayer(MTextureLayer *destination, int destinationRow, MTextureLayer *source, bool copyOnly)
    {
        m_layerEdits->blitLayer(destination, destinationRow, source, copyOnly);
    }

    // Selection.
    void selectLayerBoundingRect(MTextureLayer *layer);
    void adjustPaperToSelection();
    // The magic wand: the region around point in the layer at row marked in
    // the selection layer.
    void fillSelection(const QPoint &point, bool clearSelection, uchar threshold, int row);
    // The path (the whole painted rectangle when empty) filled with the
    // colour in the layer at row (-1: the current one), as "Fill path".
    bool fillPath(const QPainterPath &path, const QColor &color, int row)
    {
        return m_layerEdits->fillPath(path, color, row);
    }

    // The document file, read and written by the document's storage.
    MDocumentStorage *storage() const { return m_storage; }
    // A failed save or load changes nothing (the code is in
    // lastReadResult/lastWriteResult); a successful one sets the file name
    // and clears isNew; a save marks the undo history clean and keeps it, a
    // load empties it and makes the last layer current.
    bool saveToFile(const QString &path);
    bool loadFromFile(const QString &path);
    // Opens a document file as loadFromFile does, but returns once the file
    // was checked whole and the document took its header and layers: the
    // tiles come in from the event loop, the ones the view shows first, and
    // loadingFinished tells the end. A file that is not whole fails at once
    // and changes nothing; a read that fails later leaves a new document.
    bool startLoading(const QString &path);
    // A new document of one layer holding the image; false (lastReadResult ReadNotOpened)
    // with the document unchanged when the file cannot be read.
    bool loadImage(const QString &path);
    bool isLoading() const { return m_storage->isLoading(); }
    bool finishLoading() { return m_storage->finishLoading(); }
    void cancelLoading() { m_storage->cancelLoading(); }
    void setLoadingReadHold(const std::function<bool(int)> &mayRead) { m_storage->setLoadingReadHold(mayRead); }

public slots:
    void setCurrentRow(int row) { m_layers->setCurrentRow(row); }
    void set_clipStroke(bool value) { m_selection->setClipStroke(value); }
    void set_hasSelection(bool value) { m_selection->setHasSelection(value); }
    void clear();
    void refresh();
    bool appendLayer() { return m_layerEdits->appendLayer(); }
    bool prependLayer() { return m_layerEdits->prependLayer(); }
    void removeLayer() { m_layerEdits->removeLayer(currentRow()); }
    void removeLayer(int row) { m_layerEdits->removeLayer(row); }
    void removeLayers() { m_layerEdits->removeLayers(); }
    void removeEmptyLayers() { m_layerEdits->removeEmptyLayers(); }
    void showLayer() { m_layerEdits->showLayer(currentRow()); }
    void showLayer(int row) { m_layerEdits->showLayer(row); }
    void lockLayer() { m_layerEdits->lockLayer(currentRow()); }
    void lockLayer(int row) { m_layerEdits->lockLayer(row); }
    void showAllLayers() { m_layerEdits->showAllLayers(); }
    void hideAllLayers() { m_layerEdits->hideAllLayers(); }
    void hideAllLayersExcept(int row) { m_layerEdits->hideAllLayersExcept(row); }
    void lockAllLayers() { m_layerEdits->lockAllLayers(); }
    void unlockAllLayers() { m_layerEdits->unlockAllLayers(); }
    void moveUpLayer() { m_layerEdits->moveUpLayer(currentRow()); }
    void moveUpLayer(int row) { m_layerEdits->moveUpLayer(row); }
    void moveDownLayer() { m_layerEdits->moveDownLayer(currentRow()); }
    void moveDownLayer(int row) { m_layerEdits->moveDownLayer(row); }
    bool duplicateLayer() { return m_layerEdits->duplicateLayer(currentRow()); }
    bool duplicateLayer(int row) { return m_layerEdits->duplicateLayer(row); }
    void mergeLayers(int lower, int upper) { m_layerEdits->mergeLayers(lower, upper); }
    void mergeLayerWithUpper() { mergeLayerWithUpper(currentRow()); }
    void mergeLayerWithUpper(int row) { m_layerEdits->mergeLayers(row, row + 1); }
    void mergeLayerWithLower() { mergeLayerWithLower(currentRow()); }
    void mergeLayerWithLower(int row) { m_layerEdits->mergeLayers(row - 1, row); }
    void nextLayer() { m_layerEdits->nextLayer(); }
    void previousLayer() { m_layerEdits->previousLayer(); }
    void setPaperSize(const QSize &size, bool crop);
    void setPaperSize(const QSize &size);
    void setPaperName(const QString &name) { m_paper->setPaperName(name); }
    void setPaperType(MEnum::PaperType type) { m_paper->setPaperType(type); }
    void setPaperTile(const QImage &image) { m_paper->setPaperTile(image); }
    void setPaperColor(const QColor &color) { m_paper->setPaperColor(color); }
    void setPaintMargin(double margin) { m_paper->setPaintMargin(margin); }
    void setAutoExtent(bool value) { m_paper->setAutoExtent(value); }
    void setClipPath(const QPainterPath &path);
    void resetSelectionPath();
    void resetClipPath();
    void invertClipPath();
    // Records a resize of the painted rectangle, kept within the document
    // limit; a resize that changes nothing records nothing.
    void updatePaintedRect(const QRectF &rect);
    // Kept within the document limit too (paintedRectLimited tells when it
    // had to be cut).
    void setPaintedRect(const QRectF &rect) { m_paper->setPaintedRect(rect); }
    void updateLayerThumbnail(int row);
    void updateLayerThumbnail();
    void setFileName(const QString &name);
    void setIsNew(bool value);
    void setIsReadOnly(bool value);
    void undo();
    void redo();

signals:
    void currentRowChanged(int row);
    void countChanged(int count);
    void clipStrokeChanged(bool value);
    void hasSelectionChanged(bool value);
    void refreshNow();
    void refresh(bool throttle, const QRectF &rect);
    void paintedRectChanged(const QRectF &rect);
    // The painted rectangle was asked to grow past the document limit.
    void paintedRectLimited();
    // A layer was to be added to a document that holds as many as it can.
    void layerLimitReached();
    void thumbnailSizeChanged(int size);
    void fileNameChanged(const QString &name);
    void isNewChanged(bool value);
    void isReadOnlyChanged(bool value);
    void modifiedChanged();
    void selectionChanged();
    void updateThumbnail(MCanvas *canvas, int row);
    void layerListReset();
    // The tiles of the document being opened are all in (or the load failed).
    void loadingFinished(bool loaded);
    // Something began to wait for the last tiles (finishLoading), or the
    // last such wait ended, the load whole (loaded) or not.
    void loadingWaitStarted();
    void loadingWaitEnded(bool loaded);
    // The programs of the brush are built: a view may rehearse a stroke.
    void brushPrepared();
    // A stroke began painting with color; whoever keeps the colour history
    // records it.
    void strokeStarted(const QColor &color);
    // A failure of the undo history the painter must hear of (a step that
    // cannot be undone or redone, memory past its limit), sent once control
    // is back in the event loop: whoever shows the document tells it, as a
    // warning.
    void messageForPainter(const QString &title, const QString &text);

private:
    void discardStroke();
    // What the document does as its storage replaces what it holds.
    void connectStorage();
    // The context made current, then the queued stamps drawn: for every
    // history step and tile primitive, which may read or replace tiles
    // the stamps draw into or read.
    bool flushStrokesAndMakeCurrent();
    // What the document does as its parts change.
    void connectParts();
    // A painted-rectangle command to rect, kept within the limit; false
    // (nothing recorded) when it would change nothing.
    bool pushPaintedRect(const QRectF &rect);
    bool roomForLayer() { return m_layers->roomForLayer(); }

    MLayerStack *m_layers;
    MLayerListModel *m_layerModel;
    MShaderProgramList *m_programs;
    MPaintEngine *m_paintEngine = nullptr;
    MPaper *m_paper;
    MTextureLayer *m_strokeLayer;
    MSelection *m_selection;
    MGpuDevice *m_device = nullptr;
    MDocumentParts m_parts;
    MStrokes *m_strokes = nullptr;
    std::unique_ptr<MDocumentRenderer> m_renderer;
    std::unique_ptr<MLayerEdits> m_layerEdits;
    QString m_fileName;
    bool m_isNew = true;
    bool m_isReadOnly = false;
    MUndoHistory *m_history;
    MDocumentEvents *m_events = nullptr;
    bool m_strokeInProgress = false;
    MTextureTile *m_rehearsalTile = nullptr;
    // One bit per slot pressed in the stroke in progress.
    quint32 m_strokeSlots = 0;
    QList<QMetaObject::Connection> m_connections;
    MDocumentStorage *m_storage = nullptr;
};
