#pragma once

#include "mfloodfill.h"

#include <QColor>
#include <QImage>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QRectF>

class MBufferLayer;
class MGpuDevice;
class MLayerEdits;
class MTextureLayer;

// The flood fill of the bucket and of the magic wand. It works on a CPU copy
// of the layer (an MBufferLayer whose tiles are read back on first touch) and
// fills the 4-connected region of pixels within the threshold of the seed
// pixel, bounded by the document's painted rectangle. Every pixel is tested
// against the colours the fill started from and filled at most once, so a
// fill ends in time proportional to its region and the cells it enters,
// whatever the colours.
class MQuickFill : public QObject
{
    Q_OBJECT
    Q_PROPERTY(uchar threshold READ threshold WRITE set_threshold NOTIFY thresholdChanged)
    Q_PROPERTY(bool clearSelection READ clearSelection WRITE set_clearSelection NOTIFY clearSelectionChanged)
public:
    // The engine's results, and a fill that had nothing to do.
    enum Result {
        Filled = MFloodFill::Filled,
        NothingToDo = -1,
        OutOfMemory = MFloodFill::OutOfMemory,
        TimedOut = MFloodFill::TimedOut
    };

    explicit MQuickFill(QObject *parent = nullptr);
    ~MQuickFill() override;

    uchar threshold() const { return m_threshold; }
    bool clearSelection() const { return m_clearSelection; }
    // The document's edits the fill samples its layers through and commits
    // its result with; null: no document.
    MLayerEdits *edits() const { return m_edits; }
    void setEdits(MLayerEdits *edits) { m_edits = edits; }
    // The pixels of the fill under way (null before the first); fillAt and
    // selectAt empty it once the document has the result.
    MBufferLayer *buffer() const { return m_buffer; }
    // The bounds of the region of the last fill, also of one that stopped
    // early (out of time or memory); null when it filled nothing.
    QRectF resultRect() const { return m_resultRect; }
    // The Result of the last fillAt or selectAt.
    int lastResult() const { return m_lastResult; }

    // A null image fills with the colour; any other is repeated from the
    // painted rectangle's top-left corner.
    void setMaskImage(const QImage &image);
    QImage maskImage() const { return m_pattern; }
    bool usePattern() const { return m_usePattern; }
    bool usePatternColor() const { return m_usePatternColor; }
    void setUsePatternColor(bool value) { m_usePatternColor = value; }
    // How long a fill may run (20 s); one that runs longer stops there.
    int timeLimit() const { return m_timeLimit; }
    void setTimeLimit(int milliseconds) { m_timeLimit = milliseconds; }
    // Stops a fill at a known point, on a fast machine as on a slow one: the
    // flood reads its clock before its first run and every 1024 runs after,
    // and with a reading set (0: none) its limit is reached at that reading
    // whatever the time.
    void setStopAtClockReading(int reading) { m_stopAtClockReading = reading; }

    // Fills the region around the point in the layer at row (-1: the current
    // layer) with the colour, as one undo step "Fill"; a fill that stopped
    // early (see lastResult) records the part it filled.
    bool fillAt(const QPointF &point, const QColor &color, int row);
    // Marks the region around the point, sampled in the layer at row, in the
    // document's selection layer (added to the selection unless
    // clearSelection).
    bool selectAt(const QPointF &point, int row);

    // The engine on the fill's own buffer, emptied first, within the
    // document's painted rectangle. color: R, G, B, A (not premultiplied).
    int fill(const QPoint &seed, const uchar *color, MTextureLayer *layer, MBufferLayer *selection);
    // The engine on a given buffer within bounds; with a selection buffer the
    // colour is the seed's complement and the region is also written there.
    // Cells the buffer lacks are read back from the layer with the device.
    int fillBuffer(MBufferLayer *buffer, const QPoint &seed, const uchar *color, const QRect &bounds,
                   MGpuDevice *device, MTextureLayer *layer, MBufferLayer *selection);
    // Keeps the fills that follow within the pixels the mask's alpha covers,
    // a partly covered pixel taking the fill in part; the mask's tiles are
    // read back from the layer (when given) as the fill reaches them. Null:
    // no mask. Not owned.
    void setMask(MBufferLayer *mask, MTextureLayer *layer = nullptr)
    {
        m_mask = mask;
        m_maskLayer = layer;
    }

public slots:
    void set_threshold(uchar value);
    void set_clearSelection(bool value);

signals:
    void thresholdChanged(uchar value);
    void clearSelectionChanged(bool value);

protected:
    // Commits the filled buffer into the layer at row as one undoable step.
    virtual bool pasteIntoDocument(int row, const QString &undoText);
    // Replaces the document's selection layer by the selection buffer.
    virtual bool writeSelection(MBufferLayer *selection);

private:
    MTextureLayer *sampledLayer(int &row) const;
    MGpuDevice *device() const;
    void prepareBuffer(MTextureLayer *layer);

    uchar m_threshold = 10;
    bool m_clearSelection = true;
    MLayerEdits *m_edits = nullptr;
    MBufferLayer *m_buffer = nullptr;
    MBufferLayer *m_mask = nullptr;
    MTextureLayer *m_maskLayer = nullptr;
    QRectF m_resultRect;
    int m_lastResult = NothingToDo;
    QImage m_pattern;
    bool m_usePattern = false;
    bool m_usePatternColor = false;
    int m_timeLimit = 20000;
    int m_stopAtClockReading = 0;
};
