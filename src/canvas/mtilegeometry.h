#pragma once

#include <QByteArray>
#include <QPointF>
#include <QRect>
#include <QRectF>

// Where tiles lie on the canvas. A tile covers one cell of a grid stepping by
// tileSize - 2 x border; its texture is tileSize wide, so each texture carries
// a border-wide margin overlapping its neighbours' cells.

int tileStep(int tileSize, int border);
// The grid cell that contains p.
QRect tileRect(const QPointF &p, int tileSize, int border);
// The canvas area of the texture of the tile that contains p (the cell grown by the border).
QRect tileTextureRect(const QPointF &p, int tileSize, int border);
// A pairing of the cell's column and row (each shifted by offset) usable as a hash key.
int tileKey(const QPointF &p, int tileSize, int border, int offset);
// The column (or row) of the cell holding a canvas coordinate: floor(coordinate / step).
int tileCell(int coordinate, int step);
// A key of the cell at column and row, distinct for every pair of ints, so
// cells however far from the origin never share one.
qint64 tileCellKey(int column, int row);
// The texture pixel of a canvas point inside its document-layer tile (512 wide, border 6).
QPointF tileLocal(const QPointF &p);
// p in the unit coordinates of r.
QPointF mapToUnitRect(const QPointF &p, const QRectF &r);

// rows rows of width pixels from (x, y) of a buffer whose rows are rowLength pixels long.
QByteArray copyRectOut(const uchar *source, int x, int y, int width, int rows, int rowLength, int bytesPerPixel);
// The reverse: writes a packed block of rows x width pixels into destination at (x, y).
void copyRectIn(uchar *destination, const uchar *source, int x, int y, int width, int rows, int rowLength,
                int bytesPerPixel);
