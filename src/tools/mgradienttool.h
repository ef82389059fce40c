#pragma once

#include "mtool.h"

#include <QColor>
#include <QGradient>
#include <QImage>
#include <QKeyEvent>
#include <QVector>

class MEvent;
class MGradientItem;
class MPaper;
class MSelection;

// The gradient tool: its colour stops are control points on the canvas. The
// first two are the gradient's start and end, the others lie on the segment
// between them; the gradient shows live over the painted area and is
// rasterized into the current layer, inside the selection, as one undo step.
class MGradientTool : public MTool
{
    Q_OBJECT
    Q_PROPERTY(int type READ type WRITE set_type NOTIFY typeChanged)
    Q_PROPERTY(int spread READ spread WRITE set_spread NOTIFY spreadChanged)
public:
    enum Type { Linear = 0, Radial = 1, Conical = 2 };
    Q_ENUM(Type)
    enum Spread { PadSpread = 0, RepeatSpread = 1, ReflectSpread = 2 };
    Q_ENUM(Spread)

    MGradientTool(ToolId toolId, QObject *parent = nullptr);
    ~MGradientTool() override;

    int type() const { return m_type; }
    int spread() const { return m_spread; }
    int count() const { return m_stops.size(); }
    MGradientItem *item(int index) const { return m_stops.value(index); }

    // The gradient of the current type and spread through points (start,
    // end, then inner stops) with their colours; a bare gradient of that
    // type when the lists differ in length or hold fewer than two points.
    QGradient makeGradient(const QVector<QPointF> &points, const QVector<QColor> &colors) const;
    // Where a rasterization lands: the selection's bounds, else the painted area.
    static QRectF targetRect(const MSelection *selection, const MPaper *paper);
    // The gradient over the target rectangle, transparent outside the selection.
    QImage renderImage() const;

    void drawPoints(QPainter *painter, bool mapped) override;
    void paint(QPainter *painter) override;
    bool mousePressEvent(MEvent *event) override;
    void mouseMoveEvent(MEvent *event) override;
    bool keyPressEvent(QKeyEvent *event) override;
    // Return also locks the layer as a window shortcut; here it rasterizes.
    bool takesKey(const QKeyEvent *event) const override
    {
        return visible() && event->key() == Qt::Key_Return;
    }

public slots:
    void set_type(int value);
    void set_spread(int value);
    void activate(bool on) override;
    void resetPoints();
    bool updateCursor(const QPointF &viewPosition, double scale) override;
    void setColor(const QColor &color, Qt::KeyboardModifiers modifiers) override;
    void resetColor();
    void apply(Qt::KeyboardModifiers modifiers);
    void apply();
    void addPoint(const QPointF &point) override;
    void setPoint(int index, const QPointF &point) override;
    void removePoint(int index) override;
    void removePoint() override;
    int pointIndex(const QPointF &viewPosition) override;
    // The gradient as a rasterization would draw it, relative to the target
    // rectangle's top-left corner.
    QGradient gradient() const;

signals:
    void typeChanged(int value);
    void spreadChanged(int value);

private:
    // Projects p onto the segment from the start to the end; false when the
    // segment is empty or the projection falls before the start or at or
    // beyond the end.
    bool projectOnSegment(const QPointF &p, QPointF &q) const;
    void updateStopPoints();
    void updateStops();
    QGradient relativeGradient(const QPointF &origin) const;

    int m_type = Linear;
    int m_spread = PadSpread;
    QVector<MGradientItem *> m_stops;
};
