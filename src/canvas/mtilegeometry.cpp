#include "mtilegeometry.h"

#include <cmath>
#include <cstring>

int tileStep(int tileSize, int border)
{
    return tileSize - 2 * border;
}

QRect tileRect(const QPointF &p, int tileSize, int border)
{
    const int s = tileStep(tileSize, border);
    return QRect(int(std::floor(p.x() / s)) * s, int(std::floor(p.y() / s)) * s, s, s);
}

QRect tileTextureRect(const QPointF &p, int tileSize, int border)
{
    const QRect cell = tileRect(p, tileSize, border);
    return QRect(cell.x() - border, cell.y() - border, tileSize, tileSize);
}

int tileKey(const QPointF &p, int tileSize, int border, int offset)
{
    const int s = tileStep(tileSize, border);
    const qint64 a = qint64(std::floor(p.x() / s)) + offset;
    const qint64 b = qint64(std::floor(p.y() / s)) + offset;
    return int((a + b) * (a + b + 1) / 2 + a);
}

int tileCell(int coordinate, int step)
{
    const int quotient = coordinate / step;
    return (coordinate % step != 0 && (coordinate < 0) != (step < 0)) ? quotient - 1 : quotient;
}

qint64 tileCellKey(int column, int row)
{
    return qint64((quint64(quint32(column)) << 32) | quint32(row));
}

QPointF tileLocal(const QPointF &p)
{
    return QPointF(p.x() - std::floor(p.x() / 500.0) * 500.0 + 6.0, p.y() - std::floor(p.y() / 500.0) * 500.0 + 6.0);
}

QPointF mapToUnitRect(const QPointF &p, const QRectF &r)
{
    return QPointF(float((p.x() - r.left()) / r.width()), float((p.y() - r.top()) / r.height()));
}

QByteArray copyRectOut(const uchar *source, int x, int y, int width, int rows, int rowLength, int bytesPerPixel)
{
    QByteArray block(width * rows * bytesPerPixel, Qt::Uninitialized);
    const int rowBytes = width * bytesPerPixel;
    for (int row = 0; row < rows; ++row)
        std::memcpy(block.data() + row * rowBytes, source + ((y + row) * rowLength + x) * bytesPerPixel, size_t(rowBytes));
    return block;
}

void copyRectIn(uchar *destination, const uchar *source, int x, int y, int width, int rows, int rowLength,
                int bytesPerPixel)
{
    const int rowBytes = width * bytesPerPixel;
    for (int row = 0; row < rows; ++row)
        std::memcpy(destination + ((y + row) * rowLength + x) * bytesPerPixel, source + row * rowBytes, size_t(rowBytes));
}
