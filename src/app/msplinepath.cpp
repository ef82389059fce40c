#include "msplinepath.h"

MSplinePath::MSplinePath() = default;

MSplinePath::~MSplinePath() = default;

void MSplinePath::setPoints(const QVector<QPointF> &value)
{
    if (value.size() < 2) {
        points.clear();
        path = QPainterPath();
        return;
    }
    points = value;
    buildPath();
}

void MSplinePath::setClosed(bool value)
{
    closed = value;
    buildPath();
}

QPointF MSplinePath::midPoint(int index) const
{
    const QPointF &p = points.at(index);
    const QPointF &next = points.at((index + 1) % points.size());
    return p + (next - p) * 0.5;
}

void MSplinePath::buildPath()
{
    path = QPainterPath();
    const int n = points.size();
    // points is public: a single point may have been put there by hand.
    if (n < 2)
        return;
    if (n == 2) {
        // Two points make a straight segment, never a loop.
        path.moveTo(points.at(0));
        path.lineTo(points.at(1));
        return;
    }
    if (closed) {
        path.moveTo(midPoint(0));
        for (int i = 1; i < n; ++i)
            path.quadTo(points.at(i), midPoint(i));
        path.quadTo(points.at(0), midPoint(0));
        return;
    }
    path.moveTo(points.at(0));
    path.lineTo(midPoint(0));
    for (int i = 1; i <= n - 2; ++i)
        path.quadTo(points.at(i), midPoint(i));
    path.lineTo(points.at(n - 1));
}
