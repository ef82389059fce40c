#include "mgeometry.h"

#include <QTransform>
#include <QtMath>

#include <cmath>

QPointF MGeometry::topCenter(const QRectF &rect)
{
    return (rect.topLeft() + rect.topRight()) / 2.0;
}

QPointF MGeometry::bottomCenter(const QRectF &rect)
{
    return (rect.bottomLeft() + rect.bottomRight()) / 2.0;
}

QPointF MGeometry::leftCenter(const QRectF &rect)
{
    return (rect.topLeft() + rect.bottomLeft()) / 2.0;
}

QPointF MGeometry::rightCenter(const QRectF &rect)
{
    return (rect.topRight() + rect.bottomRight()) / 2.0;
}

QRectF MGeometry::handleRect(const QPointF &p, double size)
{
    return QRectF(p.x() - size / 2.0, p.y() - size / 2.0, size, size);
}

bool MGeometry::isNear(const QPointF &a, const QPointF &b, double distance)
{
    return distance >= QLineF(a, b).length();
}

QRectF MGeometry::placeRect(const QRectF &reference, const QRectF &size, int position, double margin)
{
    const QRectF &r = reference;
    const double w = size.width();
    const double h = size.height();
    const QPointF c = r.center();
    // Horizontal and vertical places: inside at the start, centred, inside at
    // the end, outside before the start, outside after the end.
    enum { InStart, Centered, InEnd, OutStart, OutEnd };
    auto x = [&](int place) {
        switch (place) {
        case Centered: return c.x() - w / 2.0;
        case InEnd: return r.right() - w - margin;
        case OutStart: return r.left() - w - margin;
        case OutEnd: return r.right() + margin;
        default: return r.left() + margin;
        }
    };
    auto y = [&](int place) {
        switch (place) {
        case Centered: return c.y() - h / 2.0;
        case InEnd: return r.bottom() - h - margin;
        case OutStart: return r.top() - h - margin;
        case OutEnd: return r.bottom() + margin;
        default: return r.top() + margin;
        }
    };
    // Horizontal place, vertical place, by position.
    static const int places[][2] = {
        {InStart, InStart},   // NoPosition
        {InStart, InStart},   // TopLeft
        {Centered, InStart},  // TopCenter
        {InEnd, InStart},     // TopRight
        {InStart, Centered},  // CenterLeft
        {Centered, Centered}, // CenterCenter
        {InEnd, Centered},    // CenterRight
        {InStart, InEnd},     // BottomLeft
        {Centered, InEnd},    // BottomCenter
        {InEnd, InEnd},       // BottomRight
        {OutStart, InStart},  // TopLeftOut
        {OutStart, Centered}, // CenterLeftOut
        {OutStart, InEnd},    // BottomLeftOut
        {OutEnd, InStart},    // TopRightOut
        {OutEnd, Centered},   // CenterRightOut
        {OutEnd, InEnd},      // BottomRightOut
        {InStart, OutStart},  // TopOutLeft
        {Centered, OutStart}, // TopOutCenter
        {InEnd, OutStart},    // TopOutRight
        {InStart, OutEnd},    // BottomOutLeft
        {Centered, OutEnd},   // BottomOutCenter
        {InEnd, OutEnd},      // BottomOutRight
        {OutStart, OutStart}, // TopOutLeftOut
        {OutEnd, OutStart},   // TopOutRightOut
        {OutStart, OutEnd},   // BottomOutLeftOut
        {OutEnd, OutEnd},     // BottomOutRightOut
    };
    if (position == ClientArea)
        return reference;
    const int index = position >= 0 && position < ClientArea ? position : NoPosition;
    return QRectF(x(places[index][0]), y(places[index][1]), w, h);
}

QRectF MGeometry::fitRect(const QRectF &content, const QRectF &bounds, double &scale)
{
    scale = 1.0;
    if (bounds.width() == 0.0 || bounds.height() == 0.0)
        return bounds;
    const double a = qMax(content.height() / bounds.height(), content.width() / bounds.width());
    if (a == 0.0)
        return bounds;
    scale = 1.0 / a;
    const QSizeF fitted(content.width() * scale, content.height() * scale);
    const QPointF centre((bounds.left() + bounds.right()) / 2.0, (bounds.top() + bounds.bottom()) / 2.0);
    return QRectF(centre.x() - fitted.width() / 2.0, centre.y() - fitted.height() / 2.0, fitted.width(),
                  fitted.height());
}

int MGeometry::outCode(double x, double y, const QRectF &rect)
{
    int code = 0;
    if (x < rect.left())
        code |= 1;
    else if (x > rect.right())
        code |= 2;
    if (y < rect.top())
        code |= 4;
    else if (y > rect.bottom())
        code |= 8;
    return code;
}

QLineF MGeometry::clipLine(double x1, double y1, double x2, double y2, const QRectF &rect)
{
    int c1 = outCode(x1, y1, rect);
    int c2 = outCode(x2, y2, rect);
    while (c1 || c2) {
        if (c1 & c2)
            return QLineF(0, 0, 0, 0);
        const bool first = c1 != 0;
        const int c = first ? c1 : c2;
        const double dx = x2 - x1;
        const double dy = y2 - y1;
        double x = 0.0;
        double y = 0.0;
        if (c & 8) {
            y = rect.bottom();
            x = x1 + (rect.bottom() - y1) * dx / dy;
        } else if (c & 4) {
            y = rect.top();
            x = x1 + (rect.top() - y1) * dx / dy;
        } else if (c & 2) {
            x = rect.right();
            y = y1 + (rect.right() - x1) * dy / dx;
        } else {
            x = rect.left();
            y = y1 + (rect.left() - x1) * dy / dx;
        }
        if (first) {
            x1 = x;
            y1 = y;
            c1 = outCode(x1, y1, rect);
        } else {
            x2 = x;
            y2 = y;
            c2 = outCode(x2, y2, rect);
        }
    }
    return QLineF(x1, y1, x2, y2);
}

bool MGeometry::projectOnLine(const QLineF &line, const QPointF &p, QPointF &out)
{
    // Single precision, as the alignment of strokes has always been computed.
    const float dx = float(line.p2().x() - line.p1().x());
    const float dy = float(line.p2().y() - line.p1().y());
    const float length = std::sqrt(dx * dx + dy * dy);
    if (length == 0.0f) {
        out = QPointF(-1, -1);
        return false;
    }
    const float ux = dx / length;
    const float uy = dy / length;
    const double t = (p.x() - line.p1().x()) * double(ux) + (p.y() - line.p1().y()) * double(uy);
    out = QPointF(line.p1().x() + double(ux) * t, line.p1().y() + double(uy) * t);
    return true;
}

bool MGeometry::pointOnSegment(const QLineF &line, const QPointF &q)
{
    const QPointF a = line.p1();
    const QPointF b = line.p2();
    const double cross = (q.x() - a.x()) * (b.y() - a.y()) - (q.y() - a.y()) * (b.x() - a.x());
    if (qAbs(cross) > 1e-6)
        return false;
    if (qAbs(a.x() - b.x()) <= 1e-6)
        return q.y() >= qMin(a.y(), b.y()) && q.y() <= qMax(a.y(), b.y());
    return q.x() >= qMin(a.x(), b.x()) && q.x() <= qMax(a.x(), b.x());
}

QPointF MGeometry::nearestPoint(const QVector<QPointF> &polyline, const QPointF &p)
{
    QVector<QPointF> candidates;
    for (int i = 1; i < polyline.size(); ++i) {
        const QLineF segment(polyline.at(i - 1), polyline.at(i));
        QLineF normal = segment.normalVector();
        normal.translate(p - normal.p1());
        QPointF foot;
        if (segment.intersects(normal, &foot) != QLineF::NoIntersection && pointOnSegment(segment, foot))
            candidates.append(foot);
    }
    double best = 9999999.0;
    QPointF result = p;
    auto consider = [&](const QPointF &point) {
        const double distance = QLineF(p, point).length();
        if (distance < best) {
            best = distance;
            result = point;
        }
    };
    for (const QPointF &candidate : qAsConst(candidates))
        consider(candidate);
    for (const QPointF &vertex : polyline)
        consider(vertex);
    return result;
}

QPointF MGeometry::rotated(const QPointF &p, const QPointF &centre, double degrees)
{
    QTransform t;
    t.translate(centre.x(), centre.y());
    t.rotate(degrees);
    t.translate(-centre.x(), -centre.y());
    return t.map(p);
}
