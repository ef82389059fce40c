#include "mvertexbuffer.h"

#include <QColor>
#include <QRectF>

#include <algorithm>

namespace {
constexpr int vertexBytes = int(sizeof(MQuadTransform));
}

MVertexBuffer::MVertexBuffer(int capacity)
    : m_buffer(QOpenGLBuffer::VertexBuffer)
    , m_capacity(std::max(0, capacity))
{
}

bool MVertexBuffer::create()
{
    if (!m_buffer.create())
        return false;
    m_buffer.setUsagePattern(QOpenGLBuffer::DynamicDraw);
    m_buffer.bind();
    m_buffer.allocate(m_capacity * vertexBytes);
    m_buffer.release();
    return true;
}

bool MVertexBuffer::addVertices(const MQuadTransform *vertices, int count)
{
    if (count <= 0)
        return true;
    const int written = std::min(count, m_capacity - m_count);
    if (written > 0) {
        m_buffer.write(m_count * vertexBytes, vertices, written * vertexBytes);
        m_count += written;
    }
    return written == count;
}

bool MVertexBuffer::addVertex(const MQuadTransform &vertex)
{
    return addVertices(&vertex, 1);
}

bool MVertexBuffer::addTriangle(const MQuadTransform &a, const MQuadTransform &b, const MQuadTransform &c)
{
    const MQuadTransform triangle[3] = {a, b, c};
    return addVertices(triangle, 3);
}

bool MVertexBuffer::addQuad(const QRectF &rect, const QColor &color, const QRectF *textureRects, int n)
{
    // Corners A bottom-left, B top-left, C bottom-right, D top-right, drawn as
    // the triangles A-B-C and B-D-C.
    MQuadTransform corner[4];
    const QPointF positions[4] = {rect.bottomLeft(), rect.topLeft(), rect.bottomRight(), rect.topRight()};
    const int sets = textureRects ? std::clamp(n, 0, 3) : 0;
    for (int i = 0; i < 4; ++i) {
        corner[i].position[0] = float(positions[i].x());
        corner[i].position[1] = float(positions[i].y());
        corner[i].color[0] = float(color.redF());
        corner[i].color[1] = float(color.greenF());
        corner[i].color[2] = float(color.blueF());
        corner[i].color[3] = float(color.alphaF());
        for (int set = 0; set < sets; ++set) {
            const QRectF &t = textureRects[set];
            const QPointF coordinates[4] = {t.bottomLeft(), t.topLeft(), t.bottomRight(), t.topRight()};
            corner[i].textureCoordinates[set] = QVector2D(coordinates[i]);
        }
    }
    const MQuadTransform vertices[6] = {corner[0], corner[1], corner[2], corner[1], corner[3], corner[2]};
    return addVertices(vertices, 6);
}

bool MVertexBuffer::addQuad(int set, const QRectF &rect, const QRectF &textureRect, const QColor &color)
{
    if (set < 0 || set > 2)
        return addQuad(rect, color, nullptr, 0);
    QRectF textureRects[3];
    textureRects[set] = textureRect;
    // Sets before the chosen one stay 0: an empty QRectF has all-zero corners.
    return addQuad(rect, color, textureRects, set + 1);
}
