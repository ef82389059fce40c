#pragma once

#include "mevent.h"
#include "mquadtransform.h"
#include "mrunner.h"
#include "mstampqueue.h"

#include <QColor>
#include <QPointF>
#include <QRectF>
#include <QSet>
#include <QVector>

class MCurve;
class MTextureLayer;
class MTile;

// Paints one segment of a stroke: stamps from the slot's last stamp to the
// new event at the brush spacing, each with its settings evaluated through
// the brush curves, queued for the stroke layer's tiles (the document draws
// them at its next flush). The first run after a press places the stroke's
// first stamp.
class MStrokeToRunner : public MRunner
{
    Q_OBJECT
public:
    using Vertices = QVector<MQuadTransform>;
    using Tiles = QSet<MTile *>;
    static constexpr int verticesPerStamp = 6;
    // Colour feedback and the flush of pending stamps fall on every multiple.
    static constexpr int feedbackInterval = 25;
    static constexpr double minimumAdvance = 0.1;

    MStrokeToRunner(MSharedData *sharedData, int slot, const MEvent &event);

    MEvent interpolateEvent(const MEvent &last, const MEvent &next, double t);
    void applyInputs(int setting, const MEvent &event);
    QRectF computeStamp(Vertices &vertices, const QPointF &position, const QColor &color);
    QColor stampColor() const;
    void collectTiles(const QRectF &rect, MTextureLayer *layer, Tiles &pending);
    bool isStampVisible(const QRectF &rect) const;
    void finishTiles(const Tiles &tiles);
    // Draws the stamps into the tiles at once, after whatever the document had queued.
    void renderStamps(const Tiles &tiles, const Vertices &vertices, const QPointF &offset);
    void colorFeedback(const QPointF &position, bool clear);
    // What a pass of the slot's current values sets besides the stamps.
    MStampState passState(const QPointF &offset) const;

public slots:
    void run() override;

private:
    double *values() const;
    // The value modulated by each of the curves in turn, at the event's inputs.
    static double applyCurves(const QList<MCurve *> &curves, double value, const MEvent &event);
    QPointF position(const MEvent &event) const;
    // Places one stamp of the segment and records where it landed.
    void placeStamp(const MEvent &event);
    // Hands the stamps placed so far to the document's queue.
    void flushPending();

    int m_slot;
    MEvent m_event;
    // State of one run.
    Vertices m_vertices;
    Tiles m_pendingTiles;
    Tiles m_allTiles;
    QRectF m_segmentRect;
    Vertices m_upload;
    // The tile of the last stamp that lay in one tile, and its layer.
    MTile *m_lastTile = nullptr;
    MTextureLayer *m_lastTileLayer = nullptr;
};
