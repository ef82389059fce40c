#pragma once

#include <QLineF>
#include <QObject>
#include <QPointF>
#include <QRectF>
#include <QVector>

// Plane geometry shared by the view and the tools: edge midpoints, handle
// squares, placing and fitting rectangles, clipping segments, projecting and
// finding nearest points. Nothing is kept between calls.
class MGeometry
{
    Q_GADGET
public:
    // Where a rectangle goes against a reference rectangle. "Out" after a side
    // name is outside on that side; "Out" between the vertical and the
    // horizontal part is outside above or below. The key names are stored in
    // shape files.
    enum Position {
        NoPosition, TopLeft, TopCenter, TopRight, CenterLeft, CenterCenter, CenterRight, BottomLeft,
        BottomCenter, BottomRight, TopLeftOut, CenterLeftOut, BottomLeftOut, TopRightOut, CenterRightOut,
        BottomRightOut, TopOutLeft, TopOutCenter, TopOutRight, BottomOutLeft, BottomOutCenter, BottomOutRight,
        TopOutLeftOut, TopOutRightOut, BottomOutLeftOut, BottomOutRightOut, ClientArea
    };
    Q_ENUM(Position)

    MGeometry() = delete;

    static QPointF topCenter(const QRectF &rect);
    static QPointF bottomCenter(const QRectF &rect);
    static QPointF leftCenter(const QRectF &rect);
    static QPointF rightCenter(const QRectF &rect);
    static QRectF handleRect(const QPointF &p, double size);
    static bool isNear(const QPointF &a, const QPointF &b, double distance);

    // A rectangle of size's size (only its size is read) placed against reference.
    static QRectF placeRect(const QRectF &reference, const QRectF &size, int position, double margin);
    // content scaled uniformly (up or down) to fit bounds, centred in bounds.
    static QRectF fitRect(const QRectF &content, const QRectF &bounds, double &scale);

    static int outCode(double x, double y, const QRectF &rect);
    // The part of the segment inside rect, in the segment's direction; a line
    // of four zeros when none.
    static QLineF clipLine(double x1, double y1, double x2, double y2, const QRectF &rect);
    static bool projectOnLine(const QLineF &line, const QPointF &p, QPointF &out);
    static bool pointOnSegment(const QLineF &line, const QPointF &q);
    static QPointF nearestPoint(const QVector<QPointF> &polyline, const QPointF &p);
    // p turned about centre; on the y-down canvas a positive angle turns clockwise on screen.
    static QPointF rotated(const QPointF &p, const QPointF &centre, double degrees);
};
