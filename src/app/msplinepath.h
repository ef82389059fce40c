#pragma once

#include <QPainterPath>
#include <QPointF>
#include <QVector>

// A smooth curve through the midpoints of the control polygon's edges, each
// control point steering the quadratic arc around it. Users read path
// directly; it always follows points and closed.
class MSplinePath
{
public:
    MSplinePath();
    virtual ~MSplinePath();

    // Fewer than two points leave nothing to draw and forget the old ones.
    void setPoints(const QVector<QPointF> &value);
    void setClosed(bool value);
    // Midpoint of point index and the next one, wrapping to the first.
    QPointF midPoint(int index) const;
    void buildPath();

    QPainterPath path;
    bool closed = false;
    QVector<QPointF> points;
};
