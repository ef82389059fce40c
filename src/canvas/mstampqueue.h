#pragma once

#include "mquadtransform.h"
#include "mstampstate.h"

#include <QByteArray>
#include <QColor>
#include <QHash>
#include <QOpenGLBuffer>
#include <QPointF>
#include <QRectF>
#include <QSet>
#include <QVector>

#include <array>

class MBrush;
class MStampSurface;
class MStampUniforms;
class MTextureLayer;
class QOpenGLFunctions;
class MTextureTile;
class MTile;
class QOpenGLShaderProgram;

// The stamps the strokes placed and that are not drawn yet. Each
// run (a move, or the part of one that fills the stamp buffer) is queued
// with the tiles it touched and what its pass sets besides the stamps; a
// flush then draws tile by tile every queued run that touched the tile, in
// the order they were placed, runs that set the same in one draw. A tile so
// gets one pass per flush instead of one per move, and the same pixels:
// a stamp that misses a tile draws nothing there, and the tiles are
// separate textures.
class MStampQueue
{
public:
    explicit MStampQueue(MStampSurface *surface);
    ~MStampQueue();

    bool isEmpty() const { return m_runs.isEmpty(); }
    int stampCount() const { return m_rects.size(); }

    // Queues one run: its stamps (6 vertices each) drawn into the tiles with
    // the state. Takes one random value per tile, as a pass per tile does.
    void append(const QSet<MTile *> &tiles, const QVector<MQuadTransform> &vertices, const MStampState &state);
    // Draws every queued stamp, under the document's context, which the
    // caller makes current; the queue is empty afterwards.
    void flush();
    // Compiles the programs the brush's first stamps will need in this
    // document as it is now, so that the press does not wait for them.
    void prepare(const MBrush *brush);
    // Draws one stamp of the brush into the tile over the target, as the
    // first move of a stroke would, so that the driver has built its code
    // for that state before the press. The caller clears the tile after.
    void rehearse(const MBrush *brush, MTextureTile *tile, MTextureTile *target);
    // Forgets the queued stamps without drawing them (their tiles are going).
    void clear();

    // Nearest filters and clamped edges on a texture about to be drawn into;
    // it is left unbound, as a target must not be sampled while drawn into.
    static void setNearestSampling(QOpenGLFunctions *f, unsigned int texture);
    // The layer's tile under the area, made when missing, with its texture.
    static MTextureTile *layerTileUnder(MTextureLayer *layer, const QRect &area);

private:
    static constexpr int verticesPerStamp = 6;
    // A stamp's two triangles share two of their corners: the queue keeps
    // and uploads the four corners and draws them through an index buffer.
    static constexpr int cornersPerStamp = 4;
    struct Run
    {
        int first;                      // stamp index
        int count;
        MStampState state;
        int firstTile;                  // into m_runTiles and m_runRandoms
        int tileCount;
    };

    void draw();
    void endDraw();
    QOpenGLShaderProgram *programFor(const MStampState &state);
    bool sameState(const MStampState &a, const MStampState &b, const MStampUniforms *uniforms) const;
    void applyState(QOpenGLShaderProgram *program, MStampUniforms *uniforms, const MStampState &state);
    void drawTile(MTextureTile *tile, MTextureTile *target, const QVector<int> &runs);
    // Queues a run over its tiles, with its random values.
    void appendRun(Run &run, const QSet<MTile *> &tiles, bool random);
    float runRandom(const Run &run, const MTile *tile) const;
    // Uploads and draws the stamps gathered for the tile.
    void drawGathered(const QRectF &targetArea);
    // Binds the index buffer of the stamps' triangles, made on first use.
    bool bindIndices();

    MStampSurface *m_surface;
    QVector<Run> m_runs;
    // The runs' tiles, one after the other, and a random value for each.
    QVector<MTile *> m_runTiles;
    QVector<float> m_runRandoms;
    QVector<MQuadTransform> m_vertices; // corners, 4 per stamp
    QVector<QRectF> m_rects;            // per stamp
    QVector<MQuadTransform> m_upload;
    QOpenGLBuffer m_indices;
    QHash<quint64, QOpenGLShaderProgram *> m_variants;
    QOpenGLShaderProgram *m_engineProgram = nullptr;
    QOpenGLShaderProgram *m_generalProgram = nullptr;
    bool m_flushing = false;
};
