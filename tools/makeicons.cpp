// Paints the command and tool icons of the main window and the panels' badges.
//
//   makeicons <icons folder> [contact sheet.png]
//
// Every icon is drawn here on a 32 x 32 grid with one outline colour and a
// small palette, and written in the format its resource name gives: an ".ico"
// file holds it at 16 and 32 pixels, a ".png" file at 32. The optional
// contact sheet shows them all side by side.

#include <QCoreApplication>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>

#include <cmath>
#include <functional>
#include <vector>

namespace {

const QColor kInk(0x2c, 0x33, 0x40);
const QColor kPaper(0xf6, 0xf7, 0xf9);
const QColor kBlue(0x3d, 0x8b, 0xd9);
const QColor kLightBlue(0xa9, 0xd0, 0xf5);
const QColor kOrange(0xf0, 0x91, 0x3a);
const QColor kGreen(0x3f, 0xa8, 0x66);
const QColor kRed(0xd9, 0x4c, 0x48);
const QColor kYellow(0xf5, 0xc8, 0x42);
const QColor kPurple(0x8e, 0x6c, 0xc9);
const QColor kWood(0xc8, 0x8a, 0x4f);
const QColor kGrey(0x9a, 0xa3, 0xb0);

const double kLine = 2.0;

// Drawing helpers shared by the glyphs. Coordinates are on the 32 x 32 grid.
class Pen
{
public:
    explicit Pen(QPainter &p) : p(p) {}

    void outline(const QColor &fill, double width = kLine)
    {
        p.setPen(QPen(kInk, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(fill);
    }
    void stroke(const QColor &color, double width = kLine, Qt::PenStyle style = Qt::SolidLine)
    {
        p.setPen(QPen(color, width, style, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
    }
    void solid(const QColor &color)
    {
        p.setPen(Qt::NoPen);
        p.setBrush(color);
    }
    void ants(const QColor &color = kInk, double width = 1.6)
    {
        QPen pen(color, width, Qt::CustomDashLine, Qt::FlatCap, Qt::MiterJoin);
        pen.setDashPattern({2.0, 1.5});
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
    }
    void dashed(const QRectF &r, const QColor &color = kInk)
    {
        ants(color);
        p.drawRect(r);
    }
    void page(const QRectF &r, const QColor &fill = kPaper)
    {
        const double fold = r.width() * 0.32;
        QPainterPath path;
        path.moveTo(r.left(), r.top());
        path.lineTo(r.right() - fold, r.top());
        path.lineTo(r.right(), r.top() + fold);
        path.lineTo(r.right(), r.bottom());
        path.lineTo(r.left(), r.bottom());
        path.closeSubpath();
        outline(fill);
        p.drawPath(path);
        QPainterPath corner;
        corner.moveTo(r.right() - fold, r.top());
        corner.lineTo(r.right() - fold, r.top() + fold);
        corner.lineTo(r.right(), r.top() + fold);
        stroke(kInk);
        p.drawPath(corner);
    }
    // A round badge in the lower right corner with a plus, a minus, a cross or
    // a copy mark, the shared sign of "new", "remove", "delete" and "duplicate".
    enum Badge { Plus, Minus, Cross, Copy };
    void badge(Badge kind)
    {
        const QPointF c(23.5, 23.5);
        outline(kind == Plus || kind == Copy ? kGreen : kRed, 1.5);
        p.drawEllipse(c, 7.5, 7.5);
        stroke(Qt::white, 2.4);
        switch (kind) {
        case Plus:
            p.drawLine(QPointF(c.x() - 4, c.y()), QPointF(c.x() + 4, c.y()));
            p.drawLine(QPointF(c.x(), c.y() - 4), QPointF(c.x(), c.y() + 4));
            break;
        case Minus:
            p.drawLine(QPointF(c.x() - 4, c.y()), QPointF(c.x() + 4, c.y()));
            break;
        case Cross:
            p.drawLine(QPointF(c.x() - 3, c.y() - 3), QPointF(c.x() + 3, c.y() + 3));
            p.drawLine(QPointF(c.x() - 3, c.y() + 3), QPointF(c.x() + 3, c.y() - 3));
            break;
        case Copy:
            p.setPen(QPen(Qt::white, 1.4));
            p.drawRect(QRectF(c.x() - 4, c.y() - 4, 5, 5));
            p.drawRect(QRectF(c.x() - 1, c.y() - 1, 5, 5));
            break;
        }
    }
    // Three stacked sheets seen from above: the layer sign.
    void layers(double dy = 0.0)
    {
        for (int i = 2; i >= 0; --i) {
            const double y = 9.0 + i * 5.0 + dy;
            QPolygonF sheet({QPointF(3, y), QPointF(14, y - 5.5), QPointF(25, y), QPointF(14, y + 5.5)});
            outline(i == 0 ? kLightBlue : (i == 1 ? kBlue : QColor(0x2f, 0x6c, 0xab)), 1.6);
            p.drawPolygon(sheet);
        }
    }
    void arrow(const QPointF &from, const QPointF &to, const QColor &color, double width = 3.0)
    {
        stroke(color, width);
        p.drawLine(from, to);
        const QPointF d = to - from;
        const double length = std::hypot(d.x(), d.y());
        const QPointF u = d / length;
        const QPointF n(-u.y(), u.x());
        const double head = 5.5;
        QPolygonF tip({to + u * 1.5, to - u * head + n * head, to - u * head - n * head});
        solid(color);
        p.drawPolygon(tip);
    }
    // A curved arrow turning about the centre, from startAngle through span
    // (degrees, counter-clockwise positive as in QPainterPath::arcTo).
    void turn(const QPointF &c, double r, double startAngle, double span, const QColor &color)
    {
        QPainterPath path;
        const QRectF box(c.x() - r, c.y() - r, 2 * r, 2 * r);
        path.arcMoveTo(box, startAngle);
        path.arcTo(box, startAngle, span);
        stroke(color, 3.0);
        p.drawPath(path);
        const double end = (startAngle + span) * M_PI / 180.0;
        const QPointF tip(c.x() + r * std::cos(end), c.y() - r * std::sin(end));
        // Direction of travel at the end of the arc.
        const double sign = span > 0 ? 1.0 : -1.0;
        const QPointF u(-std::sin(end) * sign, -std::cos(end) * sign);
        const QPointF n(-u.y(), u.x());
        QPolygonF head({tip + u * 4.5, tip + n * 5.0, tip - n * 5.0});
        solid(color);
        p.drawPolygon(head);
    }
    // A star with its first point straight up, in the current pen and fill.
    void star(const QPointF &centre, int points, double outer, double inner)
    {
        p.drawPolygon(starPolygon(centre, points, outer, inner));
    }
    void pencil(const QPointF &tip, double length, const QColor &body = kYellow)
    {
        p.save();
        p.translate(tip);
        p.rotate(-45);
        QPolygonF point({QPointF(0, 0), QPointF(6, -3), QPointF(6, 3)});
        outline(kWood, 1.4);
        p.drawPolygon(point);
        solid(kInk);
        p.drawPolygon(QPolygonF({QPointF(0, 0), QPointF(2.2, -1.1), QPointF(2.2, 1.1)}));
        outline(body, 1.4);
        p.drawRect(QRectF(6, -3, length - 10, 6));
        outline(kRed, 1.4);
        p.drawRect(QRectF(length - 4, -3, 4, 6));
        p.restore();
    }
    // A round brush: wooden handle, metal ferrule and a coloured tip.
    void brush(const QColor &tipColor)
    {
        p.save();
        p.translate(6.5, 25.5);
        p.rotate(-45);
        QPainterPath tip;
        tip.moveTo(0, 0);
        tip.cubicTo(QPointF(3, -4.5), QPointF(7, -4.5), QPointF(9, -4));
        tip.lineTo(9, 4);
        tip.cubicTo(QPointF(7, 4.5), QPointF(3, 4.5), QPointF(0, 0));
        outline(tipColor, 1.5);
        p.drawPath(tip);
        outline(kGrey, 1.5);
        p.drawRect(QRectF(9, -3.5, 6, 7));
        outline(kWood, 1.5);
        QPainterPath handle;
        handle.moveTo(15, -3);
        handle.lineTo(30, -2);
        handle.quadTo(32, 0, 30, 2);
        handle.lineTo(15, 3);
        handle.closeSubpath();
        p.drawPath(handle);
        p.restore();
    }
    void bucket(const QColor &paint)
    {
        p.save();
        p.translate(14, 17);
        p.rotate(-25);
        outline(kGrey);
        QPainterPath body;
        body.moveTo(-9, -6);
        body.lineTo(9, -6);
        body.lineTo(7, 10);
        body.lineTo(-7, 10);
        body.closeSubpath();
        p.drawPath(body);
        outline(paint, 1.6);
        p.drawEllipse(QPointF(0, -6), 9, 3);
        stroke(kInk, 1.6);
        p.drawArc(QRectF(-8, -16, 16, 16), 0, 180 * 16);
        p.restore();
        // The drop that falls from the rim.
        QPainterPath drop;
        drop.moveTo(25, 17);
        drop.cubicTo(QPointF(28, 22), QPointF(29.5, 25), QPointF(27, 27.5));
        drop.cubicTo(QPointF(25, 29), QPointF(22, 27), QPointF(23, 23.5));
        drop.closeSubpath();
        outline(paint, 1.4);
        p.drawPath(drop);
    }
    // A selected area: tinted inside, marching-ants outline.
    void marquee(const QPainterPath &path, const QColor &fill = kLightBlue)
    {
        solid(fill);
        p.drawPath(path);
        ants();
        p.drawPath(path);
    }
    static QPolygonF starPolygon(const QPointF &centre, int points, double outer, double inner)
    {
        QPolygonF star;
        for (int i = 0; i < 2 * points; ++i) {
            const double angle = i * M_PI / points - M_PI / 2.0;
            const double r = (i % 2 == 0) ? outer : inner;
            star.append(centre + QPointF(r * std::cos(angle), r * std::sin(angle)));
        }
        return star;
    }
    // A closed smooth curve through the midpoints of the polygon's edges.
    static QPainterPath roundedPolygon(const QPolygonF &polygon)
    {
        QPainterPath path;
        const int n = polygon.size();
        auto mid = [&polygon, n](int i) { return (polygon.at(i % n) + polygon.at((i + 1) % n)) / 2.0; };
        path.moveTo(mid(0));
        for (int i = 1; i <= n; ++i)
            path.quadTo(polygon.at(i % n), mid(i));
        path.closeSubpath();
        return path;
    }
    // Two overlapping squares combined by a selection mode: the result tinted,
    // both outlines drawn.
    void combined(const std::function<QPainterPath(const QPainterPath &, const QPainterPath &)> &combine)
    {
        QPainterPath first, second;
        first.addRect(QRectF(3, 3, 18, 18));
        second.addRect(QRectF(11, 11, 18, 18));
        solid(kLightBlue);
        p.drawPath(combine(first, second));
        ants(kInk, 1.4);
        p.drawPath(first);
        p.drawPath(second);
    }

    QPainter &p;
};

using Glyph = std::function<void(Pen &)>;

struct Icon
{
    const char *name;
    Glyph draw;
};

// A pipette over the drop it takes: the colour picker's command and button.
void pipette(Pen &d)
{
    d.p.save();
    d.p.translate(6, 26);
    d.p.rotate(-45);
    d.outline(kLightBlue, 1.5);
    d.p.drawPolygon(QPolygonF({QPointF(0, 0), QPointF(4, -2), QPointF(14, -2), QPointF(14, 2), QPointF(4, 2)}));
    d.outline(kInk, 1.5);
    d.p.drawRect(QRectF(14, -4, 3, 8));
    d.outline(kGrey, 1.5);
    d.p.drawRoundedRect(QRectF(17, -4.5, 9, 9), 4, 4);
    d.p.restore();
    d.solid(kBlue);
    d.p.drawEllipse(QPointF(5, 28), 2.2, 2.2);
}

std::vector<Icon> icons()
{
    std::vector<Icon> list;
    auto add = [&list](const char *name, Glyph g) { list.push_back({name, std::move(g)}); };

    // Files and the clipboard
    add("file-new.ico", [](Pen &d) { d.page(QRectF(5, 3, 18, 24)); d.badge(Pen::Plus); });
    add("file-open.ico", [](Pen &d) {
        d.outline(QColor(0xd9, 0xa4, 0x2e));
        d.p.drawPolygon(QPolygonF({QPointF(3, 7), QPointF(11, 7), QPointF(14, 10), QPointF(26, 10), QPointF(26, 26), QPointF(3, 26)}));
        d.outline(kYellow);
        d.p.drawPolygon(QPolygonF({QPointF(3, 26), QPointF(8, 15), QPointF(30, 15), QPointF(26, 26)}));
    });
    add("file-save.ico", [](Pen &d) {
        d.outline(kBlue);
        d.p.drawPolygon(QPolygonF({QPointF(4, 4), QPointF(24, 4), QPointF(28, 8), QPointF(28, 28), QPointF(4, 28)}));
        d.outline(kPaper, 1.5);
        d.p.drawRect(QRectF(9, 4, 13, 8));
        d.solid(kInk);
        d.p.drawRect(QRectF(17, 5.5, 3, 5));
        d.outline(kPaper, 1.5);
        d.p.drawRect(QRectF(8, 17, 16, 11));
        d.stroke(kGrey, 1.2);
        d.p.drawLine(QPointF(11, 21), QPointF(21, 21));
        d.p.drawLine(QPointF(11, 24), QPointF(21, 24));
    });
    add("file-delete.ico", [](Pen &d) { d.page(QRectF(5, 3, 18, 24)); d.badge(Pen::Cross); });
    add("file-duplicate.ico", [](Pen &d) { d.page(QRectF(4, 2, 15, 20), kLightBlue); d.page(QRectF(12, 9, 15, 20)); });
    add("edit-copy.ico", [](Pen &d) {
        d.outline(kLightBlue);
        d.p.drawRoundedRect(QRectF(4, 3, 15, 19), 2, 2);
        d.outline(kPaper);
        d.p.drawRoundedRect(QRectF(12, 10, 15, 19), 2, 2);
        d.stroke(kGrey, 1.4);
        for (int y = 15; y <= 24; y += 3)
            d.p.drawLine(QPointF(15, y), QPointF(24, y));
    });
    add("edit-cut.ico", [](Pen &d) {
        d.stroke(kGrey, 2.6);
        d.p.drawLine(QPointF(9, 3), QPointF(20, 20));
        d.p.drawLine(QPointF(23, 3), QPointF(12, 20));
        d.outline(kRed, 2.0);
        d.p.setBrush(Qt::NoBrush);
        d.p.setPen(QPen(kRed, 3.0));
        d.p.drawEllipse(QPointF(9, 24), 4.5, 4.5);
        d.p.drawEllipse(QPointF(23, 24), 4.5, 4.5);
        d.solid(kInk);
        d.p.drawEllipse(QPointF(16, 14.5), 1.6, 1.6);
    });
    add("edit-paste.ico", [](Pen &d) {
        d.outline(kWood);
        d.p.drawRoundedRect(QRectF(5, 5, 20, 24), 2, 2);
        d.outline(kGrey, 1.6);
        d.p.drawRoundedRect(QRectF(10, 2, 10, 6), 2, 2);
        d.page(QRectF(13, 12, 15, 18));
    });
    add("edit.ico", [](Pen &d) { d.pencil(QPointF(5, 27), 30); });
    add("rename.ico", [](Pen &d) {
        d.outline(kPaper);
        d.p.drawRoundedRect(QRectF(2, 8, 24, 12), 2, 2);
        d.stroke(kInk, 1.6);
        d.p.drawLine(QPointF(7, 11), QPointF(7, 17));
        d.stroke(kGrey, 2.0);
        d.p.drawLine(QPointF(10, 14), QPointF(17, 14));
        d.pencil(QPointF(16, 28), 22);
    });

    // History
    add("undo.ico", [](Pen &d) { d.turn(QPointF(17, 18), 9, 0, 200, kBlue); });
    add("redo.ico", [](Pen &d) { d.turn(QPointF(15, 18), 9, 180, -200, kBlue); });
    add("refresh.ico", [](Pen &d) {
        d.turn(QPointF(16, 16), 10, 100, 150, kGreen);
        d.turn(QPointF(16, 16), 10, 280, 150, kGreen);
    });

    // Selection
    add("select-all.ico", [](Pen &d) {
        d.solid(kLightBlue);
        d.p.drawRect(QRectF(4, 4, 24, 24));
        d.dashed(QRectF(4, 4, 24, 24));
    });
    add("unselect-all.ico", [](Pen &d) {
        d.dashed(QRectF(4, 4, 24, 24));
        d.stroke(kRed, 3.0);
        d.p.drawLine(QPointF(9, 9), QPointF(23, 23));
        d.p.drawLine(QPointF(23, 9), QPointF(9, 23));
    });
    // Cell borders: a grey frame with the sides concerned drawn dark.
    auto border = [](bool top, bool bottom, bool left, bool right) {
        return [=](Pen &d) {
            d.stroke(kGrey, 1.0, Qt::DotLine);
            d.p.drawRect(QRectF(5, 5, 22, 22));
            d.stroke(kInk, 3.0);
            if (top)
                d.p.drawLine(QPointF(5, 5), QPointF(27, 5));
            if (bottom)
                d.p.drawLine(QPointF(5, 27), QPointF(27, 27));
            if (left)
                d.p.drawLine(QPointF(5, 5), QPointF(5, 27));
            if (right)
                d.p.drawLine(QPointF(27, 5), QPointF(27, 27));
        };
    };
    add("border-top.ico", border(true, false, false, false));
    add("border-btm.ico", border(false, true, false, false));
    add("border-left.ico", border(false, false, true, false));
    add("border-right.ico", border(false, false, false, true));
    add("border-out.ico", border(true, true, true, true));
    add("border-none.ico", border(false, false, false, false));
    add("invert-selection.ico", [](Pen &d) {
        d.solid(kLightBlue);
        d.p.drawRect(QRectF(4, 4, 24, 24));
        d.solid(kPaper);
        d.p.drawEllipse(QPointF(16, 16), 7, 7);
        d.dashed(QRectF(4, 4, 24, 24));
        QPen pen(kInk, 1.6, Qt::CustomDashLine);
        pen.setDashPattern({2.0, 1.5});
        d.p.setPen(pen);
        d.p.setBrush(Qt::NoBrush);
        d.p.drawEllipse(QPointF(16, 16), 7, 7);
    });
    // Selection shapes and modes
    auto marqueeOf = [](const QPolygonF &polygon) {
        QPainterPath path;
        path.addPolygon(polygon);
        path.closeSubpath();
        return path;
    };
    add("shape-rectangle.ico", [](Pen &d) {
        QPainterPath path;
        path.addRect(QRectF(4, 7, 24, 18));
        d.marquee(path);
    });
    add("shape-ellipse.ico", [](Pen &d) {
        QPainterPath path;
        path.addEllipse(QRectF(3, 6, 26, 20));
        d.marquee(path);
    });
    add("shape-polygon.ico", [marqueeOf](Pen &d) {
        const QPolygonF polygon({QPointF(5, 9), QPointF(18, 4), QPointF(28, 14), QPointF(21, 28), QPointF(7, 24)});
        d.marquee(marqueeOf(polygon));
        d.outline(kPaper, 1.2);
        for (const QPointF &corner : polygon)
            d.p.drawRect(QRectF(corner.x() - 2, corner.y() - 2, 4, 4));
    });
    add("shape-curve.ico", [](Pen &d) {
        d.marquee(Pen::roundedPolygon(
            QPolygonF({QPointF(2, 8), QPointF(20, 1), QPointF(31, 14), QPointF(22, 31), QPointF(4, 26)})));
    });
    add("shape-star.ico", [marqueeOf](Pen &d) { d.marquee(marqueeOf(Pen::starPolygon(QPointF(16, 17), 5, 14, 6))); });
    add("shape-rounded-star.ico", [](Pen &d) {
        d.marquee(Pen::roundedPolygon(Pen::starPolygon(QPointF(16, 17), 5, 17, 5)));
    });
    add("lasso.ico", [](Pen &d) {
        QPainterPath loop;
        loop.addEllipse(QRectF(3, 3, 26, 16));
        d.stroke(kWood, 2.6);
        d.p.drawPath(loop);
        QPainterPath rope;
        rope.moveTo(10, 18);
        rope.cubicTo(QPointF(13, 22), QPointF(6, 25), QPointF(9, 30));
        d.p.drawPath(rope);
        d.outline(kWood, 1.2);
        d.p.drawEllipse(QPointF(10, 18), 2.2, 2.2);
    });
    add("selection-replace.ico", [](Pen &d) {
        QPainterPath path;
        path.addRect(QRectF(5, 5, 22, 22));
        d.marquee(path);
    });
    add("selection-add.ico",
        [](Pen &d) { d.combined([](const QPainterPath &a, const QPainterPath &b) { return a.united(b); }); });
    add("selection-subtract.ico",
        [](Pen &d) { d.combined([](const QPainterPath &a, const QPainterPath &b) { return a.subtracted(b); }); });
    add("selection-intersection.ico",
        [](Pen &d) { d.combined([](const QPainterPath &a, const QPainterPath &b) { return a.intersected(b); }); });
    add("reset.ico", [](Pen &d) {
        d.dashed(QRectF(4, 4, 24, 24));
        d.stroke(kRed, 3.2);
        d.p.drawLine(QPointF(10, 10), QPointF(22, 22));
        d.p.drawLine(QPointF(22, 10), QPointF(10, 22));
    });
    add("fill.ico", [](Pen &d) {
        d.dashed(QRectF(3, 3, 26, 26));
        d.solid(kOrange);
        d.p.drawRect(QRectF(6, 6, 20, 20));
    });
    add("stroke.ico", [](Pen &d) {
        d.dashed(QRectF(4, 4, 24, 24));
        d.stroke(kOrange, 3.4);
        QPainterPath path;
        path.moveTo(6, 24);
        path.cubicTo(QPointF(8, 8), QPointF(14, 6), QPointF(26, 7));
        d.p.drawPath(path);
    });
    add("next.ico", [](Pen &d) {
        d.outline(kBlue);
        d.p.drawPolygon(QPolygonF({QPointF(9, 5), QPointF(25, 16), QPointF(9, 27)}));
    });
    add("previous.ico", [](Pen &d) {
        d.outline(kBlue);
        d.p.drawPolygon(QPolygonF({QPointF(23, 5), QPointF(7, 16), QPointF(23, 27)}));
    });

    // Layers
    add("layer-add.ico", [](Pen &d) { d.layers(); d.badge(Pen::Plus); });
    add("layer-remove.ico", [](Pen &d) { d.layers(); d.badge(Pen::Minus); });
    add("layer-duplicate.ico", [](Pen &d) { d.layers(); d.badge(Pen::Copy); });
    add("layer-edit.ico", [](Pen &d) { d.layers(); d.pencil(QPointF(14, 29), 22); });
    add("layer-up.ico", [](Pen &d) { d.layers(2); d.arrow(QPointF(26, 22), QPointF(26, 6), kGreen); });
    add("layer-down.ico", [](Pen &d) { d.layers(2); d.arrow(QPointF(26, 6), QPointF(26, 24), kOrange); });
    add("go-up.ico", [](Pen &d) { d.arrow(QPointF(16, 27), QPointF(16, 8), kBlue, 4.0); });
    add("go-down.ico", [](Pen &d) { d.arrow(QPointF(16, 5), QPointF(16, 24), kBlue, 4.0); });
    add("go-top.ico", [](Pen &d) {
        d.stroke(kInk, 3.0);
        d.p.drawLine(QPointF(6, 4), QPointF(26, 4));
        d.arrow(QPointF(16, 28), QPointF(16, 11), kBlue, 4.0);
    });
    add("go-bottom.ico", [](Pen &d) {
        d.stroke(kInk, 3.0);
        d.p.drawLine(QPointF(6, 28), QPointF(26, 28));
        d.arrow(QPointF(16, 4), QPointF(16, 21), kBlue, 4.0);
    });
    // The almond of an eye, open or struck through.
    const auto eyelids = [](Pen &d) {
        QPainterPath eye;
        eye.moveTo(2, 16);
        eye.quadTo(16, 2, 30, 16);
        eye.quadTo(16, 30, 2, 16);
        d.outline(kPaper);
        d.p.drawPath(eye);
    };
    add("visible.ico", [eyelids](Pen &d) {
        eyelids(d);
        d.outline(kBlue, 1.5);
        d.p.drawEllipse(QPointF(16, 16), 6, 6);
        d.solid(kInk);
        d.p.drawEllipse(QPointF(16, 16), 2.6, 2.6);
    });
    add("hide.ico", [eyelids](Pen &d) {
        eyelids(d);
        d.stroke(kRed, 3.0);
        d.p.drawLine(QPointF(5, 27), QPointF(27, 5));
    });
    add("lock-off.ico", [](Pen &d) {
        d.stroke(kGrey, 3.2);
        d.p.drawArc(QRectF(15, 1, 14, 16), 0, 180 * 16);
        d.p.drawLine(QPointF(29, 9), QPointF(29, 13));
        d.outline(kYellow);
        d.p.drawRoundedRect(QRectF(3, 14, 22, 15), 2.5, 2.5);
        d.solid(kInk);
        d.p.drawEllipse(QPointF(14, 20), 2.2, 2.2);
    });
    add("gear.ico", [](Pen &d) {
        d.outline(kGrey);
        d.star(QPointF(16, 16), 8, 14.0, 10.0);
        d.solid(kPaper);
        d.p.drawEllipse(QPointF(16, 16), 4.5, 4.5);
    });
    add("lock-on.ico", [](Pen &d) {
        d.stroke(kGrey, 3.2);
        d.p.drawArc(QRectF(9, 3, 14, 16), 0, 180 * 16);
        d.p.drawLine(QPointF(9, 11), QPointF(9, 14));
        d.p.drawLine(QPointF(23, 11), QPointF(23, 14));
        d.outline(kYellow);
        d.p.drawRoundedRect(QRectF(5, 14, 22, 15), 2.5, 2.5);
        d.solid(kInk);
        d.p.drawEllipse(QPointF(16, 20), 2.2, 2.2);
        d.p.drawRect(QRectF(15.2, 20, 1.6, 5));
    });
    add("multimedia.ico", [](Pen &d) {
        d.outline(QColor(0x44, 0x4c, 0x5a));
        d.p.drawRect(QRectF(3, 6, 26, 20));
        d.solid(kPaper);
        for (int x = 5; x < 28; x += 5) {
            d.p.drawRect(QRectF(x, 8, 3, 2.5));
            d.p.drawRect(QRectF(x, 21.5, 3, 2.5));
        }
        d.solid(kLightBlue);
        d.p.drawRect(QRectF(6, 12, 9, 8));
        d.solid(kOrange);
        d.p.drawRect(QRectF(17, 12, 9, 8));
    });

    // Effects
    add("show-fx.ico", [](Pen &d) {
        d.outline(kPurple, 1.6);
        d.star(QPointF(14, 16), 4, 13.0, 4.5);
        d.outline(kYellow, 1.2);
        d.p.drawEllipse(QPointF(26, 6), 3, 3);
        d.p.drawEllipse(QPointF(26, 25), 2.2, 2.2);
    });
    add("plus.ico", [](Pen &d) {
        d.outline(kGreen);
        d.p.drawEllipse(QPointF(16, 16), 13, 13);
        d.stroke(Qt::white, 4.0);
        d.p.drawLine(QPointF(9, 16), QPointF(23, 16));
        d.p.drawLine(QPointF(16, 9), QPointF(16, 23));
    });
    add("check.ico", [](Pen &d) {
        d.outline(kGreen);
        d.p.drawEllipse(QPointF(16, 16), 13, 13);
        d.stroke(Qt::white, 4.0);
        d.p.drawPolyline(QPolygonF({QPointF(9, 16.5), QPointF(14, 21.5), QPointF(23, 11)}));
    });
    add("check-selection.ico", [](Pen &d) {
        QPainterPath path;
        path.addRect(QRectF(4, 4, 24, 24));
        d.marquee(path);
        d.stroke(kGreen, 4.0);
        d.p.drawPolyline(QPolygonF({QPointF(9, 16.5), QPointF(14, 21.5), QPointF(23, 11)}));
    });
    add("gradient-diagonal.ico", [](Pen &d) {
        QLinearGradient gradient(QPointF(4, 4), QPointF(28, 28));
        gradient.setColorAt(0.0, kInk);
        gradient.setColorAt(1.0, kPaper);
        d.p.setPen(QPen(kInk, kLine));
        d.p.setBrush(gradient);
        d.p.drawRect(QRectF(4, 4, 24, 24));
    });
    add("gradient-none.ico", [](Pen &d) {
        // A transparent colour: a checkerboard crossed out.
        d.p.setPen(Qt::NoPen);
        for (int row = 0; row < 4; ++row) {
            for (int column = 0; column < 4; ++column) {
                d.p.setBrush((row + column) % 2 ? kGrey : kPaper);
                d.p.drawRect(QRectF(4 + column * 6, 4 + row * 6, 6, 6));
            }
        }
        d.p.setPen(QPen(kInk, kLine));
        d.p.setBrush(Qt::NoBrush);
        d.p.drawRect(QRectF(4, 4, 24, 24));
        d.stroke(kRed, 3.0);
        d.p.drawLine(QPointF(6, 26), QPointF(26, 6));
    });
    add("check-plus.ico", [](Pen &d) {
        d.outline(kGreen);
        d.p.drawEllipse(QPointF(14, 16), 12, 12);
        d.stroke(Qt::white, 3.5);
        d.p.drawPolyline(QPolygonF({QPointF(8, 16.5), QPointF(12.5, 21), QPointF(20, 11.5)}));
        d.outline(kBlue, 1.0);
        d.p.drawEllipse(QPointF(25, 25), 6, 6);
        d.stroke(Qt::white, 2.0);
        d.p.drawLine(QPointF(22, 25), QPointF(28, 25));
        d.p.drawLine(QPointF(25, 22), QPointF(25, 28));
    });
    add("pin.ico", [](Pen &d) {
        d.stroke(kInk, 2.0);
        d.p.drawLine(QPointF(16, 20), QPointF(16, 30));
        d.outline(kRed);
        d.p.drawEllipse(QPointF(16, 10), 8, 8);
        d.stroke(kRed, 3.0);
        d.p.drawLine(QPointF(9, 20), QPointF(23, 20));
    });
    add("background.ico", [](Pen &d) {
        d.outline(kGrey, 1.0);
        d.p.drawRect(QRectF(3, 3, 26, 26));
        d.solid(kPaper);
        for (int y = 0; y < 4; ++y)
            for (int x = (y % 2); x < 4; x += 2)
                d.p.drawRect(QRectF(4 + x * 6, 4 + y * 6, 6, 6));
        d.outline(kOrange);
        d.p.drawEllipse(QPointF(18, 18), 8, 8);
    });
    add("minus.ico", [](Pen &d) {
        d.outline(kRed);
        d.p.drawEllipse(QPointF(16, 16), 13, 13);
        d.stroke(Qt::white, 4.0);
        d.p.drawLine(QPointF(9, 16), QPointF(23, 16));
    });

    // Effect source editor
    add("run.ico", [](Pen &d) {
        d.outline(kGreen);
        d.p.drawPolygon(QPolygonF({QPointF(9, 5), QPointF(27, 16), QPointF(9, 27)}));
    });
    // The time line's transport: triangles point the way frames run, a bar
    // marks the end they skip to.
    auto triangle = [](Pen &d, double from, double to) {
        d.p.drawPolygon(QPolygonF({QPointF(from, 6), QPointF(to, 16), QPointF(from, 26)}));
    };
    add("play-forward.ico", [triangle](Pen &d) {
        d.outline(kBlue);
        triangle(d, 6, 16);
        triangle(d, 16, 26);
    });
    add("play-backward.ico", [triangle](Pen &d) {
        d.outline(kBlue);
        triangle(d, 26, 16);
        triangle(d, 16, 6);
    });
    add("skip-forward.ico", [triangle](Pen &d) {
        d.outline(kBlue);
        triangle(d, 7, 22);
        d.solid(kInk);
        d.p.drawRect(QRectF(23, 6, 3.5, 20));
    });
    add("skip-bacward.ico", [triangle](Pen &d) {
        d.outline(kBlue);
        triangle(d, 25, 10);
        d.solid(kInk);
        d.p.drawRect(QRectF(5.5, 6, 3.5, 20));
    });
    add("stop.ico", [](Pen &d) {
        d.outline(kRed);
        d.p.drawRoundedRect(QRectF(7, 7, 18, 18), 2, 2);
    });
    add("edit-find.ico", [](Pen &d) {
        d.stroke(kInk, 4.0);
        d.p.drawLine(QPointF(19, 19), QPointF(28, 28));
        d.outline(kLightBlue, 2.4);
        d.p.drawEllipse(QPointF(13, 13), 9, 9);
    });
    add("edit-find-replace.ico", [](Pen &d) {
        d.stroke(kInk, 3.5);
        d.p.drawLine(QPointF(15, 15), QPointF(21, 21));
        d.outline(kLightBlue, 2.0);
        d.p.drawEllipse(QPointF(10, 10), 7, 7);
        d.stroke(kOrange, 2.4);
        d.p.drawLine(QPointF(16, 27), QPointF(28, 27));
        d.p.drawPolyline(QPolygonF({QPointF(24, 23), QPointF(28, 27), QPointF(24, 31)}));
    });

    // The canvas cursor over a hidden or locked layer.
    add("forbidden-cursor.ico", [](Pen &d) {
        d.stroke(Qt::white, 7.0);
        d.p.drawEllipse(QPointF(16, 16), 11, 11);
        d.p.drawLine(QPointF(8.5, 8.5), QPointF(23.5, 23.5));
        d.stroke(kRed, 3.5);
        d.p.drawEllipse(QPointF(16, 16), 11, 11);
        d.p.drawLine(QPointF(8.5, 8.5), QPointF(23.5, 23.5));
    });

    // Brushes
    add("brush-new.ico", [](Pen &d) { d.brush(kBlue); d.badge(Pen::Plus); });
    add("brush-delete.ico", [](Pen &d) { d.brush(kBlue); d.badge(Pen::Cross); });
    add("brush-duplicate.ico", [](Pen &d) { d.brush(kBlue); d.badge(Pen::Copy); });
    add("sort.ico", [](Pen &d) {
        d.solid(kBlue);
        for (int i = 0; i < 4; ++i)
            d.p.drawRoundedRect(QRectF(3, 5 + i * 6, 6 + i * 4.5, 4), 1, 1);
        d.arrow(QPointF(26, 4), QPointF(26, 24), kOrange, 2.6);
    });
    add("sliders.ico", [](Pen &d) {
        const double knobs[3] = {10, 21, 14};
        for (int i = 0; i < 3; ++i) {
            const double y = 7 + i * 9;
            d.stroke(kGrey, 2.0);
            d.p.drawLine(QPointF(4, y), QPointF(28, y));
            d.outline(i == 1 ? kOrange : kBlue, 1.5);
            d.p.drawRoundedRect(QRectF(knobs[i] - 3, y - 4, 6, 8), 1.5, 1.5);
        }
    });

    // Brush list badges
    // A framed landscape: the brush texture image.
    const Glyph picture = [](Pen &d) {
        d.outline(kPaper);
        d.p.drawRect(QRectF(3, 5, 24, 20));
        d.solid(kLightBlue);
        d.p.drawRect(QRectF(5, 7, 20, 16));
        d.solid(kGreen);
        d.p.drawPolygon(QPolygonF({QPointF(5, 23), QPointF(12, 13), QPointF(17, 19), QPointF(20, 16), QPointF(25, 23)}));
        d.solid(kYellow);
        d.p.drawEllipse(QPointF(20, 11), 2.5, 2.5);
    };
    add("image.ico", picture);
    add("image-reset.ico", [picture](Pen &d) { picture(d); d.badge(Pen::Cross); });
    add("image-save.ico", [picture](Pen &d) {
        picture(d);
        d.outline(kBlue, 1.5);
        d.p.drawPolygon(QPolygonF({QPointF(17, 17), QPointF(27, 17), QPointF(30, 20), QPointF(30, 30), QPointF(17, 30)}));
        d.outline(kPaper, 1.0);
        d.p.drawRect(QRectF(20, 17, 6, 4));
        d.p.drawRect(QRectF(19.5, 24, 8, 6));
    });
    add("texture.ico", [](Pen &d) {
        d.outline(kPaper);
        d.p.drawRoundedRect(QRectF(3, 3, 26, 26), 3, 3);
        d.solid(kWood);
        for (int row = 0; row < 4; ++row) {
            for (int column = 0; column < 4; ++column) {
                if ((row + column) % 2 == 0)
                    d.p.drawRect(QRectF(5 + column * 5.5, 5 + row * 5.5, 5.5, 5.5));
            }
        }
        d.stroke(kInk);
        d.p.setBrush(Qt::NoBrush);
        d.p.drawRoundedRect(QRectF(3, 3, 26, 26), 3, 3);
    });

    // View
    const Glyph flip = [](Pen &d) {
        d.outline(kBlue);
        d.p.drawPolygon(QPolygonF({QPointF(13, 6), QPointF(13, 26), QPointF(3, 26)}));
        d.outline(kLightBlue);
        d.p.drawPolygon(QPolygonF({QPointF(19, 6), QPointF(19, 26), QPointF(29, 26)}));
        d.stroke(kInk, 1.4, Qt::DashLine);
        d.p.drawLine(QPointF(16, 2), QPointF(16, 30));
    };
    add("flip-horizontal.ico", flip);
    // The same picture with its axes swapped.
    add("flip-vertical.ico", [flip](Pen &d) {
        d.p.setTransform(QTransform(0, 1, 1, 0, 0, 0), true);
        flip(d);
    });
    add("help-index.ico", [](Pen &d) {
        d.outline(kBlue);
        d.p.drawEllipse(QPointF(16, 16), 13.5, 13.5);
        QPainterPath mark;
        mark.moveTo(11.5, 12.5);
        mark.cubicTo(QPointF(11.5, 6.5), QPointF(20.5, 6.5), QPointF(20.5, 12));
        mark.cubicTo(QPointF(20.5, 15.5), QPointF(16, 15.5), QPointF(16, 19.5));
        d.stroke(Qt::white, 3.2);
        d.p.drawPath(mark);
        d.solid(Qt::white);
        d.p.drawEllipse(QPointF(16, 24), 2.0, 2.0);
    });

    // Line and perspective options
    add("line-single.ico", [](Pen &d) {
        d.stroke(kBlue, 3.0);
        d.p.drawLine(QPointF(5, 26), QPointF(27, 6));
        d.outline(kPaper, 1.5);
        d.p.drawEllipse(QPointF(5, 26), 3, 3);
        d.p.drawEllipse(QPointF(27, 6), 3, 3);
    });
    add("line-poly.ico", [](Pen &d) {
        const QPolygonF corners({QPointF(4, 26), QPointF(11, 8), QPointF(20, 22), QPointF(28, 5)});
        d.stroke(kBlue, 3.0);
        d.p.drawPolyline(corners);
        d.outline(kPaper, 1.5);
        for (const QPointF &c : corners)
            d.p.drawEllipse(c, 2.6, 2.6);
    });
    add("line-curved.ico", [](Pen &d) {
        QPainterPath curve;
        curve.moveTo(4, 26);
        curve.cubicTo(QPointF(8, 2), QPointF(22, 30), QPointF(28, 6));
        d.stroke(kBlue, 3.0);
        d.p.drawPath(curve);
        d.outline(kPaper, 1.5);
        d.p.drawEllipse(QPointF(4, 26), 2.6, 2.6);
        d.p.drawEllipse(QPointF(28, 6), 2.6, 2.6);
    });
    add("font.ico", [](Pen &d) {
        d.p.setPen(QPen(kInk, 3.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        d.p.drawPolyline(QPolygonF({QPointF(5, 28), QPointF(16, 4), QPointF(27, 28)}));
        d.p.drawLine(QPointF(10, 19), QPointF(22, 19));
    });
    // The rotation cursor and the four corner marks of a frame that rotates.
    auto arc = [](Pen &d, double start) {
        QPainterPath curve;
        curve.arcMoveTo(QRectF(5, 5, 22, 22), start);
        curve.arcTo(QRectF(5, 5, 22, 22), start, 90);
        d.stroke(kBlue, 3.0);
        d.p.drawPath(curve);
        const QPointF end = curve.currentPosition();
        const double direction = (start + 90) * M_PI / 180.0;
        // The arrow head points along the turn at the arc's end.
        const QPointF along(-std::sin(direction), -std::cos(direction));
        const QPointF across(along.y(), -along.x());
        d.solid(kBlue);
        d.p.drawPolygon(QPolygonF({end + along * 6, end + across * 5, end - across * 5}));
    };
    add("rotation.ico", [arc](Pen &d) { arc(d, 0); });
    add("rotate-topleft.ico", [arc](Pen &d) { arc(d, 90); });
    add("rotate-topright.ico", [arc](Pen &d) { arc(d, 0); });
    add("rotate-bottomleft.ico", [arc](Pen &d) { arc(d, 180); });
    add("rotate-bottomright.ico", [arc](Pen &d) { arc(d, 270); });
    add("pencil.ico", [](Pen &d) { d.pencil(QPointF(4, 28), 34); });

    // Tools
    add("tools/brush-tool.ico", [](Pen &d) { d.brush(kOrange); });
    add("tools/eraser-tool.ico", [](Pen &d) {
        d.p.save();
        d.p.translate(16, 16);
        d.p.rotate(-40);
        d.outline(QColor(0xf2, 0x9b, 0xb6));
        d.p.drawRoundedRect(QRectF(-12, -6, 14, 12), 2, 2);
        d.outline(kLightBlue);
        d.p.drawRoundedRect(QRectF(2, -6, 10, 12), 2, 2);
        d.p.restore();
        d.stroke(kGrey, 1.6);
        d.p.drawLine(QPointF(4, 29), QPointF(18, 29));
    });
    add("tools/selection-tool.ico", [](Pen &d) {
        d.dashed(QRectF(3, 3, 22, 18));
        d.outline(Qt::white, 1.5);
        d.p.drawPolygon(QPolygonF({QPointF(16, 13), QPointF(16, 30), QPointF(20, 26), QPointF(23.5, 31), QPointF(26, 29.5),
                                   QPointF(22.5, 24.5), QPointF(28, 24)}));
    });
    add("tools/line-tool.ico", [](Pen &d) {
        d.stroke(kBlue, 3.0);
        d.p.drawLine(QPointF(6, 26), QPointF(26, 6));
        d.outline(kPaper, 1.5);
        d.p.drawRect(QRectF(3, 23, 6, 6));
        d.p.drawRect(QRectF(23, 3, 6, 6));
    });
    add("tools/shape-tool.ico", [](Pen &d) {
        d.outline(kLightBlue);
        d.p.drawRect(QRectF(3, 3, 16, 16));
        d.outline(kOrange);
        d.p.drawEllipse(QPointF(20, 20), 9, 9);
    });
    add("tools/fill-tool.ico", [](Pen &d) { d.bucket(kBlue); });
    add("tools/fillselection-tool.ico", [](Pen &d) {
        d.stroke(kInk, 4.2);
        d.p.drawLine(QPointF(4, 28), QPointF(17, 15));
        d.stroke(kPaper, 2.0);
        d.p.drawLine(QPointF(4, 28), QPointF(13, 19));
        d.outline(kYellow, 1.5);
        d.star(QPointF(22, 10), 5, 8.5, 3.8);
    });
    add("tools/text-tool.ico", [](Pen &d) {
        d.outline(kInk, 1.0);
        d.p.setBrush(kInk);
        QPolygonF letter({QPointF(5, 4), QPointF(27, 4), QPointF(27, 10), QPointF(24.5, 10), QPointF(23, 7.5), QPointF(18.5, 7.5),
                          QPointF(18.5, 25.5), QPointF(22, 26.5), QPointF(22, 28.5), QPointF(10, 28.5), QPointF(10, 26.5),
                          QPointF(13.5, 25.5), QPointF(13.5, 7.5), QPointF(9, 7.5), QPointF(7.5, 10), QPointF(5, 10)});
        d.p.drawPolygon(letter);
    });
    add("tools/gradient-tool.ico", [](Pen &d) {
        QLinearGradient gradient(QPointF(3, 3), QPointF(29, 29));
        gradient.setColorAt(0.0, kYellow);
        gradient.setColorAt(0.5, kOrange);
        gradient.setColorAt(1.0, kPurple);
        d.p.setPen(QPen(kInk, kLine));
        d.p.setBrush(gradient);
        d.p.drawRoundedRect(QRectF(3, 3, 26, 26), 3, 3);
    });
    add("tools/image-tool.ico", [](Pen &d) {
        d.outline(kLightBlue);
        d.p.drawRoundedRect(QRectF(3, 5, 26, 22), 2, 2);
        d.solid(kYellow);
        d.p.drawEllipse(QPointF(22, 11.5), 3, 3);
        d.solid(kGreen);
        d.p.drawPolygon(QPolygonF({QPointF(4, 26), QPointF(12, 14), QPointF(18, 21), QPointF(21, 18), QPointF(28, 26)}));
        d.stroke(kInk);
        d.p.drawRoundedRect(QRectF(3, 5, 26, 22), 2, 2);
    });
    add("tools/colorpicker-tool.ico", pipette);
    // The screen picker's button beside the colour edits.
    add("colorpicker.ico", pipette);
    add("tools/symmetry-tool.ico", [](Pen &d) {
        QPainterPath wing;
        wing.moveTo(15, 8);
        wing.cubicTo(QPointF(8, 0), QPointF(0, 6), QPointF(4, 14));
        wing.cubicTo(QPointF(0, 22), QPointF(8, 30), QPointF(15, 22));
        wing.closeSubpath();
        d.outline(kOrange, 1.6);
        d.p.drawPath(wing);
        QTransform mirror(-1, 0, 0, 1, 32, 0);
        d.outline(kPurple, 1.6);
        d.p.drawPath(mirror.map(wing));
        d.stroke(kInk, 1.4, Qt::DashLine);
        d.p.drawLine(QPointF(16, 1), QPointF(16, 31));
    });
    add("tools/grid-tool.ico", [](Pen &d) {
        d.outline(kPaper);
        d.p.drawRect(QRectF(3, 3, 26, 26));
        d.stroke(kBlue, 1.6);
        for (int i = 1; i < 3; ++i) {
            const double v = 3 + i * 26.0 / 3.0;
            d.p.drawLine(QPointF(v, 4), QPointF(v, 28));
            d.p.drawLine(QPointF(4, v), QPointF(28, v));
        }
        d.stroke(kInk);
        d.p.drawRect(QRectF(3, 3, 26, 26));
    });
    add("tools/perspective-tool.ico", [](Pen &d) {
        const QPointF vanish(16, 7);
        d.stroke(kBlue, 1.5);
        for (double x : {2.0, 9.0, 16.0, 23.0, 30.0})
            d.p.drawLine(vanish, QPointF(x, 29));
        d.stroke(kGrey, 1.3);
        for (double y : {15.0, 21.0, 28.0})
            d.p.drawLine(QPointF(2, y), QPointF(30, y));
        d.outline(kOrange, 1.4);
        d.p.drawEllipse(vanish, 3, 3);
    });
    add("tools/comicstrip-tool.ico", [](Pen &d) {
        d.outline(kPaper);
        d.p.drawRect(QRectF(3, 3, 26, 26));
        d.outline(kLightBlue, 1.6);
        d.p.drawRect(QRectF(6, 6, 9, 9));
        d.p.drawRect(QRectF(17, 6, 9, 9));
        d.outline(QColor(0xfb, 0xd8, 0xb0), 1.6);
        d.p.drawRect(QRectF(6, 17, 20, 9));
    });
    add("tools/ruller-tool.ico", [](Pen &d) {
        d.p.save();
        d.p.translate(16, 16);
        d.p.rotate(-45);
        d.outline(kYellow);
        d.p.drawRect(QRectF(-15, -5, 30, 10));
        d.stroke(kInk, 1.3);
        for (int i = 0; i < 7; ++i) {
            const double x = -12 + i * 4;
            d.p.drawLine(QPointF(x, -5), QPointF(x, i % 2 == 0 ? -0.5 : -2.5));
        }
        d.p.restore();
    });
    add("tools/pan-tool.ico", [](Pen &d) {
        const QPointF c(16, 16);
        d.arrow(c, QPointF(16, 4), kInk, 2.4);
        d.arrow(c, QPointF(16, 28), kInk, 2.4);
        d.arrow(c, QPointF(4, 16), kInk, 2.4);
        d.arrow(c, QPointF(28, 16), kInk, 2.4);
        d.outline(kBlue, 1.4);
        d.p.drawEllipse(c, 3.5, 3.5);
    });
    add("tools/rotate-tool.ico", [](Pen &d) {
        d.outline(kLightBlue, 1.5);
        d.p.drawRect(QRectF(11, 11, 10, 10));
        d.turn(QPointF(16, 16), 11.5, 120, -250, kBlue);
    });
    add("tools/zoom-tool.ico", [](Pen &d) {
        d.stroke(kInk, 4.5);
        d.p.drawLine(QPointF(19, 19), QPointF(28, 28));
        d.outline(kLightBlue, 2.4);
        d.p.drawEllipse(QPointF(13, 13), 9, 9);
        d.stroke(kInk, 2.2);
        d.p.drawLine(QPointF(9, 13), QPointF(17, 13));
        d.p.drawLine(QPointF(13, 9), QPointF(13, 17));
    });
    return list;
}

QImage paint(const Icon &icon, int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 32.0, size / 32.0);
    Pen pen(painter);
    icon.draw(pen);
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

// One ICO file holding the icon at each size, smallest first: a reader that
// takes the first picture gets the 16-pixel one that menus and lists draw,
// and icons pick the size that fits. Pictures are stored as 32-bit bitmaps
// (bottom row first) with an empty mask, written byte by byte so that the
// same drawing always gives the same file.
bool writeIco(const QString &path, const QList<QImage> &images)
{
    QByteArray file;
    QDataStream out(&file, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint16(0) << quint16(1) << quint16(images.size());
    auto maskRow = [](int width) { return ((width + 31) / 32) * 4; };
    quint32 offset = quint32(6 + 16 * images.size());
    for (const QImage &image : images) {
        const quint32 size = quint32(40 + image.width() * image.height() * 4 + maskRow(image.width()) * image.height());
        out << quint8(image.width()) << quint8(image.height()) << quint8(0) << quint8(0) << quint16(1) << quint16(32)
            << size << offset;
        offset += size;
    }
    for (const QImage &picture : images) {
        const QImage image = picture.convertToFormat(QImage::Format_ARGB32);
        out << quint32(40) << qint32(image.width()) << qint32(image.height() * 2) << quint16(1) << quint16(32)
            << quint32(0) << quint32(image.width() * image.height() * 4) << qint32(0) << qint32(0) << quint32(0)
            << quint32(0);
        for (int y = image.height() - 1; y >= 0; --y) {
            const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x)
                out << quint32(line[x]);
        }
        for (int i = 0; i < maskRow(image.width()) * image.height(); ++i)
            out << quint8(0);
    }
    QFile target(path);
    return target.open(QIODevice::WriteOnly) && target.write(file) == file.size();
}

int fail(const QString &message)
{
    QTextStream(stderr) << message << '\n';
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() < 2 || arguments.size() > 3)
        return fail(QStringLiteral("usage: makeicons <icons folder> [contact sheet.png]"));
    const QDir folder(arguments.at(1));
    const std::vector<Icon> list = icons();
    for (const Icon &icon : list) {
        const QString path = folder.filePath(QString::fromLatin1(icon.name));
        if (!QDir().mkpath(QFileInfo(path).absolutePath()))
            return fail(QStringLiteral("cannot make the folder of %1").arg(path));
        const QByteArray format = QFileInfo(path).suffix().toLower().toLatin1();
        if (format == "ico") {
            if (!writeIco(path, {paint(icon, 16), paint(icon, 32)}))
                return fail(QStringLiteral("cannot write %1").arg(path));
            continue;
        }
        QImageWriter writer(path, format);
        if (!writer.write(paint(icon, 32)))
            return fail(QStringLiteral("cannot write %1: %2").arg(path, writer.errorString()));
    }
    if (arguments.size() == 3) {
        // Each icon at 32 and at the 18 pixels of the tool bars.
        const int columns = 10;
        const int rows = int(list.size() + columns - 1) / columns;
        QImage sheet(columns * 60, rows * 44, QImage::Format_ARGB32);
        sheet.fill(QColor(0xe4, 0xe6, 0xea));
        QPainter painter(&sheet);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        for (int i = 0; i < int(list.size()); ++i) {
            const QPoint origin((i % columns) * 60 + 4, (i / columns) * 44 + 6);
            const QImage image = paint(list[size_t(i)], 32);
            painter.drawImage(origin, image);
            painter.drawImage(QRect(origin + QPoint(36, 7), QSize(18, 18)), image);
        }
        painter.end();
        if (!sheet.save(arguments.at(2)))
            return fail(QStringLiteral("cannot write %1").arg(arguments.at(2)));
    }
    return 0;
}
