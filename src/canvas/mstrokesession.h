#pragma once

#include "mdocumentparts.h"
#include "menum.h"
#include "mevent.h"
#include "mquadtransform.h"
#include "mstampstate.h"

#include <QColor>
#include <QCoreApplication>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSet>
#include <QVector>

class MCurve;
class MStampQueue;
class MStampSurface;
class MStrokeState;
class MTextureLayer;
class MTile;

// One stroke slot's stroke: the press sets the slot's values, each segment
// places stamps from the slot's last stamp to the new event at the brush
// spacing, each with its settings evaluated through the brush curves,
// queued for the stroke layer's tiles (drawn at the next flush); the end
// merges the stroke layer into the stroke's layer as one undo step. The
// first segment after a press places the stroke's first stamp.
class MStrokeSession
{
    Q_DECLARE_TR_FUNCTIONS(MStrokeSession)
public:
    using Vertices = QVector<MQuadTransform>;
    using Tiles = QSet<MTile *>;
    static constexpr int verticesPerStamp = 6;
    // Colour feedback and the flush of pending stamps fall on every multiple.
    static constexpr int feedbackInterval = 25;
    static constexpr double minimumAdvance = 0.1;

    MStrokeSession(const MDocumentParts &parts, MStrokeState *state, MStampSurface *surface, MStampQueue *queue);

    // The slot's values and stroke layer's mode from the stroke's brush.
    void begin(const MEvent &event);
    void segment(const MEvent &event);
    // The stroke layer's touched tiles merged into the stroke's layer as one
    // undo step, with the growth of the painted rectangle; the stroke layer
    // is emptied (its tiles let go past a few).
    void end();
    // The stroke layer's touched tiles cleared, the painted rectangle back
    // to what it was at the press.
    void cancel();

    // The values of the slot's last stamp, by setting id, and its event.
    double *values() { return m_values; }
    const double *values() const { return m_values; }
    MEvent &lastEvent() { return m_last; }

    MEvent interpolateEvent(const MEvent &last, const MEvent &next, double t);
    void applyInputs(int setting, const MEvent &event);
    QRectF computeStamp(Vertices &vertices, const QPointF &position, const QColor &color);
    QColor stampColor() const;
    void collectTiles(const QRectF &rect, MTextureLayer *layer, Tiles &pending);
    bool isStampVisible(const QRectF &rect) const;
    void finishTiles(const Tiles &tiles);
    // Draws the stamps into the tiles at once, after whatever was queued.
    void renderStamps(const Tiles &tiles, const Vertices &vertices, const QPointF &offset);
    void colorFeedback(const QPointF &position, bool clear);
    // What a pass of the slot's current values sets besides the stamps.
    MStampState passState(const QPointF &offset) const;

private:
    // The value modulated by each of the curves in turn, at the event's inputs.
    static double applyCurves(const QList<MCurve *> &curves, double value, const MEvent &event);
    static QPointF position(const MEvent &event);
    QRectF documentPaintedRect() const;
    // The document's context made current, then the queued stamps drawn:
    // before the stroke layer is merged or cleared, or what stamps read changes.
    bool flushQueuedAndMakeCurrent();
    // Places one stamp of the segment and records where it landed.
    void placeStamp(const MEvent &event);
    // Hands the stamps placed so far to the queue.
    void flushPending();
    void clearTile(MTile *tile);

    MDocumentParts m_parts;
    MStrokeState *m_state;
    MStampSurface *m_surface;
    MStampQueue *m_queue;
    double m_values[MEnum::bsCount] = {};
    MEvent m_last;
    // State of one segment.
    Vertices m_vertices;
    Tiles m_pendingTiles;
    Tiles m_allTiles;
    QRectF m_segmentRect;
    // The tile of the last stamp that lay in one tile, and its layer.
    MTile *m_lastTile = nullptr;
    MTextureLayer *m_lastTileLayer = nullptr;
};
