#pragma once

#include "mquadtransform.h"

#include <QOpenGLBuffer>

class QColor;
class QRectF;

// A GPU vertex buffer of fixed capacity, refilled from the front for every
// draw. Adding writes through QOpenGLBuffer::write, so the caller binds the
// buffer (with its context current) first; a full buffer refuses vertices
// instead of overwriting them.
class MVertexBuffer
{
public:
    explicit MVertexBuffer(int capacity);

    bool create();
    QOpenGLBuffer &buffer() { return m_buffer; }
    bool bind() { return m_buffer.bind(); }
    void release() { m_buffer.release(); }

    int capacity() const { return m_capacity; }
    int count() const { return m_count; }
    void clear() { m_count = 0; }

    bool addVertex(const MQuadTransform &vertex);
    bool addTriangle(const MQuadTransform &a, const MQuadTransform &b, const MQuadTransform &c);
    // Writes as many of the vertices as still fit, in one upload; true when all did.
    bool addVertices(const MQuadTransform *vertices, int count);

    bool addQuad(const QRectF &rect, const QColor &color, const QRectF *textureRects, int n);
    bool addQuad(int set, const QRectF &rect, const QRectF &textureRect, const QColor &color);

private:
    QOpenGLBuffer m_buffer;
    int m_capacity;
    int m_count = 0;
};
